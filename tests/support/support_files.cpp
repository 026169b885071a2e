#include "support_files.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "support_text.h"

namespace testsupport {

namespace {

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

int64_t FileTimeMs(const std::wstring& path, bool access) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  const FILETIME& time = access ? data.ftLastAccessTime : data.ftLastWriteTime;
  const uint64_t value = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (static_cast<int64_t>(value) - static_cast<int64_t>(kUnixEpochAsFileTime)) / 10000;
}

}  // namespace

std::wstring TempRoot() {
  wchar_t path[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, path);
  std::wstring root = path;
  if (!root.empty() && root.back() == L'\\') root.pop_back();
  return root;
}

std::wstring UniqueName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "_" + info->name() : "no-test";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return Wide(name) + L"_" + std::to_wstring(GetCurrentProcessId());
}

TempFolder::TempFolder(std::wstring path) : path_(std::move(path)) {
  RemoveTree(path_);
  MakeFolder(path_);
}

TempFolder::~TempFolder() {
  // A program that just ended may still hold its image for a moment: its file goes a little
  // later, and only then its folder can.
  for (int attempt = 0; attempt < 50 && Exists(path_); ++attempt) {
    if (attempt) Sleep(100);
    RemoveTree(path_);
  }
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  MakeFolder(path.substr(0, path.rfind(L'\\')));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << Utf8(path);
  DWORD written = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolder(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(path.c_str(), nullptr);
}

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

int64_t WriteTimeMs(const std::wstring& path) { return FileTimeMs(path, false); }
int64_t AccessTimeMs(const std::wstring& path) { return FileTimeMs(path, true); }

namespace {
const wchar_t kEndFileVariable[] = L"TEST_PREMATURE_EXIT_FILE";
}  // namespace

ChildEndFile::ChildEndFile() : hadOwn_(false) {
  static int made = 0;
  path_ = TempRoot() + L"\\child-end-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made);
  wchar_t own[MAX_PATH * 2] = {};
  DWORD length = GetEnvironmentVariableW(kEndFileVariable, own, MAX_PATH * 2);
  hadOwn_ = length > 0 && length < MAX_PATH * 2;
  if (hadOwn_) own_ = own;
  WriteFileBytes(path_, "");
  SetEnvironmentVariableW(kEndFileVariable, path_.c_str());
}

ChildEndFile::~ChildEndFile() {
  SetEnvironmentVariableW(kEndFileVariable, hadOwn_ ? own_.c_str() : nullptr);
  DeleteFileW(path_.c_str());
}

}  // namespace testsupport
