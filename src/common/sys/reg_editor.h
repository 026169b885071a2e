// Writing and removing registry values and keys named by registry path text (reg_path.h).
// Keys are opened without a view flag: a 32-bit process on 64-bit Windows works in the
// redirected 32-bit view of HKEY_LOCAL_MACHINE\Software.
#pragma once

#include <windows.h>

#include <string>

class CRegEditor {
 public:
  // Creates or opens the key and writes the value. type: 1 (REG_SZ) or 3 (REG_BINARY) write
  // the text's UTF-16 characters with their terminating zero; 4 (REG_DWORD) writes the decimal
  // number the text begins with (0 when none). Any other type, an unknown root or a path
  // without a subkey is refused. True when the value was written.
  static bool SetValue(const std::wstring& path, const std::wstring& name, DWORD type, const std::wstring& value);

  // With a value name: deletes that value. With an empty name: deletes the key with all its
  // subkeys. A path without a subkey is refused, so a root key is never touched.
  // True when the value or key was removed.
  static bool Clean(const std::wstring& path, const std::wstring& name);

  // Deletes subkey (below an open parent) with everything under it. False when the subkey is
  // empty or cannot be opened, or when it is still there afterwards.
  static bool DeleteKeyTree(HKEY parent, const std::wstring& subkey);
};
