#include "sys_test_support.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace systest {

namespace {

std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

std::wstring UniqueName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::wstring name = info ? Widen(info->test_suite_name()) + L"_" + Widen(info->name()) : L"sys";
  for (wchar_t& c : name) {
    if (c == L'/') c = L'_';
  }
  return name + L"_" + std::to_wstring(GetCurrentProcessId());
}

TempFolder::TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, temp);
  path_ = std::wstring(temp) + L"tamsel_sys_" + UniqueName();
  RemoveTree(path_);
  MakeFolder(path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << "cannot write the test file";
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakeFolder(const std::wstring& path) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path), ignored);
}

void RemoveTree(const std::wstring& path) {
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(path), ignored);
}

LockedFile::LockedFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                          nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)) {}

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
  DWORD type = 0;
  std::vector<BYTE> data;
  std::vector<std::wstring> paths;
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                    L"PendingFileRenameOperations", &type, &data) ||
      type != REG_MULTI_SZ) {
    return paths;
  }
  data.resize(data.size() + 4, 0);
  const wchar_t* p = reinterpret_cast<const wchar_t*>(data.data());
  const wchar_t* stop = p + (data.size() / sizeof(wchar_t));
  // Pairs of source and target; an empty target means delete.
  while (p < stop && *p) {
    std::wstring source = p;
    p += source.size() + 1;
    if (p >= stop) break;
    std::wstring target = p;
    p += target.size() + 1;
    if (!target.empty()) continue;
    if (source.rfind(L"\\??\\", 0) == 0) source.erase(0, 4);
    paths.push_back(source);
  }
  return paths;
}

bool IsPendingDelete(const std::wstring& path) {
  for (const std::wstring& pending : PendingDeletes()) {
    if (SameIgnoringCase(pending, path)) return true;
  }
  return false;
}

bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

bool ReadRegValue(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD* type,
                  std::vector<BYTE>* data, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG err = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
  if (err == ERROR_SUCCESS) {
    data->assign(size, 0);
    err = RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
    data->resize(size);
  }
  RegCloseKey(key);
  return err == ERROR_SUCCESS;
}

void DeleteRegTree(HKEY root, const std::wstring& subkey, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeW(key, nullptr);
  RegCloseKey(key);
  RegDeleteKeyExW(root, subkey.c_str(), view, 0);
}

std::wstring EnvText(const wchar_t* name) {
  wchar_t value[4096] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 4096);
  return length > 0 && length < 4096 ? std::wstring(value, length) : std::wstring();
}

}  // namespace systest
