#include "ui/extra/combo/combo_wnd.h"

#include <windowsx.h>

#include "ui/core/controls/button.h"
#include "ui/core/paint/control/scrollbar.h"
#include "ui/extra/combo/combo.h"

namespace SkinUI {

namespace {

CControlUI* CALLBACK ForgetIn(CControlUI* control, LPVOID manager) {
  static_cast<CPaintManagerUI*>(manager)->ReapObjects(control);
  return nullptr;
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

}  // namespace

CComboWnd::CComboWnd() : m_pOwner(nullptr), m_pLayout(nullptr), m_pOldItem(nullptr), m_bHitItem(false) {}

const wchar_t* CComboWnd::GetWindowClassName() const { return L"ComboWnd"; }

UINT CComboWnd::GetClassStyle() const { return m_pOwner != nullptr && m_pOwner->IsShowShadow() ? 0 : CS_DROPSHADOW; }

bool CComboWnd::Init(CComboUI* pOwner) {
  m_pLayout = nullptr;
  m_bHitItem = false;
  m_pOwner = pOwner;
  m_pOldItem = pOwner->GetItemAt(pOwner->GetCurSel());
  CPaintManagerUI* manager = pOwner->GetManager();
  if (manager == nullptr) return false;
  // A refused window may have deleted itself already: only the result tells.
  if (Create(manager->GetPaintWindow(), nullptr, WS_POPUP, WS_EX_TOOLWINDOW, PlaceBelowOrAbove()) == nullptr)
    return false;
  HWND top = m_hWnd;
  while (::GetParent(top) != nullptr) top = ::GetParent(top);
  ::ShowWindow(m_hWnd, SW_SHOW);
  // The owner's window keeps its active look while the drop-down has the focus.
  ::SendMessageW(top, WM_NCACTIVATE, TRUE, 0);
  return true;
}

// As tall as the visible items and a frame of 4, at most the drop box height; as wide as the
// combo or the drop box width. It opens above the combo when it would pass the bottom of the work
// area of the monitor the combo's window is on.
RECT CComboWnd::PlaceBelowOrAbove() const {
  SIZE box = m_pOwner->GetDropBoxSize();
  RECT owner = m_pOwner->GetPos();
  int right = box.cx > 0 ? owner.left + box.cx : owner.right;
  int height = 4;
  for (int i = 0; i < m_pOwner->GetCount(); ++i) {
    CControlUI* item = m_pOwner->GetItemAt(i);
    if (item->IsVisible()) height += item->EstimateSize(SIZE{right - owner.left, box.cy}).cy;
  }
  if (height > box.cy) height = box.cy;
  RECT below = {owner.left, owner.bottom, right, owner.bottom + height};
  RECT above = {owner.left, owner.top - height, right, owner.top};
  HWND window = m_pOwner->GetManager()->GetPaintWindow();
  ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&below), 2);
  ::MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&above), 2);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  ::GetMonitorInfoW(::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor);
  return below.bottom <= monitor.rcWork.bottom ? below : above;
}

void CComboWnd::OnCreate() {
  m_pm.SetForceSharedResources(true);
  m_pm.Init(m_hWnd);
  m_pLayout = new CVerticalLayoutUI;
  m_pLayout->SetManager(&m_pm, nullptr, true);
  CPaintManagerUI* ownerManager = m_pOwner->GetManager();
  const wchar_t* defaults = ownerManager->GetDefaultAttributeList(L"VerticalLayout");
  if (defaults != nullptr) m_pLayout->ApplyAttributeList(defaults);
  m_pLayout->SetInset(RECT{1, 1, 1, 1});
  m_pLayout->SetBkColor(0xFFFFFFFF);
  m_pLayout->SetBorderColor(0xFFC6C7D2);
  m_pLayout->SetBorderSize(1);
  // The items stay the combo's: the layout never deletes them.
  m_pLayout->SetAutoDestroy(false);
  m_pLayout->EnableScrollBar(true, false);
  m_pLayout->ApplyAttributeList(m_pOwner->GetDropBoxAttributeList().GetData());
  for (int i = 0; i < m_pOwner->GetCount(); ++i) m_pLayout->Add(m_pOwner->GetItemAt(i));
  // The owner window's settings come here; the combo alone decides whether this one is shown.
  ownerManager->GetShadow()->CopyShadow(m_pm.GetShadow());
  m_pm.GetShadow()->ShowShadow(m_pOwner->IsShowShadow());
  m_pm.AttachDialog(m_pLayout);
  m_pm.AddNotifier(this);
}

void CComboWnd::ReleaseItem(CControlUI* pItem) {
  if (pItem == m_pOldItem) m_pOldItem = nullptr;
  if (m_pLayout == nullptr || m_pLayout->GetItemIndex(pItem) < 0) return;
  pItem->FindControl(ForgetIn, &m_pm, UIFIND_ALL);
  m_pLayout->Remove(pItem);
  if (m_pOwner != nullptr) pItem->SetManager(m_pOwner->GetManager(), m_pOwner, false);
}

void CComboWnd::ReleaseItems() {
  m_pOldItem = nullptr;
  ReturnItems();
}

// Receivers may have moved or removed items since the drop-down opened: the item is looked up.
int CComboWnd::OldSelection() const {
  return m_pOwner != nullptr && m_pOldItem != nullptr ? m_pOwner->GetItemIndex(m_pOldItem) : -1;
}

// This manager forgets every part of the items (hover, press, focus, timers, names) before they
// go, so that nothing here points at them later.
void CComboWnd::ReturnItems() {
  if (m_pOwner == nullptr || m_pLayout == nullptr) return;
  for (int i = 0; i < m_pLayout->GetCount(); ++i) m_pLayout->GetItemAt(i)->FindControl(ForgetIn, &m_pm, UIFIND_ALL);
  m_pLayout->RemoveAll();
  m_pOwner->SetManager(m_pOwner->GetManager(), m_pOwner->GetParent(), false);
  // Placing an item may reach the program, which may delete the owner: that detaches it.
  for (int i = 0; m_pOwner != nullptr && i < m_pOwner->GetCount(); ++i)
    m_pOwner->GetItemAt(i)->SetPos(RECT{0, 0, 0, 0}, false);
}

void CComboWnd::DetachOwner() {
  ReturnItems();
  m_pOwner = nullptr;
  if (!::IsWindow(m_hWnd)) return;
  ::ShowWindow(m_hWnd, SW_HIDE);
  PostMessage(WM_CLOSE);
}

bool CComboWnd::IsHitItem(POINT pt) {
  CControlUI* control = m_pm.FindControlAt(pt);
  if (control == nullptr || control->GetInterface(L"ScrollBar") != nullptr) return false;
  for (; control != nullptr; control = control->GetParent()) {
    if (control->GetInterface(L"ListItem") != nullptr) return true;
  }
  return false;
}

void CComboWnd::EnsureVisible(int iIndex) {
  if (m_pOwner == nullptr || m_pLayout == nullptr || m_pOwner->GetCurSel() < 0) return;
  CControlUI* item = m_pOwner->GetItemAt(iIndex);
  if (item == nullptr) return;
  RECT rcItem = item->GetPos();
  RECT rcList = m_pLayout->GetPos();
  CScrollBarUI* bar = m_pLayout->GetHorizontalScrollBar();
  if (bar != nullptr && bar->IsVisible()) rcList.bottom -= bar->GetFixedHeight();
  int dy = 0;
  if (rcItem.top < rcList.top) dy = rcItem.top - rcList.top;
  if (rcItem.bottom > rcList.bottom) dy = rcItem.bottom - rcList.bottom;
  Scroll(0, dy);
}

void CComboWnd::Scroll(int dx, int dy) {
  if ((dx == 0 && dy == 0) || m_pLayout == nullptr) return;
  SIZE pos = m_pLayout->GetScrollPos();
  m_pLayout->SetScrollPos(SIZE{pos.cx + dx, pos.cy + dy});
}

void CComboWnd::Notify(NotifyRecordUI& msg) {
  if (msg.sType == L"windowinit") EnsureVisible(OldSelection());
}

// True when the key was handled here; Return and Escape close the drop-down and go on to the
// manager as well.
bool CComboWnd::OnKeyDown(WPARAM key) {
  if (m_pOwner == nullptr) return false;
  if (key == VK_RETURN || key == VK_ESCAPE) {
    if (key == VK_ESCAPE) {
      m_pOwner->SelectItem(OldSelection(), true);
      EnsureVisible(OldSelection());
    }
    PostMessage(WM_KILLFOCUS);
    return false;
  }
  EventRecordUI event = {};
  event.Type = UIEVENT_KEYDOWN;
  event.pSender = m_pOwner;
  event.chKey = static_cast<wchar_t>(key);
  event.dwTimestamp = ::GetTickCount();
  m_pOwner->DoEvent(event);
  // A receiver of the owner's notification may have deleted it, which detached this window.
  if (m_pOwner != nullptr) EnsureVisible(m_pOwner->GetCurSel());
  return true;
}

// With scroll select the wheel moves the selection, else it scrolls the list.
void CComboWnd::OnMouseWheel(WPARAM wParam, LPARAM lParam) {
  EventRecordUI event = {};
  event.Type = UIEVENT_SCROLLWHEEL;
  event.wParam = static_cast<short>(HIWORD(wParam)) < 0 ? 1 : 0;
  event.lParam = lParam;
  event.dwTimestamp = ::GetTickCount();
  if (m_pOwner != nullptr && m_pOwner->GetScrollSelect()) {
    event.pSender = m_pOwner;
    m_pOwner->DoEvent(event);
    if (m_pOwner != nullptr) EnsureVisible(m_pOwner->GetCurSel());
  } else if (m_pLayout != nullptr) {
    event.pSender = m_pLayout;
    m_pLayout->DoEvent(event);
  }
}

LRESULT CComboWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_CREATE:
      OnCreate();
      return 0;
    case WM_CLOSE: {
      ReturnItems();
      // The manager lets go of its hover, press and focus before the owner takes the focus back.
      LRESULT ignored = 0;
      m_pm.MessageHandler(uMsg, wParam, lParam, ignored);
      if (m_pOwner != nullptr) m_pOwner->SetFocus();
      return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
    case WM_LBUTTONDOWN:
      m_bHitItem = IsHitItem(PointOf(lParam));
      break;
    case WM_LBUTTONUP:
      // A press that started on an item and ends on one chose it.
      if (m_bHitItem && IsHitItem(PointOf(lParam))) PostMessage(WM_KILLFOCUS);
      m_bHitItem = false;
      break;
    case WM_KEYDOWN:
      if (OnKeyDown(wParam)) return 0;
      break;
    case WM_MOUSEWHEEL:
      OnMouseWheel(wParam, lParam);
      return 0;
    case WM_KILLFOCUS:
      if (reinterpret_cast<HWND>(wParam) != m_hWnd) PostMessage(WM_CLOSE);
      break;
    default:
      break;
  }
  LRESULT result = 0;
  if (m_pm.MessageHandler(uMsg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

// However the window ends (closed, or destroyed with the owner's window), the items are the
// owner's again before this object goes.
void CComboWnd::OnFinalMessage(HWND) {
  ReturnItems();
  if (m_pOwner != nullptr) {
    if (m_pOwner->m_pWindow == this) m_pOwner->m_pWindow = nullptr;
    m_pOwner->m_uButtonState &= ~UISTATE_PUSHED;
    m_pOwner->Invalidate();
  }
  delete this;
}

}  // namespace SkinUI
