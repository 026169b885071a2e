// Helpers of the logger tests: private folders, the files a logger wrote, captured standard
// output, and a manager writing logger 0 into a private folder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/log/loger_manager.h"

namespace vlogtest {

// A new folder under the temporary folder (UTF-8 path ending in "/"), removed with its content.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& tag = L"");
  ~TempFolder();
  const std::string& path() const { return path_; }
  std::wstring widePath() const;

 private:
  std::string path_;
};

struct FoundFile {
  std::string relativePath;  // "/" separators
  std::string content;
};

std::vector<FoundFile> readFiles(const std::string& folder);  // every file below, sorted by path
void writeFile(const std::string& path, const std::string& content);
bool validUtf8(const std::string& text);
std::vector<std::string> splitLines(const std::string& text);  // at "\r\n"
bool endsWith(const std::string& text, const std::string& tail);
std::string localNow();                                                                // "YYYY-MM-DD hh:mm:ss"
int64_t localSeconds(int year, int month, int day, int hour, int minute, int second);  // as UTC seconds

// Standard output goes to `fd` (taken over) until restore().
class StdoutRedirect {
 public:
  explicit StdoutRedirect(int fd);
  ~StdoutRedirect() { restore(); }
  void restore();

 private:
  int saved_ = -1;
};

// Standard output goes to a file until stop(), which returns what was printed.
class StdoutCapture {
 public:
  StdoutCapture();
  std::string stop();

 private:
  TempFolder folder_;
  StdoutRedirect redirect_;
};

// Pushes a record of logger `id` stamped with `seconds` (UTC), as the log call does.
bool pushAt(vemtal::vlog::IVlogManager& manager, int id, int level, int64_t seconds, const std::string& message,
            const char* file = "test.cpp", int line = 1);

class ManagerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  vemtal::vlog::LogerManager& log() { return *log_; }
  const std::string& folder() const { return folder_.path(); }
  // Drains, then every line of the files below `sub` in file name order, the banner left out.
  std::vector<std::string> writtenLines(const std::string& sub = "", const std::string& namePart = "");
  static bool isBanner(const std::string& line);

 private:
  TempFolder folder_;
  std::unique_ptr<vemtal::vlog::LogerManager> log_;  // goes before the folder
};

}  // namespace vlogtest
