#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager_internal.h"

namespace SkinUI {

void CPaintManagerUI::SendNotify(CControlUI* pControl, const wchar_t* pstrMessage, WPARAM wParam, LPARAM lParam,
                                 bool bAsync) {
  NotifyRecordUI record;
  record.sType = pstrMessage;
  record.pSender = pControl;
  record.dwTimestamp = 0;
  record.ptMouse.x = record.ptMouse.y = 0;
  record.wParam = wParam;
  record.lParam = lParam;
  SendNotify(record, bAsync);
}

void CPaintManagerUI::SendNotify(NotifyRecordUI& Msg, bool bAsync) {
  Msg.ptMouse = m_ptLastMousePos;
  Msg.dwTimestamp = ::GetTickCount();
  if (m_bUsedVirtualWnd) Msg.sVirtualWnd = Msg.pSender != nullptr ? Msg.pSender->GetVirtualWnd() : CUIString();
  if (!bAsync) {
    DeliverNotify(Msg);
    return;
  }
  NotifyRecordUI* copy = new NotifyRecordUI();
  copy->sType = Msg.sType;
  copy->pSender = Msg.pSender;
  copy->dwTimestamp = Msg.dwTimestamp;
  copy->ptMouse = Msg.ptMouse;
  copy->wParam = Msg.wParam;
  copy->lParam = Msg.lParam;
  if (!m_aAsyncNotify.Add(copy)) {
    delete copy;
    return;
  }
  ::PostMessageW(m_hWndPaint, kCleanupMessage, 0, 0);
}

// A receiver may delete the sender: the ones after it get the record without one, as a queued
// record whose sender died.
void CPaintManagerUI::DeliverNotify(NotifyRecordUI& Msg) {
  CControlWatch sender(Msg.pSender);
  if (Msg.pSender != nullptr && Msg.pSender->OnNotify) Msg.pSender->OnNotify(&Msg);
  for (int i = 0; i < m_aNotifiers.GetSize(); ++i) {
    if (!sender) Msg.pSender = nullptr;
    if (ListenerAttached(m_aNotifiers[i])) static_cast<INotifyUI*>(m_aNotifiers[i])->Notify(Msg);
  }
}

}  // namespace SkinUI
