// Reading one registry value, named by registry path text, as text. Start-up, the engine's
// initialisation, the difference and the registry-value writer all read through it.
#pragma once

#include <windows.h>

#include <string>

// Reads valueName under the key that keyPath names: its first four characters name the root
// ("HKCR", "HKCC", "HKCU", "HKLM", "HKUS", any letter case), the subkey begins at its sixth
// character; the process's own registry view applies. REG_SZ gives its whole text, up to its
// first zero character or the end of its data; REG_DWORD its signed decimal text (0xFFFFFFFF
// reads as "-1").
// True: value replaced. False: value unchanged, nothing logged, and *error (when given) says why:
//   ERROR_FILE_NOT_FOUND    the key or the value is missing
//   ERROR_BAD_PATHNAME      the path names no root, or is shorter than a root and a separator
//   ERROR_UNSUPPORTED_TYPE  the value has another type
//   any other code          the registry's own error: the value exists but could not be read
bool ReadRegValue(const std::wstring& keyPath, const std::wstring& valueName, std::wstring& value,
                  LONG* error = nullptr);
