#include "ui/core/layouts/linear_layout.h"

#include "ui/core/base/system_cursor.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/layouts/separator_drag_internal.h"

namespace SkinUI {

namespace {

// Both layouts run the same code; `v` picks the main axis (true: children stack vertically).
LONG& Lo(RECT& r, bool v) { return v ? r.top : r.left; }
LONG& Hi(RECT& r, bool v) { return v ? r.bottom : r.right; }
LONG& Along(SIZE& s, bool v) { return v ? s.cy : s.cx; }
LONG Along(POINT p, bool v) { return v ? p.y : p.x; }
SIZE Make(int main, int cross, bool v) { return v ? SIZE{cross, main} : SIZE{main, cross}; }

int FixedOrMax(const CControlUI* c, bool v) {
  int fixed = v ? c->GetFixedHeight() : c->GetFixedWidth();
  return fixed >= 1 ? fixed : (v ? c->GetMaxHeight() : c->GetMaxWidth());
}
int MinOf(const CControlUI* c, bool v) { return v ? c->GetMinHeight() : c->GetMinWidth(); }
int MaxOf(const CControlUI* c, bool v) { return v ? c->GetMaxHeight() : c->GetMaxWidth(); }

int Limit(int value, int low, int high) {
  if (value < low) value = low;
  if (value > high) value = high;
  return value;
}

int Smaller(int a, int b) { return a < b ? a : b; }

}  // namespace

struct LinearLayoutOps {
  template <class Layout>
  static void SetPos(Layout& self, RECT rc, bool bNeedInvalidate, bool v);
  template <class Layout>
  static bool DragStep(Layout& self, POINT pt, bool v);
  template <class Layout>
  static void DoEvent(Layout& self, EventRecordUI& event, bool v);
  template <class Layout>
  static void SetSepImmMode(Layout& self, bool bImmediately);
  template <class Layout>
  static void DoPostPaint(Layout& self, HDC hDC);
  template <class Layout>
  static UINT GetControlFlags(const Layout& self) {
    return self.IsEnabled() && self.m_sep.iSize != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
  }
};

template <class Layout>
void LinearLayoutOps::SetPos(Layout& self, RECT rc, bool bNeedInvalidate, bool v) {
  CLayoutPass pass(&self);
  self.CControlUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds()) return;
  rc = self.m_rcItem;
  RECT inset = self.GetInset();
  rc.left += inset.left;
  rc.top += inset.top;
  rc.right -= inset.right;
  rc.bottom -= inset.bottom;
  CScrollBarUI* vbar = self.IsBarVisible(self.m_pVerticalScrollBar) ? self.m_pVerticalScrollBar : nullptr;
  CScrollBarUI* hbar = self.IsBarVisible(self.m_pHorizontalScrollBar) ? self.m_pHorizontalScrollBar : nullptr;
  if (vbar != nullptr) rc.right -= vbar->GetFixedWidth();
  if (hbar != nullptr) rc.bottom -= hbar->GetFixedHeight();
  if (self.m_items.IsEmpty()) {
    self.ProcessScrollBar(rc, 0, 0);
    return;
  }
  CScrollBarUI* mainBar = v ? vbar : hbar;
  CScrollBarUI* crossBar = v ? hbar : vbar;
  // A vertical layout's children may fill its scrolled height; a horizontal layout's width never
  // includes its bar's range.
  int mainAvail = Hi(rc, v) - Lo(rc, v) + (v && mainBar != nullptr ? mainBar->GetScrollRange() : 0);
  int crossAvail = Hi(rc, !v) - Lo(rc, !v) + (crossBar != nullptr ? crossBar->GetScrollRange() : 0);
  int padding = self.m_iChildPadding;

  // First pass: what the fixed children need and how many share the rest.
  int mainNeeded = 0, crossNeeded = 0, n = 0, adjustables = 0;
  for (int i = 0; i < self.m_items.GetSize(); ++i) {
    CControlUI* child = self.ChildAt(i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    RECT p = child->GetPadding();
    int crossPad = Lo(p, !v) + Hi(p, !v);
    SIZE size = child->EstimateSize(
        Make(Smaller(FixedOrMax(child, v), mainAvail), Smaller(FixedOrMax(child, !v), crossAvail - crossPad), v));
    LONG& main = Along(size, v);
    LONG& cross = Along(size, !v);
    if (main == 0)
      ++adjustables;
    else
      main = Limit(main, MinOf(child, v), MaxOf(child, v));
    mainNeeded += main + Lo(p, v) + Hi(p, v);
    cross = Limit(cross < 0 ? 0 : cross, MinOf(child, !v), MaxOf(child, !v));
    if (crossPad + cross > crossNeeded) crossNeeded = crossPad + cross;
    ++n;
  }
  mainNeeded += padding * (n - 1);
  int expand = adjustables > 0 ? (mainAvail - mainNeeded) / adjustables : 0;
  if (expand < 0) expand = 0;

  // Second pass: place them along the main axis.
  bool crossCenter = v ? self.m_iChildAlign == DT_CENTER : self.m_iChildVAlign == DT_VCENTER;
  bool crossEnd = v ? self.m_iChildAlign == DT_RIGHT : self.m_iChildVAlign == DT_BOTTOM;
  int at = Lo(rc, v) - (mainBar != nullptr ? mainBar->GetScrollPos() : 0);
  int remaining = mainAvail, fixedLeft = mainNeeded, placed = 0, k = 0, m = 0;
  for (int i = 0; i < self.m_items.GetSize(); ++i) {
    CControlUI* child = self.ChildAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      self.SetFloatPos(i);
      if (!pass.Holds(i, child)) return;
      continue;
    }
    ++m;
    RECT p = child->GetPadding();
    int crossPad = Lo(p, !v) + Hi(p, !v);
    remaining -= Lo(p, v);
    int crossLimit = Smaller(FixedOrMax(child, !v), crossAvail - crossPad);
    fixedLeft -= Lo(p, v) + Hi(p, v) + (m > 1 ? padding : 0);
    SIZE size = child->EstimateSize(Make(Smaller(FixedOrMax(child, v), remaining), crossLimit, v));
    LONG& main = Along(size, v);
    if (main == 0) {
      ++k;
      main = expand;
      if (k == adjustables) main = remaining - Hi(p, v) - fixedLeft > 0 ? remaining - Hi(p, v) - fixedLeft : 0;
      main = Limit(main, MinOf(child, v), MaxOf(child, v));
    } else {
      main = Limit(main, MinOf(child, v), MaxOf(child, v));
      fixedLeft -= main;
    }
    int cross = MaxOf(child, !v) != 0 ? MaxOf(child, !v) : crossAvail - crossPad;
    if (cross < 0) cross = 0;
    if (cross > crossLimit) cross = crossLimit;
    if (cross < MinOf(child, !v)) cross = MinOf(child, !v);

    RECT pos;
    int range = crossBar != nullptr ? crossBar->GetScrollRange() : 0;
    int scrolled = crossBar != nullptr ? crossBar->GetScrollPos() : 0;
    if (crossCenter) {
      int mid = (Lo(rc, !v) + Hi(rc, !v)) / 2 + (crossBar != nullptr ? range / 2 - scrolled : 0);
      Lo(pos, !v) = mid - cross / 2;
      Hi(pos, !v) = Lo(pos, !v) + cross;
    } else if (crossEnd) {
      Hi(pos, !v) = Hi(rc, !v) + range - scrolled - Hi(p, !v);
      Lo(pos, !v) = Hi(pos, !v) - cross;
    } else {
      Lo(pos, !v) = Lo(rc, !v) - scrolled + Lo(p, !v);
      Hi(pos, !v) = Lo(pos, !v) + cross;
    }
    Lo(pos, v) = at + Lo(p, v);
    Hi(pos, v) = Lo(pos, v) + main;
    child->SetPos(pos, false);
    if (!pass.Holds(i, child)) return;
    at += main + Lo(p, v) + Hi(p, v) + padding;
    placed += main + Lo(p, v) + Hi(p, v);
    remaining -= main + Hi(p, v) + padding;
  }
  int mainTotal = placed + padding * (n - 1);
  self.ProcessScrollBar(rc, v ? crossNeeded : mainTotal, v ? mainTotal : crossNeeded);
}

template <class Layout>
void LinearLayoutOps::SetSepImmMode(Layout& self, bool bImmediately) {
  LinearSeparator& sep = self.m_sep;
  if (sep.bImmMode == bImmediately) return;
  if ((sep.uButtonState & kSeparatorDragging) != 0 && !sep.bImmMode && self.m_pManager != nullptr) {
    self.m_pManager->RemovePostPaint(&self);
  }
  sep.bImmMode = bImmediately;
}

template <class Layout>
bool LinearLayoutOps::DragStep(Layout& self, POINT pt, bool v) {
  LinearSeparator& sep = self.m_sep;
  int d = Along(pt, v) - Along(sep.ptLastMouse, v);
  sep.ptLastMouse = pt;
  RECT r = sep.rcNewPos;
  if (!MoveSeparatorEdge(sep.iSize, d, Along(pt, v), MinOf(&self, v), MaxOf(&self, v), Lo(r, v), Hi(r, v)))
    return false;
  CUIRect invalidate = self.GetThumbRect(true);
  sep.rcNewPos = r;
  (v ? self.m_cyFixed : self.m_cxFixed) = Hi(r, v) - Lo(r, v);
  if (sep.bImmMode) {
    self.m_rcItem = sep.rcNewPos;
    self.NeedParentUpdate();
  } else if (self.m_pManager != nullptr) {
    invalidate.Join(self.GetThumbRect(true));
    invalidate.Join(self.GetThumbRect(false));
    self.m_pManager->Invalidate(invalidate);
  }
  return true;
}

template <class Layout>
void LinearLayoutOps::DoEvent(Layout& self, EventRecordUI& event, bool v) {
  LinearSeparator& sep = self.m_sep;
  if (sep.iSize != 0) {
    RECT band = self.GetThumbRect(false);
    bool dragging = (sep.uButtonState & kSeparatorDragging) != 0;
    if (event.Type == UIEVENT_BUTTONDOWN && self.IsEnabled() && ::PtInRect(&band, event.ptMouse)) {
      sep.uButtonState |= kSeparatorDragging;
      sep.ptLastMouse = event.ptMouse;
      sep.rcNewPos = self.m_rcItem;
      if (!sep.bImmMode && self.m_pManager != nullptr) self.m_pManager->AddPostPaint(&self);
      return;
    }
    if (event.Type == UIEVENT_BUTTONUP && dragging) {
      sep.uButtonState &= ~kSeparatorDragging;
      self.m_rcItem = sep.rcNewPos;
      if (!sep.bImmMode && self.m_pManager != nullptr) self.m_pManager->RemovePostPaint(&self);
      self.NeedParentUpdate();
      return;
    }
    if (event.Type == UIEVENT_MOUSEMOVE && dragging) {
      DragStep(self, event.ptMouse, v);
      return;
    }
    if (event.Type == UIEVENT_SETCURSOR && self.IsEnabled() && ::PtInRect(&band, event.ptMouse)) {
      // IDC_SIZENS or IDC_SIZEWE.
      ShowSystemCursor(v ? 32645 : 32644);
      return;
    }
  }
  self.CContainerUI::DoEvent(event);
}

template <class Layout>
void LinearLayoutOps::DoPostPaint(Layout& self, HDC hDC) {
  if ((self.m_sep.uButtonState & kSeparatorDragging) != 0 && !self.m_sep.bImmMode) {
    CRenderEngine::DrawColor(hDC, self.GetThumbRect(true), 0xAA000000);
  }
}

UINT CVerticalLayoutUI::GetControlFlags() const { return LinearLayoutOps::GetControlFlags(*this); }
void CVerticalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
  LinearLayoutOps::SetPos(*this, rc, bNeedInvalidate, true);
}
void CVerticalLayoutUI::DoEvent(EventRecordUI& event) { LinearLayoutOps::DoEvent(*this, event, true); }
void CVerticalLayoutUI::DoPostPaint(HDC hDC, const RECT&) { LinearLayoutOps::DoPostPaint(*this, hDC); }
void CVerticalLayoutUI::SetSepImmMode(bool bImmediately) { LinearLayoutOps::SetSepImmMode(*this, bImmediately); }

UINT CHorizontalLayoutUI::GetControlFlags() const { return LinearLayoutOps::GetControlFlags(*this); }
void CHorizontalLayoutUI::SetPos(RECT rc, bool bNeedInvalidate) {
  LinearLayoutOps::SetPos(*this, rc, bNeedInvalidate, false);
}
void CHorizontalLayoutUI::DoEvent(EventRecordUI& event) { LinearLayoutOps::DoEvent(*this, event, false); }
void CHorizontalLayoutUI::DoPostPaint(HDC hDC, const RECT&) { LinearLayoutOps::DoPostPaint(*this, hDC); }
void CHorizontalLayoutUI::SetSepImmMode(bool bImmediately) { LinearLayoutOps::SetSepImmMode(*this, bImmediately); }

}  // namespace SkinUI
