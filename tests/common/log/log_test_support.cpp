#include "log_test_support.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>

#include "common/log/log_text.h"

namespace vlogtest {

using vemtal::vlog::utf8ToWide;
using vemtal::vlog::wideToUtf8;

namespace {

void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring full = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(full);
      } else {
        DeleteFileW(full.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

void collect(const std::wstring& folder, const std::string& prefix, std::vector<FoundFile>& out) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    std::string relative = prefix + wideToUtf8(name);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      collect(folder + L"\\" + name, relative + "/", out);
    } else {
      FoundFile file;
      file.relativePath = relative;
      FILE* f = _wfopen((folder + L"\\" + name).c_str(), L"rb");
      if (f) {
        char buf[65536];
        size_t n;
        while ((n = fread(buf, 1, sizeof(buf), f)) > 0) file.content.append(buf, n);
        fclose(f);
      }
      out.push_back(file);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

std::wstring trimmedFolder(const std::string& path) {
  std::wstring wide = utf8ToWide(path);
  while (!wide.empty() && (wide.back() == L'/' || wide.back() == L'\\')) wide.pop_back();
  return wide;
}

}  // namespace

TempFolder::TempFolder(const std::wstring& tag) {
  static std::atomic<int> counter{0};
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"vlogtest_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
                        std::to_wstring(GetTickCount()) + L"_" + std::to_wstring(++counter) + tag;
  CreateDirectoryW(folder.c_str(), nullptr);
  path_ = wideToUtf8(folder) + "/";
}

TempFolder::~TempFolder() { removeTree(trimmedFolder(path_)); }

std::wstring TempFolder::widePath() const { return utf8ToWide(path_); }

std::vector<FoundFile> readFiles(const std::string& folder) {
  std::vector<FoundFile> files;
  collect(trimmedFolder(folder), "", files);
  std::sort(files.begin(), files.end(),
            [](const FoundFile& a, const FoundFile& b) { return a.relativePath < b.relativePath; });
  return files;
}

bool fileExists(const std::string& path) {
  return GetFileAttributesW(utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFile(const std::string& path, const std::string& content) {
  FILE* f = _wfopen(utf8ToWide(path).c_str(), L"wb");
  if (!f) return;
  fwrite(content.data(), 1, content.size(), f);
  fclose(f);
}

bool validUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 4;
    if (extra == 4 || i + extra >= text.size() + (extra == 0 ? 1 : 0)) return false;
    for (size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += extra + 1;
  }
  return true;
}

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}

StdoutCapture::StdoutCapture(const std::string& folder) : file_(folder + "stdout.txt") {
  fflush(stdout);
  saved_ = _dup(_fileno(stdout));
  int fd = _wopen(utf8ToWide(file_).c_str(), _O_WRONLY | _O_CREAT | _O_TRUNC | _O_BINARY, 0600);
  _dup2(fd, _fileno(stdout));
  _close(fd);
}

StdoutCapture::~StdoutCapture() { stop(); }

std::string StdoutCapture::stop() {
  if (saved_ < 0) return std::string();
  fflush(stdout);
  _dup2(saved_, _fileno(stdout));
  _close(saved_);
  saved_ = -1;
  std::string text;
  FILE* f = _wfopen(utf8ToWide(file_).c_str(), L"rb");
  if (f) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof(buf), f)) > 0) text.append(buf, n);
    fclose(f);
  }
  return text;
}

bool pushAt(vemtal::vlog::IVlogManager& manager, int id, int level, int64_t seconds, const std::string& message,
            const char* file, int line) {
  if (!manager.prePushLog(id, level)) return false;
  vemtal::vlog::LogData* record = manager.makeLogData(id, level);
  record->time = seconds;
  size_t room = vemtal::vlog::kLogContentSize - record->contentLength;
  size_t n = std::min(message.size(), room);
  memcpy(record->content + record->contentLength, message.data(), n);
  record->contentLength += static_cast<int>(n);
  return manager.pushLog(record, file, line);
}

int64_t localSeconds(int year, int month, int day, int hour, int minute, int second) {
  SYSTEMTIME local{};
  local.wYear = static_cast<WORD>(year);
  local.wMonth = static_cast<WORD>(month);
  local.wDay = static_cast<WORD>(day);
  local.wHour = static_cast<WORD>(hour);
  local.wMinute = static_cast<WORD>(minute);
  local.wSecond = static_cast<WORD>(second);
  SYSTEMTIME utc{};
  TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc);
  FILETIME ft;
  SystemTimeToFileTime(&utc, &ft);
  uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

}  // namespace vlogtest
