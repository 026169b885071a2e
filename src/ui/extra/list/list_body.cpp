#include "ui/extra/list/list_body.h"

#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_header.h"

namespace SkinUI {

namespace {

int Clamp(int value, int low, int high) {
  if (value < low) value = low;
  if (value > high) value = high;
  return value;
}

bool Meets(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

CListBodyUI::CListBodyUI(CListUI* pOwner)
    : m_pOwner(pOwner),
      m_layoutScroll{0, 0},
      m_scroll{0, 0},
      m_bRowsValid(false),
      m_bOrdered(true),
      m_bHasFloats(false) {}

int CListBodyUI::GetScrollStepSize() const {
  if (m_pOwner != nullptr) return m_pOwner->GetScrollStepSize();
  return CVerticalLayoutUI::GetScrollStepSize();
}

void CListBodyUI::DoEvent(EventRecordUI& event) {
  bool mouse = event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST;
  if (!IsMouseEnabled() && mouse && m_pOwner != nullptr) {
    m_pOwner->DoEvent(event);
    return;
  }
  CVerticalLayoutUI::DoEvent(event);
}

// The item rectangle less the stored inset, less the vertical bar (also a hidden one when the
// list keeps room for it) and a visible horizontal bar.
RECT CListBodyUI::ClientRect() const {
  RECT rc = {m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top, m_rcItem.right - m_rcInset.right,
             m_rcItem.bottom - m_rcInset.bottom};
  bool keepBarRoom = m_pOwner != nullptr && m_pOwner->IsFixedScrollbar() && m_pVerticalScrollBar != nullptr;
  if (keepBarRoom || IsBarVisible(m_pVerticalScrollBar)) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
  if (IsBarVisible(m_pHorizontalScrollBar)) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  return rc;
}

// Placing the header, a floating child or a row may reach the program, as any layout may.
void CListBodyUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CLayoutPass pass(this);
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds()) return;
  RECT client = ClientRect();
  SIZE available = {client.right - client.left, client.bottom - client.top};
  if (IsBarVisible(m_pHorizontalScrollBar)) available.cx += m_pHorizontalScrollBar->GetScrollRange();
  int fixedTotal = 0, adjustables = 0, counted = 0;
  int neededWidth = MeasureRows(available, fixedTotal, adjustables, counted);
  fixedTotal += m_iChildPadding * (counted - 1);
  PlaceHeader(client, neededWidth);
  if (!pass.Holds()) return;
  // Every row counts towards the height, however wide the rows are: each can be scrolled to.
  int neededHeight = StackRows(client, available, neededWidth, fixedTotal, adjustables, pass);
  if (neededHeight < 0) return;
  neededHeight += m_iChildPadding * (counted - 1);
  if (!UpdateHorizontalBar(client, neededWidth) || !pass.Holds()) return;
  if (!PlaceRowsInView(pass)) return;
  ProcessScrollBar(client, neededWidth, neededHeight);
}

int CListBodyUI::MeasureRows(SIZE available, int& fixedTotal, int& adjustables, int& counted) {
  int neededWidth = 0;
  bool floats = false;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      floats = true;
      continue;
    }
    RECT p = child->GetPadding();
    SIZE size = child->EstimateSize(available);
    if (size.cy == 0)
      ++adjustables;
    else
      size.cy = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
    fixedTotal += size.cy + p.top + p.bottom;
    int width = Clamp(size.cx < 0 ? 0 : size.cx, child->GetMinWidth(), child->GetMaxWidth());
    if (width > neededWidth) neededWidth = width;
    ++counted;
  }
  m_bHasFloats = floats;
  return neededWidth;
}

// With header items the rows are as wide as the header; the header follows horizontal scrolling.
void CListBodyUI::PlaceHeader(const RECT& client, int& neededWidth) {
  CListHeaderUI* header = m_pOwner != nullptr ? m_pOwner->GetHeader() : nullptr;
  if (header == nullptr || header->GetCount() == 0) return;
  SIZE estimate = header->EstimateSize(SIZE{client.right - client.left, client.bottom - client.top});
  neededWidth = estimate.cx < 0 ? 0 : estimate.cx;
  // Without the bar the header starts where the list put it, beside the body, also when a bar
  // hidden during this layout had moved it.
  RECT pos = header->GetPos();
  LONG left =
      IsBarVisible(m_pHorizontalScrollBar) ? client.left - m_pHorizontalScrollBar->GetScrollPos() : m_rcItem.left;
  if (pos.left == left) return;
  pos.left = left;
  header->SetPos(pos, true);
}

// Works out every row's rectangle without placing it yet; answers the height the rows need, or -1
// when placing a floating child changed the children.
int CListBodyUI::StackRows(const RECT& client, SIZE available, int neededWidth, int fixedTotal, int adjustables,
                           const CLayoutPass& pass) {
  int share = adjustables > 0 ? (available.cy - fixedTotal) / adjustables : 0;
  if (share < 0) share = 0;
  m_layoutScroll = GetScrollPos();
  m_scroll = m_layoutScroll;
  m_slots.clear();
  m_slotOfChild.assign(static_cast<size_t>(m_items.GetSize()), -1);
  m_bOrdered = true;
  int y = client.top - m_layoutScroll.cy, x = client.left - m_layoutScroll.cx;
  int remaining = available.cy, placedAdjustables = 0, neededHeight = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      if (!pass.Holds(i, child)) return -1;
      continue;
    }
    RECT p = child->GetPadding();
    remaining -= p.top;
    int height = child->EstimateSize(SIZE{available.cx, remaining}).cy;
    if (height == 0) {
      ++placedAdjustables;
      height = share;
      if (placedAdjustables == adjustables) {
        height = remaining - p.bottom - fixedTotal > 0 ? remaining - p.bottom - fixedTotal : 0;
      }
      height = Clamp(height, child->GetMinHeight(), child->GetMaxHeight());
    } else {
      height = Clamp(height, child->GetMinHeight(), child->GetMaxHeight());
      fixedTotal -= height;
    }
    int width = available.cx - p.left - p.right;
    if (width < neededWidth) width = neededWidth;
    width = Clamp(width, child->GetMinWidth(), child->GetMaxWidth());
    RECT pos = {x + p.left, y + p.top, x + p.left + width, y + p.top + height + p.bottom};
    if (!m_slots.empty() && (pos.top < m_slots.back().rc.top || pos.bottom < m_slots.back().rc.bottom)) {
      m_bOrdered = false;
    }
    m_slotOfChild[static_cast<size_t>(i)] = static_cast<int>(m_slots.size());
    m_slots.push_back(RowSlot{child, pos, m_layoutScroll, false});
    y += p.top + height + p.bottom + m_iChildPadding;
    neededHeight += p.top + height + p.bottom;
    remaining -= height + p.bottom + m_iChildPadding;
  }
  return neededHeight;
}

// Shows the horizontal bar when the rows are wider than the client area, hides it when not.
// False when the rows have to be laid out again (the bar's position changed under them).
bool CListBodyUI::UpdateHorizontalBar(RECT& client, int neededWidth) {
  CScrollBarUI* bar = m_pHorizontalScrollBar;
  if (bar == nullptr) return true;
  int clientWidth = client.right - client.left;
  int old = bar->GetScrollPos();
  if (neededWidth > clientWidth) {
    if (!bar->IsVisible()) {
      bar->SetVisible(true);
      bar->SetScrollPos(0);
      client.bottom -= bar->GetFixedHeight();
      old = 0;
    }
    bar->SetScrollRange(neededWidth - clientWidth);
  } else if (bar->IsVisible()) {
    bar->SetVisible(false);
    bar->SetScrollRange(0);
    bar->SetScrollPos(0);
    client.bottom += bar->GetFixedHeight();
  }
  if (bar->GetScrollPos() == old) return true;
  SetPos(m_rcItem, true);
  return false;
}

// Rows in view, and rows whose present rectangle lies in view, are placed now; the others when
// they are scrolled into view or asked for their rectangle. Without a manager every row is placed.
// False when placing a row changed the children: the record stays unusable, and a layout follows.
bool CListBodyUI::PlaceRowsInView(const CLayoutPass& pass) {
  bool defer = m_pManager != nullptr;
  const unsigned changes = m_nRowChanges;
  for (size_t i = 0; i < m_slots.size(); ++i) {
    RowSlot& slot = m_slots[i];
    if (!defer || Meets(slot.rc, m_rcItem) || Meets(slot.row->CControlUI::GetPos(), m_rcItem))
      PlaceSlot(static_cast<int>(i), true);
    if (!pass.Holds() || m_nRowChanges != changes) return false;
  }
  m_bRowsValid = true;
  return true;
}

}  // namespace SkinUI
