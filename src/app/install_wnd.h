// The window of an install (mode 0) and a silent install (mode 3): the page before the
// install (button, folder, licence), the page during it (bar and status line) and the page
// after it (quick start, floating icons).
#pragma once

#include "app/float_icons.h"
#include "app/job_outcome.h"
#include "app/report_handoff.h"
#include "engine/job/job_record.h"
#include "engine/job/prompt.h"
#include "engine/jobs/file_size_text.h"
#include "engine/zqpm/step_text.h"
#include "ui/core/window/window_impl_base.h"

namespace SkinUI {
class COptionUI;
class CProgressUI;
class CEditUI;
}  // namespace SkinUI

class CInstallWnd : public IInstallUIPromptEx, public SkinUI::WindowImplBase {
 public:
  CInstallWnd(const OpePARAMEx& record, JobOutcome& outcome);

  // Engine reports, from the job's thread: handed to the window's thread and applied there.
  void OnProgress(int step, int percentDelta, std::wstring detail) override;
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
  LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  void Notify(SkinUI::NotifyRecordUI& msg) override;

 private:
  void InitControls();
  void StartInstall();
  void QuickStart();
  void ChooseFolder();
  void AskToClose();
  void ShowPercent(int percent, int step, const std::wstring& detail);
  void ApplyFinish();
  void ApplyFailure(const std::wstring& message);
  void OnInstallFinished();
  std::wstring SkinArchivePath() const;
  void ShowPage(SkinUI::CControlUI* page);

  ProgressMeter m_meter;
  SkinUI::CControlUI* m_pLabelTips = nullptr;
  SkinUI::CControlUI* m_pBtnInstall = nullptr;
  SkinUI::CControlUI* m_pBtnQuickStart = nullptr;
  SkinUI::CControlUI* m_pBtnLicence = nullptr;
  SkinUI::CControlUI* m_pBtnCustom = nullptr;
  SkinUI::CControlUI* m_pBtnInstallClose = nullptr;
  SkinUI::CProgressUI* m_pProInstall = nullptr;
  SkinUI::CEditUI* m_pEditPath = nullptr;
  SkinUI::CControlUI* m_pVerBeforInstall = nullptr;
  SkinUI::CControlUI* m_pVerInstall = nullptr;
  SkinUI::CControlUI* m_pVerAfterInstall = nullptr;
  SkinUI::COptionUI* m_pOptLicence = nullptr;
  FloatIcons m_icons;
  OpePARAMEx m_record;
  int m_mayClose = 1;
  bool m_closeConfirmed = false;
  FileSizeInfo m_fileSize;
  JobOutcome& m_outcome;
  ReportHandoff m_reports;
};
