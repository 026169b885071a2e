// The caller's side: the level test with back-pressure, making a record with its header,
// the file-and-line suffix, the queue and the pool of free records.
#include <windows.h>

#include <cstring>

#include "common/log/log_clock.h"
#include "common/log/log_record_writer.h"
#include "common/log/loger_manager.h"

namespace vemtal {
namespace vlog {

namespace {

constexpr size_t kQueueSoftLimit = 20000;
constexpr size_t kPoolMax = 200;

struct LevelName {
  const char* text;
  size_t bytes;
};
// "LOG_INFO " and "LOG_WARN " are padded to nine characters; only eight bytes are copied.
constexpr LevelName kLevelNames[] = {
    {"LOG_TRACE", 9}, {"LOG_DEBUG", 9}, {"LOG_INFO ", 8}, {"LOG_WARN ", 8},
    {"LOG_ERROR", 9}, {"LOG_ALARM", 9}, {"LOG_FATAL", 9},
};

// Each thread keeps the local date of its current day.
struct DayCache {
  bool valid = false;
  int64_t dayStart = 0;
  LocalTime date;
};
thread_local DayCache tDay;

const DayCache& dayOf(int64_t second) {
  if (!tDay.valid || second < tDay.dayStart || second >= tDay.dayStart + 86400) {
    tDay.dayStart = localDayStart(second);
    tDay.date = toLocalTime(second);
    tDay.valid = true;
  }
  return tDay;
}

unsigned randomPercent() {
  thread_local uint32_t state = GetCurrentThreadId() * 2654435761u ^ GetTickCount();
  state ^= state << 13;
  state ^= state >> 17;
  state ^= state << 5;
  return state % 100;
}

void writeHeader(LogData& record) {
  const DayCache& day = dayOf(record.time);
  int64_t s = record.time - day.dayStart;
  int64_t hour = s / 3600;
  int64_t minute = (s - hour * 3600) / 60;
  int64_t second = s % 60;
  RecordWriter w(record);
  w.number(static_cast<uint64_t>(day.date.year), 4);
  w.character('-');
  w.number(static_cast<uint64_t>(day.date.month), 2);
  w.character('-');
  w.number(static_cast<uint64_t>(day.date.day), 2);
  w.character(' ');
  w.number(static_cast<uint64_t>(hour), 2);
  w.character(':');
  w.number(static_cast<uint64_t>(minute), 2);
  w.character(':');
  w.number(static_cast<uint64_t>(second), 2);
  w.character('.');
  w.number(record.milliseconds, 3);
  w.character(' ');
  w.character('[');
  w.number(record.threadId, 4);
  w.character(']');
  w.character(' ');
  if (record.level >= LOG_LEVEL_TRACE && record.level <= LOG_LEVEL_FATAL) {
    w.text(kLevelNames[record.level].text, kLevelNames[record.level].bytes);
  } else {
    w.signedNumber(record.level, 0);
  }
  w.character(' ');
}

const char* baseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/') base = p + 1;
  }
  return base;
}

}  // namespace

bool LogerManager::accepts(int id, int level) const {
  return validId(id) && running_ && loggers_[id].enable && level >= loggers_[id].level;
}

bool LogerManager::prePushLog(int id, int level) {
  if (!accepts(id, level)) return false;
  backPressure();
  return true;
}

// Slows callers while the writer is far behind: from 20000 waiting records, a growing share
// of calls sleeps up to 100 ms.
void LogerManager::backPressure() {
  size_t n = queueLength_.load(std::memory_order_relaxed);
  if (n <= kQueueSoftLimit) return;
  unsigned rate = static_cast<unsigned>((n * 100 - 2000000) / 20000);
  if (rate > 100) rate = 100;
  if (randomPercent() >= rate) return;
  if (rate > 50) {
    LockGuard guard(queueLock_);
    if (queue_.size() <= kQueueSoftLimit) return;
  }
  Sleep(rate);
}

LogData* LogerManager::makeLogData(int id, int level) {
  LogData* record = nullptr;
  {
    LockGuard guard(poolLock_);
    if (!pool_.empty()) {
      record = pool_.back();
      pool_.pop_back();
    }
  }
  if (!record) record = new LogData;
  record->loggerId = id;
  record->level = level;
  record->type = 0;
  record->typeValue = 0;
  record->contentLength = 0;
  int64_t micro = nowMicroseconds();
  int64_t milli = micro / 1000;
  record->time = milli / 1000;
  record->milliseconds = static_cast<unsigned>(milli % 1000);
  record->threadId = GetCurrentThreadId();
  writeHeader(*record);
  record->content[record->contentLength] = '\0';
  return record;
}

bool LogerManager::pushLog(LogData* record, const char* file, int line) {
  if (!record) return false;
  if (!accepts(record->loggerId, record->level)) {
    freeLogData(record);
    return false;
  }
  if (record->contentLength < 0) record->contentLength = 0;
  if (record->contentLength > kLogContentSize) record->contentLength = kLogContentSize;
  RecordWriter w(*record);
  if (loggers_[record->loggerId].fileline && file) {
    const char* base = baseName(file);
    w.character(' ');
    w.text(base);
    w.character(':');
    w.signedNumber(line, 0);
  }
  if (record->contentLength + 3 > kLogContentSize) {
    // A cut line keeps its first 8189 bytes, less a character the cut would split.
    int length = kLogContentSize - 3;
    while (length > 0 && (static_cast<unsigned char>(record->content[length]) & 0xC0) == 0x80) --length;
    record->contentLength = length;
  }
  record->content[record->contentLength] = '\r';
  record->content[record->contentLength + 1] = '\n';
  record->content[record->contentLength + 2] = '\0';
  record->contentLength += 2;
  {
    LockGuard guard(queueLock_);
    queue_.push_back(record);
    queueLength_.store(queue_.size(), std::memory_order_relaxed);
    ++pushCount_;
  }
  return true;
}

void LogerManager::enqueue(LogData* record) {
  LockGuard guard(queueLock_);
  queue_.push_back(record);
  queueLength_.store(queue_.size(), std::memory_order_relaxed);
}

void LogerManager::freeLogData(LogData* record) {
  if (!record) return;
  {
    LockGuard guard(poolLock_);
    if (pool_.size() < kPoolMax) {
      pool_.push_back(record);
      return;
    }
  }
  delete record;
}

}  // namespace vlog
}  // namespace vemtal
