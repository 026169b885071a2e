#include "ui/extra/palette/color_palette.h"
#include "ui/extra/palette/palette_pixels_internal.h"

namespace SkinUI {

namespace {

float HueToChannel(float p, float q, float t) {
  if (t < 0.0f) t += 1.0f;
  if (t > 1.0f) t -= 1.0f;
  if (6.0f * t < 1.0f) return p + (q - p) * 6.0f * t;
  if (2.0f * t < 1.0f) return q;
  if (3.0f * t < 2.0f) return p + (q - p) * (0.6666667f - t) * 6.0f;
  return p;
}

DWORD ToByte(float channel) { return static_cast<DWORD>(channel * 255.0f); }

// A pixel of the picture: blue, green, red; pure black is kept apart from "no colour".
DWORD PixelOf(DWORD rgb) { return rgb == 0 ? 0x000001 : rgb; }

}  // namespace

DWORD HslToRgb(float h, float s, float l) {
  if (s == 0.0f) return ToByte(l) << 16 | ToByte(l) << 8 | ToByte(l);
  const float q = l < 0.5f ? l * (1.0f + s) : l + s - l * s;
  const float p = 2.0f * l - q;
  const float third = 0.33333334f;
  return ToByte(HueToChannel(p, q, h + third)) << 16 | ToByte(HueToChannel(p, q, h)) << 8 |
         ToByte(HueToChannel(p, q, h - third));
}

DWORD CColorPaletteUI::GetSelectColor() const {
  return 0xFF000000 | HslToRgb(m_nCurH / 360.0f, m_nCurS / 200.0f, m_nCurB / 200.0f);
}

void CColorPaletteUI::UpdatePalletData() {
  if (m_canvas == nullptr) return;
  const float s = m_nCurS / 200.0f;
  for (int y = kFieldTop; y < kFieldTop + kFieldHeight; ++y) {
    LPDWORD row = m_canvas->bits + y * kPaletteWidth;
    const float l = (200 - y) / 200.0f;
    for (int x = 0; x < kFieldWidth; ++x) row[x] = PixelOf(HslToRgb(x / 360.0f, s, l));
  }
  ::GdiFlush();
}

void CColorPaletteUI::UpdateBarData() {
  if (m_canvas == nullptr) return;
  const float h = m_nCurH / 360.0f;
  const float l = m_nCurB / 200.0f;
  for (int y = kBarTop; y < kBarTop + m_nBarHeight; ++y) {
    LPDWORD row = m_canvas->bits + y * kPaletteWidth;
    for (int x = 0; x < kBarWidth; ++x) row[x] = PixelOf(HslToRgb(h, x / 200.0f, l));
  }
  ::GdiFlush();
}

}  // namespace SkinUI
