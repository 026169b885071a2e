#include "ui/core/controls/group_box.h"

#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

CGroupBoxUI::CGroupBoxUI()
    : m_dwTextColor(0), m_dwDisabledTextColor(0), m_iFont(-1), m_uTextStyle(DT_CENTER | DT_VCENTER | DT_SINGLELINE) {
  SetInset(CUIRect(20, 25, 20, 20));
}

CGroupBoxUI::~CGroupBoxUI() = default;

const wchar_t* CGroupBoxUI::GetClass() const { return L"GroupBoxUI"; }

LPVOID CGroupBoxUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"GroupBox") == 0) return static_cast<CGroupBoxUI*>(this);
  return CVerticalLayoutUI::GetInterface(pstrName);
}

void CGroupBoxUI::SetTextColor(DWORD dwTextColor) {
  m_dwTextColor = dwTextColor;
  Invalidate();
}

void CGroupBoxUI::SetDisabledTextColor(DWORD dwTextColor) {
  m_dwDisabledTextColor = dwTextColor;
  Invalidate();
}

void CGroupBoxUI::SetFont(int iFont) {
  m_iFont = iFont;
  Invalidate();
}

void CGroupBoxUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  const bool textColor = _wcsicmp(pstrName, L"textcolor") == 0;
  const bool disabledColor = _wcsicmp(pstrName, L"disabledtextcolor") == 0;
  if (textColor || disabledColor) {
    if (*pstrValue == L'#') ++pstrValue;
    if (textColor)
      SetTextColor(ReadColorValue(pstrValue));
    else
      SetDisabledTextColor(ReadColorValue(pstrValue));
  } else if (_wcsicmp(pstrName, L"font") == 0) {
    SetFont(_wtoi(pstrValue));
  }
  CVerticalLayoutUI::SetAttribute(pstrName, pstrValue);
}

RECT CGroupBoxUI::FrameRect() const {
  RECT frame = m_rcItem;
  ::InflateRect(&frame, -kFrameInset, -kFrameInset);
  return frame;
}

SIZE CGroupBoxUI::CalcTextSize(int cxAvailable, int) {
  SIZE size = {0, 0};
  if (m_pManager == nullptr) return size;
  RECT rc = {0, 0, cxAvailable > m_cXY.cx ? cxAvailable : m_cXY.cx, 20};
  CUIString text = GetText();
  CRenderEngine::DrawText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), m_dwTextColor, m_iFont,
                          m_uTextStyle | DT_CALCRECT);
  size.cx = rc.right - rc.left;
  size.cy = rc.bottom - rc.top;
  return size;
}

void CGroupBoxUI::PaintText(HDC hDC) {
  CUIString text = GetText();
  if (text.IsEmpty() || m_pManager == nullptr) return;
  if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
  if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
  RECT frame = FrameRect();
  SIZE size = CalcTextSize(frame.right - frame.left, frame.bottom - frame.top);
  RECT caption = {frame.left + kCaptionIndent, frame.top - kFrameInset, frame.left + kCaptionIndent + size.cx,
                  frame.top - kFrameInset + size.cy};
  const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  CRenderEngine::DrawColor(hDC, caption, AdjustColor(m_dwBackColor));
  CRenderEngine::DrawText(hDC, m_pManager, caption, text.GetData(), color, m_iFont, m_uTextStyle);
}

void CGroupBoxUI::PaintBorder(HDC hDC) {
  const int size = GetBorderSize();
  if (size <= 0) return;
  const SIZE round = GetBorderRound();
  const RECT frame = FrameRect();
  const DWORD color = AdjustColor(IsFocused() && m_dwFocusBorderColor != 0 ? m_dwFocusBorderColor : m_dwBorderColor);
  if (round.cx < 1 && round.cy < 1)
    CRenderEngine::DrawRect(hDC, frame, size, color);
  else
    CRenderEngine::DrawRoundRect(hDC, frame, size, round.cx, round.cy, color, PS_SOLID);
  // The base paint order drew the caption before the frame: draw it again over the line.
  PaintText(hDC);
}

}  // namespace SkinUI
