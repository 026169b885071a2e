// Shared helpers of the system-helper tests: private folders, files, locks, the restart list
// and registry look-ups made with the plain Windows API (never with the code under test).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace systest {

// A new folder under the temporary folder, named after the running test; removed with
// everything in it at the end (whatever the test left).
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::wstring& path() const { return path_; }  // no trailing "\"
  std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

 private:
  std::wstring path_;
};

// A name unique to the running test and process ("Suite_Test_1234").
std::wstring UniqueName();

void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
void MakeFolder(const std::wstring& path);
void RemoveTree(const std::wstring& path);  // test cleanup only

// A file held open without share-delete: deleting or renaming it fails while the object lives.
class LockedFile {
 public:
  explicit LockedFile(const std::wstring& path);
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE handle_;
};

// A copy of this test program loaded as an image: it cannot be deleted but can be renamed,
// like a running program.
class LoadedImage {
 public:
  explicit LoadedImage(const std::wstring& path);
  ~LoadedImage();
  LoadedImage(const LoadedImage&) = delete;
  LoadedImage& operator=(const LoadedImage&) = delete;
  bool ok() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

std::wstring SelfPath();

// Paths the system will delete at the next restart (PendingFileRenameOperations entries
// without a new name), as plain paths ("\??\" removed).
std::vector<std::wstring> PendingDeletes();
bool IsPendingDelete(const std::wstring& path);  // compared ignoring case

// Registry reads through the plain API. view: 0, KEY_WOW64_32KEY or KEY_WOW64_64KEY.
bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view = 0);
bool ReadRegValue(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD* type,
                  std::vector<BYTE>* data, REGSAM view = 0);
void DeleteRegTree(HKEY root, const std::wstring& subkey, REGSAM view = 0);  // test cleanup only

// An environment variable of the test run, empty when unset.
std::wstring EnvText(const wchar_t* name);

}  // namespace systest
