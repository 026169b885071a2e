// Log files: folders, names, day and size roll, and deletion of files past the reserve time.
// Paths are UTF-8 inside the logger and wide at the file system.
#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "common/log/log_clock.h"
#include "common/log/log_console.h"
#include "common/log/log_text.h"
#include "common/log/loger_manager.h"

namespace vemtal {
namespace vlog {

namespace {

constexpr int64_t kDaySeconds = 86400;
constexpr size_t kHistoryKept = 7;
constexpr size_t kFileBufferBytes = 64 * 1024;

bool isDirectory(const std::string& path) {
  DWORD attributes = GetFileAttributesW(utf8ToWide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates every missing level of `folder`; stops at the first level that cannot be made.
void makeFolders(const std::string& folder) {
  std::string path = folder;
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  if (path.empty() || path.back() != '/') path += '/';
  for (size_t slash = path.find('/'); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    std::string level = path.substr(0, slash);
    if (level.empty() || isDirectory(level)) continue;
    if (!CreateDirectoryW(utf8ToWide(level).c_str(), nullptr) && !isDirectory(level)) return;
  }
}

std::string formatText(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(text, sizeof(text), format, args);
  va_end(args);
  if (n < 0) return std::string();
  return std::string(text, static_cast<size_t>(n) < sizeof(text) ? static_cast<size_t>(n) : sizeof(text) - 1);
}

}  // namespace

bool LogerManager::openLogger(int id, const LogData& record) {
  if (!validId(id)) {
    showNotice("vlog: openLogger can not open, invalide logger id! \r\n");
    return false;
  }
  LoggerInfo& logger = loggers_[id];
  if (!logger.enable || !logger.outfile || record.level < logger.level) return false;

  int64_t second = record.time;
  bool sameDay = second >= logger.fileDayStart && second < logger.fileDayStart + kDaySeconds;
  if (!sameDay) {
    logger.fileIndex = 0;
    closeFile(logger);
  } else if (logger.writtenLength > (logger.limitsize << 20)) {
    ++logger.fileIndex;
    closeFile(logger);
  }
  if (logger.file) return true;

  logger.fileCreationTime = second;
  logger.writtenLength = 0;
  logger.fileDayStart = localDayStart(second);
  LocalTime t = toLocalTime(second);

  std::string folder = logger.path;
  if (logger.monthdir) folder += formatText("%04d_%02d/", t.year, t.month);
  if (!isDirectory(folder)) makeFolders(folder);

  std::string fileName =
      folder + formatText("%s_%s_%04d%02d%02d%02d%02d_%s_%03u.log", processName_.c_str(), logger.name.c_str(), t.year,
                          t.month, t.day, t.hour, t.minute, processId_.c_str(), logger.fileIndex);
  logger.file = _wfopen(utf8ToWide(fileName).c_str(), L"ab");
  // A batch reaches the file in a few large writes (flushed once per batch), not one write
  // call per 4 KB.
  if (logger.file) std::setvbuf(logger.file, nullptr, _IOFBF, kFileBufferBytes);
  long long size = -1;
  if (logger.file && _fseeki64(logger.file, 0, SEEK_END) == 0) {
    size = _ftelli64(logger.file);
  }
  if (size < 0) {
    closeFile(logger);
    showNotice("!!!!!!!!!!!!!!!!!!!!!!!!!! \r\n");
    showNotice("vlog: can not open log file %s. \r\n", fileName.c_str());
    showNotice("!!!!!!!!!!!!!!!!!!!!!!!!!! \r\n");
    logger.outfile = false;
    return false;
  }
  logger.writtenLength = size > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<unsigned int>(size);

  if (logger.reserveTime > 0) {
    deleteExpired(logger, second);
    if (logger.history.empty() || logger.history.back().second != fileName) {
      logger.history.emplace_back(second, fileName);
    }
  }
  return true;
}

// `now` is the second of the record that opens the new file. Only files this process
// opened are ever deleted, and only while more than seven are remembered.
void LogerManager::deleteExpired(LoggerInfo& logger, int64_t now) {
  if (logger.history.size() <= kHistoryKept) return;
  while (!logger.history.empty() && logger.history.front().first < now - logger.reserveTime) {
    DeleteFileW(utf8ToWide(logger.history.front().second).c_str());
    logger.history.erase(logger.history.begin());
  }
}

void LogerManager::closeLogger(int id) {
  if (!validId(id)) {
    showNotice("vlog: closeLogger can not close, invalide logger id! \r\n");
    return;
  }
  closeFile(loggers_[id]);
}

void LogerManager::closeFile(LoggerInfo& logger) {
  if (logger.file) std::fclose(logger.file);
  logger.file = nullptr;
}

}  // namespace vlog
}  // namespace vemtal
