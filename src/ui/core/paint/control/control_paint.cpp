#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_clip.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

void CControlUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
  SIZE round = GetBorderRound();
  if (round.cx < 1 && round.cy < 1) {
    PaintLayers(hDC);
    return;
  }
  CRenderClip clip;
  CRenderClip::CreateRoundRect(hDC, m_rcPaint, m_rcItem, round.cx, round.cy, clip);
  PaintLayers(hDC);
}

void CControlUI::PaintLayers(HDC hDC) {
  PaintBkColor(hDC);
  PaintBkImage(hDC);
  PaintStatusImage(hDC);
  PaintForeColor(hDC);
  PaintForeImage(hDC);
  PaintText(hDC);
  PaintBorder(hDC);
}

void CControlUI::PaintBkColor(HDC hDC) {
  if (m_dwBackColor == 0) return;
  bool vertical = m_sGradient.CompareNoCase(L"hor") != 0;
  DWORD first = AdjustColor(m_dwBackColor);
  if (m_dwBackColor2 != 0 && m_dwBackColor3 != 0) {
    RECT upper = m_rcItem, lower = m_rcItem;
    upper.bottom = lower.top = (m_rcItem.top + m_rcItem.bottom) / 2;
    CRenderEngine::DrawGradient(hDC, upper, first, AdjustColor(m_dwBackColor2), vertical, 8);
    CRenderEngine::DrawGradient(hDC, lower, AdjustColor(m_dwBackColor2), AdjustColor(m_dwBackColor3), vertical, 8);
  } else if (m_dwBackColor2 != 0) {
    CRenderEngine::DrawGradient(hDC, m_rcItem, first, AdjustColor(m_dwBackColor2), vertical, 16);
  } else if (m_dwBackColor >= 0xFF000000) {
    CRenderEngine::DrawColor(hDC, m_rcPaint, first);
  } else {
    CRenderEngine::DrawColor(hDC, m_rcItem, first);
  }
}

void CControlUI::PaintBkImage(HDC hDC) {
  if (!m_sBkImage.IsEmpty()) DrawImage(hDC, m_sBkImage.GetData());
}

void CControlUI::PaintStatusImage(HDC) {}

void CControlUI::PaintForeColor(HDC hDC) { CRenderEngine::DrawColor(hDC, m_rcItem, AdjustColor(m_dwForeColor)); }

void CControlUI::PaintForeImage(HDC hDC) {
  if (!m_sForeImage.IsEmpty()) DrawImage(hDC, m_sForeImage.GetData());
}

void CControlUI::PaintText(HDC) {}

void CControlUI::PaintBorder(HDC hDC) {
  if (m_dwBorderColor == 0 && m_dwFocusBorderColor == 0) return;
  int size = GetBorderSize();
  SIZE round = GetBorderRound();
  RECT sides = GetBorderRectSize();
  DWORD border = AdjustColor(m_dwBorderColor);
  bool focusColor = IsFocused() && m_dwFocusBorderColor != 0;
  if (size > 0 && (round.cx > 0 || round.cy > 0)) {
    DWORD color = focusColor ? AdjustColor(m_dwFocusBorderColor) : border;
    CRenderEngine::DrawRoundRect(hDC, m_rcItem, size, round.cx, round.cy, color, m_nBorderStyle);
  } else if (focusColor && size > 0) {
    CRenderEngine::DrawRect(hDC, m_rcItem, size, AdjustColor(m_dwFocusBorderColor), m_nBorderStyle);
  } else if (sides.left > 0 || sides.top > 0 || sides.right > 0 || sides.bottom > 0) {
    const RECT& r = m_rcItem;
    auto line = [&](int width, RECT from) {
      if (width > 0) CRenderEngine::DrawLine(hDC, from, width, border, m_nBorderStyle);
    };
    line(sides.left, RECT{r.left, r.top, r.left, r.bottom});
    line(sides.top, RECT{r.left, r.top, r.right, r.top});
    line(sides.right, RECT{r.right - 1, r.top, r.right - 1, r.bottom});
    line(sides.bottom, RECT{r.left, r.bottom - 1, r.right, r.bottom - 1});
  } else if (size > 0) {
    CRenderEngine::DrawRect(hDC, m_rcItem, size, border, m_nBorderStyle);
  }
}

void CControlUI::DoPostPaint(HDC, const RECT&) {}

DWORD CControlUI::AdjustColor(DWORD dwColor) const {
  if (!m_bColorHSL || m_pManager == nullptr) return dwColor;
  short H = 180, S = 100, L = 100;
  m_pManager->GetHSL(&H, &S, &L);
  return CRenderEngine::AdjustColor(dwColor, H, S, L);
}

bool CControlUI::DrawImage(HDC hDC, const wchar_t* pStrImage, const wchar_t* pStrModify) {
  return CRenderEngine::DrawImageString(hDC, m_pManager, m_rcItem, m_rcPaint, pStrImage, pStrModify);
}

}  // namespace SkinUI
