#include <cwchar>

#include "ui/core/paint/control/container.h"
#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/list/list_body.h"
#include "ui/extra/list/list_row_internal.h"

namespace SkinUI {

void ListRowState::SetIndex(int index) {
  iIndex = index;
  if (index >= 0 || pOwner == nullptr) return;
  bLetGo = true;
  pOwner = nullptr;
  pList = nullptr;
  pPlacer = nullptr;
}

namespace list_row {

namespace {

const UINT kHot = 0x08;

// Rows are many: an opaque background is filled by GDI itself, the same pixels as the render
// engine's fill outside a layered window (where the alpha of each pixel counts).
void FillRow(CControlUI& control, HDC hDC, const RECT& rc, DWORD color) {
  CPaintManagerUI* manager = control.GetManager();
  if ((color >> 24) != 0xFF || manager == nullptr || manager->IsLayered()) {
    CRenderEngine::DrawColor(hDC, rc, color);
    return;
  }
  HBRUSH brush = ::CreateSolidBrush(RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF));
  ::FillRect(hDC, &rc, brush);
  ::DeleteObject(brush);
}

}  // namespace

void SetOwner(ListRowState& row, CControlUI* owner) {
  row.bLetGo = false;
  row.pOwner = owner != nullptr ? static_cast<IListOwnerUI*>(owner->GetInterface(L"IListOwner")) : nullptr;
  row.pList = owner != nullptr ? static_cast<IListUI*>(owner->GetInterface(L"IList")) : nullptr;
  row.pPlacer = row.pList != nullptr ? dynamic_cast<CListBodyUI*>(row.pList->GetList()) : nullptr;
}

// The owner's "itemselect" may reach a receiver that deletes the row, or its owner with it.
bool Select(CControlUI& control, ListRowState& row, bool select) {
  if (!control.IsEnabled()) return false;
  if (row.IsPlaced() && row.bSelected) row.pOwner->UnSelectItem(row.iIndex, true);
  if (select == row.bSelected) return true;
  row.bSelected = select;
  CControlWatch alive(&control);
  if (select && row.IsPlaced()) row.pOwner->SelectItem(row.iIndex, false);
  if (alive) Invalidate(control);
  return true;
}

// A row unselected on its own (a Ctrl-click) also leaves its owner's selected rows.
bool SelectMulti(CControlUI& control, ListRowState& row, bool select) {
  if (!control.IsEnabled()) return false;
  if (select == row.bSelected) return true;
  row.bSelected = select;
  CControlWatch alive(&control);
  if (row.IsPlaced()) {
    if (select)
      row.pOwner->SelectMultiItem(row.iIndex, false);
    else
      row.pOwner->UnSelectItem(row.iIndex, false);
  }
  if (alive) Invalidate(control);
  return true;
}

void Invalidate(CControlUI& control) {
  if (!control.IsVisible()) return;
  CControlUI* parent = control.GetParent();
  CContainerUI* container =
      parent != nullptr ? static_cast<CContainerUI*>(parent->GetInterface(L"Container")) : nullptr;
  if (container == nullptr) {
    control.Invalidate();
    return;
  }
  RECT client = parent->GetPos();
  RECT inset = container->GetInset();
  client.left += inset.left;
  client.top += inset.top;
  client.right -= inset.right;
  client.bottom -= inset.bottom;
  CScrollBarUI* vbar = container->GetVerticalScrollBar();
  CScrollBarUI* hbar = container->GetHorizontalScrollBar();
  if (vbar != nullptr && vbar->IsVisible()) client.right -= vbar->GetFixedWidth();
  if (hbar != nullptr && hbar->IsVisible()) client.bottom -= hbar->GetFixedHeight();
  // The row's own rectangle as it stands: a row out of view needs no repaint.
  RECT own = control.CControlUI::GetPos();
  RECT rc;
  if (!::IntersectRect(&rc, &client, &own)) return;
  for (CControlUI* ancestor = parent->GetParent(); ancestor != nullptr; ancestor = ancestor->GetParent()) {
    RECT pos = ancestor->GetPos();
    if (!::IntersectRect(&rc, &rc, &pos)) return;
  }
  if (control.GetManager() != nullptr) control.GetManager()->Invalidate(rc);
}

void DrawBk(CControlUI& control, HDC hDC, const ListRowState& row) {
  if (row.pOwner == nullptr) return;
  const ListInfoUI* info = row.pOwner->GetListInfo();
  const RECT& rc = control.CControlUI::GetPos();
  bool hot = (row.uButtonState & kHot) != 0, enabled = control.IsEnabled();
  bool evenOrPlain = !info->bAlternateBk || row.iIndex % 2 == 0;
  DWORD color = evenOrPlain ? info->dwBkColor : 0;
  if (hot) color = info->dwHotBkColor;
  if (row.bSelected) color = info->dwSelectedBkColor;
  if (!enabled) color = info->dwDisabledBkColor;
  if (color != 0) FillRow(control, hDC, rc, control.AdjustColor(color));
  if (!enabled && !info->sDisabledImage.IsEmpty() && control.DrawImage(hDC, info->sDisabledImage.GetData())) return;
  if (row.bSelected && !info->sSelectedImage.IsEmpty() && control.DrawImage(hDC, info->sSelectedImage.GetData())) {
    return;
  }
  if (hot && !info->sHotImage.IsEmpty() && control.DrawImage(hDC, info->sHotImage.GetData())) return;
  if (!control.GetBkImage().IsEmpty()) {
    if (evenOrPlain) control.DrawImage(hDC, control.GetBkImage().GetData());
  } else if (!info->sBkImage.IsEmpty() && control.DrawImage(hDC, info->sBkImage.GetData())) {
    return;
  }
  if (info->dwLineColor == 0) return;
  DWORD line = control.AdjustColor(info->dwLineColor);
  if (info->bShowRowLine) CRenderEngine::DrawLine(hDC, RECT{rc.left, rc.bottom - 1, rc.right, rc.bottom - 1}, 1, line);
  for (int i = 0; info->bShowColumnLine && i < info->nColumns; ++i) {
    const RECT& column = info->rcColumn[i];
    if (::IsRectEmpty(&column)) continue;
    CRenderEngine::DrawLine(hDC, RECT{column.right - 1, rc.top, column.right - 1, rc.bottom}, 1, line);
  }
}

bool NotifyActivated(CControlUI& control, bool activated) {
  if (activated && control.GetManager() != nullptr) control.GetManager()->SendNotify(&control, L"itemactivate");
  return true;
}

// The receiver of "itemactivate" may delete the row.
void ActivateAndRepaint(CControlUI& control) {
  CControlWatch alive(&control);
  control.Activate();
  if (alive) Invalidate(control);
}

void LeaveSelectionWhenHidden(CControlUI& control, ListRowState& row) {
  if (control.IsVisible() || !row.bSelected) return;
  row.bSelected = false;
  if (row.IsPlaced()) row.pOwner->SelectItem(-1, false);
}

void Place(const CControlUI& control, const ListRowState& row, const CControlUI* parent) {
  if (row.pPlacer != nullptr && parent == row.pPlacer)
    row.pPlacer->PlaceRow(const_cast<CControlUI*>(&control), row.iIndex);
}

bool IsMouseEvent(const EventRecordUI& event) {
  return event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST;
}

bool HandlePointer(CControlUI& control, ListRowState& row, IListItemUI& item, EventRecordUI& event) {
  bool rightSelects = row.pOwner != nullptr && row.pOwner->GetListInfo()->bRSelected;
  switch (event.Type) {
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_RBUTTONDOWN:
      if (event.Type == UIEVENT_RBUTTONDOWN && !rightSelects) return false;
      if (!control.IsEnabled()) return true;
      if (::GetKeyState(VK_CONTROL) >= 0)
        item.Select(true);
      else
        item.SelectMulti(!row.bSelected);
      return true;
    case UIEVENT_BUTTONUP:
      if (control.IsEnabled() && !row.IsLetGo() && control.GetManager() != nullptr)
        control.GetManager()->SendNotify(&control, L"itemclick");
      return true;
    case UIEVENT_MOUSEMOVE:
      return true;
    case UIEVENT_MOUSEENTER:
      if (control.IsEnabled()) {
        row.uButtonState |= kHot;
        Invalidate(control);
      }
      return true;
    case UIEVENT_MOUSELEAVE:
      if ((row.uButtonState & kHot) != 0) {
        row.uButtonState &= ~kHot;
        Invalidate(control);
      }
      return true;
    default:
      return false;
  }
}

}  // namespace list_row

const wchar_t* CListElementUI::GetClass() const { return L"ListElementUI"; }

LPVOID CListElementUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr) {
    if (_wcsicmp(pstrName, L"ListItem") == 0) return static_cast<IListItemUI*>(this);
    if (_wcsicmp(pstrName, L"ListElement") == 0) return static_cast<CListElementUI*>(this);
  }
  return CControlUI::GetInterface(pstrName);
}

UINT CListElementUI::GetControlFlags() const { return 4; }
bool CListElementUI::Activate() { return list_row::NotifyActivated(*this, CControlUI::Activate()); }

const RECT& CListElementUI::GetPos() const {
  list_row::Place(*this, m_row, m_pParent);
  return m_rcItem;
}

// Hiding the focused row moves the focus: the receiver of "killfocus" may delete it.
void CListElementUI::SetVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetVisible(bVisible);
  if (alive) list_row::LeaveSelectionWhenHidden(*this, m_row);
}

void CListElementUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_row.uButtonState = 0;
}

// "selected" selects the row when its value is "true" (any letter case).
void CListElementUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"selected") == 0) {
    if (pstrValue != nullptr && _wcsicmp(pstrValue, L"true") == 0) Select(true);
    return;
  }
  CControlUI::SetAttribute(pstrName, pstrValue);
}

int CListElementUI::GetIndex() const { return m_row.iIndex; }
void CListElementUI::SetIndex(int iIndex) { m_row.SetIndex(iIndex); }
IListOwnerUI* CListElementUI::GetOwner() { return m_row.pOwner; }
void CListElementUI::SetOwner(CControlUI* pOwner) { list_row::SetOwner(m_row, pOwner); }
bool CListElementUI::IsSelected() const { return m_row.bSelected; }
bool CListElementUI::Select(bool bSelect) { return list_row::Select(*this, m_row, bSelect); }
bool CListElementUI::SelectMulti(bool bSelect) { return list_row::SelectMulti(*this, m_row, bSelect); }
bool CListElementUI::IsExpanded() const { return false; }
bool CListElementUI::Expand(bool) { return false; }
void CListElementUI::InvalidateItem() { list_row::Invalidate(*this); }
void CListElementUI::DrawItemBk(HDC hDC, const RECT&) { list_row::DrawBk(*this, hDC, m_row); }

bool CListElementUI::PassMouseEvent(EventRecordUI& event) {
  if (IsMouseEnabled() || !list_row::IsMouseEvent(event) || m_row.pOwner == nullptr) return false;
  m_row.pOwner->DoEvent(event);
  return true;
}

void CListElementUI::DoEvent(EventRecordUI& event) {
  if (PassMouseEvent(event)) return;
  if (!IsMouseEnabled() && list_row::IsMouseEvent(event)) {
    CControlUI::DoEvent(event);
    return;
  }
  if (event.Type == UIEVENT_DBLCLICK) {
    if (IsEnabled()) list_row::ActivateAndRepaint(*this);
    return;
  }
  if (event.Type == UIEVENT_KEYDOWN && event.chKey == VK_RETURN && IsEnabled()) {
    list_row::ActivateAndRepaint(*this);
    return;
  }
  if (m_row.pOwner != nullptr)
    m_row.pOwner->DoEvent(event);
  else
    CControlUI::DoEvent(event);
}

}  // namespace SkinUI
