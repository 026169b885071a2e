// The window of a web install (mode 5) and a silent web install (mode 6): the download page
// with sizes, speed and percentage, then the page after the job with the quick start.
#pragma once

#include <string>

#include "app/float_icons.h"
#include "app/job_outcome.h"
#include "app/report_handoff.h"
#include "engine/job/job_record.h"
#include "engine/job/prompt.h"
#include "engine/zqpm/step_text.h"
#include "ui/core/window/window_impl_base.h"

namespace SkinUI {
class CProgressUI;
}

// "总大小：1.54M，已下载：0.77M" followed by the engine's speed text, sizes in millions of bytes.
std::wstring DownloadTipsText(unsigned int total, unsigned int done, const std::wstring& speed);

class CWebInstallWnd : public IInstallUIPromptEx, public SkinUI::WindowImplBase {
 public:
  CWebInstallWnd(const OpePARAMEx& record, JobOutcome& outcome);

  // Engine reports, from the job's thread: handed to the window's thread and applied there.
  void OnProgressEx(int step, int done, int total, std::wstring detail, int parts) override;
  void OnFinish(const char* text, int code) override;
  void OnMessage(std::wstring message, int code) override;

 protected:
  const wchar_t* GetWindowClassName() const override;
  SkinUI::CUIString GetSkinFile() override;
  void Init() override;
  void OnFinalMessage(HWND hWnd) override;
  void OnSkinLoadFailed(const wchar_t* skinFile) override;
  LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  void Notify(SkinUI::NotifyRecordUI& msg) override;

 private:
  bool InitControls();
  void StartJob();
  void ShowDownload(int step, int done, int total, const std::wstring& detail, int parts);
  void ShowMessage(const std::wstring& message);
  void ApplyFinish();

  ProgressMeter m_meter;
  SkinUI::CControlUI* m_pBtnWebInstallClose = nullptr;
  SkinUI::CControlUI* m_pBtnQuickStart = nullptr;
  SkinUI::CProgressUI* m_pProWebInstall = nullptr;
  SkinUI::CControlUI* m_pLabelTips = nullptr;
  SkinUI::CControlUI* m_pLabelAction = nullptr;
  SkinUI::CControlUI* m_pVerDownload = nullptr;
  SkinUI::CControlUI* m_pVerAfterInstall = nullptr;
  FloatIcons m_icons;
  OpePARAMEx m_record;
  JobOutcome& m_outcome;
  ReportHandoff m_reports;
};
