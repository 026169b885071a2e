#include "app/install_wnd.h"

#include <shellapi.h>

#include <initializer_list>

#include "app/app_log.h"
#include "app/channel_url.h"
#include "app/install_folder.h"
#include "app/job_window.h"
#include "app/msg_wnd.h"
#include "app/window_guard.h"
#include "common/sys/dir_tree.h"
#include "engine/zqpm/zqpm.h"
#include "ui/core/controls/edit.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"

using SkinUI::CControlUI;
using SkinUI::CUIString;

namespace {

const wchar_t kLicencePage[] = L"https://www.tamsel.example/help/servicesDetail.htm?articleId=56";

}  // namespace

CInstallWnd::CInstallWnd(const OpePARAMEx& record, JobOutcome& outcome) : m_record(record), m_outcome(outcome) {}

const wchar_t* CInstallWnd::GetWindowClassName() const { return L"InstallWnd"; }

CUIString CInstallWnd::GetSkinFile() {
  return GuardWindowOperation("CInstallWnd::GetSkinFile failed", [] { return CUIString(L"install.xml"); });
}

void CInstallWnd::OnSkinLoadFailed(const wchar_t* skinFile) {
  if (IsSilentMode(m_record.mode)) SilentSkinLoadFailed(skinFile);
  WindowImplBase::OnSkinLoadFailed(skinFile);
}

void CInstallWnd::Init() {
  GuardWindowOperation("CInstallWnd::Init failed", [this] {
    m_reports.Attach(m_hWnd);
    InitControls();
  });
}

void CInstallWnd::InitControls() {
  SkinUI::CPaintManagerUI& pm = m_pm;
  m_pBtnInstallClose = pm.FindControl(L"BtnInstallClose");
  m_pBtnCustom = pm.FindControl(L"BtnCustom");
  m_pBtnInstall = pm.FindControl(L"BtnInstall");
  m_pBtnQuickStart = pm.FindControl(L"BtnQuickStart");
  m_pBtnLicence = pm.FindControl(L"BtnLicence");
  m_pProInstall = FindControlAs<SkinUI::CProgressUI>(pm, L"ProInstall", L"Progress");
  m_icons.Find(pm);
  m_pEditPath = FindControlAs<SkinUI::CEditUI>(pm, L"EditPath", L"Edit");
  m_pLabelTips = pm.FindControl(L"LabelTips");
  m_pVerBeforInstall = pm.FindControl(L"VerBeforInstall");
  m_pVerAfterInstall = pm.FindControl(L"VerAfterInstall");
  m_pVerInstall = pm.FindControl(L"VerInstall");
  m_pOptLicence = FindControlAs<SkinUI::COptionUI>(pm, L"OptLicence", L"Option");
  // Every control but the floating icons is needed: a skin without one is a broken skin.
  const std::initializer_list<CControlUI*> needed = {
      m_pBtnInstallClose, m_pBtnCustom, m_pBtnInstall,      m_pBtnQuickStart,   m_pBtnLicence, m_pProInstall,
      m_pEditPath,        m_pLabelTips, m_pVerBeforInstall, m_pVerAfterInstall, m_pVerInstall, m_pOptLicence};
  for (CControlUI* control : needed) {
    if (control == nullptr) {
      AppLog(4, "CInstallWnd::InitControls, install.xml lacks a control");
      OnSkinLoadFailed(L"install.xml");
      return;
    }
  }
  m_mayClose = 1;
  // The folder comes from the folder dialog only.
  m_pEditPath->SetMouseEnabled(false);
  m_pEditPath->SetReadOnly(true);
  m_pEditPath->SetText(m_record.installDir.c_str());
  m_pOptLicence->Selected(true);
  ShowPage(m_pVerBeforInstall);
  m_pBtnQuickStart->SetVisible(false);
  m_pProInstall->SetValue(0);
  if (m_record.mode == OpePARAMEx::CMD_SILENT_INSTALL) {
    m_record.useWorkerThread = false;
    ClickSelf(*this, m_pBtnInstall);
  }
}

void CInstallWnd::ShowPage(CControlUI* page) {
  m_pVerBeforInstall->SetVisible(page == m_pVerBeforInstall);
  m_pVerInstall->SetVisible(page == m_pVerInstall);
  m_pVerAfterInstall->SetVisible(page == m_pVerAfterInstall);
}

void CInstallWnd::Notify(SkinUI::NotifyRecordUI& msg) {
  if (msg.sType == L"click") {
    if (msg.pSender == m_pBtnInstall) {
      StartInstall();
    } else if (msg.pSender == m_pBtnQuickStart) {
      QuickStart();
    } else if (msg.pSender == m_pBtnLicence) {
      ShellExecuteW(nullptr, L"open", kLicencePage, nullptr, nullptr, SW_SHOWNORMAL);
    } else if (msg.pSender == m_pBtnCustom) {
      ChooseFolder();
    } else if (msg.pSender == m_pOptLicence) {
      m_pBtnInstall->SetVisible(!m_pBtnInstall->IsVisible());
    } else if (msg.pSender == m_pBtnInstallClose) {
      if (m_mayClose != 0) {
        Close(1);
      } else {
        AskToClose();
      }
    }
  }
  WindowImplBase::Notify(msg);
}

void CInstallWnd::ChooseFolder() {
  const std::wstring folder = ChooseInstallFolder(m_hWnd, m_record.installSubDir);
  if (!folder.empty()) m_pEditPath->SetText(folder.c_str());
}

void CInstallWnd::AskToClose() {
  if (m_closeConfirmed) return;
  if (CMsgWnd::Ask(m_hWnd) == CMsgWnd::kQuit) {
    m_closeConfirmed = true;
    Close(1);
  }
}

LRESULT CInstallWnd::OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  // Every road to closing (title button, Alt+F4, the task bar) asks while a job runs.
  if (m_mayClose == 0 && !m_closeConfirmed) {
    bHandled = true;
    AskToClose();
    return 0;
  }
  return WindowImplBase::OnClose(uMsg, wParam, lParam, bHandled);
}

std::wstring CInstallWnd::SkinArchivePath() const { return m_record.installDir + L"\\Setup\\PackageManager.zip"; }

void CInstallWnd::StartInstall() {
  const std::wstring folder = m_pEditPath->GetText().GetData();
  if (!IsUsableInstallFolder(folder)) {
    AppLog(4, "CInstallWnd::StartInstall, install folder %S not usable", folder.c_str());
    if (IsSilentMode(m_record.mode)) {
      ApplyFailure(L"安装失败");
    } else {
      MessageBoxW(m_hWnd, L"安装目录不可用，请重新选择安装目录。", L"提示", MB_OK | MB_ICONWARNING);
    }
    return;
  }
  m_record.installDir = folder;
  SetFileAttributesW(SkinArchivePath().c_str(), FILE_ATTRIBUTE_ARCHIVE);
  m_icons.SavePlaces();
  m_mayClose = 0;
  ShowPage(m_pVerInstall);
  m_pBtnQuickStart->SetVisible(false);
  ZQPM* engine = ZQPM::GetInstance();
  engine->GetFileSizeText(&m_fileSize, std::wstring());
  engine->SetUIPrompt(this);
  m_outcome.Started();
  const int result = engine->Install(&m_record);
  if (result != 0) {
    AppLog(4, "CInstallWnd::StartInstall, Install failed, ret %d", result);
    ApplyFailure(L"安装失败");
  }
}

void CInstallWnd::QuickStart() {
  ZQPM::GetInstance()->RestartApp(&m_record);
  DeleteDirectoryTree(m_record.tempDir, {});
  Close(1);
}

void CInstallWnd::OnProgress(int step, int percentDelta, std::wstring detail) {
  m_reports.Post([=] { ShowPercent(m_meter.AddStep(step, percentDelta), step, detail); });
}

void CInstallWnd::OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {
  m_reports.Post([=] { ShowPercent(m_meter.Within(done, total, parts), step, detail); });
}

void CInstallWnd::OnFinish(const char*, int) {
  m_reports.Post([this] { ApplyFinish(); });
}

void CInstallWnd::OnMessage(std::wstring message, int) {
  m_reports.Post([=] { ApplyFailure(message); });
}

void CInstallWnd::ShowPercent(int percent, int step, const std::wstring& detail) {
  m_pProInstall->SetValue(percent);
  m_pProInstall->SetText(PercentText(percent).c_str());
  const std::wstring tips = L"总大小：" + m_fileSize.sizeText + L" " + GetStepText(step) + detail;
  m_pLabelTips->SetText(tips.c_str());
}

void CInstallWnd::ApplyFinish() {
  m_outcome.Finished();
  if (m_record.mode == OpePARAMEx::CMD_SILENT_INSTALL) ClickSelf(*this, m_pBtnQuickStart);
  ShowPercent(m_meter.AddStep(ProgressStep::kDone, 100), ProgressStep::kDone, std::wstring());
  OnInstallFinished();
}

void CInstallWnd::OnInstallFinished() {
  m_mayClose = 1;
  ShowPage(m_pVerAfterInstall);
  m_pBtnQuickStart->SetVisible(true);
  if (m_icons.AllPresent()) SetTimer(m_hWnd, FloatIcons::kTimerId, FloatIcons::kTimerMs, nullptr);
  SetFileAttributesW(SkinArchivePath().c_str(), FILE_ATTRIBUTE_READONLY);
  WriteChannelUrl(m_record.installDir);
}

// The job stopped: the during page stays with the engine's text, and closing no longer asks.
void CInstallWnd::ApplyFailure(const std::wstring& message) {
  m_outcome.Failed();
  m_mayClose = 1;
  m_pLabelTips->SetText(message.c_str());
  if (IsSilentMode(m_record.mode)) Close(1);
}

LRESULT CInstallWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  return HandleJobWindowMessage(m_pm, GetWindowClassName(), m_reports, &m_icons, uMsg, wParam, lParam, bHandled);
}

void CInstallWnd::OnFinalMessage(HWND hWnd) {
  EndJobWindow("CInstallWnd::OnFinalMessage", m_reports, [&] { WindowImplBase::OnFinalMessage(hWnd); });
  delete this;
}
