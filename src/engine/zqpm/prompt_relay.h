// The engine's one receiver of job reports. The update engine and the product descriptions
// report to it; it hands each report to the window registered at the time, or drops it
// when none is. A window detaches (Attach(nullptr)) before it goes away: the call waits for
// a report in flight, and no report reaches the window afterwards.
#pragma once

#include <mutex>
#include <string>

#include "engine/job/prompt.h"

class PromptRelay final : public IInstallUIPromptEx {
 public:
  // Registers window (null: none) in place of the previous one. Called from inside one of
  // the window's own report handlers it does not wait. A window's handlers must not wait for
  // a thread that may be attaching or detaching a window (they post to the UI thread).
  void Attach(IInstallUIPromptEx* window);

  void OnProgress(int step, int percentDelta, std::wstring detail) override;
  void OnProgressEx(int step, int done, int total, std::wstring detail, int parts) override;
  void OnFinish(const char* text, int code) override;
  void NotifyUpdateWnd(std::string reply) override;
  void OnMessage(std::wstring message, int code) override;
  void OnMessageA(std::string message, int code) override;
  void OnMessageA2(std::string message, int code) override;

 private:
  std::recursive_mutex lock_;
  IInstallUIPromptEx* window_ = nullptr;
};
