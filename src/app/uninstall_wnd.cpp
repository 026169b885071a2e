#include "app/uninstall_wnd.h"

#include <initializer_list>
#include <vector>

#include "app/app_log.h"
#include "app/job_window.h"
#include "app/window_guard.h"
#include "engine/zqpm/zqpm.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/controls/edit.h"
#include "ui/core/controls/option.h"

using SkinUI::CControlUI;
using SkinUI::COptionUI;
using SkinUI::CUIString;

namespace {

const wchar_t kReasonGroup[] = L"OptReason";
const wchar_t* const kBuiltinReasonNames[6] = {L"OptQuestion", L"OptMuch",       L"OptUgly",
                                               L"OptFlow",     L"OptUninstSelf", L"OptSale"};
// The layout's page height; the service's reasons are placed relative to it.
constexpr int kPageHeight = 350;

}  // namespace

CUninstallWnd::CUninstallWnd(const OpePARAMEx& record, JobOutcome& outcome) : m_record(record), m_outcome(outcome) {}

const wchar_t* CUninstallWnd::GetWindowClassName() const { return L"UninstallWnd"; }

CUIString CUninstallWnd::GetSkinFile() {
  return GuardWindowOperation("CUninstallWnd::GetSkinFile failed", [] { return CUIString(L"uninstall.xml"); });
}

void CUninstallWnd::OnSkinLoadFailed(const wchar_t* skinFile) {
  if (IsSilentMode(m_record.mode)) SilentSkinLoadFailed(skinFile);
  WindowImplBase::OnSkinLoadFailed(skinFile);
}

void CUninstallWnd::Init() {
  GuardWindowOperation("CUninstallWnd::Init failed", [this] {
    m_reports.Attach(m_hWnd);
    if (!InitControls()) return;
    if (m_record.mode == OpePARAMEx::CMD_SILENT_UNINSTALL) {
      // The whole uninstall runs inside this click; no reason list is fetched.
      m_record.useWorkerThread = false;
      ClickSelf(*this, m_pBtnCommit);
    }
  });
}

bool CUninstallWnd::InitControls() {
  SkinUI::CPaintManagerUI& pm = m_pm;
  m_pVerUninstPage1 = pm.FindControl(L"VerUninstPage1");
  m_pVerUninstPage2 = pm.FindControl(L"VerUninstPage2");
  m_pVerUninstPage3 = pm.FindControl(L"VerUninstPage3");
  m_pBtnUninst = pm.FindControl(L"BtnUninst");
  m_pBtnUse = pm.FindControl(L"BtnUse");
  m_pBtnMin = pm.FindControl(L"BtnMin");
  m_pBtnClose = pm.FindControl(L"BtnClose");
  for (int i = 0; i < 6; ++i) m_pBuiltinReasons[i] = FindControlAs<COptionUI>(pm, kBuiltinReasonNames[i], L"Option");
  m_pOptOther = FindControlAs<COptionUI>(pm, L"OptOther", L"Option");
  m_pEditOther = FindControlAs<SkinUI::CEditUI>(pm, L"EditOther", L"Edit");
  m_pEditNumber = FindControlAs<SkinUI::CEditUI>(pm, L"EditNumber", L"Edit");
  m_pBtnCommit = pm.FindControl(L"BtnCommit");
  m_pBtnNotUninst = pm.FindControl(L"BtnNotUninst");
  m_pBtnBye = pm.FindControl(L"BtnBye");
  std::vector<CControlUI*> needed = {
      m_pVerUninstPage1, m_pVerUninstPage2, m_pVerUninstPage3, m_pBtnUninst, m_pBtnUse,       m_pBtnMin, m_pBtnClose,
      m_pOptOther,       m_pEditOther,      m_pEditNumber,     m_pBtnCommit, m_pBtnNotUninst, m_pBtnBye};
  needed.insert(needed.end(), std::begin(m_pBuiltinReasons), std::end(m_pBuiltinReasons));
  const bool pageHoldsOptions = m_pVerUninstPage2 != nullptr && m_pVerUninstPage2->GetInterface(L"IContainer");
  for (CControlUI* control : needed) {
    if (control == nullptr || !pageHoldsOptions) {
      AppLog(4, "CUninstallWnd::InitControls, uninstall.xml lacks a control");
      OnSkinLoadFailed(L"uninstall.xml");
      return false;
    }
  }
  ShowBuiltinReasons(false);
  m_pEditOther->SetEnabled(false);
  ShowPage(m_pVerUninstPage1);
  return true;
}

void CUninstallWnd::ShowBuiltinReasons(bool shown) {
  for (COptionUI* option : m_pBuiltinReasons) option->SetVisible(shown);
}

void CUninstallWnd::ShowPage(CControlUI* page) {
  m_pVerUninstPage1->SetVisible(page == m_pVerUninstPage1);
  m_pVerUninstPage2->SetVisible(page == m_pVerUninstPage2);
  m_pVerUninstPage3->SetVisible(page == m_pVerUninstPage3);
}

bool CUninstallWnd::IsReasonOption(CControlUI* control) const {
  auto* option = control == nullptr ? nullptr : static_cast<COptionUI*>(control->GetInterface(L"Option"));
  return option != nullptr && wcscmp(option->GetGroup(), kReasonGroup) == 0;
}

void CUninstallWnd::Notify(SkinUI::NotifyRecordUI& msg) {
  if (msg.sType == L"click") {
    CControlUI* sender = msg.pSender;
    if (sender == m_pBtnUninst) {
      ShowReasonForm();
    } else if (sender == m_pBtnCommit) {
      StartUninstall();
    } else if (sender == m_pBtnMin) {
      SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
    } else if (sender == m_pBtnUse || sender == m_pBtnClose || sender == m_pBtnNotUninst || sender == m_pBtnBye) {
      Close(1);
    } else if (sender == m_pOptOther) {
      // The click comes before the option takes the selection.
      if (!m_pOptOther->IsSelected()) m_pEditOther->SetEnabled(true);
    } else if (IsReasonOption(sender)) {
      m_pEditOther->SetEnabled(false);
    }
  }
  WindowImplBase::Notify(msg);
}

// Uninstalling removes the skin archive too: the read-only mark the install set must go
// before any job, interactive or silent.
void CUninstallWnd::ClearSkinReadOnly() {
  const std::wstring skin = m_record.installDir + L"\\Setup\\PackageManager.zip";
  SetFileAttributesW(skin.c_str(), FILE_ATTRIBUTE_ARCHIVE);
}

void CUninstallWnd::ShowReasonForm() {
  ClearSkinReadOnly();
  ZQPM* engine = ZQPM::GetInstance();
  engine->SetUIPrompt(this);
  if (engine->GetUninstallTypeList(&m_record) != 0) ShowBuiltinReasons(true);
  ShowPage(m_pVerUninstPage2);
}

void CUninstallWnd::StartUninstall() {
  // The engine holds no lock: one job per window.
  if (m_committed) return;
  m_committed = true;
  m_pBtnCommit->SetEnabled(false);
  ClearSkinReadOnly();
  ZQPM* engine = ZQPM::GetInstance();
  engine->SetUIPrompt(this);
  m_record.feedback = BuildFeedback();
  m_outcome.Started();
  const int result = engine->Uninstall(&m_record);
  if (result == 0) return;
  AppLog(4, "CUninstallWnd::StartUninstall, Uninstall failed, ret %d", result);
  m_outcome.Failed();
  if (IsSilentMode(m_record.mode)) {
    Close(1);
    return;
  }
  // The job did not run: the form stays and may be committed again.
  m_committed = false;
  m_pBtnCommit->SetEnabled(true);
}

void CUninstallWnd::NotifyUpdateWnd(std::string reply) {
  m_reports.Post([this, reply] { ApplyReasonReply(reply); });
}

void CUninstallWnd::ApplyReasonReply(const std::string& reply) {
  std::vector<UninstallReason> reasons;
  std::string error;
  // The whole reply is read first: a list broken half-way shows the built-in reasons only.
  if (!ParseReasonReply(reply, reasons, error)) {
    AppLog(4, "NotifyUpdateWnd: json exception, errmsg %s", error.c_str());
    ShowBuiltinReasons(true);
    return;
  }
  const int baseY = m_pVerUninstPage1->GetHeight() - kPageHeight;
  auto* page = static_cast<SkinUI::IContainerUI*>(m_pVerUninstPage2->GetInterface(L"IContainer"));
  for (size_t n = 0; n < reasons.size(); ++n) {
    page->Add(AddReasonOption(reasons[n], ReasonOptionPos(n, baseY)));
    m_reasons[static_cast<int>(n) + 1] = reasons[n];
  }
}

COptionUI* CUninstallWnd::AddReasonOption(const UninstallReason& reason, const std::wstring& pos) {
  auto* option = new COptionUI();
  option->SetName(reason.optionName.c_str());
  option->SetText(reason.text.c_str());
  option->SetTextColor(0xFF666666);
  option->SetFont(0);
  option->SetAttribute(L"float", L"true");
  option->SetAttribute(L"pos", pos.c_str());
  option->SetAttribute(L"textpadding", L"26,0,0,0");
  option->SetAttribute(L"align", L"left");
  option->SetAttribute(L"normalimage", L"res = 'opt.png' dest='0,0,14,14' source = '24,0,38,14'");
  option->SetAttribute(L"selectedimage", L"res='opt.png' dest='0,0,14,14' source='0,0,14,14'");
  option->SetAttribute(L"height", L"14");
  option->SetAttribute(L"width", L"200");
  option->SetGroup(kReasonGroup);
  option->SetTag(static_cast<UINT_PTR>(reason.id));
  return option;
}

std::wstring CUninstallWnd::BuildFeedback() {
  for (const auto& entry : m_reasons) {
    auto* option = FindControlAs<COptionUI>(m_pm, entry.second.optionName.c_str(), L"Option");
    if (option != nullptr && option->IsSelected()) {
      return BuildFeedbackText(static_cast<int>(option->GetTag()), std::wstring(), m_pEditNumber->GetText().GetData());
    }
  }
  if (m_pOptOther->IsSelected()) {
    return BuildFeedbackText(0, m_pEditOther->GetText().GetData(), m_pEditNumber->GetText().GetData());
  }
  return BuildFeedbackText(kNoFeedbackType, std::wstring(), std::wstring());
}

void CUninstallWnd::OnProgress(int step, int percentDelta, std::wstring) {
  // The layout has no bar: the percentage is kept, nothing is shown.
  m_reports.Post([this, step, percentDelta] { m_meter.AddStep(step, percentDelta); });
}

void CUninstallWnd::OnFinish(const char*, int) {
  m_reports.Post([this] { ApplyFinish(); });
}

void CUninstallWnd::ApplyFinish() {
  m_outcome.Finished();
  if (m_record.mode == OpePARAMEx::CMD_SILENT_UNINSTALL) ClickSelf(*this, m_pBtnBye);
  m_meter.AddStep(ProgressStep::kDone, 100);
  ShowPage(m_pVerUninstPage3);
  UpdateWindow(m_hWnd);
}

void CUninstallWnd::OnMessage(std::wstring message, int) {
  m_reports.Post([=] { ApplyFailure(message); });
}

void CUninstallWnd::ApplyFailure(const std::wstring& message) {
  m_outcome.Failed();
  // A silent job ran inside the commit click, which closes the window on its failure.
  if (IsSilentMode(m_record.mode)) return;
  MessageBoxW(m_hWnd, message.c_str(), L"错误", MB_OK | MB_ICONERROR);
  Close(1);
}

LRESULT CUninstallWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  return HandleJobWindowMessage(m_pm, GetWindowClassName(), m_reports, nullptr, uMsg, wParam, lParam, bHandled);
}

void CUninstallWnd::OnFinalMessage(HWND hWnd) {
  EndJobWindow("CUninstallWnd::OnFinalMessage", m_reports, [&] { WindowImplBase::OnFinalMessage(hWnd); });
  delete this;
}
