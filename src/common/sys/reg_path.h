// Registry path text: "HKCR", "HKCC", "HKCU", "HKLM" or "HKUS" (any letter case), one
// separator character (normally "\"), then the subkey path.
#pragma once

#include <windows.h>

#include <string>

struct RegistryPath {
  HKEY root = nullptr;
  std::wstring subkey;  // the text from the sixth character on; may be empty
};

// False when the first four characters name no root key.
bool ParseRegistryPath(const std::wstring& path, RegistryPath* out);
