#include "sys_test_support.h"

#include "support_text.h"

namespace systest {

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

LockedFile::LockedFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

LockedFile::~LockedFile() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

LoadedImage::LoadedImage(const std::wstring& path) : module_(nullptr) {
  if (CopyFileW(SelfPath().c_str(), path.c_str(), FALSE)) {
    module_ = LoadLibraryExW(path.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
  }
}

LoadedImage::~LoadedImage() {
  if (module_) FreeLibrary(module_);
}

std::wstring SelfPath() {
  wchar_t path[MAX_PATH + 1] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

std::vector<std::wstring> PendingDeletes() {
  std::vector<std::wstring> paths;
  for (const auto& pending : testsupport::PendingRenames()) {
    if (pending.second.empty()) paths.push_back(pending.first);
  }
  return paths;
}

bool IsPendingDelete(const std::wstring& path) {
  for (const std::wstring& pending : PendingDeletes()) {
    if (testsupport::SameIgnoringCase(pending, path)) return true;
  }
  return false;
}

std::wstring EnvText(const wchar_t* name) {
  wchar_t value[4096] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length > 0 && length < 4096 ? std::wstring(value, length) : std::wstring();
}

}  // namespace systest
