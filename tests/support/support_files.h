// File helpers of the tests: private folders, whole-file reads and writes, removal and file times.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

// The temporary folder, without a trailing "\".
std::wstring TempRoot();
// "Suite_Test_<pid>": unique to the running test and process.
std::wstring UniqueName();

// A folder made fresh at path, removed with everything in it at the end.
class TempFolder {
 public:
  explicit TempFolder(std::wstring path);
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // no trailing "\"
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes);  // makes missing folders
// The whole file; "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
void MakeFolder(const std::wstring& path);  // with the folders above it
void RemoveTree(const std::wstring& path);  // test cleanup only
// Last-write and last-access times in milliseconds since 1970 UTC; -1 when unreadable.
int64_t WriteTimeMs(const std::wstring& path);
int64_t AccessTimeMs(const std::wstring& path);

// While it lives, the programs this one starts get an end file of their own by GoogleTest's
// protocol (TEST_PREMATURE_EXIT_FILE): made here, deleted by the program at its normal end. Wine
// reports exit code 0 for a process killed by a signal, so a test program that starts a copy of
// itself asks Reached() whether the copy ran to its end. This program's own end file stays its own.
class ChildEndFile {
 public:
  ChildEndFile();
  ~ChildEndFile();
  ChildEndFile(const ChildEndFile&) = delete;
  ChildEndFile& operator=(const ChildEndFile&) = delete;
  bool Reached() const { return !Exists(path_); }

 private:
  std::wstring path_;
  std::wstring own_;
  bool hadOwn_;
};

}  // namespace testsupport
