#include "engine/zqpm/prompt_relay.h"

#include <utility>

using Guard = std::lock_guard<std::recursive_mutex>;

void PromptRelay::Attach(IInstallUIPromptEx* window) {
  Guard guard(lock_);
  window_ = window;
}

void PromptRelay::OnProgress(int step, int percentDelta, std::wstring detail) {
  Guard guard(lock_);
  if (window_) window_->OnProgress(step, percentDelta, std::move(detail));
}

void PromptRelay::OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {
  Guard guard(lock_);
  if (window_) window_->OnProgressEx(step, done, total, std::move(detail), parts);
}

void PromptRelay::OnFinish(const char* text, int code) {
  Guard guard(lock_);
  if (window_) window_->OnFinish(text, code);
}

void PromptRelay::NotifyUpdateWnd(std::string reply) {
  Guard guard(lock_);
  if (window_) window_->NotifyUpdateWnd(std::move(reply));
}

void PromptRelay::OnMessage(std::wstring message, int code) {
  Guard guard(lock_);
  if (window_) window_->OnMessage(std::move(message), code);
}

void PromptRelay::OnMessageA(std::string message, int code) {
  Guard guard(lock_);
  if (window_) window_->OnMessageA(std::move(message), code);
}

void PromptRelay::OnMessageA2(std::string message, int code) {
  Guard guard(lock_);
  if (window_) window_->OnMessageA2(std::move(message), code);
}
