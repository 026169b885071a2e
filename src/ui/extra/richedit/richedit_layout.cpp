// Placement, painting and scrolling of the rich edit: the text area is the text services', the
// scroll bars and children are the framework's.
#include "ui/core/paint/control/scrollbar.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_clip.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/richedit/richedit.h"
#include "ui/extra/richedit/text_host.h"

namespace SkinUI {

namespace {

enum ButtonState : UINT { kFocused = 1, kDisabled = 4, kHot = 8 };

RECT Shrunk(RECT rc, const RECT& by) {
  rc.left += by.left;
  rc.top += by.top;
  rc.right -= by.right;
  rc.bottom -= by.bottom;
  return rc;
}

int Clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

RECT CRichEditUI::ClientRectLessBars() const {
  RECT rc = Shrunk(m_rcItem, GetInset());
  if (IsBarVisible(m_pVerticalScrollBar)) rc.right -= m_pVerticalScrollBar->GetFixedWidth();
  if (IsBarVisible(m_pHorizontalScrollBar)) rc.bottom -= m_pHorizontalScrollBar->GetFixedHeight();
  return rc;
}

// Whether the whole text, laid out at the width the text area has without a vertical bar, is
// taller than the text area.
bool CRichEditUI::NaturalHeightExceeds(const RECT& rcText) const {
  SIZEL extent = {-1, -1};
  LONG width = rcText.right - rcText.left + m_pVerticalScrollBar->GetFixedWidth();
  LONG height = 0;
  ServicesCall call(this);
  m_pTwh->GetTextServices()->TxGetNaturalSize(DVASPECT_CONTENT, m_pManager->GetPaintDC(), nullptr, nullptr,
                                              TXTNS_FITTOCONTENT, &extent, &width, &height);
  return height > rcText.bottom - rcText.top;
}

void CRichEditUI::FitVerticalBar(const RECT& rcText, bool barWasVisible) {
  CScrollBarUI* bar = m_pVerticalScrollBar;
  if (!barWasVisible || (bar->IsVisible() && !m_bVScrollBarFixing)) return;
  CControlWatch alive(this);  // a change the text services report is sent when they return
  const bool exceeds = NaturalHeightExceeds(rcText);
  if (!alive) return;
  if (exceeds) {
    bar->SetVisible(true);
    bar->SetScrollPos(0);
    m_bVScrollBarFixing = true;
  } else if (m_bVScrollBarFixing) {
    bar->SetVisible(false);
    m_bVScrollBarFixing = false;
  }
}

// Placing the bars or a child may reach the program, as any layout may.
void CRichEditUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CLayoutPass pass(this);
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!pass.Holds()) return;
  rc = ClientRectLessBars();
  const bool vbarWasVisible = IsBarVisible(m_pVerticalScrollBar);
  if (m_pTwh != nullptr) {
    RECT text = Shrunk(rc, GetTextPadding());
    m_pTwh->SetClientRect(&text);
    if (!pass.Holds()) return;
    FitVerticalBar(text, vbarWasVisible);
    if (!pass.Holds()) return;
  }
  if (IsBarVisible(m_pVerticalScrollBar)) {
    m_pVerticalScrollBar->SetPos(RECT{rc.right, rc.top, rc.right + m_pVerticalScrollBar->GetFixedWidth(), rc.bottom});
    if (!pass.Holds()) return;
  }
  if (IsBarVisible(m_pHorizontalScrollBar)) {
    m_pHorizontalScrollBar->SetPos(
        RECT{rc.left, rc.bottom, rc.right, rc.bottom + m_pHorizontalScrollBar->GetFixedHeight()});
    if (!pass.Holds()) return;
  }
  PlaceChildren(rc, pass);
}

// Children sit left to right as in a horizontal layout; those without a width share what is left.
void CRichEditUI::PlaceChildren(const RECT& rc, const CLayoutPass& pass) {
  if (m_items.IsEmpty()) return;
  CScrollBarUI* hbar = IsBarVisible(m_pHorizontalScrollBar) ? m_pHorizontalScrollBar : nullptr;
  const int width = rc.right - rc.left, height = rc.bottom - rc.top;
  const SIZE available = {width + (hbar != nullptr ? hbar->GetScrollRange() : 0), height};
  int needed = 0, shared = 0, placed = 0;
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible() || child->IsFloat()) continue;
    RECT padding = child->GetPadding();
    int cx = child->EstimateSize(available).cx;
    if (cx == 0) ++shared;
    needed += (cx == 0 ? 0 : Clamp(cx, child->GetMinWidth(), child->GetMaxWidth())) + padding.left + padding.right;
    ++placed;
  }
  if (placed > 1) needed += GetChildPadding() * (placed - 1);
  const int share = shared > 0 && available.cx > needed ? (available.cx - needed) / shared : 0;
  int x = rc.left - (hbar != nullptr ? hbar->GetScrollPos() : 0);
  for (int i = 0; i < m_items.GetSize(); ++i) {
    CControlUI* child = GetItemAt(i);
    if (!child->IsVisible()) continue;
    if (child->IsFloat()) {
      SetFloatPos(i);
      if (!pass.Holds(i, child)) return;
      continue;
    }
    RECT padding = child->GetPadding();
    int cx = child->EstimateSize(available).cx;
    cx = Clamp(cx == 0 ? share : cx, child->GetMinWidth(), child->GetMaxWidth());
    int cy = child->GetFixedHeight() > 0 ? child->GetFixedHeight() : height - padding.top - padding.bottom;
    cy = Clamp(cy < 0 ? 0 : cy, child->GetMinHeight(), child->GetMaxHeight());
    x += padding.left;
    child->SetPos(RECT{x, rc.top + padding.top, x + cx, rc.top + padding.top + cy}, false);
    if (!pass.Holds(i, child)) return;
    x += cx + padding.right + GetChildPadding();
  }
  if (needed <= width || m_pHorizontalScrollBar == nullptr) return;
  if (!m_pHorizontalScrollBar->IsVisible()) {
    m_pHorizontalScrollBar->SetVisible(true);
    m_pHorizontalScrollBar->SetScrollRange(needed - width);
    m_pHorizontalScrollBar->SetScrollPos(0);
  } else {
    m_pHorizontalScrollBar->SetScrollRange(needed - width);
  }
}

void CRichEditUI::Move(SIZE szOffset, bool bNeedInvalidate) {
  CContainerUI::Move(szOffset, bNeedInvalidate);
  if (m_pTwh == nullptr) return;
  RECT rc = ClientRectLessBars();
  m_pTwh->SetClientRect(&rc);
}

void CRichEditUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  RECT dirty;
  if (!::IntersectRect(&dirty, &rcPaint, &m_rcItem)) return;
  CRenderClip clip;
  CRenderClip::CreateRect(hDC, dirty, clip);
  CControlUI::DoPaint(hDC, rcPaint);
  CControlWatch alive(this);  // a change the text services report is sent when they return
  if (m_pTwh != nullptr) {
    RECT client;
    m_pTwh->GetControlRect(&client);
    RECT update = rcPaint;
    ServicesCall call(this);
    m_pTwh->GetTextServices()->TxDraw(DVASPECT_CONTENT, 0, nullptr, nullptr, hDC, nullptr,
                                      reinterpret_cast<LPCRECTL>(&client), nullptr, &update, nullptr, 0,
                                      TXTVIEW_ACTIVE);
    if (!call) return;
    // The bar shown for the natural height goes at the next layout once the text fits again.
    if (m_bVScrollBarFixing && !NaturalHeightExceeds(client) && alive) NeedUpdate();
  }
  if (!alive) return;
  PaintChildrenAndBars(hDC, rcPaint);
  if (m_bFocused || m_sTipValue.IsEmpty() || GetTextLength() > 0) return;
  RECT tip = Shrunk(m_rcItem, GetTextPadding());
  UINT style = m_uTipValueAlign | (IsMultiLine() ? 0 : DT_VCENTER);
  CRenderEngine::DrawText(hDC, m_pManager, tip, m_sTipValue.GetData(), m_dwTipValueColor, m_iFont, style);
}

void CRichEditUI::PaintStatusImage(HDC hDC) {
  m_uButtonState = IsFocused() ? (m_uButtonState | kFocused) : (m_uButtonState & ~kFocused);
  m_uButtonState = !IsEnabled() ? (m_uButtonState | kDisabled) : (m_uButtonState & ~kDisabled);
  const CUIString* chosen = (m_uButtonState & kDisabled) != 0  ? &m_sDisabledImage
                            : (m_uButtonState & kFocused) != 0 ? &m_sFocusedImage
                            : (m_uButtonState & kHot) != 0     ? &m_sHotImage
                                                               : nullptr;
  if (chosen != nullptr && !chosen->IsEmpty() && DrawImage(hDC, chosen->GetData())) return;
  if (!m_sNormalImage.IsEmpty()) DrawImage(hDC, m_sNormalImage.GetData());
}

void CRichEditUI::SendScroll(UINT msg, WORD code) { SendToServices(msg, code, 0); }

void CRichEditUI::SetScrollPos(SIZE szPos, bool) {
  CScrollBarUI* vbar = IsBarVisible(m_pVerticalScrollBar) ? m_pVerticalScrollBar : nullptr;
  CScrollBarUI* hbar = IsBarVisible(m_pHorizontalScrollBar) ? m_pHorizontalScrollBar : nullptr;
  int dx = 0, dy = 0;
  if (vbar != nullptr) {
    int old = vbar->GetScrollPos();
    vbar->SetScrollPos(szPos.cy);
    dy = vbar->GetScrollPos() - old;
  }
  if (hbar != nullptr) {
    int old = hbar->GetScrollPos();
    hbar->SetScrollPos(szPos.cx);
    dx = hbar->GetScrollPos() - old;
  }
  if (dy != 0) {
    // Plain text may stop short of where the bar was dragged: the bar stays where it was put.
    const int asked = vbar->GetScrollPos();
    SendToServices(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, asked), 0);
    if (!m_bRich && dy > 0 && vbar->GetScrollPos() <= asked) vbar->SetScrollPos(asked);
  }
  if (dx != 0) SendToServices(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, hbar->GetScrollPos()), 0);
}

void CRichEditUI::LineUp() { SendScroll(WM_VSCROLL, SB_LINEUP); }

void CRichEditUI::LineDown() {
  CScrollBarUI* vbar = IsBarVisible(m_pVerticalScrollBar) ? m_pVerticalScrollBar : nullptr;
  const int before = vbar != nullptr ? vbar->GetScrollPos() : 0;
  SendScroll(WM_VSCROLL, SB_LINEDOWN);
  // Plain text stops a line short of the end: the last step goes to the end.
  if (!m_bRich && vbar != nullptr && vbar->GetScrollPos() <= before) vbar->SetScrollPos(vbar->GetScrollRange());
}

void CRichEditUI::PageUp() { SendScroll(WM_VSCROLL, SB_PAGEUP); }
void CRichEditUI::PageDown() { SendScroll(WM_VSCROLL, SB_PAGEDOWN); }
void CRichEditUI::HomeUp() { SendScroll(WM_VSCROLL, SB_TOP); }
void CRichEditUI::EndDown() { SendScroll(WM_VSCROLL, SB_BOTTOM); }
void CRichEditUI::LineLeft() { SendScroll(WM_HSCROLL, SB_LINELEFT); }
void CRichEditUI::LineRight() { SendScroll(WM_HSCROLL, SB_LINERIGHT); }
void CRichEditUI::PageLeft() { SendScroll(WM_HSCROLL, SB_PAGELEFT); }
void CRichEditUI::PageRight() { SendScroll(WM_HSCROLL, SB_PAGERIGHT); }
void CRichEditUI::HomeLeft() { SendScroll(WM_HSCROLL, SB_LEFT); }
void CRichEditUI::EndRight() { SendScroll(WM_HSCROLL, SB_RIGHT); }

}  // namespace SkinUI
