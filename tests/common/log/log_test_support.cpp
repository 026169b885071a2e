#include "log_test_support.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace vlogtest {

namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TempFolder::TempFolder(const std::wstring& tag) {
  static std::atomic<int> counter{0};
  fs::path folder = fs::temp_directory_path() / (L"vlogtest_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                                                 std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(++counter));
  folder += tag;
  fs::create_directories(folder);
  path_ = folder.u8string() + "/";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(fs::u8path(path_), ignored);
}

std::wstring TempFolder::widePath() const { return fs::u8path(path_).wstring(); }

std::vector<FoundFile> readFiles(const std::string& folder) {
  fs::path root = fs::u8path(folder.substr(0, folder.find_last_not_of("/\\") + 1));
  std::vector<FoundFile> files;
  std::error_code ec;
  for (fs::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file()) continue;
    files.push_back({it->path().lexically_relative(root).generic_u8string(), readAll(it->path())});
  }
  std::sort(files.begin(), files.end(),
            [](const FoundFile& a, const FoundFile& b) { return a.relativePath < b.relativePath; });
  return files;
}

void writeFile(const std::string& path, const std::string& content) {
  std::ofstream(fs::u8path(path), std::ios::binary) << content;
}

bool validUtf8(const std::string& text) {
  return text.empty() ||
         MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), static_cast<int>(text.size()), nullptr, 0) > 0;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string localNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}

int64_t localSeconds(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME local{
      static_cast<WORD>(year),   static_cast<WORD>(month),  0, static_cast<WORD>(day), static_cast<WORD>(hour),
      static_cast<WORD>(minute), static_cast<WORD>(second), 0};
  SYSTEMTIME utc{};
  TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
  FILETIME ft;
  SystemTimeToFileTime(&utc, &ft);
  uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

StdoutRedirect::StdoutRedirect(int fd) {
  fflush(stdout);
  saved_ = _dup(_fileno(stdout));
  _dup2(fd, _fileno(stdout));
  _close(fd);
}

void StdoutRedirect::restore() {
  if (saved_ < 0) return;
  fflush(stdout);
  _dup2(saved_, _fileno(stdout));
  _close(saved_);
  saved_ = -1;
}

StdoutCapture::StdoutCapture()
    : redirect_(_wopen((folder_.widePath() + L"out.txt").c_str(), _O_WRONLY | _O_CREAT | _O_BINARY, 0600)) {}

std::string StdoutCapture::stop() {
  redirect_.restore();
  return readAll(fs::u8path(folder_.path() + "out.txt"));
}

bool pushAt(vemtal::vlog::IVlogManager& manager, int id, int level, int64_t seconds, const std::string& message,
            const char* file, int line) {
  if (!manager.prePushLog(id, level)) return false;
  vemtal::vlog::LogData* record = manager.makeLogData(id, level);
  record->time = seconds;
  size_t n = std::min(message.size(), static_cast<size_t>(vemtal::vlog::kLogContentSize - record->contentLength));
  memcpy(record->content + record->contentLength, message.data(), n);
  record->contentLength += static_cast<int>(n);
  return manager.pushLog(record, file, line);
}

void ManagerTest::SetUp() {
  log_ = std::make_unique<vemtal::vlog::LogerManager>();
  ASSERT_TRUE(log_->setLoggerPath(0, folder_.path().c_str()));
  ASSERT_TRUE(log_->setLoggerDisplay(0, false));
}

std::vector<std::string> ManagerTest::writtenLines(const std::string& sub, const std::string& namePart) {
  EXPECT_TRUE(log_->drain());
  std::vector<std::string> lines;
  for (const FoundFile& file : readFiles(folder_.path() + sub)) {
    if (file.relativePath.find(namePart) == std::string::npos) continue;
    std::vector<std::string> fileLines = splitLines(file.content);
    EXPECT_EQ(fileLines.back(), "") << file.relativePath << " ends with a whole line";
    fileLines.pop_back();
    for (const std::string& line : fileLines) {
      if (!isBanner(line)) lines.push_back(line);
    }
  }
  return lines;
}

bool ManagerTest::isBanner(const std::string& line) {
  return line.find(" LOG_ALARM -----------------  vlog thread started!") != std::string::npos ||
         line.find(" LOG_ALARM logger id=") != std::string::npos;
}

}  // namespace vlogtest
