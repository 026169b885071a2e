// The window of an uninstall (mode 1) and a silent uninstall (mode 4): the confirmation
// page, the feedback form with the reasons of the update service, and the farewell page.
#pragma once

#include <map>
#include <string>

#include "app/job_outcome.h"
#include "app/report_handoff.h"
#include "app/uninstall_reasons.h"
#include "engine/job/job_record.h"
#include "engine/job/prompt.h"
#include "engine/zqpm/step_text.h"
#include "ui/core/window/window_impl_base.h"

namespace SkinUI {
class COptionUI;
class CEditUI;
}  // namespace SkinUI

class CUninstallWnd : public IInstallUIPromptEx, public SkinUI::WindowImplBase {
 public:
  CUninstallWnd(const OpePARAMEx& record, JobOutcome& outcome);

  // Engine reports: applied on the window's thread.
  void OnProgress(int step, int percentDelta, std::wstring detail) override;
  void OnFinish(const char* text, int code) override;
  // The job refused or stopped: a box says so (not in the silent mode), then the window closes.
  void OnMessage(std::wstring message, int code) override;
  // The reply of the reason query, inside the "BtnUninst" click.
  void NotifyUpdateWnd(std::string reply) override;

  // The feedback of the form as it stands, as "BtnCommit" stores it (empty: none).
  std::wstring BuildFeedback();

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
  void ShowBuiltinReasons(bool shown);
  SkinUI::COptionUI* AddReasonOption(const UninstallReason& reason, const std::wstring& pos);
  void ApplyReasonReply(const std::string& reply);
  void ShowReasonForm();
  void StartUninstall();
  void ApplyFinish();
  void ApplyFailure(const std::wstring& message);
  void ClearSkinReadOnly();
  void ShowPage(SkinUI::CControlUI* page);
  bool IsReasonOption(SkinUI::CControlUI* control) const;

  ProgressMeter m_meter;
  SkinUI::CControlUI* m_pBtnUninst = nullptr;
  SkinUI::CControlUI* m_pBtnUse = nullptr;
  SkinUI::CControlUI* m_pBtnMin = nullptr;
  SkinUI::CControlUI* m_pBtnClose = nullptr;
  SkinUI::CControlUI* m_pVerUninstPage1 = nullptr;
  SkinUI::CControlUI* m_pVerUninstPage2 = nullptr;
  SkinUI::CControlUI* m_pVerUninstPage3 = nullptr;
  SkinUI::COptionUI* m_pBuiltinReasons[6] = {};
  SkinUI::COptionUI* m_pOptOther = nullptr;
  SkinUI::CEditUI* m_pEditOther = nullptr;
  SkinUI::CEditUI* m_pEditNumber = nullptr;
  SkinUI::CControlUI* m_pBtnCommit = nullptr;
  SkinUI::CControlUI* m_pBtnNotUninst = nullptr;
  SkinUI::CControlUI* m_pBtnBye = nullptr;
  OpePARAMEx m_record;
  // The service's reasons by 1-based index, in the order they were offered.
  std::map<int, UninstallReason> m_reasons;
  bool m_committed = false;
  JobOutcome& m_outcome;
  ReportHandoff m_reports;
};
