#pragma once
#include <windows.h>

#include <vector>

#include "ui/core/base/ui_string.h"
#include "ui/core/resources/zip_archive.h"

namespace SkinUI {

// Where skin files come from.
enum UILIB_RESOURCETYPE {
  UILIB_FILE = 1,
  UILIB_ZIP = 2,
  UILIB_RESOURCE = 3,
  UILIB_ZIPRESOURCE = 4,
};

// The process's skin settings: the framework's instance, the resource folder and the skin zip.
// The paint manager's static settings keep them here, so that the skin readers need no manager.
struct SkinSource {
  HINSTANCE instance = nullptr;
  HINSTANCE resourceInstance = nullptr;
  CUIString resourcePath;
  int resourceType = UILIB_FILE;
  CUIString zip;
  bool cachedZip = true;
  CUIString zipPassword;
  HZIPARCHIVE zipHandle = nullptr;

  // The instance whose resources are read: the resource instance, else the framework's.
  HINSTANCE ResourceInstance() const { return resourceInstance != nullptr ? resourceInstance : instance; }
};

SkinSource& TheSkinSource();

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
