// The list's selection: single and multiple, by keyboard and wheel, and rows scrolled into view.
#include <algorithm>

#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_body.h"

namespace SkinUI {

void CListSelection::Add(int index) {
  if (m_members.insert(index).second) m_order.push_back(index);
}

void CListSelection::Remove(int index) {
  if (m_members.erase(index) == 0) return;
  m_order.erase(std::find(m_order.begin(), m_order.end(), index));
}

void CListSelection::Clear() {
  m_order.clear();
  m_members.clear();
}

void CListSelection::Assign(const std::vector<int>& order) {
  Clear();
  for (int index : order) Add(index);
}

void CListSelection::Renumber(int index, int delta) {
  std::vector<int> order;
  for (int selected : m_order) {
    if (delta < 0 && selected == index) continue;
    order.push_back(selected >= index ? selected + delta : selected);
  }
  Assign(order);
}

int CListUI::GetCurSel() const { return m_aSelItems.Empty() ? -1 : m_aSelItems.Order().front(); }
int CListUI::GetExpandedItem() const { return m_iExpandedItem; }
bool CListUI::IsMultiSelect() const { return m_bMultiSel; }
int CListUI::GetSelectItemCount() const { return m_aSelItems.Size(); }

void CListUI::SetMultiSelect(bool bMultiSel) {
  m_bMultiSel = bMultiSel;
  if (!bMultiSel) UnSelectAllItems();
}

int CListUI::GetNextSelItem(int nItem) const {
  const std::vector<int>& order = m_aSelItems.Order();
  if (order.empty()) return -1;
  if (nItem < 0) return order.front();
  auto at = std::find(order.begin(), order.end(), nItem);
  if (at == order.end() || at + 1 == order.end()) return -1;
  return *(at + 1);
}

// Each step after the item's Select may reach the program's receivers ("itemselect" from inside,
// the body's scroll, the focus change): they may remove, move, hide or unselect the row, select
// another, or delete this list. The row is looked up again after each; once it is no longer this
// list's selected row, what the receivers did stands and nothing more is done or announced.
bool CListUI::SelectItem(int iIndex, bool bTakeFocus) {
  CControlWatch alive(this);
  UnSelectAllItems();
  IListItemUI* item = RowAt(iIndex);
  if (item == nullptr) return false;
  CChildWatch row(m_pList, m_pList->GetItemAt(iIndex));
  // The item reports itself to this list (the same call, from inside), which records and
  // announces it there.
  if (!item->Select(true)) return false;
  auto holds = [&] { return alive && (iIndex = row.Index()) >= 0 && item->IsSelected(); };
  if (!holds()) return true;
  bool announced = m_iCurSel == iIndex;
  m_iCurSel = iIndex;
  m_aSelItems.Add(iIndex);
  if (!m_bDeferEnsureVisible) {
    EnsureVisible(iIndex);
    if (!holds()) return true;
  }
  if (bTakeFocus) {
    row.Child()->SetFocus();
    if (!holds()) return true;
  }
  if (m_pManager != nullptr && !announced) m_pManager->SendNotify(this, L"itemselect", iIndex, 0);
  return true;
}

bool CListUI::SelectMultiItem(int iIndex, bool bTakeFocus) {
  if (!m_bMultiSel) return SelectItem(iIndex, bTakeFocus);
  IListItemUI* item = RowAt(iIndex);
  if (item == nullptr || m_aSelItems.Has(iIndex)) return false;
  CControlWatch alive(this);
  CChildWatch row(m_pList, m_pList->GetItemAt(iIndex));
  if (!item->SelectMulti(true)) return false;
  auto holds = [&] { return alive && (iIndex = row.Index()) >= 0 && item->IsSelected(); };
  if (!holds()) return true;
  // Selected through the item, which has reported itself to this list already.
  bool reported = m_aSelItems.Has(iIndex);
  if (!reported) {
    m_iCurSel = iIndex;
    m_aSelItems.Add(iIndex);
    if (!m_bDeferEnsureVisible) EnsureVisible(iIndex);
    if (!holds()) return true;
  }
  if (bTakeFocus) {
    row.Child()->SetFocus();
    if (!holds()) return true;
  }
  if (m_pManager != nullptr && !reported) m_pManager->SendNotify(this, L"itemselect", iIndex, 0);
  return true;
}

bool CListUI::UnSelectItem(int iIndex, bool bOthers) {
  if (!m_bMultiSel) return false;
  if (!bOthers) {
    IListItemUI* item = RowAt(iIndex);
    if (item == nullptr || !m_pList->GetItemAt(iIndex)->IsEnabled() || !m_aSelItems.Has(iIndex)) return false;
    if (!item->SelectMulti(false)) return false;
    if (m_iCurSel == iIndex) m_iCurSel = -1;
    m_aSelItems.Remove(iIndex);
    return true;
  }
  std::vector<int> recorded = m_aSelItems.Order();
  for (auto at = recorded.rbegin(); at != recorded.rend(); ++at) {
    if (*at == iIndex) continue;
    IListItemUI* item = RowAt(*at);
    if (item != nullptr && m_pList->GetItemAt(*at)->IsEnabled() && item->SelectMulti(false)) m_aSelItems.Remove(*at);
  }
  return true;
}

void CListUI::UnSelectAllItems() {
  std::vector<int> recorded = m_aSelItems.Order();
  m_aSelItems.Clear();
  m_iCurSel = -1;
  for (int index : recorded) {
    IListItemUI* item = RowAt(index);
    if (item != nullptr && m_pList->GetItemAt(index)->IsEnabled()) item->SelectMulti(false);
  }
}

// The rows are scrolled to once, at the end: to the last row selected, as one by one would. Each
// row's selection is announced: a receiver that removes a row ends the run with what it left.
void CListUI::SelectAllItems() {
  CControlWatch alive(this);
  m_bDeferEnsureVisible = true;
  bool any = false;
  for (int i = 0; i < m_pList->GetCount(); ++i) {
    CControlUI* control = m_pList->GetItemAt(i);
    IListItemUI* item = static_cast<IListItemUI*>(control->GetInterface(L"ListItem"));
    if (!control->IsVisible() || !control->IsEnabled() || item == nullptr) continue;
    CChildWatch row(m_pList, control);
    if (!item->SelectMulti(true)) continue;
    if (!alive) return;
    i = row.Index();
    if (i < 0) break;
    if (!item->IsSelected()) continue;
    m_aSelItems.Add(i);
    m_iCurSel = i;
    any = true;
  }
  m_bDeferEnsureVisible = false;
  if (any) EnsureVisible(m_iCurSel);
}

// A row's Expand may reach the program, which may delete this list or expand another row.
bool CListUI::ExpandItem(int iIndex, bool bExpand) {
  CControlWatch alive(this);
  if (m_iExpandedItem >= 0 && !m_ListInfo.bMultiExpandable) {
    IListItemUI* expanded = RowAt(m_iExpandedItem);
    m_iExpandedItem = -1;
    if (expanded != nullptr) expanded->Expand(false);
    if (!alive) return false;
  }
  if (!bExpand) {
    NeedUpdate();
    return true;
  }
  CControlUI* control = m_pList->GetItemAt(iIndex);
  IListItemUI* item = RowAt(iIndex);
  if (control == nullptr || !control->IsVisible() || item == nullptr) return false;
  m_iExpandedItem = iIndex;
  bool expanded = item->Expand(true);
  if (!alive) return expanded;
  if (!expanded && m_iExpandedItem == iIndex) m_iExpandedItem = -1;
  if (expanded) NeedUpdate();
  return expanded;
}

void CListUI::EnsureVisible(int iIndex) {
  CControlUI* row = m_pList->GetItemAt(iIndex);
  if (m_iCurSel < 0 || row == nullptr) return;
  RECT item = row->GetPos();
  RECT body = m_pList->GetPos();
  RECT inset = m_pList->GetInset();
  body.top += inset.top;
  body.bottom -= inset.bottom;
  CScrollBarUI* hbar = m_pList->GetHorizontalScrollBar();
  if (hbar != nullptr && hbar->IsVisible()) body.bottom -= hbar->GetFixedHeight();
  int dy = 0;
  if (item.top < body.top) dy = item.top - body.top;
  if (item.bottom > body.bottom) dy = item.bottom - body.bottom;
  Scroll(0, dy);
}

void CListUI::Scroll(int dx, int dy) {
  if (dx == 0 && dy == 0) return;
  SIZE pos = m_pList->GetScrollPos();
  m_pList->SetScrollPos(SIZE{pos.cx + dx, pos.cy + dy}, true);
}

// As many rows as fit in the body, counted in the height of the row selected now.
int CListUI::PageTarget(bool down) const {
  int count = m_pList->GetCount();
  if (count == 0) return -1;
  CControlUI* anchor = m_pList->GetItemAt(m_iCurSel >= 0 ? m_iCurSel : 0);
  int rowHeight = std::max(1, anchor->GetHeight());
  int page = m_pList->GetHeight() - m_pList->GetInset().top - m_pList->GetInset().bottom;
  CScrollBarUI* hbar = m_pList->GetHorizontalScrollBar();
  if (hbar != nullptr && hbar->IsVisible()) page -= hbar->GetFixedHeight();
  int step = std::max(1, page / rowHeight - 1);
  int from = m_iCurSel >= 0 ? m_iCurSel : 0;
  int target = down ? std::min(from + step, count - 1) : std::max(from - step, 0);
  int found = FindSelectableRow(target, down);
  if (found < 0 && down) found = FindSelectableRow(count - 1, false);
  return found;
}

// The keys move the selection to rows that can be selected: disabled and hidden rows are passed
// over, and a key with nowhere to go keeps the selection where it is.
bool CListUI::HandleKey(const EventRecordUI& event) {
  int count = m_pList->GetCount();
  const std::vector<int>& selected = m_aSelItems.Order();
  int target = -1;
  switch (event.chKey) {
    case VK_HOME:
      target = FindSelectableRow(0, false);
      break;
    case VK_END:
      target = FindSelectableRow(count - 1, false);
      break;
    case VK_PRIOR:
    case VK_NEXT:
      target = PageTarget(event.chKey == VK_NEXT);
      break;
    case VK_UP:
      if (selected.empty()) return true;
      target = FindSelectableRow(std::max(*std::min_element(selected.begin(), selected.end()) - 1, 0), false);
      break;
    case VK_DOWN:
      if (selected.empty()) return true;
      target = FindSelectableRow(*std::max_element(selected.begin(), selected.end()) + 1, true);
      if (target < 0) target = FindSelectableRow(count - 1, false);
      break;
    case VK_RETURN:
      if (m_iCurSel != -1 && m_pList->GetItemAt(m_iCurSel) != nullptr) m_pList->GetItemAt(m_iCurSel)->Activate();
      return true;
    case 'A':
      if (!m_bMultiSel || ::GetKeyState(VK_CONTROL) >= 0) return false;
      SelectAllItems();
      return true;
    default:
      return false;
  }
  if (target >= 0) SelectItem(target, true);
  return true;
}

bool CListUI::HandleWheel(const EventRecordUI& event) {
  if (event.wParam != 0 && event.wParam != 1) return false;
  bool down = event.wParam == 1;
  if (!m_bScrollSelect || m_bMultiSel) {
    if (down)
      m_pList->LineDown();
    else
      m_pList->LineUp();
    return true;
  }
  int target = down ? FindSelectableRow(m_iCurSel + 1, true) : FindSelectableRow(m_iCurSel - 1, false);
  if (target >= 0) SelectItem(target, true);
  return true;
}

void CListUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CVerticalLayoutUI::DoEvent(event);
    return;
  }
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
      m_bFocused = true;
      return;
    case UIEVENT_KILLFOCUS:
      m_bFocused = false;
      return;
    case UIEVENT_KEYDOWN:
      if (HandleKey(event)) return;
      break;
    case UIEVENT_SCROLLWHEEL:
      if (HandleWheel(event)) return;
      break;
    default:
      break;
  }
  CVerticalLayoutUI::DoEvent(event);
}

}  // namespace SkinUI
