#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager_internal.h"

namespace SkinUI {

namespace {

struct FindTabInfo {
  CControlUI* pFocus;
  CControlUI* pLast;
  bool bForward;
  bool bNextIsIt;
};

struct FindShortcutInfo {
  wchar_t ch;
  bool bPickNext;
};

bool ClassContains(CControlUI* control, const wchar_t* text) {
  const wchar_t* name = control->GetClass();
  return name != nullptr && wcsstr(name, text) != nullptr;
}

}  // namespace

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromTab(CControlUI* pThis, LPVOID pData) {
  FindTabInfo* info = static_cast<FindTabInfo*>(pData);
  if (info->pFocus == pThis) {
    if (info->bForward) info->bNextIsIt = true;
    return info->bForward ? nullptr : info->pLast;
  }
  if ((pThis->GetControlFlags() & UIFLAG_TABSTOP) == 0) return nullptr;
  info->pLast = pThis;
  if (info->bNextIsIt || info->pFocus == nullptr) return pThis;
  return nullptr;
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromShortcut(CControlUI* pThis, LPVOID pData) {
  if (!pThis->IsVisible()) return nullptr;
  FindShortcutInfo* info = static_cast<FindShortcutInfo*>(pData);
  wchar_t shortcut = pThis->GetShortcut();
  if (shortcut != 0 && static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
                           ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(shortcut))))) == info->ch) {
    info->bPickNext = true;
  }
  if (ClassContains(pThis, L"LabelUI")) return nullptr;
  return info->bPickNext ? pThis : nullptr;
}

// The kill-focus event names the control that gets the focus. A control deleted by its own event
// is reported to the receivers of "killfocus" without a sender, as a sender that died while its
// notification went round.
void CPaintManagerUI::KillFocus(CControlUI* pNext) {
  CControlUI* old = m_pFocus;
  CControlWatch alive(old);
  EventRecordUI event = {};
  event.Type = UIEVENT_KILLFOCUS;
  event.pSender = pNext;
  event.dwTimestamp = ::GetTickCount();
  old->Event(event);
  SendNotify(alive ? old : nullptr, L"killfocus");
  m_pFocus = nullptr;
}

void CPaintManagerUI::SetFocus(CControlUI* pControl) {
  // The window taking the focus tells the focused control again: its receivers, like those of
  // "killfocus" and of the set-focus event, may delete the control that was to get the focus.
  CControlWatch next(pControl);
  if (::GetFocus() != m_hWndPaint && pControl != m_pFocus) ::SetFocus(m_hWndPaint);
  if (pControl != nullptr && !next) return;
  if (pControl == m_pFocus) return;
  POINT origin = {0, 0};
  if (m_pFocus != nullptr) KillFocus(pControl);
  if (next && pControl->GetManager() == this && pControl->IsVisible() && pControl->IsEnabled()) {
    m_pFocus = pControl;
    SendEvent(pControl, UIEVENT_SETFOCUS, 0, 0, origin);
    SendNotify(next ? pControl : nullptr, L"setfocus");
  }
}

void CPaintManagerUI::SetFocusNeeded(CControlUI* pControl) {
  // A control deleted by the receivers of the window taking the focus, or of "killfocus", leaves
  // nothing to search from.
  CControlWatch from(pControl);
  ::SetFocus(m_hWndPaint);
  if (pControl == nullptr || !from) return;
  if (m_pFocus != nullptr) KillFocus(pControl);
  if (!from) return;
  FindTabInfo info = {pControl, nullptr, false, false};
  if (m_pRoot != nullptr) {
    m_pFocus = m_pRoot->FindControl(__FindControlFromTab, &info, UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST);
  }
  m_bFocusNeeded = true;
  if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
}

bool CPaintManagerUI::SetNextTabControl(bool bForward) {
  if (m_bUpdateNeeded && bForward) {
    m_bFocusNeeded = true;
    ::InvalidateRect(m_hWndPaint, nullptr, FALSE);
    return true;
  }
  if (m_pRoot == nullptr) {
    m_bFocusNeeded = false;
    return true;
  }
  const UINT flags = UIFIND_VISIBLE | UIFIND_ENABLED | UIFIND_ME_FIRST;
  FindTabInfo info1 = {m_pFocus, nullptr, bForward, false};
  CControlUI* found = m_pRoot->FindControl(__FindControlFromTab, &info1, flags);
  if (found == nullptr) {
    if (bForward) {
      FindTabInfo info2 = {nullptr, nullptr, bForward, false};
      found = m_pRoot->FindControl(__FindControlFromTab, &info2, flags);
    } else {
      found = info1.pLast;
    }
  }
  if (found != nullptr) SetFocus(found);
  m_bFocusNeeded = false;
  return true;
}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  for (int i = 0; i < m_aPreMessageFilters.GetSize(); ++i) {
    if (!ListenerAttached(m_aPreMessageFilters[i])) continue;
    bool handled = false;
    LRESULT result =
        static_cast<IMessageFilterUI*>(m_aPreMessageFilters[i])->MessageHandler(uMsg, wParam, lParam, handled);
    if (handled) {
      lRes = result;
      return true;
    }
  }
  switch (uMsg) {
    case WM_KEYDOWN:
      if (wParam != VK_TAB) return false;
      if (m_pFocus != nullptr && m_pFocus->IsVisible() && m_pFocus->IsEnabled() &&
          (m_pFocus->KeepsTabKey() || ClassContains(m_pFocus, L"WkeWebkitUI"))) {
        return false;
      }
      SetNextTabControl(::GetKeyState(VK_SHIFT) >= 0);
      return true;
    case WM_SYSKEYDOWN:
      if (m_pFocus != nullptr) {
        EventRecordUI event = {};
        event.Type = UIEVENT_SYSKEY;
        event.pSender = m_pFocus;
        event.chKey = static_cast<wchar_t>(wParam);
        event.ptMouse = m_ptLastMousePos;
        event.wKeyState = UIMapKeyState();
        event.dwTimestamp = ::GetTickCount();
        m_pFocus->Event(event);
      }
      return false;
    case WM_SYSCHAR: {
      if (m_pRoot == nullptr) return false;
      FindShortcutInfo info = {static_cast<wchar_t>(reinterpret_cast<UINT_PTR>(
                                   ::CharUpperW(reinterpret_cast<LPWSTR>(static_cast<UINT_PTR>(wParam & 0xFFFF))))),
                               false};
      CControlUI* found =
          m_pRoot->FindControl(__FindControlFromShortcut, &info, UIFIND_ENABLED | UIFIND_ME_FIRST | UIFIND_TOP_FIRST);
      if (found == nullptr) return false;
      CControlWatch alive(found);
      found->SetFocus();
      if (alive) found->Activate();
      return true;
    }
    default:
      return false;
  }
}

}  // namespace SkinUI
