// Construction, start, stop, drain, logger creation and the counters.
#include "common/log/loger_manager.h"

#include <cstring>

#include "common/log/log_console.h"
#include "common/log/log_text.h"

namespace vemtal {
namespace vlog {

namespace {

std::string processIdText() {
  char text[16];
  std::snprintf(text, sizeof(text), "%06u", static_cast<unsigned>(GetCurrentProcessId()));
  return text;
}

// The module file name's base without its extension, as UTF-8.
std::string processBaseName() {
  std::wstring path(1024, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  while (n == path.size() && path.size() < 32768) {
    path.resize(path.size() * 2);
    n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
  }
  if (n == 0 || n == path.size()) return "process";
  path.resize(n);
  size_t slash = path.find_last_of(L'\\');
  if (slash != std::wstring::npos) path.erase(0, slash + 1);
  size_t dot = path.find_last_of(L'.');
  if (dot != std::wstring::npos) path.erase(dot);
  return wideToUtf8(path);
}

}  // namespace

IVlogManager* IVlogManager::getInstance() {
  static LogerManager manager;
  return &manager;
}

LogerManager::LogerManager() : processId_(processIdText()), processName_(processBaseName()) {
  loggers_[0].enable = true;
  loggers_[0].key = "Main";
  loggers_[0].name = "Main";
  keys_["Main"] = 0;
}

LogerManager::~LogerManager() {
  if (hasThread()) {
    if (running_) showNotice("vlog stopping \r\n");
    running_ = false;
    joinThread();
  }
  for (LoggerInfo& logger : loggers_) closeFile(logger);
  for (LogData* record : queue_) delete record;
  for (LogData* record : cache_) delete record;
  for (LogData* record : pool_) delete record;
}

bool LogerManager::start() {
  if (running_ || hasThread()) {
    showNotice("vlog already start \r\n");
    return false;
  }
  startSemaphore_.create(0, 64);
  idleWake_.create(0, 1);
  if (!startThread()) {
    printOut("vlog: create vlog thread error! \r\n");
    return false;
  }
  return startSemaphore_.wait(3000);
}

bool LogerManager::stop() {
  if (!running_) return false;
  showNotice("vlog stopping \r\n");
  running_ = false;
  joinThread();
  LockGuard guard(poolLock_);
  for (LogData* record : pool_) delete record;
  pool_.clear();
  return true;
}

// A marker record travels through the queue behind every line pushed before this call;
// the writer signals when it reaches it, after writing those lines and closing the files.
// The writer keeps running, so later lines are logged as before.
bool LogerManager::drain() {
  if (!running_) return true;
  if (GetCurrentThreadId() == writerThreadId_) return false;
  uint64_t ticket;
  {
    std::lock_guard<std::mutex> guard(drainLock_);
    if (!writerAlive_) return true;
    ticket = ++drainRequested_;
  }
  LogData* marker = makeLogData(0, LOG_LEVEL_DEBUG);
  marker->type = kDrainMarker;
  std::memcpy(marker->content, &ticket, sizeof(ticket));
  enqueue(marker);
  idleWake_.release();  // an idle writer takes the marker now, not after its pause
  std::unique_lock<std::mutex> lock(drainLock_);
  drainDone_.wait(lock, [&] { return drainFinished_ >= ticket || !writerAlive_; });
  return true;
}

void LogerManager::finishDrain(uint64_t ticket) {
  {
    std::lock_guard<std::mutex> guard(drainLock_);
    if (ticket > drainFinished_) drainFinished_ = ticket;
  }
  drainDone_.notify_all();
}

void LogerManager::markWriterAlive(bool alive) {
  {
    std::lock_guard<std::mutex> guard(drainLock_);
    writerAlive_ = alive;
  }
  drainDone_.notify_all();
}

int LogerManager::CreateLogger(const char* key) {
  if (!key) return -1;
  std::string trimmed = trimKey(key);
  std::lock_guard<std::mutex> guard(keysLock_);
  auto found = keys_.find(trimmed);
  if (found != keys_.end()) return found->second;
  int id = maxId_ + 1;
  if (id >= kLoggerMax) {
    showNotice("vlog: CreateLogger can not create|writeover, because loggerid need < LOGGER_MAX! \r\n");
    return -1;
  }
  LoggerInfo& logger = loggers_[id];
  logger.key = trimmed;
  logger.name = trimmed;
  logger.enable = true;
  keys_[trimmed] = id;
  maxId_ = id;  // published last: callers see a complete logger
  return id;
}

int LogerManager::findLogger(const char* key) {
  if (!key) return -1;
  std::lock_guard<std::mutex> guard(keysLock_);
  auto found = keys_.find(key);
  return found == keys_.end() ? -1 : found->second;
}

bool LogerManager::isLoggerEnable(int id) { return validId(id) && loggers_[id].enable; }

int LogerManager::getActiveLoggerCount() {
  int count = 0;
  for (int id = 0; id <= maxId_; ++id) {
    if (loggers_[id].enable) ++count;
  }
  return count;
}

uint64_t LogerManager::getTotalWriteCount() { return writeCount_; }
uint64_t LogerManager::getTotalWriteBytes() { return writeBytes_; }
uint64_t LogerManager::getTotalPushCount() { return pushCount_; }
uint64_t LogerManager::getTotalPopCount() { return popCount_; }

}  // namespace vlog
}  // namespace vemtal
