#include "ui/extra/list/list_header.h"

#include <cwchar>

#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/attribute_values.h"

namespace SkinUI {

namespace {

int Clamp(int value, int low, int high) {
  if (value < low) value = low;
  if (value > high) value = high;
  return value;
}

}  // namespace

CListHeaderUI::CListHeaderUI() : m_bIsScaleHeader(false) {}

const wchar_t* CListHeaderUI::GetClass() const { return L"ListHeaderUI"; }

LPVOID CListHeaderUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListHeader") == 0) return this;
  return CHorizontalLayoutUI::GetInterface(pstrName);
}

void CListHeaderUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (_wcsicmp(pstrName, L"scaleheader") == 0)
    SetScaleHeader(IsTrueValue(pstrValue));
  else
    CHorizontalLayoutUI::SetAttribute(pstrName, pstrValue);
}

// A hidden column takes no width: it neither widens the rows nor asks for a horizontal bar.
SIZE CListHeaderUI::EstimateSize(SIZE szAvailable) {
  SIZE size = {0, GetFixedHeight()};
  if (size.cy == 0 && m_pManager != nullptr) {
    for (int i = 0; i < m_items.GetSize(); ++i) {
      LONG cy = GetItemAt(i)->EstimateSize(szAvailable).cy;
      if (cy > size.cy) size.cy = cy;
    }
    LONG least = m_pManager->GetDefaultFontInfo()->tm.tmHeight + 6;
    if (size.cy < least) size.cy = least;
  }
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (item->IsVisible()) size.cx += item->EstimateSize(szAvailable).cx;
  }
  return size;
}

int CListHeaderUI::ScaleBase() const {
  int width = m_rcItem.right - m_rcItem.left;
  CContainerUI* parent =
      m_pParent != nullptr ? static_cast<CContainerUI*>(m_pParent->GetInterface(L"Container")) : nullptr;
  CScrollBarUI* bar = parent != nullptr ? parent->GetVerticalScrollBar() : nullptr;
  return bar != nullptr ? width - bar->GetFixedWidth() : width;
}

int CListHeaderUI::ItemWidth(CControlUI* item, SIZE available, int fullWidth) const {
  if (!m_bIsScaleHeader) return item->EstimateSize(available).cx;
  CListHeaderItemUI* column = static_cast<CListHeaderItemUI*>(item->GetInterface(L"ListHeaderItem"));
  int scale = column != nullptr ? column->GetScale() : 0;
  return static_cast<int>(static_cast<double>(scale) * fullWidth / 100.0);
}

// Placing an item may reach the program, as any layout may.
void CListHeaderUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CLayoutPass pass(this);
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds() || m_items.IsEmpty()) return;
  RECT client = {m_rcItem.left + m_rcInset.left, m_rcItem.top + m_rcInset.top, m_rcItem.right - m_rcInset.right,
                 m_rcItem.bottom - m_rcInset.bottom};
  SIZE available = {client.right - client.left, client.bottom - client.top};
  int adjustables = 0, fixedTotal = 0, counted = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (!item->IsVisible() || item->IsFloat()) continue;
    RECT p = item->GetPadding();
    int width = item->EstimateSize(available).cx;
    if (width == 0)
      ++adjustables;
    else
      width = Clamp(width, item->GetMinWidth(), item->GetMaxWidth());
    fixedTotal += p.left + width + p.right;
    ++counted;
  }
  fixedTotal += m_iChildPadding * (counted - 1);
  int share = adjustables > 0 ? (available.cx - fixedTotal) / adjustables : 0;
  if (share < 0) share = 0;
  int fullWidth = ScaleBase();

  int x = client.left, remaining = available.cx, placedAdjustables = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* item = GetItemAt(i);
    if (!item->IsVisible()) continue;
    if (item->IsFloat()) {
      SetFloatPos(i);
      if (!pass.Holds(i, item)) return;
      continue;
    }
    RECT p = item->GetPadding();
    remaining -= p.left;
    int width = ItemWidth(item, SIZE{remaining, available.cy}, fullWidth);
    if (width == 0) {
      ++placedAdjustables;
      width = share;
      if (placedAdjustables == adjustables)
        width = remaining - p.right - fixedTotal > 0 ? remaining - p.right - fixedTotal : 0;
      width = Clamp(width, item->GetMinWidth(), item->GetMaxWidth());
    } else {
      width = Clamp(width, item->GetMinWidth(), item->GetMaxWidth());
      fixedTotal -= width;
    }
    int height = item->GetFixedHeight();
    if (height == 0) height = available.cy - p.top - p.bottom;
    if (height < 0) height = 0;
    height = Clamp(height, item->GetMinHeight(), item->GetMaxHeight());
    RECT pos = {x + p.left, client.top + p.top, x + p.left + width + p.right, client.top + p.top + height};
    item->SetPos(pos, true);
    if (!pass.Holds(i, item)) return;
    x += p.left + width + p.right + m_iChildPadding;
    remaining -= width + p.right + m_iChildPadding;
  }
}

}  // namespace SkinUI
