// Small owners of the Win32 objects the logger is built on: its thread, a critical
// section and a semaphore.
#pragma once

#include <windows.h>

namespace vemtal {
namespace vlog {

// Owns one thread started through the C runtime; the derived class supplies its body.
class ThreadHelper {
 public:
  ThreadHelper() = default;
  ThreadHelper(const ThreadHelper&) = delete;
  ThreadHelper& operator=(const ThreadHelper&) = delete;
  virtual ~ThreadHelper();

 protected:
  virtual void threadBody() = 0;

  bool startThread();
  void joinThread();  // waits without limit, then releases the handle
  bool hasThread() const { return handle_ != nullptr; }
  DWORD threadId() const { return id_; }

 private:
  static unsigned __stdcall entry(void* self);

  HANDLE handle_ = nullptr;
  DWORD id_ = 0;
};

class LockHelper {
 public:
  static constexpr DWORD kSpinCount = 4000;
  // Callers on several threads meet at the queue and the pool: a short spin before sleeping
  // costs less than a wait in the kernel (or the server, under Wine).
  LockHelper() { InitializeCriticalSectionAndSpinCount(&section_, kSpinCount); }
  LockHelper(const LockHelper&) = delete;
  LockHelper& operator=(const LockHelper&) = delete;
  virtual ~LockHelper() { DeleteCriticalSection(&section_); }

  void lock() { EnterCriticalSection(&section_); }
  void unlock() { LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class LockGuard {
 public:
  explicit LockGuard(LockHelper& lock) : lock_(lock) { lock_.lock(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;
  ~LockGuard() { lock_.unlock(); }

 private:
  LockHelper& lock_;
};

class SemHelper {
 public:
  SemHelper() = default;
  SemHelper(const SemHelper&) = delete;
  SemHelper& operator=(const SemHelper&) = delete;
  virtual ~SemHelper() { close(); }

  bool create(LONG initial, LONG maximum);
  void release();
  bool wait(DWORD milliseconds);  // true when signalled in time
  bool created() const { return handle_ != nullptr; }

 private:
  void close();

  HANDLE handle_ = nullptr;
};

}  // namespace vlog
}  // namespace vemtal
