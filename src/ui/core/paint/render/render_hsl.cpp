#include <cstring>

#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

namespace {

struct Hsl {
  float h;  // degrees
  float s;  // 0..1
  float l;  // 0..1
};

Hsl RgbToHsl(BYTE red, BYTE green, BYTE blue) {
  float r = red / 255.0f, g = green / 255.0f, b = blue / 255.0f;
  float mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  float mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  Hsl out = {0.0f, 0.0f, (mx + mn) / 2.0f};
  float delta = mx - mn;
  if (delta <= 0.0f) return out;
  out.s = out.l > 0.5f ? delta / (2.0f - mx - mn) : delta / (mx + mn);
  if (mx == r)
    out.h = (g - b) / delta + (g < b ? 6.0f : 0.0f);
  else if (mx == g)
    out.h = (b - r) / delta + 2.0f;
  else
    out.h = (r - g) / delta + 4.0f;
  out.h *= 60.0f;
  return out;
}

float HueToChannel(float p, float q, float t) {
  if (t < 0.0f) t += 1.0f;
  if (t > 1.0f) t -= 1.0f;
  if (t < 1.0f / 6.0f) return p + (q - p) * 6.0f * t;
  if (t < 0.5f) return q;
  if (t < 2.0f / 3.0f) return p + (q - p) * (2.0f / 3.0f - t) * 6.0f;
  return p;
}

BYTE ToByte(float v) {
  if (v <= 0.0f) return 0;
  if (v >= 1.0f) return 255;
  return static_cast<BYTE>(v * 255.0f + 0.5f);
}

// Shifts one colour: hue by (H - 180) degrees, saturation and lightness by S and L percent.
void Shift(BYTE& red, BYTE& green, BYTE& blue, short H, short S, short L) {
  Hsl hsl = RgbToHsl(red, green, blue);
  hsl.h += H - 180;
  if (hsl.h <= 0.0f) hsl.h += 360.0f;
  if (hsl.h > 360.0f) hsl.h -= 360.0f;
  hsl.s = hsl.s * S / 100.0f;
  hsl.l = hsl.l * L / 100.0f;
  if (hsl.s > 1.0f) hsl.s = 1.0f;
  if (hsl.l > 1.0f) hsl.l = 1.0f;
  if (hsl.s <= 0.0f) {
    red = green = blue = ToByte(hsl.l);
    return;
  }
  float q = hsl.l < 0.5f ? hsl.l * (1.0f + hsl.s) : hsl.l + hsl.s - hsl.l * hsl.s;
  float p = 2.0f * hsl.l - q;
  float h = hsl.h / 360.0f;
  red = ToByte(HueToChannel(p, q, h + 1.0f / 3.0f));
  green = ToByte(HueToChannel(p, q, h));
  blue = ToByte(HueToChannel(p, q, h - 1.0f / 3.0f));
}

bool IsNeutral(short H, short S, short L) { return H == 180 && S == 100 && L == 100; }

}  // namespace

DWORD CRenderEngine::AdjustColor(DWORD dwColor, short H, short S, short L) {
  if (IsNeutral(H, S, L)) return dwColor;
  BYTE red = static_cast<BYTE>(dwColor >> 16), green = static_cast<BYTE>(dwColor >> 8),
       blue = static_cast<BYTE>(dwColor);
  Shift(red, green, blue, H, S, L);
  return (dwColor & 0xFF000000) | (static_cast<DWORD>(red) << 16) | (static_cast<DWORD>(green) << 8) | blue;
}

void CRenderEngine::AdjustImage(bool bUseHSL, ImageInfo* imageInfo, short H, short S, short L) {
  if (imageInfo == nullptr || imageInfo->pBits == nullptr || imageInfo->pSrcBits == nullptr) return;
  size_t pixels = static_cast<size_t>(imageInfo->nX) * static_cast<size_t>(imageInfo->nY);
  if (bUseHSL && !IsNeutral(H, S, L)) {
    for (size_t i = 0; i < pixels; ++i) {
      const BYTE* src = imageInfo->pSrcBits + i * 4;
      BYTE* dst = imageInfo->pBits + i * 4;
      BYTE blue = src[0], green = src[1], red = src[2], alpha = src[3];
      Shift(red, green, blue, H, S, L);
      // Pixels are premultiplied: no channel may exceed the pixel's alpha.
      dst[0] = blue > alpha ? alpha : blue;
      dst[1] = green > alpha ? alpha : green;
      dst[2] = red > alpha ? alpha : red;
      dst[3] = alpha;
    }
  } else {
    memcpy(imageInfo->pBits, imageInfo->pSrcBits, pixels * 4);
  }
  // The bitmap shows the adjusted pixels.
  BITMAP bm = {};
  if (imageInfo->hBitmap != nullptr && ::GetObjectW(imageInfo->hBitmap, sizeof(bm), &bm) != 0 && bm.bmBits != nullptr) {
    ::GdiFlush();
    memcpy(bm.bmBits, imageInfo->pBits, pixels * 4);
  }
}

}  // namespace SkinUI
