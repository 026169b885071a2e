// What the zip reader tells about one entry.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

struct ZipItemInfo {
  int index = 0;         // for the query at index -1: the number of entries
  std::wstring name;     // the entry's UTF-8 name as wide text, "/" between folders
  DWORD attributes = 0;  // Windows file attribute bits
  FILETIME lastAccessTime{0, 0};
  FILETIME creationTime{0, 0};
  FILETIME lastWriteTime{0, 0};
  int32_t compressedSize = 0;
  int32_t uncompressedSize = 0;
};
