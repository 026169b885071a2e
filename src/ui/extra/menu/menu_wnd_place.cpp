#include <algorithm>

#include "ui/core/paint/control/container.h"
#include "ui/extra/menu/menu_wnd.h"

namespace SkinUI {

namespace {

// The work area of the monitor the menu opens on, by the screen point it opens at: the menu's own
// window is still at 0,0 while it is placed.
RECT WorkAreaAt(POINT at) {
  MONITORINFO info = {};
  info.cbSize = sizeof(info);
  ::GetMonitorInfoW(::MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

// Inset top plus bottom of a container root: the window is that much higher than its items.
int InsetHeight(CControlUI* root) {
  CContainerUI* container = root != nullptr ? static_cast<CContainerUI*>(root->GetInterface(L"Container")) : nullptr;
  if (container == nullptr) return 0;
  RECT inset = container->GetInset();
  return inset.top + inset.bottom;
}

}  // namespace

// At the position, left or right and top or bottom edge by the alignment; the work area does not
// move a root menu.
void CMenuWnd::PlaceMenu() {
  RECT work = WorkAreaAt(m_BasedPoint);
  CControlUI* root = m_pm.GetRoot();
  SIZE size = root->EstimateSize(SIZE{work.right - work.left, work.bottom - work.top});
  m_pm.SetInitSize(size.cx, size.cy);
  CUISize initial = m_pm.GetInitSize();
  RECT rc = {m_BasedPoint.x, m_BasedPoint.y, m_BasedPoint.x + initial.cx, m_BasedPoint.y + initial.cy};
  if ((m_dwAlignment & kMenuAlignRight) != 0) {
    rc.right = m_BasedPoint.x;
    rc.left = rc.right - initial.cx;
  }
  if ((m_dwAlignment & kMenuAlignBottom) != 0) {
    rc.bottom = m_BasedPoint.y;
    rc.top = rc.bottom - initial.cy;
  }
  ::SetForegroundWindow(m_hWnd);
  ::MoveWindow(m_hWnd, rc.left, rc.top, initial.cx, initial.cy, FALSE);
  ::SetWindowPos(m_hWnd, HWND_TOPMOST, rc.left, rc.top, initial.cx, initial.cy + InsetHeight(root), SWP_SHOWWINDOW);
}

// Beside its item, on the side the menus before it opened to, inside the work area.
void CMenuWnd::PlaceSubMenu() {
  CPaintManagerUI* ownerManager = m_pOwner->GetManager();
  HWND parentWnd = ownerManager->GetPaintWindow();
  RECT item = m_pOwner->GetPos();
  POINT itemAt = {item.left, item.top};
  ::MapWindowPoints(parentWnd, HWND_DESKTOP, &itemAt, 1);
  RECT work = WorkAreaAt(itemAt);
  SIZE available = {work.right - work.left, work.bottom - work.top};
  int height = 0, width = 0;
  for (int i = 0; i < m_pOwner->GetSubItemCount(); ++i) {
    SIZE size = m_pOwner->GetSubItemAt(i)->EstimateSize(available);
    height += size.cy;
    width = std::max(width, static_cast<int>(size.cx));
  }
  RECT parent;
  ::GetWindowRect(parentWnd, &parent);
  RECT rc = {parent.right, itemAt.y, parent.right + 2 + width, itemAt.y + height};

  MenuObserverImpl* observer = MenuObserverImpl::GetGlobal();
  for (int i = 0; i < observer->GetReceiverCount(); ++i) {
    CMenuWnd* menu = dynamic_cast<CMenuWnd*>(observer->GetReceiverAt(i));
    if (menu == nullptr) continue;
    if (menu->m_hWnd == parentWnd) break;
    RECT other;
    ::GetWindowRect(menu->m_hWnd, &other);
    bool right = other.left >= parent.right, below = other.top >= parent.bottom;
    if (below) {
      rc.bottom = parent.top;
      rc.top = parent.top - height;
    }
    if (right) {
      rc.right = parent.left;
      rc.left = parent.left - width;
    }
    if (right || below) break;
  }

  if (rc.bottom > work.bottom) {
    rc.bottom = rc.top;
    rc.top = rc.bottom - height;
  }
  if (rc.right > work.right) {
    rc.right = parent.left;
    rc.left = parent.left - width;
  }
  if (rc.top < work.top) {
    rc.top = work.top;
    rc.bottom = std::min(work.top + static_cast<LONG>(height), work.bottom);
  }
  if (rc.left < work.left) {
    rc.left = parent.right;
    rc.right = parent.right + width;
  }
  ::MoveWindow(m_hWnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top + InsetHeight(m_pLayout), FALSE);
}

}  // namespace SkinUI
