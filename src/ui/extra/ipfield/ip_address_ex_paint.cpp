#include <cstdio>

#include "ui/core/base/gdi_handles.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/ipfield/ip_address_ex.h"

namespace SkinUI {

namespace {
constexpr COLORREF kHighlightText = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kHighlightBack = RGB(0x33, 0x99, 0xFF);

void DrawAt(HDC hDC, const RECT& rc, LONG left, const char* text, UINT style) {
  RECT at = {left, rc.top, rc.right, rc.bottom};
  ::DrawTextA(hDC, text, -1, &at, style);
}
}  // namespace

void CIPAddressExUI::PaintText(HDC hDC) {
  TakeDefaultColors();
  RECT rc = UnscaledTextRect();
  const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  HFONT font = m_pManager != nullptr ? m_pManager->GetFont(m_iFont) : nullptr;
  SelectGuard selected(hDC, font);
  // The highlight's background colour too goes back: later opaque drawing on the DC must not
  // inherit it.
  const COLORREF oldBack = ::GetBkColor(hDC);
  const int oldMode = ::SetBkMode(hDC, TRANSPARENT);
  const COLORREF oldColor = ::SetTextColor(hDC, ArgbToColorRef(color));
  DrawOctets(hDC, rc, color);
  ::SetTextColor(hDC, oldColor);
  ::SetBkMode(hDC, oldMode);
  ::SetBkColor(hDC, oldBack);
}

void CIPAddressExUI::DrawOctets(HDC hDC, const RECT& rc, DWORD color) {
  const UINT style = m_uTextStyle | DT_SINGLELINE | DT_NOPREFIX;
  const LONG q = (rc.right - rc.left) / 4;
  for (int k = 1; k <= 3; ++k) DrawAt(hDC, rc, rc.left + k * q, ".", style);
  bool anySet = m_nActivePart != 0;
  for (int value : m_octets) anySet = anySet || value != 0;
  if (!anySet) return;
  const LONG e = (rc.right - rc.left) / 8;
  for (int k = 1; k <= 4; ++k) {
    char digits[8];
    snprintf(digits, sizeof(digits), "%d", m_octets[k - 1]);
    const bool highlighted = k == m_nActivePart && IsEnabled();
    if (highlighted) {
      ::SetBkMode(hDC, OPAQUE);
      ::SetBkColor(hDC, kHighlightBack);
      ::SetTextColor(hDC, kHighlightText);
    }
    DrawAt(hDC, rc, rc.left + e + (k - 1) * q, digits, style);
    if (highlighted) {
      ::SetBkMode(hDC, TRANSPARENT);
      ::SetTextColor(hDC, ArgbToColorRef(color));
    }
  }
}

}  // namespace SkinUI
