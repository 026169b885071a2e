// The writer thread: takes queued records in batches, applies settings changes in line
// order, shows and writes the lines, flushes once per batch and sleeps 50 ms when idle.
#include <cstring>

#include "common/log/log_console.h"
#include "common/log/log_format.h"
#include "common/log/loger_manager.h"

namespace vemtal {
namespace vlog {

void LogerManager::threadBody() {
  writerThreadId_ = GetCurrentThreadId();
  markWriterAlive(true);
  running_ = true;
  logBanner();
  startSemaphore_.release();
  for (unsigned& count : flushCounts_) count = 0;
  ULONGLONG lastReread = GetTickCount64();
  for (;;) {
    bool wrote = false;
    while (LogData* record = nextRecord()) {
      handleRecord(record);
      wrote = true;
    }
    flushFiles();
    // Idle: wait for more. Busy: take the next batch at once, so callers never meet the
    // back-pressure only because the writer was asleep.
    if (!wrote) {
      if (idleWake_.created()) {
        idleWake_.wait(50);
      } else {
        Sleep(50);
      }
    }
    if (!running_ && queueEmpty()) {
      closeEveryLogger();
      break;
    }
    int interval = autoUpdateSeconds_;
    ULONGLONG now = GetTickCount64();
    if (interval != 0 && (now - lastReread) / 1000 > static_cast<ULONGLONG>(interval)) {
      updateConfig();
      lastReread = now;
    }
  }
  writerThreadId_ = 0;
  markWriterAlive(false);
}

void LogerManager::logBanner() {
  logToF(*this, 0, LOG_LEVEL_ALARM, __FILE__, __LINE__,
         "-----------------  vlog thread started!   ----------------------------");
  for (int id = 0; id <= maxId_; ++id) {
    const LoggerInfo& logger = loggers_[id];
    if (!logger.enable) continue;
    logToF(*this, 0, LOG_LEVEL_ALARM, __FILE__, __LINE__, "logger id=%d key=%s name=%s path=%s level=%d display=%s", id,
           logger.key.c_str(), logger.name.c_str(), logger.path.c_str(), logger.level.load(),
           logger.display ? "true" : "false");
  }
}

// The cache holds the current batch; an empty cache takes the whole queue in one step.
LogData* LogerManager::nextRecord() {
  if (cache_.empty()) {
    LockGuard guard(queueLock_);
    if (queue_.empty()) return nullptr;
    cache_.swap(queue_);
    queueLength_.store(0, std::memory_order_relaxed);
  }
  LogData* record = cache_.front();
  cache_.pop_front();
  return record;
}

bool LogerManager::queueEmpty() {
  LockGuard guard(queueLock_);
  return queue_.empty();
}

void LogerManager::handleRecord(LogData* record) {
  if (record->type == kDrainMarker) {
    uint64_t ticket = 0;
    std::memcpy(&ticket, record->content, sizeof(ticket));
    flushFiles();
    for (LoggerInfo& logger : loggers_) closeFile(logger);
    freeLogData(record);
    finishDrain(ticket);
    return;
  }
  if (!validId(record->loggerId)) {
    freeLogData(record);
    return;
  }
  if (record->type != 0) {
    applyChange(record->loggerId, record->type, record->typeValue, record->content);
    freeLogData(record);
    return;
  }
  ++popCount_;
  writeLine(record);
  freeLogData(record);
}

void LogerManager::writeLine(LogData* record) {
  int id = record->loggerId;
  LoggerInfo& logger = loggers_[id];
  if (!logger.enable || record->level < logger.level) return;
  size_t length = static_cast<size_t>(record->contentLength);
  if (logger.display) showOnScreen(record->level, record->content, length);
  if (logger.outfile) {
    if (!openLogger(id, *record)) return;
    size_t written = std::fwrite(record->content, 1, length, logger.file);
    if (logger.file && length != 0 && written < length) closeFile(logger);
    logger.writtenLength += static_cast<unsigned int>(length);
    ++flushCounts_[id];
  }
  ++writeCount_;
  writeBytes_ += length;
}

void LogerManager::flushFiles() {
  for (int id = 0; id <= maxId_; ++id) {
    LoggerInfo& logger = loggers_[id];
    if (logger.enable) {
      if (flushCounts_[id] > 0 && logger.file) std::fflush(logger.file);
      flushCounts_[id] = 0;
    } else {
      closeFile(logger);
    }
  }
}

void LogerManager::closeEveryLogger() {
  for (int id = 0; id <= maxId_; ++id) {
    if (!loggers_[id].enable) continue;
    loggers_[id].enable = false;
    closeLogger(id);
  }
}

}  // namespace vlog
}  // namespace vemtal
