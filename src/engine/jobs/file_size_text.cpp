#include "engine/jobs/file_size_text.h"

#include <windows.h>

#include <cstdio>

namespace {

std::wstring ProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = 0;
  while ((length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()))) == path.size() &&
         path.size() < 32768) {
    path.resize(path.size() * 2);
  }
  path.resize(length < path.size() ? length : 0);
  return path;
}

}  // namespace

int GetFileSizeText(FileSizeInfo* info, std::wstring path) {
  if (!info) return -1;
  if (path.empty()) path = ProgramPath();
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
