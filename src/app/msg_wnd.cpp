#include "app/msg_wnd.h"

#include <memory>

#include "app/state_dump.h"
#include "app/window_guard.h"

using SkinUI::CUIString;

UINT CMsgWnd::Ask(HWND owner) {
  auto box = std::make_unique<CMsgWnd>();
  if (box->Create(owner, L"MsgWnd", 0x0000080B, 0x00060000, 0, 0, 0, 0) == nullptr) return kStay;
  box->CenterWindow();
  return box->ShowModal();
}

const wchar_t* CMsgWnd::GetWindowClassName() const { return L"MsgWnd"; }

CUIString CMsgWnd::GetSkinFile() {
  return GuardWindowOperation("CMsgWnd::GetSkinFile failed", [] { return CUIString(L"msg.xml"); });
}

void CMsgWnd::Init() {
  GuardWindowOperation("CMsgWnd::Init failed", [this] {
    m_pBtnMsgCancel = m_pm.FindControl(L"BtnMsgCancel");
    m_pBtnMsgOK = m_pm.FindControl(L"BtnMsgOK");
    m_pBtnMsgClose = m_pm.FindControl(L"BtnMsgClose");
  });
}

void CMsgWnd::OnFinalMessage(HWND hWnd) {
  // Freed by Ask once ShowModal has returned, not here: its loop is still running.
  GuardWindowOperation("CMsgWnd::OnFinalMessage", [&] { WindowImplBase::OnFinalMessage(hWnd); });
}

LRESULT CMsgWnd::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  bHandled = HandleStateDump(m_pm, GetWindowClassName(), uMsg, wParam, lParam);
  return 0;
}

void CMsgWnd::Notify(SkinUI::NotifyRecordUI& msg) {
  if (msg.sType == L"click") {
    if (msg.pSender == m_pBtnMsgCancel || msg.pSender == m_pBtnMsgClose) {
      Close(kStay);
    } else if (msg.pSender == m_pBtnMsgOK) {
      Close(kQuit);
    }
  }
  WindowImplBase::Notify(msg);
}
