#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager_internal.h"

namespace SkinUI {

bool CPaintManagerUI::CreateCaret(HBITMAP hBmp, int nWidth, int nHeight) {
  ::CreateCaret(m_hWndPaint, hBmp, nWidth, nHeight);
  // As for the platform's caret, a size of 0 is the window border's.
  if (nWidth == 0) nWidth = ::GetSystemMetrics(SM_CXBORDER);
  if (nHeight == 0) nHeight = ::GetSystemMetrics(SM_CYBORDER);
  m_rtCaret.right = m_rtCaret.left + nWidth;
  m_rtCaret.bottom = m_rtCaret.top + nHeight;
  return true;
}

bool CPaintManagerUI::SetCaretPos(CControlUI* obj, int x, int y) {
  if (!::SetCaretPos(x, y)) return false;
  if (obj != nullptr) obj->SetHoldingManager(this);
  m_pCaretOwner = obj;
  RECT old = m_rtCaret;
  int width = m_rtCaret.right - m_rtCaret.left, height = m_rtCaret.bottom - m_rtCaret.top;
  ::SetRect(&m_rtCaret, x, y, x + width, y + height);
  Invalidate(old);
  RECT now = m_rtCaret;
  Invalidate(now);
  return true;
}

bool CPaintManagerUI::ShowCaret(bool bShow) {
  if (m_bCaretActive == bShow) return true;
  m_bCaretActive = bShow;
  if (bShow) {
    ::SetTimer(m_hWndPaint, kCaretTimerId, ::GetCaretBlinkTime(), nullptr);
    if (!m_bCaretShowing) {
      Invalidate(m_rtCaret);
      m_bCaretShowing = true;
    }
  } else {
    ::KillTimer(m_hWndPaint, kCaretTimerId);
    if (m_bCaretShowing) Invalidate(m_rtCaret);
    m_bCaretShowing = false;
  }
  return true;
}

void CPaintManagerUI::DrawCaret(HDC hDC, const RECT& rcPaint) {
  if (m_pCaretOwner == nullptr) return;
  if (!m_pCaretOwner->IsFocused() || ::GetFocus() != m_hWndPaint) {
    ::KillTimer(m_hWndPaint, kCaretTimerId);
    if (m_bCaretShowing) Invalidate(m_rtCaret);
    m_bCaretShowing = false;
    return;
  }
  if (!m_bCaretShowing || !m_bCaretActive) return;
  RECT rc;
  if (!::IntersectRect(&rc, &rcPaint, &m_rtCaret)) return;
  DWORD color = m_pCaretOwner->GetCaretColor();
  if (color == 0) color = GetDefaultFontColor();
  HBRUSH brush = ::CreateSolidBrush(RGB((color >> 16) & 0xFF, (color >> 8) & 0xFF, color & 0xFF));
  ::FillRect(hDC, &rc, brush);
  ::DeleteObject(brush);
}

}  // namespace SkinUI
