// The process-wide levelled logger: callers format a record on their own thread and
// queue it; one writer thread puts it on the console and in the log files.
#pragma once

#include <cstdarg>
#include <cstdint>

namespace vemtal {
namespace vlog {

enum LogLevel {
  LOG_LEVEL_TRACE = 0,
  LOG_LEVEL_DEBUG = 1,
  LOG_LEVEL_INFO = 2,
  LOG_LEVEL_WARN = 3,
  LOG_LEVEL_ERROR = 4,
  LOG_LEVEL_ALARM = 5,
  LOG_LEVEL_FATAL = 6,
};

constexpr int kLogContentSize = 8192;
constexpr int kLoggerMax = 20;

struct LogData {
  int loggerId = 0;
  int type = 0;  // 0: a text line; 1..10: a settings change
  int typeValue = 0;
  int level = 0;
  int64_t time = 0;  // seconds since 1970-01-01 UTC
  unsigned int milliseconds = 0;
  unsigned int threadId = 0;
  int contentLength = 0;
  char content[kLogContentSize];
};

class IVlogManager {
 public:
  virtual ~IVlogManager() = default;
  virtual bool config(const char* fileName) = 0;
  virtual bool configFromString(const char* text) = 0;
  virtual int CreateLogger(const char* key) = 0;
  virtual bool start() = 0;
  virtual bool stop() = 0;
  virtual int findLogger(const char* key) = 0;
  virtual bool prePushLog(int id, int level) = 0;
  virtual bool pushLog(LogData* record, const char* file, int line) = 0;
  virtual bool enableLogger(int id, bool enable) = 0;
  virtual bool setLoggerName(int id, const char* name) = 0;
  virtual bool setLoggerPath(int id, const char* path) = 0;
  virtual bool setLoggerLevel(int id, int level) = 0;
  virtual bool setLoggerFileLine(int id, bool enable) = 0;
  virtual bool setLoggerDisplay(int id, bool enable) = 0;
  virtual bool setLoggerOutFile(int id, bool enable) = 0;
  virtual bool setLoggerLimitsize(int id, unsigned int megabytes) = 0;
  virtual bool setLoggerMonthdir(int id, bool enable) = 0;
  virtual bool setLoggerReserveTime(int id, int64_t seconds) = 0;
  virtual bool setAutoUpdate(int intervalSeconds) = 0;
  virtual bool updateConfig() = 0;
  virtual bool isLoggerEnable(int id) = 0;
  virtual uint64_t getTotalWriteCount() = 0;
  virtual uint64_t getTotalWriteBytes() = 0;
  virtual uint64_t getTotalPushCount() = 0;
  virtual uint64_t getTotalPopCount() = 0;
  virtual int getActiveLoggerCount() = 0;
  virtual LogData* makeLogData(int id, int level) = 0;
  virtual void freeLogData(LogData* record) = 0;

  // Writes every record queued before the call and closes the files, for callers that end the
  // process themselves. The writer keeps running: later lines reopen the files.
  virtual bool drain() = 0;

  static IVlogManager* getInstance();
};

// The log call: format into a record of logger 0 and queue it. "%S" and "%ls" take a
// wide string, written as UTF-8.
void LogFormat(int level, const char* file, int line, const char* format, ...);
void LogFormatV(int level, const char* file, int line, const char* format, va_list args);

}  // namespace vlog
}  // namespace vemtal

#define VLOG_AT(level, ...) ::vemtal::vlog::LogFormat((level), __FILE__, __LINE__, __VA_ARGS__)
#define VLOG_TRACE(...) VLOG_AT(::vemtal::vlog::LOG_LEVEL_TRACE, __VA_ARGS__)
#define VLOG_DEBUG(...) VLOG_AT(::vemtal::vlog::LOG_LEVEL_DEBUG, __VA_ARGS__)
#define VLOG_INFO(...) VLOG_AT(::vemtal::vlog::LOG_LEVEL_INFO, __VA_ARGS__)
#define VLOG_WARN(...) VLOG_AT(::vemtal::vlog::LOG_LEVEL_WARN, __VA_ARGS__)
#define VLOG_ERROR(...) VLOG_AT(::vemtal::vlog::LOG_LEVEL_ERROR, __VA_ARGS__)
#define VLOG_ALARM(...) VLOG_AT(::vemtal::vlog::LOG_LEVEL_ALARM, __VA_ARGS__)
#define VLOG_FATAL(...) VLOG_AT(::vemtal::vlog::LOG_LEVEL_FATAL, __VA_ARGS__)
