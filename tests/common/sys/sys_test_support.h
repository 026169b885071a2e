// Shared helpers of the system-helper tests: private folders, files, locks, the restart list
// and registry look-ups made with the plain Windows API (never with the code under test).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "support_files.h"
#include "support_registry.h"

namespace systest {

// A new folder under the temporary folder, named after the running test; removed with
// everything in it at the end (whatever the test left).
class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder() : testsupport::TempFolder(testsupport::TempRoot() + L"\\tamsel_sys_" + testsupport::UniqueName()) {}
};

using testsupport::Exists;
using testsupport::MakeFolder;
using testsupport::ReadFileBytes;  // "<missing>" when it cannot be opened
using testsupport::RemoveTree;
using testsupport::UniqueName;
using testsupport::WriteFileBytes;
bool IsFolder(const std::wstring& path);

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

using testsupport::DeleteRegTree;
using testsupport::KeyExists;
using testsupport::ReadRegValue;

// An environment variable of the test run, empty when unset.
std::wstring EnvText(const wchar_t* name);

}  // namespace systest
