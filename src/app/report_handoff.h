// Carries the engine's progress reports from the job's worker thread to the window's own
// thread: framework controls belong to the UI thread and must not be touched from another.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>

class ReportHandoff {
 public:
  // The window message that tells the window reports are waiting.
  static UINT Message();

  // From the window's thread, once its native window exists.
  void Attach(HWND window);
  // From the window's thread before it goes away: waiting and later reports are dropped.
  void Detach();

  // From any thread: runs `apply` on the window's thread, at once when called there (the
  // silent jobs report on the UI thread), else when the window handles Message().
  void Post(std::function<void()> apply);

  // From the window's thread on Message(): applies every waiting report in arrival order.
  void RunPending();

 private:
  std::mutex lock_;
  HWND window_ = nullptr;
  DWORD uiThread_ = 0;
  std::deque<std::function<void()>> waiting_;
};
