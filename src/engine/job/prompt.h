// The window's progress interface: the engine reports a running job to the one window
// registered with it. Every call is made on the job's thread; none returns anything the
// engine reads.
#pragma once

#include <string>

// The seven operations keep this slot order; the destructor comes after them.
class IInstallUIPromptEx {
 public:
  // A step began or ended: the window adds percentDelta to its bar.
  virtual void OnProgress(int step, int percentDelta, std::wstring detail) {}
  // Progress inside a step: done of total items, the step owning `parts` percent of the bar.
  virtual void OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {}
  // The job ended successfully; no window reads the arguments.
  virtual void OnFinish(const char* text, int code) {}
  // The whole reply of the uninstall-reason request (JSON).
  virtual void NotifyUpdateWnd(std::string reply) {}
  // A failure text that the window shows.
  virtual void OnMessage(std::wstring message, int code) {}
  // Load errors of the component configuration files.
  virtual void OnMessageA(std::string message, int code) {}
  virtual void OnMessageA2(std::string message, int code) {}

  virtual ~IInstallUIPromptEx() = default;
};
