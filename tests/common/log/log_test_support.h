// Shared helpers of the logger tests: private temp folders, reading the files the logger
// wrote, and capturing standard output.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/log/vlog.h"

namespace vlogtest {

// A new, empty folder under the temporary folder (UTF-8 path ending in "/"), removed
// with everything in it when the object goes away.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& tag = L"");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }  // UTF-8, ends in "/"
  std::wstring widePath() const;

 private:
  std::string path_;
};

struct FoundFile {
  std::string relativePath;  // UTF-8 with "/" separators
  std::string content;
};

// Every file below `folder` (UTF-8), sorted by relative path.
std::vector<FoundFile> readFiles(const std::string& folder);
bool fileExists(const std::string& path);
void writeFile(const std::string& path, const std::string& content);
bool validUtf8(const std::string& text);
std::vector<std::string> splitLines(const std::string& text);  // at "\r\n"; the last piece must be empty

// Redirects the C runtime's standard output to a file until stopped; returns what was printed.
class StdoutCapture {
 public:
  explicit StdoutCapture(const std::string& folder);
  ~StdoutCapture();
  std::string stop();

 private:
  std::string file_;
  int saved_ = -1;
};

// A record of logger `id` with the chosen time (UTC seconds) and message, pushed like the log call.
bool pushAt(vemtal::vlog::IVlogManager& manager, int id, int level, int64_t seconds, const std::string& message,
            const char* file = "test.cpp", int line = 1);

// UTC seconds of a local date and time (through the Win32 time-zone functions).
int64_t localSeconds(int year, int month, int day, int hour, int minute, int second);

}  // namespace vlogtest
