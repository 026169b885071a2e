#include "app/job_window.h"

#include "app/state_dump.h"
#include "app/window_guard.h"
#include "engine/zqpm/zqpm.h"

void ClickSelf(SkinUI::WindowImplBase& window, SkinUI::CControlUI* sender) {
  SkinUI::NotifyRecordUI click = {};
  click.sType = L"click";
  click.pSender = sender;
  click.dwTimestamp = GetTickCount();
  window.Notify(click);
}

LRESULT HandleJobWindowMessage(SkinUI::CPaintManagerUI& pm, const wchar_t* windowClass, ReportHandoff& reports,
                               FloatIcons* icons, UINT msg, WPARAM wParam, LPARAM lParam, bool& handled) {
  if (msg == ReportHandoff::Message()) {
    reports.RunPending();
    handled = true;
  } else if (msg == WM_TIMER && wParam == FloatIcons::kTimerId && icons != nullptr) {
    icons->Step();
  } else {
    handled = HandleStateDump(pm, windowClass, msg, wParam, lParam);
  }
  return 0;
}

void EndJobWindow(const char* failedText, ReportHandoff& reports, const std::function<void()>& baseFinal) {
  GuardWindowOperation(failedText, [&] {
    ZQPM::GetInstance()->SetUIPrompt(nullptr);
    reports.Detach();
    baseFinal();
  });
  PostQuitMessage(0);
}
