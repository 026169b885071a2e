#include "ui/core/paint/control/container.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/control/scrollbar.h"

namespace SkinUI {

CLayoutPass::CLayoutPass(CContainerUI* pContainer)
    : m_pContainer(pContainer),
      m_alive(pContainer),
      m_pVerticalBar(pContainer->m_pVerticalScrollBar),
      m_pHorizontalBar(pContainer->m_pHorizontalScrollBar) {}

bool CLayoutPass::Holds() const {
  return m_alive && m_pContainer->m_pVerticalScrollBar == m_pVerticalBar &&
         m_pContainer->m_pHorizontalScrollBar == m_pHorizontalBar;
}

bool CLayoutPass::Holds(int index, const CControlUI* child) const {
  return Holds() && index < m_pContainer->m_items.GetSize() && m_pContainer->ChildAt(index) == child;
}

void CContainerUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CLayoutPass pass(this);
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds() || m_items.IsEmpty()) return;
  RECT client = ScrolledClientRect();
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = ChildAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      if (!pass.Holds(i, child)) return;
      continue;
    }
    int width = client.right - client.left, height = client.bottom - client.top;
    if (width < child->GetMinWidth()) width = child->GetMinWidth();
    if (width > child->GetMaxWidth()) width = child->GetMaxWidth();
    if (height < child->GetMinHeight()) height = child->GetMinHeight();
    if (height > child->GetMaxHeight()) height = child->GetMaxHeight();
    child->SetPos(RECT{client.left, client.top, client.left + width, client.top + height}, false);
    if (!pass.Holds(i, child)) return;
  }
}

void CContainerUI::SetFloatPos(int iIndex) {
  CControlUI* child = static_cast<CControlUI*>(m_items.GetAt(iIndex));
  if (child == nullptr || !child->IsVisible() || !child->IsFloat()) return;
  SIZE xy = child->GetFixedXY();
  int w = child->GetFixedWidth(), h = child->GetFixedHeight();
  int W = m_rcItem.right - m_rcItem.left, H = m_rcItem.bottom - m_rcItem.top;
  UINT align = child->GetFloatAlign();
  RECT pos;
  if (align == 0) {
    CControlUI::FloatPercent f = child->GetFloatPercent();
    pos.left = static_cast<int>(W * f.left) + m_rcItem.left + xy.cx;
    pos.top = static_cast<int>(H * f.top) + m_rcItem.top + xy.cy;
    pos.right = static_cast<int>(W * f.right) + m_rcItem.left + w + xy.cx;
    pos.bottom = static_cast<int>(H * f.bottom) + m_rcItem.top + h + xy.cy;
  } else {
    int x = (align & DT_CENTER) != 0 ? (W - w) / 2 : (align & DT_RIGHT) != 0 ? W - w : xy.cx;
    int y = (align & DT_VCENTER) != 0 ? (H - h) / 2 : (align & DT_BOTTOM) != 0 ? H - h : xy.cy;
    pos = RECT{m_rcItem.left + x, m_rcItem.top + y, m_rcItem.left + x + w, m_rcItem.top + y + h};
  }
  child->SetPos(pos, false);
}

// Showing or hiding one bar changes the room left to the other, and content sized at the edge (or
// an inset that overflows the rectangle) can make the two flip for ever: the re-layouts they cause
// nest at most this deep, enough for each bar to come and go once.
constexpr int kMaxBarRelayouts = 4;

void CContainerUI::RelayoutForBars() {
  if (m_nBarRelayouts >= kMaxBarRelayouts) return;
  ++m_nBarRelayouts;
  CControlWatch alive(this);
  SetPos(m_rcItem, true);
  if (alive) --m_nBarRelayouts;
}

// Shows, hides or re-ranges one bar for the room the children need. The bar's placing, its
// showing or hiding and the re-layouts may reach the program, as any layout may: false when the
// pass no longer holds.
bool CContainerUI::FitBar(CScrollBarUI* bar, int range, const RECT& place, const CLayoutPass& pass) {
  if (range > 0 && !bar->IsVisible()) {
    bar->SetVisible(true);
    if (pass.Holds()) bar->SetScrollRange(range);
    if (pass.Holds()) bar->SetScrollPos(0);
    if (pass.Holds()) RelayoutForBars();
  } else if (bar->IsVisible() && range < 1) {
    bar->SetVisible(false);
    if (pass.Holds()) bar->SetScrollPos(0);
    if (pass.Holds()) bar->SetScrollRange(0);
    if (pass.Holds()) RelayoutForBars();
  } else if (bar->IsVisible()) {
    bar->SetPos(place, true);
    if (pass.Holds() && bar->GetScrollRange() != range) {
      int old = bar->GetScrollPos();
      bar->SetScrollRange(range);
      if (pass.Holds() && old > bar->GetScrollPos()) RelayoutForBars();
    }
  }
  return pass.Holds();
}

void CContainerUI::ProcessScrollBar(RECT rc, int cxRequired, int cyRequired) {
  CLayoutPass pass(this);
  CScrollBarUI* hbar = m_pHorizontalScrollBar;
  if (hbar != nullptr && !FitBar(hbar, cxRequired - (rc.right - rc.left),
                                 RECT{rc.left, rc.bottom, rc.right, rc.bottom + hbar->GetFixedHeight()}, pass)) {
    return;
  }
  CScrollBarUI* vbar = m_pVerticalScrollBar;
  if (vbar != nullptr) {
    FitBar(vbar, cyRequired - (rc.bottom - rc.top), RECT{rc.right, rc.top, rc.right + vbar->GetFixedWidth(), rc.bottom},
           pass);
  }
}

SIZE CContainerUI::GetScrollPos() const {
  SIZE pos = {IsBarVisible(m_pHorizontalScrollBar) ? m_pHorizontalScrollBar->GetScrollPos() : 0,
              IsBarVisible(m_pVerticalScrollBar) ? m_pVerticalScrollBar->GetScrollPos() : 0};
  return pos;
}

SIZE CContainerUI::GetScrollRange() const {
  SIZE range = {IsBarVisible(m_pHorizontalScrollBar) ? m_pHorizontalScrollBar->GetScrollRange() : 0,
                IsBarVisible(m_pVerticalScrollBar) ? m_pVerticalScrollBar->GetScrollRange() : 0};
  return range;
}

SIZE CContainerUI::MoveScrollBars(SIZE szPos) {
  SIZE moved = {0, 0};
  if (IsBarVisible(m_pVerticalScrollBar)) {
    int old = m_pVerticalScrollBar->GetScrollPos();
    m_pVerticalScrollBar->SetScrollPos(szPos.cy);
    moved.cy = m_pVerticalScrollBar->GetScrollPos() - old;
  }
  if (IsBarVisible(m_pHorizontalScrollBar)) {
    int old = m_pHorizontalScrollBar->GetScrollPos();
    m_pHorizontalScrollBar->SetScrollPos(szPos.cx);
    moved.cx = m_pHorizontalScrollBar->GetScrollPos() - old;
  }
  return moved;
}

void CContainerUI::SetScrollPos(SIZE szPos, bool bMsg) {
  SIZE moved = MoveScrollBars(szPos);
  int dx = moved.cx, dy = moved.cy;
  if (dx == 0 && dy == 0) return;
  CLayoutPass pass(this);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = ChildAt(i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    RECT pos = child->GetPos();
    ::OffsetRect(&pos, -dx, -dy);
    child->SetPos(pos, true);
    if (!pass.Holds(i, child)) return;
  }
  Invalidate();
  if (m_pVerticalScrollBar != nullptr && m_pManager != nullptr && bMsg) {
    // A line size of 0 has no line number to report.
    int line = m_pVerticalScrollBar->GetLineSize();
    WPARAM topLine = line > 0 ? static_cast<WPARAM>((m_pVerticalScrollBar->GetScrollPos() + line) / line) : 0;
    m_pManager->SendNotify(this, L"scroll", topLine, 0);
  }
}

void CContainerUI::SetScrollStepSize(int nSize) {
  if (nSize > 0) m_nScrollStepSize = nSize;
}

int CContainerUI::GetScrollStepSize() const { return ScaleValue(m_nScrollStepSize); }

// The step comes through the virtual getter: a list's body scrolls by its list's step.
int CContainerUI::LineStep() const {
  int step = GetScrollStepSize();
  if (step > 0) return step;
  if (m_pManager == nullptr) return 8;
  return 8 + m_pManager->GetDefaultFontInfo()->tm.tmHeight;
}

void CContainerUI::LineUp() {
  SIZE pos = GetScrollPos();
  SetScrollPos(SIZE{pos.cx, pos.cy - LineStep()});
}

void CContainerUI::LineDown() {
  SIZE pos = GetScrollPos();
  SetScrollPos(SIZE{pos.cx, pos.cy + LineStep()});
}

void CContainerUI::PageUp() {
  SIZE pos = GetScrollPos();
  int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
  if (IsBarVisible(m_pHorizontalScrollBar)) page -= m_pHorizontalScrollBar->GetFixedHeight();
  SetScrollPos(SIZE{pos.cx, pos.cy - page});
}

void CContainerUI::PageDown() {
  SIZE pos = GetScrollPos();
  int page = m_rcItem.bottom - m_rcItem.top - m_rcInset.top - m_rcInset.bottom;
  if (IsBarVisible(m_pHorizontalScrollBar)) page -= m_pHorizontalScrollBar->GetFixedHeight();
  SetScrollPos(SIZE{pos.cx, pos.cy + page});
}

void CContainerUI::HomeUp() { SetScrollPos(SIZE{GetScrollPos().cx, 0}); }
void CContainerUI::EndDown() { SetScrollPos(SIZE{GetScrollPos().cx, GetScrollRange().cy}); }

void CContainerUI::LineLeft() {
  SIZE pos = GetScrollPos();
  SetScrollPos(SIZE{pos.cx - (GetScrollStepSize() > 0 ? GetScrollStepSize() : 8), pos.cy});
}

void CContainerUI::LineRight() {
  SIZE pos = GetScrollPos();
  SetScrollPos(SIZE{pos.cx + (GetScrollStepSize() > 0 ? GetScrollStepSize() : 8), pos.cy});
}

void CContainerUI::PageLeft() {
  SIZE pos = GetScrollPos();
  int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
  if (IsBarVisible(m_pVerticalScrollBar)) page -= m_pVerticalScrollBar->GetFixedWidth();
  SetScrollPos(SIZE{pos.cx - page, pos.cy});
}

void CContainerUI::PageRight() {
  SIZE pos = GetScrollPos();
  int page = m_rcItem.right - m_rcItem.left - m_rcInset.left - m_rcInset.right;
  if (IsBarVisible(m_pVerticalScrollBar)) page -= m_pVerticalScrollBar->GetFixedWidth();
  SetScrollPos(SIZE{pos.cx + page, pos.cy});
}

void CContainerUI::HomeLeft() { SetScrollPos(SIZE{0, GetScrollPos().cy}); }
void CContainerUI::EndRight() { SetScrollPos(SIZE{GetScrollRange().cx, GetScrollPos().cy}); }

}  // namespace SkinUI
