#include "ui/core/base/gdi_handles.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/paint/render/render_msimg_internal.h"

namespace SkinUI {

namespace {

// Blends a stretched premultiplied source over the destination without msimg32.
void BlendWithoutMsimg(HDC hDC, const RECT& dst, HDC src, const RECT& from, BYTE fade) {
  int width = dst.right - dst.left, height = dst.bottom - dst.top;
  LPDWORD srcBits = nullptr, dstBits = nullptr;
  GdiObject<HBITMAP> srcDib(CRenderEngine::CreateDibSection32(hDC, width, height, &srcBits));
  GdiObject<HBITMAP> dstDib(CRenderEngine::CreateDibSection32(hDC, width, height, &dstBits));
  MemoryDC srcDc(hDC), dstDc(hDC);
  if (srcDib.get() == nullptr || dstDib.get() == nullptr || srcDc.get() == nullptr || dstDc.get() == nullptr) return;
  SelectGuard selectSrc(srcDc.get(), srcDib.get());
  SelectGuard selectDst(dstDc.get(), dstDib.get());
  ::StretchBlt(srcDc.get(), 0, 0, width, height, src, from.left, from.top, from.right - from.left,
               from.bottom - from.top, SRCCOPY);
  ::BitBlt(dstDc.get(), 0, 0, width, height, hDC, dst.left, dst.top, SRCCOPY);
  ::GdiFlush();
  for (int i = 0; i < width * height; ++i) {
    BYTE* s = reinterpret_cast<BYTE*>(srcBits + i);
    BYTE* d = reinterpret_cast<BYTE*>(dstBits + i);
    // The source is premultiplied: its colour carries its alpha already, only the fade scales it.
    unsigned coverage = s[3] * fade / 255u;
    for (int c = 0; c < 3; ++c) d[c] = static_cast<BYTE>((s[c] * fade / 255u) + d[c] * (255u - coverage) / 255u);
  }
  ::BitBlt(hDC, dst.left, dst.top, width, height, dstDc.get(), 0, 0, SRCCOPY);
}

struct PieceDrawer {
  HDC hDC;
  HDC memDC;
  bool blend;
  BYTE fade;

  void operator()(const RECT& dst, const RECT& src) const {
    int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    int sw = src.right - src.left, sh = src.bottom - src.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (!blend) {
      ::StretchBlt(hDC, dst.left, dst.top, dw, dh, memDC, src.left, src.top, sw, sh, SRCCOPY);
      return;
    }
    PFN_AlphaBlend alphaBlend = Msimg().alphaBlend;
    if (alphaBlend == nullptr) {
      BlendWithoutMsimg(hDC, dst, memDC, src, fade);
      return;
    }
    BLENDFUNCTION bf = {AC_SRC_OVER, 0, fade, AC_SRC_ALPHA};
    alphaBlend(hDC, dst.left, dst.top, dw, dh, memDC, src.left, src.top, sw, sh, bf);
  }
};

// The memory DC that images are selected into while drawn, one per thread: making a DC for every
// image drawn cost more than the drawing of a small image itself.
HDC ImageSourceDC() {
  struct Holder {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ~Holder() {
      if (dc != nullptr) ::DeleteDC(dc);
    }
  };
  thread_local Holder holder;
  return holder.dc;
}

bool Meets(const RECT& a, const RECT& b) {
  RECT tmp;
  return ::IntersectRect(&tmp, &a, &b) != FALSE;
}

// Draws the centre: stretched, or tiled along one or both axes at the source centre's size.
void DrawCentre(const PieceDrawer& draw, const RECT& dst, const RECT& src, bool tiledX, bool tiledY) {
  int tileW = src.right - src.left, tileH = src.bottom - src.top;
  if (tileW <= 0 || tileH <= 0 || dst.right <= dst.left || dst.bottom <= dst.top) return;
  if (!tiledX && !tiledY) {
    draw(dst, src);
    return;
  }
  int stepX = tiledX ? tileW : dst.right - dst.left;
  int stepY = tiledY ? tileH : dst.bottom - dst.top;
  for (int y = dst.top; y < dst.bottom; y += stepY) {
    int h = dst.bottom - y < stepY ? dst.bottom - y : stepY;
    for (int x = dst.left; x < dst.right; x += stepX) {
      int w = dst.right - x < stepX ? dst.right - x : stepX;
      RECT piece = {x, y, x + w, y + h};
      // A cut tile takes the same cut from the source; an untiled axis stretches the whole source.
      RECT from = {src.left, src.top, tiledX ? src.left + w : src.right, tiledY ? src.top + h : src.bottom};
      draw(piece, from);
    }
  }
}

}  // namespace

void CRenderEngine::DrawImage(HDC hDC, HBITMAP hBitmap, const RECT& rc, const RECT& rcPaint, const RECT& rcBmpPart,
                              const RECT& rcCorners, bool bAlpha, BYTE uFade, bool bHole, bool bTiledX, bool bTiledY) {
  if (hDC == nullptr || hBitmap == nullptr) return;
  HDC source = ImageSourceDC();
  if (source == nullptr) return;
  SelectGuard select(source, hBitmap);
  ::SetStretchBltMode(hDC, HALFTONE);
  const RECT& c = rcCorners;
  bool blend = bAlpha || uFade < 255;
  bool noCorners = c.left == 0 && c.top == 0 && c.right == 0 && c.bottom == 0;
  if (!blend && !bHole && noCorners && rc.right - rc.left == rcBmpPart.right - rcBmpPart.left &&
      rc.bottom - rc.top == rcBmpPart.bottom - rcBmpPart.top) {
    RECT part;
    if (::IntersectRect(&part, &rc, &rcPaint)) {
      ::BitBlt(hDC, part.left, part.top, part.right - part.left, part.bottom - part.top, source,
               rcBmpPart.left + part.left - rc.left, rcBmpPart.top + part.top - rc.top, SRCCOPY);
    }
    return;
  }
  PieceDrawer draw = {hDC, source, blend, uFade};
  const RECT& d = rc;
  const RECT& s = rcBmpPart;
  if (!bHole) {
    RECT dst = {d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom};
    RECT src = {s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom};
    if (Meets(dst, rcPaint)) DrawCentre(draw, dst, src, bTiledX, bTiledY);
  }
  struct Piece {
    bool wanted;
    RECT dst;
    RECT src;
  };
  const Piece pieces[] = {
      {c.left > 0 && c.top > 0,
       {d.left, d.top, d.left + c.left, d.top + c.top},
       {s.left, s.top, s.left + c.left, s.top + c.top}},
      {c.top > 0,
       {d.left + c.left, d.top, d.right - c.right, d.top + c.top},
       {s.left + c.left, s.top, s.right - c.right, s.top + c.top}},
      {c.right > 0 && c.top > 0,
       {d.right - c.right, d.top, d.right, d.top + c.top},
       {s.right - c.right, s.top, s.right, s.top + c.top}},
      {c.left > 0,
       {d.left, d.top + c.top, d.left + c.left, d.bottom - c.bottom},
       {s.left, s.top + c.top, s.left + c.left, s.bottom - c.bottom}},
      {c.right > 0,
       {d.right - c.right, d.top + c.top, d.right, d.bottom - c.bottom},
       {s.right - c.right, s.top + c.top, s.right, s.bottom - c.bottom}},
      {c.left > 0 && c.bottom > 0,
       {d.left, d.bottom - c.bottom, d.left + c.left, d.bottom},
       {s.left, s.bottom - c.bottom, s.left + c.left, s.bottom}},
      {c.bottom > 0,
       {d.left + c.left, d.bottom - c.bottom, d.right - c.right, d.bottom},
       {s.left + c.left, s.bottom - c.bottom, s.right - c.right, s.bottom}},
      {c.right > 0 && c.bottom > 0,
       {d.right - c.right, d.bottom - c.bottom, d.right, d.bottom},
       {s.right - c.right, s.bottom - c.bottom, s.right, s.bottom}},
  };
  for (const Piece& piece : pieces) {
    if (piece.wanted && Meets(piece.dst, rcPaint)) draw(piece.dst, piece.src);
  }
}

}  // namespace SkinUI
