#include "ui/core/layouts/tile_layout.h"

#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/control/scrollbar.h"

namespace SkinUI {

namespace {
int Clamp(int v, int lo, int hi) {
  if (v > hi) v = hi;
  if (v < lo) v = lo;
  return v;
}
}  // namespace

CTileLayoutUI::CTileLayoutUI() : m_szItem(0, 0), m_nColumns(1) {}

const wchar_t* CTileLayoutUI::GetClass() const { return L"TileLayoutUI"; }

LPVOID CTileLayoutUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"TileLayout") == 0) return static_cast<CTileLayoutUI*>(this);
  return CContainerUI::GetInterface(pstrName);
}

void CTileLayoutUI::SetItemSize(SIZE szItem) {
  if (m_szItem.cx == szItem.cx && m_szItem.cy == szItem.cy) return;
  m_szItem = szItem;
  NeedUpdate();
}

void CTileLayoutUI::SetColumns(int nCols) {
  if (nCols <= 0) return;
  m_nColumns = nCols;
  NeedUpdate();
}

void CTileLayoutUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"itemsize") == 0) {
    long v[2];
    ReadNumberList(pstrValue, v, 2);
    SetItemSize(SIZE{v[0], v[1]});
  } else if (_wcsicmp(pstrName, L"columns") == 0) {
    SetColumns(_wtoi(pstrValue));
  } else {
    CContainerUI::SetAttribute(pstrName, pstrValue);
  }
}

// The height of the row that starts at child `first`.
int CTileLayoutUI::RowHeight(int first, int tileWidth) const {
  const int g = m_iChildPadding / 2;
  int height = 0;
  int column = 0;
  for (int i = first; i < m_items.GetSize() && column < m_nColumns; ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    RECT p = child->GetPadding();
    int aw = tileWidth - p.left - p.right;
    if (column == 0 || column == m_nColumns - 1)
      aw -= g;
    else
      aw -= m_iChildPadding;
    aw = Clamp(aw, child->GetMinWidth(), child->GetMaxWidth());
    SIZE size = child->EstimateSize(SIZE{aw, 9999});
    size.cy = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
    if (size.cy + p.top + p.bottom > height) height = size.cy + p.top + p.bottom;
    ++column;
  }
  return height;
}

void CTileLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CLayoutPass pass(this);
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds()) return;
  rc = m_rcItem;
  rc.left += m_rcInset.left;
  rc.top += m_rcInset.top;
  rc.right -= m_rcInset.right;
  rc.bottom -= m_rcInset.bottom;
  if (m_items.IsEmpty()) {
    ProcessScrollBar(rc, 0, 0);
    return;
  }
  CScrollBarUI* vbar = IsBarVisible(m_pVerticalScrollBar) ? m_pVerticalScrollBar : nullptr;
  CScrollBarUI* hbar = IsBarVisible(m_pHorizontalScrollBar) ? m_pHorizontalScrollBar : nullptr;
  if (vbar != nullptr) rc.right -= vbar->GetFixedWidth();
  if (hbar != nullptr) rc.bottom -= hbar->GetFixedHeight();
  const int width = rc.right - rc.left;
  if (m_szItem.cx > 0) {
    m_nColumns = width / m_szItem.cx;
    if (m_nColumns == 0) m_nColumns = 1;
  }
  const int tw = (width + (hbar != nullptr ? hbar->GetScrollRange() : 0)) / m_nColumns;
  int y = rc.top - (vbar != nullptr ? vbar->GetScrollPos() : 0);
  const int x0 = rc.left - (hbar != nullptr ? hbar->GetScrollPos() : 0);
  int x = x0;
  int count = 0;
  int rowHeight = 0;
  int neededHeight = 0;
  const int g = m_iChildPadding / 2;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      if (!pass.Holds(i, child)) return;
      continue;
    }
    const int tileRight = x + tw;
    const bool opensRow = count % m_nColumns == 0;
    const bool closesRow = (count + 1) % m_nColumns == 0;
    if (opensRow) rowHeight = RowHeight(i, tw);
    RECT p = child->GetPadding();
    RECT tile = {x + p.left + (opensRow ? 0 : g), y + p.top, tileRight - p.right - (closesRow ? 0 : g), y + rowHeight};
    SIZE size = child->EstimateSize(SIZE{tile.right - tile.left, tile.bottom - tile.top});
    if (size.cx == 0) size.cx = tile.right - tile.left;
    if (size.cy == 0) size.cy = tile.bottom - tile.top;
    size.cx = Clamp(size.cx, child->GetMinWidth(), child->GetMaxWidth());
    size.cy = Clamp(size.cy, child->GetMinHeight(), child->GetMaxHeight());
    const int left = (tile.left + tile.right - size.cx) / 2;
    const int top = (tile.top + tile.bottom - size.cy) / 2;
    child->SetPos(RECT{left, top, left + size.cx, top + size.cy}, true);
    if (!pass.Holds(i, child)) return;
    neededHeight = y + rowHeight - rc.top + (vbar != nullptr ? vbar->GetScrollPos() : 0);
    ++count;
    x = tileRight;
    if (count % m_nColumns == 0) {
      y += rowHeight + m_iChildPadding;
      rowHeight = 0;
      x = x0;
    }
  }
  ProcessScrollBar(rc, 0, neededHeight);
}

}  // namespace SkinUI
