// The size of a file as the install window shows it ("2.97M": 1000 x 1000 bytes to the M).
#pragma once

#include <cstdint>
#include <string>

struct FileSizeInfo {
  std::wstring path;
  int32_t size = 0;       // bytes (low 32 bits)
  std::wstring sizeText;  // "%.2fM"
};

// Size and size text of the file at path, of the running program when path is empty.
// 0; -1 when the file cannot be queried (info untouched).
int GetFileSizeText(FileSizeInfo* info, std::wstring path);
