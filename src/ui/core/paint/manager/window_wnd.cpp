#include "ui/core/paint/manager/window_wnd.h"

#include "ui/core/base/ui_log.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {
const wchar_t kObjectProp[] = L"WndX";
}

CWindowWnd::CWindowWnd() : m_hWnd(nullptr), m_OldWndProc(::DefWindowProcW), m_bSubclassed(false) {}

const wchar_t* CWindowWnd::GetSuperClassName() const { return nullptr; }
UINT CWindowWnd::GetClassStyle() const { return 0; }
void CWindowWnd::OnFinalMessage(HWND) {}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(m_OldWndProc, m_hWnd, uMsg, wParam, lParam);
}

HWND CWindowWnd::Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                        HMENU hMenu) {
  return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                hMenu);
}

HWND CWindowWnd::Create(HWND hwndParent, const wchar_t* pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y, int cx,
                        int cy, HMENU hMenu) {
  const CUIString className = GetWindowClassName();
  bool registered = GetSuperClassName() != nullptr ? RegisterSuperclass() : RegisterWindowClass();
  if (!registered) {
    UILog(L"Create, the class %ls could not be registered, err %lu", className.GetData(), ::GetLastError());
    return nullptr;
  }
  // WM_NCCREATE stores the handle. A window refused at WM_NCCREATE or WM_CREATE has had its final
  // message inside this call, where it may have deleted itself: nothing of it is touched here.
  HWND hwnd = ::CreateWindowExW(dwExStyle, className.GetData(), pstrName, dwStyle, x, y, cx, cy, hwndParent, hMenu,
                                CPaintManagerUI::GetInstance(), this);
  if (hwnd == nullptr) UILog(L"Create, no window of the class %ls, err %lu", className.GetData(), ::GetLastError());
  return hwnd;
}

bool CWindowWnd::RegisterWindowClass() {
  WNDCLASSW wc = {};
  wc.style = GetClassStyle();
  wc.lpfnWndProc = &CWindowWnd::WindowProc;
  wc.hInstance = CPaintManagerUI::GetInstance();
  wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = GetWindowClassName();
  return ::RegisterClassW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool CWindowWnd::RegisterSuperclass() {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  if (!::GetClassInfoExW(nullptr, GetSuperClassName(), &wc) &&
      !::GetClassInfoExW(CPaintManagerUI::GetInstance(), GetSuperClassName(), &wc)) {
    return false;
  }
  m_OldWndProc = wc.lpfnWndProc;
  wc.lpfnWndProc = &CWindowWnd::ControlProc;
  wc.hInstance = CPaintManagerUI::GetInstance();
  wc.lpszClassName = GetWindowClassName();
  return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

LRESULT CWindowWnd::Route(CWindowWnd* self, HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (self == nullptr) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
  if (uMsg != WM_NCDESTROY) return self->HandleMessage(uMsg, wParam, lParam);
  LRESULT result = ::CallWindowProcW(self->m_OldWndProc, hWnd, uMsg, wParam, lParam);
  if (self->m_bSubclassed) self->Unsubclass();
  self->m_hWnd = nullptr;
  self->OnFinalMessage(hWnd);
  return result;
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (uMsg == WM_NCCREATE) {
    self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_hWnd = hWnd;
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (uMsg == WM_NCDESTROY && self != nullptr) ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
  }
  return Route(self, hWnd, uMsg, wParam, lParam);
}

LRESULT CALLBACK CWindowWnd::ControlProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (uMsg == WM_NCCREATE) {
    self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_hWnd = hWnd;
    ::SetPropW(hWnd, kObjectProp, self);
  } else {
    self = static_cast<CWindowWnd*>(::GetPropW(hWnd, kObjectProp));
    if (uMsg == WM_NCDESTROY && self != nullptr) ::RemovePropW(hWnd, kObjectProp);
  }
  return Route(self, hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::Unsubclass() {
  if (!::IsWindow(m_hWnd) || !m_bSubclassed) return;
  ::SetWindowLongPtrW(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_OldWndProc));
  m_OldWndProc = ::DefWindowProcW;
  m_bSubclassed = false;
}

void CWindowWnd::ShowWindow(bool bShow, bool bTakeFocus) {
  if (!::IsWindow(m_hWnd)) return;
  ::ShowWindow(m_hWnd, bShow ? (bTakeFocus ? SW_SHOWNORMAL : SW_SHOWNOACTIVATE) : SW_HIDE);
}

UINT CWindowWnd::ShowModal() {
  // A window may free itself when it is destroyed: the loop reads only its own copy.
  const HWND self = m_hWnd;
  HWND owner = ::GetWindow(self, GW_OWNER);
  ::ShowWindow(self, SW_SHOWNORMAL);
  ::EnableWindow(owner, FALSE);
  UINT ret = 0;
  bool quit = false;
  WPARAM quitCode = 0;
  MSG msg = {};
  while (::IsWindow(self) && ::GetMessageW(&msg, nullptr, 0, 0)) {
    if (msg.message == WM_CLOSE && msg.hwnd == self) {
      ret = static_cast<UINT>(msg.wParam);
      ::EnableWindow(owner, TRUE);
      ::SetFocus(owner);
    }
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
  if (msg.message == WM_QUIT) {
    quit = true;
    quitCode = msg.wParam;
  }
  ::EnableWindow(owner, TRUE);
  ::SetFocus(owner);
  if (quit) ::PostQuitMessage(static_cast<int>(quitCode));
  return ret;
}

void CWindowWnd::Close(UINT nRet) {
  if (::IsWindow(m_hWnd)) ::PostMessageW(m_hWnd, WM_CLOSE, nRet, 0);
}

void CWindowWnd::ApplyRoundCorner(SIZE corner) {
  if (::IsIconic(m_hWnd)) return;
  RECT rc;
  ::GetWindowRect(m_hWnd, &rc);
  HRGN region = ::CreateRoundRectRgn(0, 0, rc.right - rc.left + 1, rc.bottom - rc.top + 1, corner.cx, corner.cy);
  if (region == nullptr) return;
  // The window owns the region only once it is taken.
  if (!::SetWindowRgn(m_hWnd, region, TRUE)) {
    UILog(L"ApplyRoundCorner, SetWindowRgn refused the corner %ld,%ld, err %lu", corner.cx, corner.cy,
          ::GetLastError());
    ::DeleteObject(region);
  }
}

void CWindowWnd::CenterWindow() {
  RECT rc;
  ::GetWindowRect(m_hWnd, &rc);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO mi = {};
  mi.cbSize = sizeof(mi);
  ::GetMonitorInfoW(::MonitorFromWindow(owner != nullptr ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &mi);
  RECT area = mi.rcWork;
  RECT centre = area;
  if (owner != nullptr) ::GetWindowRect(owner, &centre);
  int x = (centre.left + centre.right) / 2 - width / 2;
  int y = (centre.top + centre.bottom) / 2 - height / 2;
  if (x < area.left)
    x = area.left;
  else if (x + width > area.right)
    x = area.right - width;
  if (y < area.top)
    y = area.top;
  else if (y + height > area.bottom)
    y = area.bottom - height;
  ::SetWindowPos(m_hWnd, nullptr, x, y, -1, -1, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CWindowWnd::SendMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::SendMessageW(m_hWnd, uMsg, wParam, lParam);
}

LRESULT CWindowWnd::PostMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return ::PostMessageW(m_hWnd, uMsg, wParam, lParam);
}

}  // namespace SkinUI
