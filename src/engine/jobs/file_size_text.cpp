#include "engine/jobs/file_size_text.h"

#include <windows.h>

#include <cstdio>

#include "common/sys/self_path.h"

int GetFileSizeText(FileSizeInfo* info, std::wstring path) {
  if (!info) return -1;
  if (path.empty()) path = SelfPath();
  WIN32_FILE_ATTRIBUTE_DATA data = {};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  const uint32_t bytes = data.nFileSizeLow;
  const float megabytes = static_cast<float>(static_cast<float>(bytes) / 1000.0 / 1000.0);
  wchar_t text[100] = {};
  swprintf(text, 100, L"%.2fM", megabytes);
  info->path = path;
  info->size = static_cast<int32_t>(bytes);
  info->sizeText = text;
  return 0;
}
