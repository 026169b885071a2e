// The body's rows in view: placing, scrolling, painting and finding them, and keeping its record of
// the rows right while rows come and go.
#include <algorithm>
#include <initializer_list>

#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_clip.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_body.h"
#include "ui/extra/list/list_header.h"

namespace SkinUI {

namespace {

bool Meets(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

bool SameSize(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

}  // namespace

// The record describes the present children, and paint and hit tests may go by it.
bool CListBodyUI::RowsUsable() const {
  return m_bRowsValid && !IsUpdateNeeded() && !m_bHasFloats && m_pManager != nullptr;
}

RECT CListBodyUI::SlotRect(int slot) const {
  RECT rc = m_slots[static_cast<size_t>(slot)].rc;
  ::OffsetRect(&rc, m_layoutScroll.cx - m_scroll.cx, m_layoutScroll.cy - m_scroll.cy);
  return rc;
}

void CListBodyUI::PlaceSlot(int slot, bool invalidate) {
  RowSlot& s = m_slots[static_cast<size_t>(slot)];
  s.placed = true;
  s.placedAt = m_scroll;
  s.row->SetPos(SlotRect(slot), invalidate);
}

// The slots [first, last) that may meet the band from `top` to `bottom` at the present scroll.
void CListBodyUI::SlotRange(int top, int bottom, int& first, int& last) const {
  first = 0;
  last = static_cast<int>(m_slots.size());
  if (!m_bOrdered) return;
  int shift = m_scroll.cy - m_layoutScroll.cy;
  auto begin = m_slots.begin(), end = m_slots.end();
  auto from = std::partition_point(begin, end, [&](const RowSlot& s) { return s.rc.bottom <= top + shift; });
  auto to = std::partition_point(from, end, [&](const RowSlot& s) { return s.rc.top < bottom + shift; });
  first = static_cast<int>(from - begin);
  last = static_cast<int>(to - begin);
}

int CListBodyUI::SlotOf(CControlUI* row, int indexHint) const {
  if (indexHint >= 0 && static_cast<size_t>(indexHint) < m_slotOfChild.size()) {
    int slot = m_slotOfChild[static_cast<size_t>(indexHint)];
    if (slot >= 0 && m_slots[static_cast<size_t>(slot)].row == row) return slot;
  }
  // Rows came or went since the layout: the indices moved.
  if (m_bRowsValid) return -1;
  for (size_t i = 0; i < m_slots.size(); ++i) {
    if (m_slots[i].row == row) return static_cast<int>(i);
  }
  return -1;
}

void CListBodyUI::PlaceRow(CControlUI* pRow, int iIndexHint) {
  if (m_pManager == nullptr || m_slots.empty()) return;
  int slot = SlotOf(pRow, iIndexHint);
  if (slot < 0) return;
  const RowSlot& s = m_slots[static_cast<size_t>(slot)];
  if (s.placed && SameSize(s.placedAt, m_scroll)) return;
  PlaceSlot(slot, false);
}

// Rows stay in step with the bars: the ones in view before or after the move are moved now.
void CListBodyUI::SetScrollPos(SIZE szPos, bool) {
  SIZE moved = MoveScrollBars(szPos);
  int dx = moved.cx, dy = moved.cy;
  if (dx == 0 && dy == 0) return;
  // Placing a row may reach the program, which may change the rows or delete this body.
  CLayoutPass layout(this);
  const unsigned changes = m_nRowChanges;
  if (m_bRowsValid && !IsUpdateNeeded()) {
    int first = 0, last = 0;
    SlotRange(m_rcItem.top, m_rcItem.bottom, first, last);
    m_scroll.cx += dx;
    m_scroll.cy += dy;
    int newFirst = 0, newLast = 0;
    SlotRange(m_rcItem.top, m_rcItem.bottom, newFirst, newLast);
    for (int pass = 0; pass < 2 && m_nRowChanges == changes; ++pass) {
      for (int i = pass == 0 ? first : newFirst; i < (pass == 0 ? last : newLast); ++i) {
        const RowSlot& s = m_slots[static_cast<size_t>(i)];
        if (s.placed && SameSize(s.placedAt, m_scroll)) continue;
        RECT before = s.row->CControlUI::GetPos();
        if (Meets(before, m_rcItem) || Meets(SlotRect(i), m_rcItem)) PlaceSlot(i, false);
        if (!layout.Holds()) return;
        if (m_nRowChanges != changes) break;
      }
    }
  } else if (!MoveAllRows(dx, dy, layout)) {
    return;
  }
  Invalidate();
  if (!ScrollHeader(dx, layout)) return;
  if (OnScroll) OnScroll(this);
}

// Every visible child moves now, while the record may not describe them (rows came or went).
// False when this body went while a child moved.
bool CListBodyUI::MoveAllRows(int dx, int dy, const CLayoutPass& layout) {
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    RECT pos = child->CControlUI::GetPos();
    ::OffsetRect(&pos, -dx, -dy);
    child->SetPos(pos, true);
    if (!layout.Holds()) return false;
    if (!layout.Holds(i, child)) break;
  }
  m_scroll.cx += dx;
  m_scroll.cy += dy;
  for (RowSlot& slot : m_slots) {
    slot.placedAt.cx += dx;
    slot.placedAt.cy += dy;
  }
  return true;
}

// The header items move with the rows, and the list's columns take their new places. False when
// this body went while they moved.
bool CListBodyUI::ScrollHeader(int dx, const CLayoutPass& layout) {
  CListHeaderUI* header = m_pOwner != nullptr ? m_pOwner->GetHeader() : nullptr;
  if (header == nullptr) return true;
  CLayoutPass headerPass(header);
  ListInfoUI* info = m_pOwner->GetListInfo();
  info->nColumns = std::min(header->GetCount(), kMaxListColumns);
  bool hidden = !header->IsVisible();
  for (int i = 0; hidden && i < header->GetCount(); ++i) header->GetItemAt(i)->SetInternalVisible(true);
  for (int i = 0; i < info->nColumns; ++i) {
    CControlUI* item = header->GetItemAt(i);
    if (!item->IsVisible() || item->IsFloat()) continue;
    RECT pos = item->GetPos();
    ::OffsetRect(&pos, -dx, 0);
    item->SetPos(pos, true);
    if (!layout.Holds()) return false;
    if (!headerPass.Holds(i, item)) return true;
    info->rcColumn[i] = item->GetPos();
  }
  for (int i = 0; hidden && i < header->GetCount(); ++i) header->GetItemAt(i)->SetInternalVisible(false);
  return true;
}

void CListBodyUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!RowsUsable()) {
    CVerticalLayoutUI::DoPaint(hDC, rcPaint);
    return;
  }
  RECT dirty;
  if (!::IntersectRect(&dirty, &rcPaint, &m_rcItem)) return;
  CRenderClip clip;
  CRenderClip::CreateRect(hDC, dirty, clip);
  CControlUI::DoPaint(hDC, rcPaint);
  RECT inset = GetInset();
  RECT client = {m_rcItem.left + inset.left, m_rcItem.top + inset.top, m_rcItem.right - inset.right,
                 m_rcItem.bottom - inset.bottom};
  if (IsBarVisible(m_pVerticalScrollBar)) client.right -= m_pVerticalScrollBar->GetFixedWidth();
  if (IsBarVisible(m_pHorizontalScrollBar)) client.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  RECT dirtyClient;
  if (!m_slots.empty() && ::IntersectRect(&dirtyClient, &rcPaint, &client)) {
    CRenderClip childClip;
    CRenderClip::CreateRect(hDC, dirtyClient, childClip);
    int first = 0, last = 0;
    SlotRange(dirtyClient.top, dirtyClient.bottom, first, last);
    for (int i = first; i < last; ++i) {
      CControlUI* row = m_slots[static_cast<size_t>(i)].row;
      RECT pos = SlotRect(i);
      if (row != nullptr && row->IsVisible() && Meets(pos, rcPaint) && Meets(pos, client)) row->DoPaint(hDC, rcPaint);
    }
  }
  PaintBars(hDC, rcPaint);
}

CControlUI* CListBodyUI::FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
  bool hitTest = (uFlags & UIFIND_HITTEST) != 0;
  if ((!hitTest && (uFlags & UIFIND_UPDATETEST) == 0) || !RowsUsable()) {
    return CVerticalLayoutUI::FindControl(Proc, pData, uFlags);
  }
  if ((uFlags & UIFIND_VISIBLE) != 0 && !IsVisible()) return nullptr;
  if ((uFlags & UIFIND_ENABLED) != 0 && !IsEnabled()) return nullptr;
  if (hitTest && !::PtInRect(&m_rcItem, *static_cast<POINT*>(pData))) return nullptr;
  if ((uFlags & UIFIND_UPDATETEST) != 0 && Proc(this, pData) != nullptr) return this;
  bool selfAllowed = !hitTest || m_bMouseEnabled;
  if ((uFlags & UIFIND_ME_FIRST) != 0 && selfAllowed) {
    CControlUI* found = Proc(this, pData);
    if (found != nullptr) return found;
  }
  for (CScrollBarUI* bar : {m_pVerticalScrollBar, m_pHorizontalScrollBar}) {
    CControlUI* found = selfAllowed && bar != nullptr ? bar->FindControl(Proc, pData, uFlags) : nullptr;
    if (found != nullptr) return found;
  }
  if (!hitTest || m_bMouseChildEnabled) {
    CControlUI* found = nullptr;
    if (hitTest)
      found = FindRowAt(Proc, pData, uFlags);
    else
      FindRowsInView(Proc, pData, uFlags, found);
    if (found != nullptr) return found;
  }
  if ((uFlags & UIFIND_ME_FIRST) == 0 && selfAllowed) return Proc(this, pData);
  return nullptr;
}

// The row under the point, when it lies in the client area (this body has no floating children).
CControlUI* CListBodyUI::FindRowAt(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) {
  POINT pt = *static_cast<POINT*>(pData);
  RECT client = {m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top, m_rcItem.right - m_rcInset.right,
                 m_rcItem.bottom - m_rcInset.bottom};
  if (IsBarVisible(m_pVerticalScrollBar)) client.right -= m_pVerticalScrollBar->GetFixedWidth();
  if (IsBarVisible(m_pHorizontalScrollBar)) client.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  if (!::PtInRect(&client, pt)) return nullptr;
  int first = 0, last = 0;
  SlotRange(pt.y, pt.y + 1, first, last);
  bool fromLast = (uFlags & UIFIND_TOP_FIRST) != 0;
  for (int n = first; n < last; ++n) {
    CControlUI* row = m_slots[static_cast<size_t>(fromLast ? last - 1 - (n - first) : n)].row;
    CControlUI* found = row != nullptr ? row->FindControl(Proc, pData, uFlags) : nullptr;
    if (found != nullptr) return found;
  }
  return nullptr;
}

// The rows in view, as the manager's search for controls to lay out again visits them: rows out
// of view are laid out when they are placed.
void CListBodyUI::FindRowsInView(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags, CControlUI*& found) {
  int first = 0, last = 0;
  SlotRange(m_rcItem.top, m_rcItem.bottom, first, last);
  for (int i = first; i < last && found == nullptr; ++i) {
    const RowSlot& slot = m_slots[static_cast<size_t>(i)];
    if (slot.row != nullptr && slot.placed && SameSize(slot.placedAt, m_scroll)) {
      found = slot.row->FindControl(Proc, pData, uFlags);
    }
  }
}

void CListBodyUI::NeedLayout() {
  if (!IsUpdateNeeded())
    NeedUpdate();
  else if (m_pManager != nullptr)
    m_pManager->NeedUpdate();
}

void CListBodyUI::ForgetRows() {
  m_bRowsValid = false;
  ++m_nRowChanges;
}

bool CListBodyUI::AddAt(CControlUI* pControl, int iIndex) {
  ForgetRows();
  if (!IsUpdateNeeded() || !IsVisible()) return CVerticalLayoutUI::AddAt(pControl, iIndex);
  if (pControl == nullptr || iIndex < 0 || iIndex > m_items.GetSize()) return false;
  if (m_pManager != nullptr) m_pManager->InitControls(pControl, this);
  NeedLayout();
  return m_items.InsertAt(iIndex, pControl);
}

bool CListBodyUI::Remove(CControlUI* pControl) {
  int index = pControl != nullptr ? m_items.Find(pControl) : -1;
  if (index < 0) return false;
  // The record forgets the row before it may be deleted.
  int slot = SlotOf(pControl, index);
  if (slot < 0 && m_bRowsValid) {
    m_bRowsValid = false;
    slot = SlotOf(pControl, index);
  }
  if (slot >= 0) m_slots[static_cast<size_t>(slot)].row = nullptr;
  ForgetRows();
  if (!IsUpdateNeeded() || !IsVisible()) return CVerticalLayoutUI::Remove(pControl);
  m_items.Remove(index);
  NeedLayout();
  if (m_bAutoDestroy) DestroyChild(pControl);
  return true;
}

void CListBodyUI::RemoveAll() {
  m_slots.clear();
  m_slotOfChild.clear();
  ForgetRows();
  CVerticalLayoutUI::RemoveAll();
}

bool CListBodyUI::SetItemIndex(CControlUI* pControl, int iNewIndex) {
  ForgetRows();
  return CVerticalLayoutUI::SetItemIndex(pControl, iNewIndex);
}

void CListBodyUI::SetVisible(bool bVisible) {
  ForgetRows();
  CVerticalLayoutUI::SetVisible(bVisible);
}

void CListBodyUI::SetInternalVisible(bool bVisible) {
  ForgetRows();
  CVerticalLayoutUI::SetInternalVisible(bVisible);
}

}  // namespace SkinUI
