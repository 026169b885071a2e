#include "app/web_install_wnd.h"

#include <cwchar>
#include <initializer_list>

#include "app/app_log.h"
#include "app/job_window.h"
#include "app/window_guard.h"
#include "engine/zqpm/zqpm.h"
#include "ui/core/controls/progress.h"

using SkinUI::CControlUI;
using SkinUI::CUIString;

namespace {

const wchar_t kDownloadFailed[] = L"下载失败";

float Megabytes(unsigned int bytes) {
  return static_cast<float>(static_cast<double>(static_cast<float>(bytes)) / 1000 / 1000);
}

}  // namespace

std::wstring DownloadTipsText(unsigned int total, unsigned int done, const std::wstring& speed) {
  wchar_t sizes[96] = {};
  // The speed text is appended, not formatted in: no length of it can overflow the buffer.
  swprintf(sizes, 96, L"总大小：%.2fM，已下载：%.2fM", Megabytes(total), Megabytes(done));
  return sizes + speed;
}

CWebInstallWnd::CWebInstallWnd(const OpePARAMEx& record, JobOutcome& outcome) : m_record(record), m_outcome(outcome) {}

const wchar_t* CWebInstallWnd::GetWindowClassName() const { return L"WebInstallWnd"; }

CUIString CWebInstallWnd::GetSkinFile() {
  return GuardWindowOperation("CWebInstallWnd::GetSkinFile failed", [] { return CUIString(L"webinstall.xml"); });
}

void CWebInstallWnd::OnSkinLoadFailed(const wchar_t* skinFile) {
  if (IsSilentMode(m_record.mode)) SilentSkinLoadFailed(skinFile);
  WindowImplBase::OnSkinLoadFailed(skinFile);
}

void CWebInstallWnd::Init() {
  GuardWindowOperation("CWebInstallWnd::Init failed", [this] {
    m_reports.Attach(m_hWnd);
    if (InitControls()) StartJob();
  });
}

bool CWebInstallWnd::InitControls() {
  SkinUI::CPaintManagerUI& pm = m_pm;
  m_pBtnWebInstallClose = pm.FindControl(L"BtnWebInstallClose");
  m_pBtnQuickStart = pm.FindControl(L"BtnQuickStart");
  m_pProWebInstall = FindControlAs<SkinUI::CProgressUI>(pm, L"ProWebInstall", L"Progress");
  m_pLabelTips = pm.FindControl(L"LabelTips");
  m_pLabelAction = pm.FindControl(L"LabelAction");
  m_icons.Find(pm);
  m_pVerDownload = pm.FindControl(L"VerDownload");
  m_pVerAfterInstall = pm.FindControl(L"VerAfterInstall");
  // Every control but the floating icons is needed: a skin without one is a broken skin.
  for (CControlUI* needed : {m_pBtnWebInstallClose, m_pBtnQuickStart, static_cast<CControlUI*>(m_pProWebInstall),
                             m_pLabelTips, m_pLabelAction, m_pVerDownload, m_pVerAfterInstall}) {
    if (needed == nullptr) {
      AppLog(4, "CWebInstallWnd::InitControls, webinstall.xml lacks a control");
      OnSkinLoadFailed(L"webinstall.xml");
      return false;
    }
  }
  m_pVerDownload->SetVisible(true);
  m_pVerAfterInstall->SetVisible(false);
  return true;
}

void CWebInstallWnd::StartJob() {
  ZQPM* engine = ZQPM::GetInstance();
  engine->SetUIPrompt(this);
  m_outcome.Started();
  const int result = engine->Install(&m_record);
  if (result != 0) {
    AppLog(4, "CWebInstallWnd::StartJob, Install failed, ret %d", result);
    ShowMessage(kDownloadFailed);
  }
}

void CWebInstallWnd::Notify(SkinUI::NotifyRecordUI& msg) {
  if (msg.sType == L"click") {
    if (msg.pSender == m_pBtnWebInstallClose) {
      Close(1);
    } else if (msg.pSender == m_pBtnQuickStart) {
      ZQPM::GetInstance()->StartByOther(&m_record);
      Close(1);
    }
  }
  WindowImplBase::Notify(msg);
}

void CWebInstallWnd::OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {
  m_reports.Post([=] { ShowDownload(step, done, total, detail, parts); });
}

void CWebInstallWnd::OnFinish(const char*, int) {
  m_reports.Post([this] { ApplyFinish(); });
}

void CWebInstallWnd::OnMessage(std::wstring message, int) {
  m_reports.Post([=] { ShowMessage(message); });
}

void CWebInstallWnd::ShowDownload(int step, int done, int total, const std::wstring& detail, int parts) {
  if (step == ProgressStep::kInstallProduct) {
    m_pLabelAction->SetText(GetStepText(step).c_str());
    return;
  }
  const int shown = m_meter.Within(done, total, parts);
  m_pProWebInstall->SetText(PercentText(shown).c_str());
  m_pProWebInstall->SetValue(shown);
  m_pLabelTips->SetText(
      DownloadTipsText(static_cast<unsigned int>(total), static_cast<unsigned int>(done), detail).c_str());
  // A web install ends by opening the package for the user, without an end report: the
  // complete download is the end of this process's part.
  if (m_record.mode == OpePARAMEx::CMD_WEB_INSTALL && total > 0 && done >= total) m_outcome.Finished();
}

void CWebInstallWnd::ShowMessage(const std::wstring& message) {
  m_outcome.Failed();
  m_pLabelTips->SetText(L"");
  m_pLabelAction->SetText(message.c_str());
}

void CWebInstallWnd::ApplyFinish() {
  m_outcome.Finished();
  m_pProWebInstall->SetText(L"100%");
  m_pProWebInstall->SetValue(100);
  m_icons.SavePlaces();
  m_pVerDownload->SetVisible(false);
  m_pVerAfterInstall->SetVisible(true);
  UpdateWindow(m_hWnd);
  if (m_icons.AllPresent()) SetTimer(m_hWnd, FloatIcons::kTimerId, FloatIcons::kTimerMs, nullptr);
}

LRESULT CWebInstallWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  return HandleJobWindowMessage(m_pm, GetWindowClassName(), m_reports, &m_icons, uMsg, wParam, lParam, bHandled);
}

void CWebInstallWnd::OnFinalMessage(HWND hWnd) {
  EndJobWindow("CWebInstallWnd::OnFinalMessage", m_reports, [&] { WindowImplBase::OnFinalMessage(hWnd); });
  delete this;
}
