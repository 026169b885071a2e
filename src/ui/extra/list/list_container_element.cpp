#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_clip.h"
#include "ui/extra/list/list_header.h"
#include "ui/extra/list/list_row_internal.h"

namespace SkinUI {

const wchar_t* CListContainerElementUI::GetClass() const { return L"ListContainerElementUI"; }

// A container row is no "HorizontalLayout" to the skin: its names are a row's and a container's.
LPVOID CListContainerElementUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr) {
    if (_wcsicmp(pstrName, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
    if (_wcsicmp(pstrName, L"ListContainerElement") == 0) return static_cast<CListContainerElementUI*>(this);
  }
  return CContainerUI::GetInterface(pstrName);
}

UINT CListContainerElementUI::GetControlFlags() const { return 4; }
bool CListContainerElementUI::Activate() { return list_row::NotifyActivated(*this, CControlUI::Activate()); }

const RECT& CListContainerElementUI::GetPos() const {
  list_row::Place(*this, m_row, m_pParent);
  return m_rcItem;
}

// In a list each cell follows the width and place of its column.
void CListContainerElementUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CLayoutPass pass(this);  // placing a cell may reach the program, as any layout may
  CHorizontalLayoutUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds()) return;
  if (m_row.pOwner == nullptr || m_row.pList == nullptr || m_row.pOwner->GetListType() != 0) return;
  CListHeaderUI* header = m_row.pList->GetHeader();
  if (header == nullptr || !header->IsVisible()) return;
  CControlWatch headerAlive(header);
  for (int i = 0; i < m_items.GetSize() && headerAlive; ++i) {
    CControlUI* column = header->GetItemAt(i);
    if (column == nullptr) return;
    RECT bounds = column->GetPos();
    if (bounds.left == 0 && bounds.right == 0) continue;
    CControlUI* cell = GetItemAt(i);
    RECT pos = cell->GetPos();
    pos.left = bounds.left;
    pos.right = bounds.right;
    cell->SetPos(pos, true);
    if (!pass.Holds(i, cell)) return;
  }
}

// Hiding the focused row, or a focused cell, moves the focus: the receiver of "killfocus" may
// delete the row.
void CListContainerElementUI::SetVisible(bool bVisible) {
  CControlWatch alive(this);
  CContainerUI::SetVisible(bVisible);
  if (alive) list_row::LeaveSelectionWhenHidden(*this, m_row);
}

// The row alone: its cells keep their own enabled state.
void CListContainerElementUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_row.uButtonState = 0;
}

void CListContainerElementUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"selected") == 0) {
    if (pstrValue != nullptr && _wcsicmp(pstrValue, L"true") == 0) Select(true);
    return;
  }
  CContainerUI::SetAttribute(pstrName, pstrValue);
}

void CListContainerElementUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && list_row::IsMouseEvent(event)) {
    if (m_row.pOwner != nullptr)
      m_row.pOwner->DoEvent(event);
    else
      CContainerUI::DoEvent(event);
    return;
  }
  bool enabled = IsEnabled();
  switch (event.Type) {
    case UIEVENT_DBLCLICK:
      if (enabled) list_row::ActivateAndRepaint(*this);
      return;
    case UIEVENT_KEYDOWN:
      if (event.chKey != VK_RETURN || !enabled) break;
      list_row::ActivateAndRepaint(*this);
      return;
    case UIEVENT_TIMER:
      if (m_pManager != nullptr) m_pManager->SendNotify(this, L"timer", event.wParam, event.lParam);
      return;
    case UIEVENT_CONTEXTMENU:
      if (!IsContextMenuEnabled()) break;
      if (m_pManager != nullptr) m_pManager->SendNotify(this, L"menu", event.wParam, event.lParam);
      return;
    default:
      if (list_row::HandlePointer(*this, m_row, *this, event)) return;
      break;
  }
  if (m_row.pOwner != nullptr)
    m_row.pOwner->DoEvent(event);
  else
    CControlUI::DoEvent(event);
}

// The row's background comes right after the control's own painting, under the cells.
void CListContainerElementUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  RECT dirty;
  if (!::IntersectRect(&dirty, &rcPaint, &m_rcItem)) return;
  CRenderClip clip;
  CRenderClip::CreateRect(hDC, dirty, clip);
  CControlUI::DoPaint(hDC, rcPaint);
  DrawItemBk(hDC, m_rcItem);
  PaintChildrenAndBars(hDC, rcPaint);
}

void CListContainerElementUI::DrawItemBk(HDC hDC, const RECT&) { list_row::DrawBk(*this, hDC, m_row); }
void CListContainerElementUI::DrawItemText(HDC, const RECT&) {}

int CListContainerElementUI::GetIndex() const { return m_row.iIndex; }
void CListContainerElementUI::SetIndex(int iIndex) { m_row.SetIndex(iIndex); }
IListOwnerUI* CListContainerElementUI::GetOwner() { return m_row.pOwner; }
void CListContainerElementUI::SetOwner(CControlUI* pOwner) { list_row::SetOwner(m_row, pOwner); }
bool CListContainerElementUI::IsSelected() const { return m_row.bSelected; }
bool CListContainerElementUI::Select(bool bSelect) { return list_row::Select(*this, m_row, bSelect); }
bool CListContainerElementUI::SelectMulti(bool bSelect) { return list_row::SelectMulti(*this, m_row, bSelect); }
bool CListContainerElementUI::IsExpanded() const { return false; }
bool CListContainerElementUI::Expand(bool) { return false; }
void CListContainerElementUI::InvalidateItem() { list_row::Invalidate(*this); }

}  // namespace SkinUI
