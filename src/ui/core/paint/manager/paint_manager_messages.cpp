#include <windowsx.h>

#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager_internal.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

const UINT kReflectOffset = 0x2000;

POINT PointFromLParam(LPARAM lParam) {
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return pt;
}

}  // namespace

void CPaintManagerUI::SendEvent(CControlUI* pControl, int type, WPARAM wParam, LPARAM lParam, POINT pt, wchar_t chKey,
                                WORD wKeyState) {
  if (pControl == nullptr) return;
  EventRecordUI event = {};
  event.Type = type;
  event.pSender = pControl;
  event.dwTimestamp = ::GetTickCount();
  event.ptMouse = pt;
  event.chKey = chKey;
  event.wKeyState = wKeyState;
  event.wParam = wParam;
  event.lParam = lParam;
  pControl->Event(event);
}

CControlUI* CALLBACK CPaintManagerUI::__FindControlFromPoint(CControlUI* pThis, LPVOID pData) {
  const POINT* pt = static_cast<const POINT*>(pData);
  RECT pos = pThis->GetPos();
  return ::PtInRect(&pos, *pt) ? pThis : nullptr;
}

CControlUI* CPaintManagerUI::FindControlAt(POINT pt) const {
  if (m_pRoot == nullptr) return nullptr;
  return m_pRoot->FindControl(__FindControlFromPoint, &pt, UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}

// The control under the point when it belongs to this manager.
CControlUI* CPaintManagerUI::ControlAtForThisManager(POINT pt) const {
  CControlUI* control = FindControlAt(pt);
  return (control != nullptr && control->GetManager() == this) ? control : nullptr;
}

void CPaintManagerUI::SetCapture() {
  ::SetCapture(m_hWndPaint);
  m_bMouseCapture = true;
}

void CPaintManagerUI::ReleaseCapture() {
  ::ReleaseCapture();
  m_bMouseCapture = false;
  m_bDragMode = false;
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
  if (m_hWndPaint == nullptr) return false;
  for (int i = 0; i < m_aMessageFilters.GetSize(); ++i) {
    if (!ListenerAttached(m_aMessageFilters[i])) continue;
    bool handled = false;
    LRESULT result =
        static_cast<IMessageFilterUI*>(m_aMessageFilters[i])->MessageHandler(uMsg, wParam, lParam, handled);
    if (handled) {
      lRes = result;
      return true;
    }
  }
  switch (uMsg) {
    case kCleanupMessage:
      OnCleanupMessage();
      return false;
    case WM_PAINT:
      OnPaint(lRes);
      return true;
    case WM_PRINTCLIENT:
      OnPrintClient(wParam, lParam);
      return false;
    case WM_GETMINMAXINFO: {
      MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
      if (info == nullptr) return false;
      if (m_szMinWindow.cx > 0) info->ptMinTrackSize.x = m_szMinWindow.cx;
      if (m_szMinWindow.cy > 0) info->ptMinTrackSize.y = m_szMinWindow.cy;
      if (m_szMaxWindow.cx > 0) info->ptMaxTrackSize.x = info->ptMaxSize.x = m_szMaxWindow.cx;
      if (m_szMaxWindow.cy > 0) info->ptMaxTrackSize.y = info->ptMaxSize.y = m_szMaxWindow.cy;
      return false;
    }
    case WM_SIZE: {
      POINT origin = {0, 0};
      if (m_pFocus != nullptr) SendEvent(m_pFocus, UIEVENT_WINDOWSIZE, 0, 0, origin);
      if (m_pRoot != nullptr) m_pRoot->NeedUpdate();
      return true;
    }
    case WM_TIMER:
      OnTimerMessage(wParam, lParam);
      return false;
    case WM_MOUSEHOVER:
      return OnMouseHover(wParam, lParam);
    case WM_MOUSELEAVE:
      OnMouseLeave();
      return false;
    case WM_MOUSEMOVE:
      OnMouseMove(wParam, lParam);
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      OnButtonDown(uMsg, wParam, lParam);
      return false;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      OnButtonUp(uMsg, wParam, lParam);
      return false;
    case WM_CONTEXTMENU:
      OnContextMenu(wParam, lParam);
      return false;
    case WM_MOUSEWHEEL:
      OnMouseWheel(wParam, lParam);
      return false;
    case WM_KEYDOWN: {
      CControlUI* focus = m_pFocus;
      if (focus == nullptr) return false;
      m_pEventKey = focus;
      SendEvent(focus, UIEVENT_KEYDOWN, wParam, lParam, m_ptLastMousePos, static_cast<wchar_t>(wParam),
                UIMapKeyState());
      return false;
    }
    case WM_KEYUP: {
      CControlUI* key = m_pEventKey;
      if (key == nullptr) return false;
      SendEvent(key, UIEVENT_KEYUP, wParam, lParam, m_ptLastMousePos, static_cast<wchar_t>(wParam), UIMapKeyState());
      m_pEventKey = nullptr;
      return false;
    }
    case WM_CHAR:
      if (m_pFocus != nullptr) {
        SendEvent(m_pFocus, UIEVENT_CHAR, wParam, lParam, m_ptLastMousePos, static_cast<wchar_t>(wParam),
                  UIMapKeyState());
      }
      return false;
    case WM_SETCURSOR:
      return OnSetCursor(wParam, lParam);
    case WM_SETFOCUS: {
      POINT origin = {0, 0};
      if (m_pFocus != nullptr) SendEvent(m_pFocus, UIEVENT_SETFOCUS, wParam, lParam, origin);
      return false;
    }
    case WM_CLOSE:
      OnClose();
      return false;
    case WM_DESTROY:
      RevokeDropTarget();
      return false;
    case WM_ERASEBKGND:
      lRes = 1;
      return true;
    case WM_NOTIFY: {
      const NMHDR* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header == nullptr) return false;
      lRes = ::SendMessageW(header->hwndFrom, uMsg + kReflectOffset, wParam, lParam);
      return true;
    }
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
      if (lParam == 0) return false;
      lRes = ::SendMessageW(reinterpret_cast<HWND>(lParam), uMsg + kReflectOffset, wParam, lParam);
      return lRes != 0;
    default:
      return false;
  }
}

void CPaintManagerUI::OnCleanupMessage() {
  DeleteDelayedCleanup();
  while (m_aAsyncNotify.GetSize() > 0) {
    NotifyRecordUI* record = static_cast<NotifyRecordUI*>(m_aAsyncNotify[0]);
    m_aAsyncNotify.Remove(0);
    DeliverNotify(*record);
    delete record;
  }
}

bool CPaintManagerUI::OnMouseHover(WPARAM wParam, LPARAM lParam) {
  m_bMouseTracking = false;
  POINT pt = PointFromLParam(lParam);
  CControlUI* control = FindControlAt(pt);
  if (control == nullptr) return false;
  // The receiver of the hover may delete the control whose tip is to show.
  CControlWatch alive(control);
  if (m_pEventHover != nullptr) SendEvent(m_pEventHover, UIEVENT_MOUSEHOVER, wParam, lParam, pt, 0, UIMapKeyState());
  if (alive) ShowToolTip(control);
  return true;
}

void CPaintManagerUI::OnMouseLeave() {
  HideToolTip();
  if (m_bMouseTracking) {
    POINT pt = {0, 0};
    RECT rcWnd = {0, 0, 0, 0};
    LPARAM move = static_cast<LPARAM>(-1);
    if (!::IsIconic(m_hWndPaint) && ::GetActiveWindow() == m_hWndPaint && ::GetCursorPos(&pt) &&
        ::GetWindowRect(m_hWndPaint, &rcWnd) && ::PtInRect(&rcWnd, pt)) {
      LRESULT hit = ::SendMessageW(m_hWndPaint, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
      if (hit == HTCLIENT) {
        ::ScreenToClient(m_hWndPaint, &pt);
        move = MAKELPARAM(pt.x, pt.y);
      }
    }
    ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, move);
  }
  m_bMouseTracking = false;
}

void CPaintManagerUI::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!m_bMouseTracking) {
    TRACKMOUSEEVENT tme = {};
    tme.cbSize = sizeof(TRACKMOUSEEVENT);
    tme.dwFlags = TME_HOVER | TME_LEAVE;
    tme.hwndTrack = m_hWndPaint;
    tme.dwHoverTime = m_hwndTooltip == nullptr
                          ? static_cast<DWORD>(m_iHoverTime)
                          : static_cast<DWORD>(::SendMessageW(m_hwndTooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    ::_TrackMouseEvent(&tme);
    m_bMouseTracking = true;
  }
  POINT pt = PointFromLParam(lParam);
  const bool moved = pt.x != m_ptLastMousePos.x || pt.y != m_ptLastMousePos.y;
  m_ptLastMousePos = pt;
  CControlUI* newHover = FindControlAt(pt);
  if (newHover != nullptr && newHover->GetManager() != this) return;
  if (moved && m_bDragMode && wParam == MK_LBUTTON) {
    DragControlPicture();
    return;
  }
  if (newHover != m_pEventHover) {
    CControlUI* oldHover = m_pEventHover;
    m_pEventHover = nullptr;
    // The receiver of the leave may delete the control the pointer enters.
    CControlWatch entered(newHover);
    if (oldHover != nullptr) SendEvent(oldHover, UIEVENT_MOUSELEAVE, wParam, lParam, pt);
    HideToolTip();
    if (entered) {
      m_pEventHover = newHover;
      SendEvent(newHover, UIEVENT_MOUSEENTER, wParam, lParam, pt);
    }
  }
  if (m_pEventClick != nullptr)
    SendEvent(m_pEventClick, UIEVENT_MOUSEMOVE, wParam, lParam, pt);
  else if (m_pEventHover != nullptr)
    SendEvent(m_pEventHover, UIEVENT_MOUSEMOVE, wParam, lParam, pt);
}

void CPaintManagerUI::OnButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  ::SetFocus(m_hWndPaint);
  POINT pt = PointFromLParam(lParam);
  m_ptLastMousePos = pt;
  WORD keyState = LOWORD(wParam);
  if (uMsg == WM_LBUTTONDBLCLK) {
    SetCapture();
    CControlUI* control = ControlAtForThisManager(pt);
    if (control == nullptr) return;
    m_pEventClick = control;
    SendEvent(control, UIEVENT_DBLCLICK, wParam, lParam, pt, 0, keyState);
    return;
  }
  CControlUI* control = ControlAtForThisManager(pt);
  if (control == nullptr) return;
  if (uMsg == WM_LBUTTONDOWN) {
    if (control->IsDragEnabled()) {
      m_bDragMode = true;
      if (m_hDragBitmap != nullptr) ::DeleteObject(m_hDragBitmap);
      m_hDragBitmap = CRenderEngine::PaintControlToBitmap(this, control, control->GetPos());
    }
    SetCapture();
    m_pEventClick = control;
    control->SetFocus();
    // The focus change may have removed the control.
    if (m_pEventClick != nullptr) SendEvent(control, UIEVENT_BUTTONDOWN, wParam, lParam, pt, 0, keyState);
    return;
  }
  CControlWatch alive(control);
  control->SetFocus();
  if (!alive) return;
  SetCapture();
  m_pEventClick = control;
  SendEvent(control, uMsg == WM_RBUTTONDOWN ? UIEVENT_RBUTTONDOWN : UIEVENT_MBUTTONDOWN, wParam, lParam, pt, 0,
            keyState);
}

void CPaintManagerUI::OnButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  ReleaseCapture();
  POINT pt = PointFromLParam(lParam);
  WORD keyState = LOWORD(wParam);
  if (uMsg == WM_LBUTTONUP) {
    m_ptLastMousePos = pt;
    CControlUI* click = m_pEventClick;
    m_pEventClick = nullptr;
    SendEvent(click, UIEVENT_BUTTONUP, wParam, lParam, pt, 0, keyState);
    return;
  }
  m_pEventClick = FindControlAt(pt);
  SendEvent(m_pEventClick, uMsg == WM_RBUTTONUP ? UIEVENT_RBUTTONUP : UIEVENT_MBUTTONUP, wParam, lParam, pt, 0,
            keyState);
}

void CPaintManagerUI::OnContextMenu(WPARAM wParam, LPARAM lParam) {
  POINT pt = PointFromLParam(lParam);
  ::ScreenToClient(m_hWndPaint, &pt);
  m_ptLastMousePos = pt;
  if (m_pEventClick == nullptr) return;
  ReleaseCapture();
  CControlUI* click = m_pEventClick;
  m_pEventClick = nullptr;
  SendEvent(click, UIEVENT_CONTEXTMENU, wParam, reinterpret_cast<LPARAM>(click), pt, 0, LOWORD(wParam));
}

void CPaintManagerUI::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
  POINT pt = PointFromLParam(lParam);
  ::ScreenToClient(m_hWndPaint, &pt);
  m_ptLastMousePos = pt;
  CControlUI* control = ControlAtForThisManager(pt);
  if (control == nullptr) return;
  int delta = static_cast<short>(HIWORD(wParam));
  SendEvent(control, UIEVENT_SCROLLWHEEL, delta < 0 ? 1 : 0, lParam, pt, 0, UIMapKeyState());
  ::SendMessageW(m_hWndPaint, WM_MOUSEMOVE, 0, MAKELPARAM(m_ptLastMousePos.x, m_ptLastMousePos.y));
}

bool CPaintManagerUI::OnSetCursor(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return false;
  if (m_bMouseCapture) return true;
  POINT pt = {0, 0};
  ::GetCursorPos(&pt);
  ::ScreenToClient(m_hWndPaint, &pt);
  CControlUI* control = FindControlAt(pt);
  if (control == nullptr || (control->GetControlFlags() & UIFLAG_SETCURSOR) == 0) return false;
  SendEvent(control, UIEVENT_SETCURSOR, wParam, lParam, pt, 0, UIMapKeyState());
  return true;
}

void CPaintManagerUI::OnClose() {
  WORD keyState = UIMapKeyState();
  CControlUI* hover = m_pEventHover;
  if (hover != nullptr) SendEvent(hover, UIEVENT_MOUSELEAVE, 0, 0, m_ptLastMousePos, 0, keyState);
  CControlUI* click = m_pEventClick;
  if (click != nullptr) SendEvent(click, UIEVENT_BUTTONUP, 0, 0, m_ptLastMousePos, 0, keyState);
  SetFocus(nullptr);
  HWND owner = ::GetWindow(m_hWndPaint, GW_OWNER);
  if (::GetActiveWindow() == m_hWndPaint && owner != nullptr) ::SetFocus(owner);
  if (m_hwndTooltip != nullptr) {
    ::DestroyWindow(m_hwndTooltip);
    m_hwndTooltip = nullptr;
  }
}

void CPaintManagerUI::ShowToolTip(CControlUI* pControl) {
  CUIString tip = pControl->GetToolTip();
  if (tip.IsEmpty()) return;
  m_sToolTipText = tip;
  memset(&m_ToolTip, 0, sizeof(m_ToolTip));
  m_ToolTip.cbSize = sizeof(TOOLINFOW);
  m_ToolTip.uFlags = TTF_IDISHWND;
  m_ToolTip.hwnd = m_hWndPaint;
  m_ToolTip.uId = reinterpret_cast<UINT_PTR>(m_hWndPaint);
  m_ToolTip.hinst = GetInstance();
  m_ToolTip.lpszText = const_cast<wchar_t*>(m_sToolTipText.GetData());
  m_ToolTip.rect = pControl->GetPos();
  if (m_hwndTooltip == nullptr) {
    m_hwndTooltip =
        ::CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWndPaint, nullptr, GetInstance(), nullptr);
    if (m_hwndTooltip == nullptr) return;
    ::SendMessageW(m_hwndTooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    ::SendMessageW(m_hwndTooltip, TTM_SETMAXTIPWIDTH, 0, pControl->GetToolTipWidth());
  }
  if (!::IsWindowVisible(m_hwndTooltip)) {
    ::SendMessageW(m_hwndTooltip, TTM_SETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&m_ToolTip));
    ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, TRUE, reinterpret_cast<LPARAM>(&m_ToolTip));
  }
}

void CPaintManagerUI::HideToolTip() {
  if (m_hwndTooltip != nullptr) ::SendMessageW(m_hwndTooltip, TTM_TRACKACTIVATE, FALSE, 0);
}

bool CPaintManagerUI::TranslateAccelerator(MSG* pMsg) {
  for (int i = 0; i < m_aTranslateAccelerator.GetSize(); ++i) {
    if (!ListenerAttached(m_aTranslateAccelerator[i])) continue;
    if (static_cast<ITranslateAccelerator*>(m_aTranslateAccelerator[i])->TranslateAccelerator(pMsg) == 0) return true;
  }
  return false;
}

void CPaintManagerUI::MessageLoop() {
  MSG msg = {};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

bool CPaintManagerUI::TranslateMessage(const MSG* pMsg) {
  CUIPtrArray& managers = UIGlobals().liveManagers;
  MSG msg = *pMsg;
  LRESULT lRes = 0;
  if ((::GetWindowLongW(pMsg->hwnd, GWL_STYLE) & WS_CHILD) == 0) {
    for (int i = 0; i < managers.GetSize(); ++i) {
      CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(managers[i]);
      if (manager->GetPaintWindow() != pMsg->hwnd) continue;
      if (manager->TranslateAccelerator(&msg)) return true;
      return manager->PreMessageHandler(msg.message, msg.wParam, msg.lParam, lRes);
    }
    return false;
  }
  for (int i = 0; i < managers.GetSize(); ++i) {
    CPaintManagerUI* manager = static_cast<CPaintManagerUI*>(managers[i]);
    for (HWND ancestor = pMsg->hwnd; ancestor != nullptr; ancestor = ::GetParent(ancestor)) {
      if (manager->GetPaintWindow() != ancestor) continue;
      if (manager->TranslateAccelerator(&msg)) return true;
      manager->PreMessageHandler(msg.message, msg.wParam, msg.lParam, lRes);
      break;
    }
  }
  return false;
}

}  // namespace SkinUI
