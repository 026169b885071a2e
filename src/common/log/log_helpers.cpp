#include "common/log/log_helpers.h"

#include <process.h>

namespace vemtal {
namespace vlog {

ThreadHelper::~ThreadHelper() {
  if (handle_) CloseHandle(handle_);
}

bool ThreadHelper::startThread() {
  if (handle_) return false;
  unsigned id = 0;
  uintptr_t handle = _beginthreadex(nullptr, 0, &ThreadHelper::entry, this, 0, &id);
  if (handle == 0) return false;
  handle_ = reinterpret_cast<HANDLE>(handle);
  id_ = id;
  return true;
}

void ThreadHelper::joinThread() {
  if (!handle_) return;
  WaitForSingleObject(handle_, INFINITE);
  CloseHandle(handle_);
  handle_ = nullptr;
  id_ = 0;
}

unsigned __stdcall ThreadHelper::entry(void* self) {
  static_cast<ThreadHelper*>(self)->threadBody();
  return 0;
}

bool SemHelper::create(LONG initial, LONG maximum) {
  close();
  handle_ = CreateSemaphoreW(nullptr, initial, maximum, nullptr);
  return handle_ != nullptr;
}

void SemHelper::release() {
  if (handle_) ReleaseSemaphore(handle_, 1, nullptr);
}

bool SemHelper::wait(DWORD milliseconds) {
  return handle_ && WaitForSingleObject(handle_, milliseconds) == WAIT_OBJECT_0;
}

void SemHelper::close() {
  if (handle_) CloseHandle(handle_);
  handle_ = nullptr;
}

}  // namespace vlog
}  // namespace vemtal
