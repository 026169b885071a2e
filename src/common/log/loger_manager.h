// The logger's one implementation: twenty loggers, a queue of records and one writer thread.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "common/log/log_helpers.h"
#include "common/log/vlog.h"

namespace vemtal {
namespace vlog {

// A value that caller threads read while another thread may write it.
template <typename T>
class SharedValue {
 public:
  SharedValue(T value = T()) : value_(value) {}
  SharedValue(const SharedValue& other) : value_(other.load()) {}
  SharedValue& operator=(const SharedValue& other) {
    store(other.load());
    return *this;
  }
  SharedValue& operator=(T value) {
    store(value);
    return *this;
  }
  operator T() const { return load(); }
  T load() const { return value_.load(std::memory_order_acquire); }
  void store(T value) { value_.store(value, std::memory_order_release); }

 private:
  std::atomic<T> value_;
};

struct LoggerInfo {
  std::string key;
  std::string name;
  std::string path = "./log/";  // UTF-8; ends in "/" or "\"
  SharedValue<int> level = LOG_LEVEL_DEBUG;
  bool display = true;
  bool outfile = true;
  bool monthdir = false;
  unsigned int limitsize = 100;  // megabytes
  SharedValue<bool> enable = false;
  SharedValue<bool> fileline = true;
  int64_t reserveTime = 0;  // seconds; 0 keeps every file

  // The current file, touched by the writer thread only.
  int64_t fileCreationTime = 0;
  int64_t fileDayStart = 0;
  unsigned int fileIndex = 0;
  unsigned int writtenLength = 0;
  FILE* file = nullptr;
  std::vector<std::pair<int64_t, std::string>> history;  // (opened at, UTF-8 path), oldest first
};

class LogerManager : public ThreadHelper, public IVlogManager {
 public:
  LogerManager();
  ~LogerManager() override;

  bool config(const char* fileName) override;
  bool configFromString(const char* text) override;
  int CreateLogger(const char* key) override;
  bool start() override;
  bool stop() override;
  int findLogger(const char* key) override;
  bool prePushLog(int id, int level) override;
  bool pushLog(LogData* record, const char* file, int line) override;
  bool enableLogger(int id, bool enable) override;
  bool setLoggerName(int id, const char* name) override;
  bool setLoggerPath(int id, const char* path) override;
  bool setLoggerLevel(int id, int level) override;
  bool setLoggerFileLine(int id, bool enable) override;
  bool setLoggerDisplay(int id, bool enable) override;
  bool setLoggerOutFile(int id, bool enable) override;
  bool setLoggerLimitsize(int id, unsigned int megabytes) override;
  bool setLoggerMonthdir(int id, bool enable) override;
  bool setLoggerReserveTime(int id, int64_t seconds) override;
  bool setAutoUpdate(int intervalSeconds) override;
  bool updateConfig() override;
  bool isLoggerEnable(int id) override;
  uint64_t getTotalWriteCount() override;
  uint64_t getTotalWriteBytes() override;
  uint64_t getTotalPushCount() override;
  uint64_t getTotalPopCount() override;
  int getActiveLoggerCount() override;
  LogData* makeLogData(int id, int level) override;
  void freeLogData(LogData* record) override;
  bool drain() override;

 protected:
  void threadBody() override;

 private:
  static constexpr int kDrainMarker = 100;  // record type of a drain request

  bool validId(int id) const { return id >= 0 && id <= maxId_.load(); }
  bool accepts(int id, int level) const;
  void enqueue(LogData* record);
  void backPressure();

  // Settings changes: applied at once while stopped, queued in line order while running.
  bool handOver(int id, int type, int value, const char* text);
  void applyChange(int id, int type, int value, const char* text);

  // Writer thread.
  void logBanner();
  LogData* nextRecord();
  void handleRecord(LogData* record);
  void writeLine(LogData* record);
  void flushFiles();
  void closeEveryLogger();
  void finishDrain(uint64_t ticket);
  void markWriterAlive(bool alive);
  bool queueEmpty();

  // Log files (writer thread).
  bool openLogger(int id, const LogData& record);
  void closeLogger(int id);
  void closeFile(LoggerInfo& logger);
  void deleteExpired(LoggerInfo& logger, int64_t now);

  // Configuration text.
  bool applyConfigText(const std::string& text, bool first);
  bool readConfigFile(const std::string& fileName, std::string& text);

  std::atomic<bool> running_{false};
  std::atomic<int> maxId_{0};
  LoggerInfo loggers_[kLoggerMax];
  unsigned flushCounts_[kLoggerMax] = {};
  std::string processId_;
  std::string processName_;

  std::deque<LogData*> queue_;
  std::atomic<size_t> queueLength_{0};
  LockHelper queueLock_;
  std::deque<LogData*> cache_;  // writer thread only
  std::vector<LogData*> pool_;
  LockHelper poolLock_;
  SemHelper startSemaphore_;
  SemHelper idleWake_;  // ends the idle writer's pause early (a drain waits for it)

  std::atomic<uint64_t> pushCount_{0};
  std::atomic<uint64_t> popCount_{0};
  std::atomic<uint64_t> writeCount_{0};
  std::atomic<uint64_t> writeBytes_{0};

  std::mutex keysLock_;
  std::map<std::string, int> keys_;

  std::mutex configLock_;
  std::string configFile_;
  std::string configText_;
  bool configApplied_ = false;
  std::atomic<int> autoUpdateSeconds_{0};

  std::mutex drainLock_;
  std::condition_variable drainDone_;
  uint64_t drainRequested_ = 0;
  uint64_t drainFinished_ = 0;
  bool writerAlive_ = false;
  std::atomic<DWORD> writerThreadId_{0};
};

}  // namespace vlog
}  // namespace vemtal
