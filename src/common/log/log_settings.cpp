// The per-logger setters. While the writer runs, a change travels through the queue so it
// takes effect exactly between the lines around it.
#include <climits>
#include <cstring>

#include "common/log/loger_manager.h"

namespace vemtal {
namespace vlog {

namespace {

enum ChangeType {
  kChangeEnable = 1,
  kChangeName = 2,
  kChangePath = 3,
  kChangeLevel = 4,
  kChangeDisplay = 6,
  kChangeOutFile = 7,
  kChangeLimitSize = 8,
  kChangeMonthDir = 9,
  kChangeReserveTime = 10,
};

}  // namespace

bool LogerManager::handOver(int id, int type, int value, const char* text) {
  if (!validId(id)) return false;
  size_t length = text ? std::strlen(text) : 0;
  if (length >= static_cast<size_t>(kLogContentSize)) return false;
  if (!running_) {
    applyChange(id, type, value, text ? text : "");
    return true;
  }
  LogData* record = makeLogData(id, LOG_LEVEL_DEBUG);
  record->type = type;
  record->typeValue = value;
  std::memcpy(record->content, text ? text : "", length);
  record->content[length] = '\0';
  record->contentLength = static_cast<int>(length);
  enqueue(record);
  return true;
}

void LogerManager::applyChange(int id, int type, int value, const char* text) {
  if (!validId(id)) return;
  LoggerInfo& logger = loggers_[id];
  switch (type) {
    case kChangeEnable:
      logger.enable = value != 0;
      break;
    case kChangeName:
      logger.name = text;
      break;
    case kChangePath:
      logger.path = text;
      break;
    case kChangeLevel:
      logger.level = value;
      break;
    case kChangeDisplay:
      logger.display = value != 0;
      break;
    case kChangeOutFile:
      logger.outfile = value != 0;
      break;
    case kChangeLimitSize:
      logger.limitsize = static_cast<unsigned int>(value);
      break;
    case kChangeMonthDir:
      logger.monthdir = value != 0;
      break;
    case kChangeReserveTime:
      logger.reserveTime = value < 0 ? 0 : value;
      break;
    default:
      return;
  }
  closeFile(logger);
}

// Enabling and lowering the level take effect at once for callers; while the writer runs
// they are queued as well, so an earlier queued disable or raise cannot override them.
bool LogerManager::enableLogger(int id, bool enable) {
  if (!validId(id)) return false;
  if (enable) {
    loggers_[id].enable = true;
    if (!running_) return true;
  }
  return handOver(id, kChangeEnable, enable, nullptr);
}

bool LogerManager::setLoggerName(int id, const char* name) {
  if (!name || !*name) return false;
  return handOver(id, kChangeName, 0, name);
}

bool LogerManager::setLoggerPath(int id, const char* path) {
  if (!path || !*path) return false;
  std::string folder = path;
  char last = folder.back();
  if (last != '\\' && last != '/') folder += '/';
  return handOver(id, kChangePath, 0, folder.c_str());
}

bool LogerManager::setLoggerLevel(int id, int level) {
  if (!validId(id)) return false;
  if (level <= loggers_[id].level) {
    loggers_[id].level = level;
    if (!running_) return true;
  }
  return handOver(id, kChangeLevel, level, nullptr);
}

// The suffix is written by the caller's thread as it pushes a line, so the flag takes effect
// at once: lines pushed before the call keep their suffix, lines after it have none.
bool LogerManager::setLoggerFileLine(int id, bool enable) {
  if (!validId(id)) return false;
  loggers_[id].fileline = enable;
  return true;
}

bool LogerManager::setLoggerDisplay(int id, bool enable) { return handOver(id, kChangeDisplay, enable, nullptr); }
bool LogerManager::setLoggerOutFile(int id, bool enable) { return handOver(id, kChangeOutFile, enable, nullptr); }

bool LogerManager::setLoggerLimitsize(int id, unsigned int megabytes) {
  if (megabytes == 0) megabytes = UINT_MAX;
  return handOver(id, kChangeLimitSize, static_cast<int>(megabytes), nullptr);
}

bool LogerManager::setLoggerMonthdir(int id, bool enable) { return handOver(id, kChangeMonthDir, enable, nullptr); }

bool LogerManager::setLoggerReserveTime(int id, int64_t seconds) {
  return handOver(id, kChangeReserveTime, static_cast<int>(static_cast<uint32_t>(seconds)), nullptr);
}

bool LogerManager::setAutoUpdate(int intervalSeconds) {
  autoUpdateSeconds_ = intervalSeconds;
  return true;
}

}  // namespace vlog
}  // namespace vemtal
