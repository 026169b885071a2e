#include "app/report_handoff.h"

UINT ReportHandoff::Message() { return WM_APP + 0x120; }

void ReportHandoff::Attach(HWND window) {
  std::lock_guard<std::mutex> guard(lock_);
  window_ = window;
  uiThread_ = GetCurrentThreadId();
}

void ReportHandoff::Detach() {
  std::lock_guard<std::mutex> guard(lock_);
  window_ = nullptr;
  waiting_.clear();
}

void ReportHandoff::Post(std::function<void()> apply) {
  {
    std::lock_guard<std::mutex> guard(lock_);
    if (window_ == nullptr) return;
    if (GetCurrentThreadId() != uiThread_) {
      waiting_.push_back(std::move(apply));
      // One wake-up per report keeps it simple; RunPending drains whatever is there.
      PostMessageW(window_, Message(), 0, 0);
      return;
    }
  }
  apply();
}

void ReportHandoff::RunPending() {
  for (;;) {
    std::function<void()> apply;
    {
      std::lock_guard<std::mutex> guard(lock_);
      if (waiting_.empty()) return;
      apply = std::move(waiting_.front());
      waiting_.pop_front();
    }
    apply();
  }
}
