#include "ui/core/window/window_impl_base.h"

#include <cwchar>

#include "ui/core/paint/control/control.h"

namespace SkinUI {

const UI_MSGMAP_ENTRY WindowImplBase::_messageEntries[] = {
    NotifyEntry<WindowImplBase>(L"click", L"", &WindowImplBase::OnClick), EndEntry()};
const UI_MSGMAP WindowImplBase::messageMap = {&CNotifyPump::messageMap, &WindowImplBase::_messageEntries[0]};

WindowImplBase::WindowImplBase() = default;
WindowImplBase::~WindowImplBase() = default;

const UI_MSGMAP* WindowImplBase::GetNotifyMap() const { return &messageMap; }
void WindowImplBase::Notify(NotifyRecordUI& msg) { Dispatch(msg); }
CControlUI* WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }
const wchar_t* WindowImplBase::QueryControlText(const wchar_t*, const wchar_t*) { return nullptr; }
UINT WindowImplBase::GetClassStyle() const { return CS_DBLCLKS; }
void WindowImplBase::OnInitHook() {}
void WindowImplBase::Init() {}
CUIString WindowImplBase::GetSkinType() { return CUIString(); }
const wchar_t* WindowImplBase::GetManagerName() { return nullptr; }
bool WindowImplBase::HandleDefaultKey(UINT uKey) { return uKey == VK_ESCAPE; }
LONG WindowImplBase::GetStyle() { return ::GetWindowLongW(m_hWnd, GWL_STYLE) & ~WS_CAPTION; }

LRESULT WindowImplBase::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool&) {
  if (uMsg == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    return HandleDefaultKey(static_cast<UINT>(wParam)) ? 1 : 0;
  }
  return 0;
}

void WindowImplBase::OnFinalMessage(HWND) {
  m_pm.RemovePreMessageFilter(this);
  m_pm.RemoveNotifier(this);
  m_pm.ReapObjects(m_pm.GetRoot());
  // A window whose creation failed (a skin that could not be built) gets no WM_DESTROY: its drop
  // target is revoked here at the latest, or the registration's file mapping stays behind.
  m_pm.RevokeDropTarget();
}

void WindowImplBase::OnClick(NotifyRecordUI& msg) {
  if (msg.pSender == nullptr) return;
  CUIString name = msg.pSender->GetName();
  if (name == L"closebtn")
    Close(1);
  else if (name == L"minbtn")
    SendMessage(WM_SYSCOMMAND, SC_MINIMIZE, 0);
  else if (name == L"maxbtn")
    SendMessage(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  else if (name == L"restorebtn")
    SendMessage(WM_SYSCOMMAND, SC_RESTORE, 0);
}

bool WindowImplBase::IsCaptionDragControl(CControlUI* pControl) {
  static const wchar_t* const kDragClasses[] = {
      L"controlui",        L"textui",      L"labelui",       L"containerui",    L"horizontallayoutui",
      L"verticallayoutui", L"tablayoutui", L"childlayoutui", L"dialoglayoutui", L"progresscontainerui"};
  for (CControlUI* c = pControl; c != nullptr; c = c->GetParent()) {
    CUIString cls(c->GetClass());
    cls.MakeLower();
    bool listed = false;
    for (const wchar_t* name : kDragClasses) listed = listed || cls == name;
    if (!listed) return false;
  }
  return true;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, bool& bHandled) {
  if (::IsIconic(m_hWnd)) {
    bHandled = false;
    return 0;
  }
  return wParam == 0 ? 1 : 0;
}
LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, bool&) { return 0; }
LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, bool&) { return 0; }
LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}
LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, bool&) {
  POINT pt = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ::ScreenToClient(m_hWnd, &pt);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  if (!::IsZoomed(m_hWnd)) {
    RECT box = m_pm.GetSizeBox();
    if (pt.y < client.top + box.top) {
      if (pt.x < client.left + box.left) return HTTOPLEFT;
      if (pt.x > client.right - box.right) return HTTOPRIGHT;
      return HTTOP;
    }
    if (pt.y > client.bottom - box.bottom) {
      if (pt.x < client.left + box.left) return HTBOTTOMLEFT;
      if (pt.x > client.right - box.right) return HTBOTTOMRIGHT;
      return HTBOTTOM;
    }
    if (pt.x < client.left + box.left) return HTLEFT;
    if (pt.x > client.right - box.right) return HTRIGHT;
  }
  RECT caption = m_pm.GetCaptionRect();
  const LONG bottom = caption.bottom == -1 ? client.bottom : caption.bottom;
  if (pt.x >= client.left + caption.left && pt.x < client.right - caption.right && pt.y >= caption.top &&
      pt.y < bottom) {
    CControlUI* control = m_pm.FindControlAt(pt);
    if (control != nullptr && IsCaptionDragControl(control)) return HTCAPTION;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, bool&) {
  MINMAXINFO* info = reinterpret_cast<MINMAXINFO*>(lParam);
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTOPRIMARY), &mi);
  RECT work = mi.rcWork;
  if ((mi.dwFlags & MONITORINFOF_PRIMARY) == 0) ::OffsetRect(&work, -mi.rcMonitor.left, -mi.rcMonitor.top);
  info->ptMaxPosition.x = work.left;
  info->ptMaxPosition.y = work.top;
  info->ptMaxSize.x = info->ptMaxTrackSize.x = work.right - work.left;
  info->ptMaxSize.y = info->ptMaxTrackSize.y = work.bottom - work.top;
  info->ptMinTrackSize.x = m_pm.GetMinInfo().cx;
  info->ptMinTrackSize.y = m_pm.GetMinInfo().cy;
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, bool& bHandled) {
  ApplyRoundCorner(m_pm.GetRoundCorner());
  bHandled = false;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, bool&) {
  if (wParam == SC_CLOSE) {
    SendMessage(WM_CLOSE, 0, 0);
    return 0;
  }
  const bool zoomed = ::IsZoomed(m_hWnd) != FALSE;
  LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
  const bool nowZoomed = ::IsZoomed(m_hWnd) != FALSE;
  if (zoomed != nowZoomed) {
    CControlUI* maxButton = m_pm.FindControl(L"maxbtn");
    CControlUI* restoreButton = m_pm.FindControl(L"restorebtn");
    if (maxButton != nullptr) maxButton->SetVisible(!nowZoomed);
    if (restoreButton != nullptr) restoreButton->SetVisible(nowZoomed);
  }
  return result;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, bool&) {
  LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
  ::SetWindowLongW(m_hWnd, GWL_STYLE, (style & ~WS_CAPTION) | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
  m_pm.Init(m_hWnd, GetManagerName());
  m_pm.AddPreMessageFilter(this);
  CDialogBuilder builder;
  CUIString skinFile = GetSkinFile();
  CUIString skinType = GetSkinType();
  CControlUI* root = nullptr;
  if (skinType.IsEmpty()) {
    root = builder.Create(skinFile.GetData(), nullptr, this, &m_pm, nullptr);
  } else {
    root = builder.Create(static_cast<UINT>(_wtoi(skinFile.GetData())), skinType.GetData(), this, &m_pm, nullptr);
  }
  if (root == nullptr) {
    OnSkinLoadFailed(skinFile.GetData());
    return -1;  // an override that returns: the window is not made
  }
  m_pm.AttachDialog(root);
  m_pm.AddNotifier(this);
  Init();
  return 0;
}

void WindowImplBase::OnSkinLoadFailed(const wchar_t* skinFile) {
  CUIString text(L"加载资源文件失败：");
  text += skinFile;
  ::MessageBoxW(nullptr, text.GetData(), L"SkinUI", MB_ICONERROR);
  ::ExitProcess(1);
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  bool handled = true;
  LRESULT result = 0;
  switch (uMsg) {
    case WM_CLOSE:
      result = OnClose(uMsg, wParam, lParam, handled);
      break;
    case WM_DESTROY:
      result = OnDestroy(uMsg, wParam, lParam, handled);
      break;
    case WM_NCACTIVATE:
      result = OnNcActivate(uMsg, wParam, lParam, handled);
      break;
    case WM_NCCALCSIZE:
      result = OnNcCalcSize(uMsg, wParam, lParam, handled);
      break;
    case WM_NCPAINT:
      result = OnNcPaint(uMsg, wParam, lParam, handled);
      break;
    case WM_NCHITTEST:
      result = OnNcHitTest(uMsg, wParam, lParam, handled);
      break;
    case WM_GETMINMAXINFO:
      result = OnGetMinMaxInfo(uMsg, wParam, lParam, handled);
      break;
    case WM_MOUSEWHEEL:
      result = OnMouseWheel(uMsg, wParam, lParam, handled);
      break;
    case WM_MOUSEHOVER:
      result = OnMouseHover(uMsg, wParam, lParam, handled);
      break;
    case WM_SIZE:
      result = OnSize(uMsg, wParam, lParam, handled);
      break;
    case WM_CHAR:
      result = OnChar(uMsg, wParam, lParam, handled);
      break;
    case WM_SYSCOMMAND:
      result = OnSysCommand(uMsg, wParam, lParam, handled);
      break;
    case WM_CREATE:
      result = OnCreate(uMsg, wParam, lParam, handled);
      break;
    case WM_KEYDOWN:
      result = OnKeyDown(uMsg, wParam, lParam, handled);
      break;
    case WM_KILLFOCUS:
      result = OnKillFocus(uMsg, wParam, lParam, handled);
      break;
    case WM_SETFOCUS:
      result = OnSetFocus(uMsg, wParam, lParam, handled);
      break;
    case WM_LBUTTONDOWN:
      result = OnLButtonDown(uMsg, wParam, lParam, handled);
      break;
    case WM_LBUTTONUP:
      result = OnLButtonUp(uMsg, wParam, lParam, handled);
      break;
    case WM_MOUSEMOVE:
      result = OnMouseMove(uMsg, wParam, lParam, handled);
      break;
    default:
      handled = false;
      break;
  }
  if (handled) return result;
  result = HandleCustomMessage(uMsg, wParam, lParam, handled);
  if (handled) return result;
  if (m_pm.MessageHandler(uMsg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace SkinUI
