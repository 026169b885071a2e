#include "ui/core/base/gdi_handles.h"
#include "ui/core/base/gdiplus_handles.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/paint/render/render_msimg_internal.h"

namespace SkinUI {

namespace {

int BandCount(int steps) {
  if (steps >= 64) return 64;
  if (steps >= 32) return 32;
  if (steps >= 16) return 16;
  if (steps >= 8) return 8;
  if (steps >= 4) return 4;
  return 2;
}

// A pen twice as wide as the area being painted covers it all, as any wider one does; Wine draws a
// wide line at a cost that grows with the width's square, so a skin's border of millions of pixels
// would stall the paint: the width stops there.
int PenWidthFor(HDC hDC, int nSize) {
  RECT clip;
  if (::GetClipBox(hDC, &clip) == ERROR) return nSize;
  const int across = clip.right - clip.left > clip.bottom - clip.top ? clip.right - clip.left : clip.bottom - clip.top;
  return nSize > 2 * across + 2 ? 2 * across + 2 : nSize;
}

BYTE Mix(DWORD first, DWORD second, int shift, int i, int n) {
  int a = (first >> shift) & 0xFF, b = (second >> shift) & 0xFF;
  return static_cast<BYTE>((a * i + b * (n - i)) / n);
}

// Draws the gradient over (0, 0, width, height) offset to the rectangle's corner.
void FillGradient(HDC hDC, const RECT& rc, DWORD first, DWORD second, bool vertical, int steps) {
  PFN_GradientFill gradientFill = Msimg().gradientFill;
  if (gradientFill != nullptr) {
    TRIVERTEX vertices[2] = {};
    vertices[0].x = rc.left;
    vertices[0].y = rc.top;
    vertices[0].Red = static_cast<COLOR16>(((first >> 16) & 0xFF) << 8);
    vertices[0].Green = static_cast<COLOR16>(((first >> 8) & 0xFF) << 8);
    vertices[0].Blue = static_cast<COLOR16>((first & 0xFF) << 8);
    vertices[0].Alpha = 0xFF00;
    vertices[1].x = rc.right;
    vertices[1].y = rc.bottom;
    vertices[1].Red = static_cast<COLOR16>(((second >> 16) & 0xFF) << 8);
    vertices[1].Green = static_cast<COLOR16>(((second >> 8) & 0xFF) << 8);
    vertices[1].Blue = static_cast<COLOR16>((second & 0xFF) << 8);
    vertices[1].Alpha = 0xFF00;
    GRADIENT_RECT gradient = {0, 1};
    gradientFill(hDC, vertices, 2, &gradient, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    return;
  }
  int n = BandCount(steps);
  int size = vertical ? rc.bottom - rc.top : rc.right - rc.left;
  int edge = vertical ? rc.bottom : rc.right;
  for (int i = 0; i < n; ++i) {
    int from = edge - size * (i + 1) / n, to = edge - size * i / n;
    if (from >= to) continue;
    RECT band = vertical ? RECT{rc.left, from, rc.right, to} : RECT{from, rc.top, to, rc.bottom};
    GdiObject<HBRUSH> brush(::CreateSolidBrush(
        RGB(Mix(first, second, 16, i, n), Mix(first, second, 8, i, n), Mix(first, second, 0, i, n))));
    ::FillRect(hDC, &band, brush.get());
  }
}

// True when the DC draws into a 32-bit DIB section (the offscreen bitmap, a canvas). There an
// opaque colour filled through a brush of 32-bit pixels lands exactly as a GDI+ fill puts it, alpha
// 255 included, at a fraction of the cost of a GDI+ graphics object made for one rectangle. Other
// DCs (a window, a device-dependent bitmap) keep the GDI+ road, which writes no alpha there.
bool IsOpaqueOnDib32(HDC hDC, DWORD color) {
  if (color < 0xFF000000) return false;
  DIBSECTION dib;
  HGDIOBJ bitmap = ::GetCurrentObject(hDC, OBJ_BITMAP);
  return bitmap != nullptr && ::GetObjectW(bitmap, sizeof(dib), &dib) == sizeof(dib) && dib.dsBm.bmBitsPixel == 32;
}

// A brush of 8 by 8 pixels of the colour as it stands (alpha byte included).
HBRUSH CreateArgbBrush(DWORD color) {
  struct {
    BITMAPINFOHEADER header;
    DWORD pixels[64];
  } pattern = {};
  pattern.header.biSize = sizeof(BITMAPINFOHEADER);
  pattern.header.biWidth = 8;
  pattern.header.biHeight = 8;
  pattern.header.biPlanes = 1;
  pattern.header.biBitCount = 32;
  pattern.header.biCompression = BI_RGB;
  for (DWORD& pixel : pattern.pixels) pixel = color;
  return ::CreateDIBPatternBrushPt(&pattern, DIB_RGB_COLORS);
}

void FillArgb(HDC hDC, const RECT* rects, int count, DWORD color) {
  GdiObject<HBRUSH> brush(CreateArgbBrush(color));
  for (int i = 0; i < count; ++i) ::FillRect(hDC, &rects[i], brush.get());
}

}  // namespace

void CRenderEngine::NudgeBlackColor(DWORD& clr) {
  if ((clr & 0x00FFFFFF) == 0) clr |= 0x00000001;
}

void CRenderEngine::DrawColor(HDC hDC, const RECT& rc, DWORD color) {
  if (color <= 0x00FFFFFF || hDC == nullptr) return;
  if (rc.right > rc.left && rc.bottom > rc.top && IsOpaqueOnDib32(hDC, color)) {
    FillArgb(hDC, &rc, 1, color);
    return;
  }
  GdipGraphics graphics;
  if (!graphics.Made(gdip::GdipCreateFromHDC(hDC, graphics.out()))) return;
  GdipSolidBrush brush;
  if (!brush.Made(gdip::GdipCreateSolidFill(color, brush.out()))) return;
  gdip::GdipFillRectangleI(graphics.get(), brush.get(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void CRenderEngine::DrawGradient(HDC hDC, const RECT& rc, DWORD dwFirst, DWORD dwSecond, bool bVertical, int nSteps) {
  BYTE alpha = static_cast<BYTE>(((dwFirst >> 24) + (dwSecond >> 24)) / 2);
  if (alpha == 0 || hDC == nullptr) return;
  int width = rc.right - rc.left, height = rc.bottom - rc.top;
  if (width <= 0 || height <= 0) return;
  if (alpha == 255) {
    FillGradient(hDC, rc, dwFirst, dwSecond, bVertical, nSteps);
    return;
  }
  // Translucent: draw aside, make it opaque, then blend it over with the mean alpha.
  LPDWORD bits = nullptr;
  GdiObject<HBITMAP> picture(CreateDibSection32(hDC, width, height, &bits));
  MemoryDC memDC(hDC);
  if (picture.get() == nullptr || memDC.get() == nullptr) return;
  SelectGuard select(memDC.get(), picture.get());
  RECT local = {0, 0, width, height};
  FillGradient(memDC.get(), local, dwFirst, dwSecond, bVertical, nSteps);
  ::GdiFlush();
  for (int i = 0; i < width * height; ++i) bits[i] |= 0xFF000000;
  BLENDFUNCTION bf = {AC_SRC_OVER, 0, alpha, AC_SRC_ALPHA};
  PFN_AlphaBlend alphaBlend = Msimg().alphaBlend;
  if (alphaBlend != nullptr) {
    alphaBlend(hDC, rc.left, rc.top, width, height, memDC.get(), 0, 0, width, height, bf);
  } else {
    DrawImage(hDC, picture.get(), rc, rc, local, RECT{0, 0, 0, 0}, true, alpha);
  }
}

void CRenderEngine::DrawLine(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle) {
  if (hDC == nullptr) return;
  LOGPEN lg = {static_cast<UINT>(nStyle), {PenWidthFor(hDC, nSize), 0}, ArgbToColorRef(dwPenColor)};
  GdiObject<HPEN> pen(::CreatePenIndirect(&lg));
  SelectGuard select(hDC, pen.get());
  POINT old;
  ::MoveToEx(hDC, rc.left, rc.top, &old);
  ::LineTo(hDC, rc.right, rc.bottom);
  ::MoveToEx(hDC, old.x, old.y, nullptr);
}

// The frame lies inside the rectangle whatever the pen width: the stroke runs along a rectangle
// inset by half the width (what an inset-aligned pen does, done here so every GDI+ draws it alike).
void CRenderEngine::DrawRect(HDC hDC, const RECT& rc, int nSize, DWORD dwPenColor, int nStyle) {
  if (hDC == nullptr || nSize <= 0) return;
  bool dashed = nStyle >= PS_DASH && nStyle <= PS_DASHDOTDOT;
  if (!dashed && rc.right - rc.left >= 2 * nSize && rc.bottom - rc.top >= 2 * nSize &&
      IsOpaqueOnDib32(hDC, dwPenColor)) {
    // The four sides of the frame, none overlapping.
    const RECT sides[4] = {{rc.left, rc.top, rc.right, rc.top + nSize},
                           {rc.left, rc.bottom - nSize, rc.right, rc.bottom},
                           {rc.left, rc.top + nSize, rc.left + nSize, rc.bottom - nSize},
                           {rc.right - nSize, rc.top + nSize, rc.right, rc.bottom - nSize}};
    FillArgb(hDC, sides, 4, dwPenColor);
    return;
  }
  GdipGraphics graphics;
  if (!graphics.Made(gdip::GdipCreateFromHDC(hDC, graphics.out()))) return;
  GdipPen pen;
  if (!pen.Made(gdip::GdipCreatePen1(dwPenColor, static_cast<Gdiplus::REAL>(nSize), Gdiplus::UnitPixel, pen.out()))) {
    return;
  }
  if (dashed) {
    gdip::GdipSetPenDashStyle(pen.get(), static_cast<Gdiplus::DashStyle>(nStyle));
  }
  Gdiplus::REAL inset = (nSize - 1) / 2.0f;
  gdip::GdipDrawRectangle(graphics.get(), pen.get(), rc.left + inset, rc.top + inset,
                          rc.right - rc.left - 1 - 2 * inset, rc.bottom - rc.top - 1 - 2 * inset);
}

void CRenderEngine::DrawRoundRect(HDC hDC, const RECT& rc, int nSize, int width, int height, DWORD dwPenColor,
                                  int nStyle) {
  if (hDC == nullptr) return;
  GdiObject<HPEN> pen(::CreatePen(nStyle, PenWidthFor(hDC, nSize), ArgbToColorRef(dwPenColor)));
  SelectGuard selectPen(hDC, pen.get());
  SelectGuard selectBrush(hDC, ::GetStockObject(NULL_BRUSH));
  ::RoundRect(hDC, rc.left, rc.top, rc.right, rc.bottom, width, height);
}

}  // namespace SkinUI
