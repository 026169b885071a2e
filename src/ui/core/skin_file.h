#pragma once
#include <windows.h>

#include <vector>

namespace SkinUI {

enum class SkinFileStatus {
  Ok,
  OpenFailed,
  Empty,
  TooLarge,
  ReadFailed,
  ZipOpenFailed,
  ZipItemNotFound,
  UnzipFailed,
};

// Reads a skin file by name from the skin zip or the resource folder, as the resource settings say.
// A file larger than maxSize bytes is refused (0 means no limit).
SkinFileStatus ReadSkinFile(const wchar_t* name, DWORD maxSize, std::vector<BYTE>& bytes);

// Reads a file by its own path.
SkinFileStatus ReadWholeFile(const wchar_t* path, DWORD maxSize, std::vector<BYTE>& bytes);

// Reads a Win32 resource of the resource instance (or the given instance).
bool ReadSkinResource(HINSTANCE instance, const wchar_t* name, const wchar_t* type, std::vector<BYTE>& bytes);

}  // namespace SkinUI
