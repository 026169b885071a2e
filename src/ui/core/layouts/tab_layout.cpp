#include "ui/core/layouts/tab_layout.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

CTabLayoutUI::CTabLayoutUI() : m_iCurSel(-1) {}

const wchar_t* CTabLayoutUI::GetClass() const { return L"TabLayoutUI"; }

LPVOID CTabLayoutUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"TabLayout") == 0) return static_cast<CTabLayoutUI*>(this);
  return CContainerUI::GetInterface(pstrName);
}

bool CTabLayoutUI::Add(CControlUI* pControl) {
  // The container's Add goes through the AddAt slot, which would settle the selection twice.
  if (!CContainerUI::AddAt(pControl, GetCount())) return false;
  if (m_iCurSel == -1 && pControl->IsVisible())
    m_iCurSel = GetItemIndex(pControl);
  else
    pControl->SetVisible(false);
  return true;
}

bool CTabLayoutUI::AddAt(CControlUI* pControl, int iIndex) {
  if (!CContainerUI::AddAt(pControl, iIndex)) return false;
  if (m_iCurSel == -1 && pControl->IsVisible()) {
    m_iCurSel = GetItemIndex(pControl);
  } else {
    pControl->SetVisible(false);
    if (m_iCurSel != -1 && iIndex <= m_iCurSel) m_iCurSel += 1;
  }
  return true;
}

bool CTabLayoutUI::Remove(CControlUI* pControl) {
  if (pControl == nullptr) return false;
  const int index = GetItemIndex(pControl);
  if (!CContainerUI::Remove(pControl)) return false;
  if (m_iCurSel == index) {
    if (GetCount() > 0) {
      m_iCurSel = 0;
      GetItemAt(0)->SetVisible(true);
    } else {
      m_iCurSel = -1;
    }
    NeedParentUpdate();
  } else if (index < m_iCurSel) {
    m_iCurSel -= 1;
  }
  return true;
}

void CTabLayoutUI::RemoveAll() {
  m_iCurSel = -1;
  CContainerUI::RemoveAll();
  NeedParentUpdate();
}

bool CTabLayoutUI::SelectItem(CControlUI* pControl) {
  const int index = GetItemIndex(pControl);
  if (index == -1) return false;
  return SelectItem(index);
}

// Hiding the page that has the focus, focusing the new one and moving the focus on notify: their
// receivers may remove or insert pages, select another or delete this layout. After each the page
// is looked up again; once it is no longer the selection, what they did stands and nothing is
// announced. A change in the pages starts the walk again: showing or hiding a page twice does
// nothing.
bool CTabLayoutUI::SelectItem(int iIndex) {
  if (iIndex < 0 || iIndex >= GetCount()) return false;
  if (iIndex == m_iCurSel) return true;
  CChildWatch previous(this, GetItemAt(m_iCurSel));
  CChildWatch page(this, GetItemAt(iIndex));
  m_iCurSel = iIndex;
  auto holds = [&] { return (iIndex = page.Index()) >= 0 && iIndex == m_iCurSel; };
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    int count = GetCount();
    if (child == page.Child()) {
      child->SetVisible(true);
      child->SetFocus();
      if (!holds()) return true;
      SetPos(m_rcItem, true);
    } else {
      child->SetVisible(false);
      if (!holds()) return true;
    }
    if (GetCount() != count || GetItemAt(i) != child) i = -1;
  }
  NeedParentUpdate();
  if (m_pManager == nullptr) return true;
  m_pManager->SetNextTabControl();
  if (!holds()) return true;
  m_pManager->SendNotify(this, L"tabselect", static_cast<WPARAM>(iIndex), static_cast<LPARAM>(previous.Index()));
  return true;
}

void CTabLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && _wcsicmp(pstrName, L"selectedid") == 0) {
    SelectItem(_wtoi(pstrValue));
  }
  CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CTabLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CLayoutPass pass(this);
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds()) return;
  rc = m_rcItem;
  rc.left += m_rcInset.left;
  rc.top += m_rcInset.top;
  rc.right -= m_rcInset.right;
  rc.bottom -= m_rcInset.bottom;
  for (int i = 0; i < GetCount(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      if (!pass.Holds(i, child)) return;
      continue;
    }
    if (i != m_iCurSel) continue;
    RECT p = child->GetPadding();
    RECT area = {rc.left + p.left, rc.top + p.top, rc.right - p.right, rc.bottom - p.bottom};
    SIZE size = child->EstimateSize(SIZE{area.right - area.left, area.bottom - area.top});
    if (size.cx == 0) size.cx = area.right - area.left > 0 ? area.right - area.left : 0;
    if (size.cy == 0) size.cy = area.bottom - area.top > 0 ? area.bottom - area.top : 0;
    if (size.cx < child->GetMinWidth()) size.cx = child->GetMinWidth();
    if (size.cx > child->GetMaxWidth()) size.cx = child->GetMaxWidth();
    if (size.cy < child->GetMinHeight()) size.cy = child->GetMinHeight();
    if (size.cy > child->GetMaxHeight()) size.cy = child->GetMaxHeight();
    child->SetPos(RECT{area.left, area.top, area.left + size.cx, area.top + size.cy}, true);
    if (!pass.Holds(i, child)) return;
  }
}

}  // namespace SkinUI
