#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/core/paint/manager/layered_window_internal.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/paint/manager/shadow.h"

namespace SkinUI {

namespace {
struct Span {
  int start;
  int end;
};

// Each parent row's span inside the window region, with n empty rows above and below.
std::vector<Span> RowSpans(HWND hParent, int width, int height, int n) {
  std::vector<Span> spans(height + 2 * n, Span{width, 0});
  HRGN region = ::CreateRectRgn(0, 0, width, height);
  ::GetWindowRgn(hParent, region);
  for (int y = 0; y < height; ++y) {
    // A negative size (a shadow smaller than the window) leaves the outer rows out.
    if (y + n < 0 || y + n >= static_cast<int>(spans.size())) continue;
    int left = 0, right = width - 1;
    while (left < width && !::PtInRegion(region, left, y)) ++left;
    while (right >= left && !::PtInRegion(region, right, y)) --right;
    if (left <= right) spans[y + n] = Span{left + n, right + n + 1};
  }
  ::DeleteObject(region);
  return spans;
}
}  // namespace

void CShadowUI::MakeShadow(UINT32* bits, HWND hParent, const RECT& rcParent) {
  const int width = rcParent.right - rcParent.left, height = rcParent.bottom - rcParent.top;
  const int n = m_nSize, s = m_nSharpness, d = m_nDarkness;
  const int shadowW = width + 2 * n, shadowH = height + 2 * n;
  std::vector<Span> spans = RowSpans(hParent, width, height, n);
  for (int pass = 0; pass < s - n; ++pass) {
    std::vector<Span> eroded = spans;
    for (size_t y = 1; y + 1 < spans.size(); ++y) {
      eroded[y].start = 1 + std::max({spans[y - 1].start, spans[y].start, spans[y + 1].start});
      eroded[y].end = std::min({spans[y - 1].end, spans[y].end, spans[y + 1].end}) - 1;
    }
    spans.swap(eroded);
  }
  const int k = std::max(n, s);
  const int r = n > s ? n - s : 0;
  const int side = 2 * k + 1;
  std::vector<UINT32> kernel(static_cast<size_t>(side) * side, 0);
  for (int y = 0; y < side; ++y) {
    for (int x = 0; x < side; ++x) {
      double e = std::sqrt(double((x - k) * (x - k) + (y - k) * (y - k)));
      UINT32 alpha = 0;
      if (e < r)
        alpha = d;
      else if (e <= k)
        alpha = static_cast<UINT32>((1.0 - (e - r) / (s + 1)) * d);
      UINT32 c = static_cast<UINT32>(m_Color);
      UINT32 b0 = (c & 0xFF) * alpha / 255, b1 = ((c >> 8) & 0xFF) * alpha / 255, b2 = ((c >> 16) & 0xFF) * alpha / 255;
      kernel[y * side + x] = (alpha << 24) | (b2 << 16) | (b1 << 8) | b0;
    }
  }
  auto stamp = [&](int cx, int cy) {
    for (int y = 0; y < side; ++y) {
      int py = cy - k + y;
      if (py < 0 || py >= shadowH) continue;
      for (int x = 0; x < side; ++x) {
        int px = cx - k + x;
        if (px < 0 || px >= shadowW) continue;
        UINT32& pixel = bits[py * shadowW + px];
        if (kernel[y * side + x] > pixel) pixel = kernel[y * side + x];
      }
    }
  };
  const UINT32 solid = (static_cast<UINT32>(d) << 24) | (((m_Color & 0xFF) * d / 255) << 16) |
                       ((((m_Color >> 8) & 0xFF) * d / 255) << 8) | (((m_Color >> 16) & 0xFF) * d / 255);
  for (int row = std::max(k, 1); row < shadowH - k && row + 1 < static_cast<int>(spans.size()); ++row) {
    const Span& span = spans[row];
    if (span.start >= span.end) continue;
    int leftStop = std::min(span.end, 1 + std::max(spans[row - 1].start, spans[row + 1].start));
    int x = span.start;
    for (; x < leftStop; ++x) stamp(x, row);
    for (int rx = std::max(x, std::min(spans[row - 1].end, spans[row + 1].end) - 1); rx < span.end; ++rx) {
      stamp(rx, row);
    }
    for (int fx = leftStop; fx < span.end - 1; ++fx) {
      UINT32& pixel = bits[row * shadowW + fx];
      if (solid > pixel) pixel = solid;
    }
  }
  // A translucent parent must not show its own shadow through itself.
  for (int y = 0; y < height; ++y) {
    int sy = y + n - m_nyOffset;
    if (sy < 0 || sy >= shadowH) continue;
    for (int x = 0; x < width; ++x) {
      int sx = x + n - m_nxOffset;
      if (sx >= 0 && sx < shadowW) bits[sy * shadowW + sx] = 0;
    }
  }
}

void CShadowUI::Update(HWND hParent) {
  if (!m_bIsShowShadow || !(m_Status & 2) || m_hWnd == nullptr) return;
  if (m_bIsImageMode ? m_sShadowImage.IsEmpty() : m_nSize == 0) return;
  const int n = m_nSize;
  RECT rc;
  ::GetWindowRect(hParent, &rc);
  const int w = rc.right - rc.left + 2 * n, h = rc.bottom - rc.top + 2 * n;
  if (w <= 0 || h <= 0) return;
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = w;
  bmi.bmiHeader.biHeight = -h;  // top-down rows
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(nullptr, &bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC memDC = ::CreateCompatibleDC(nullptr);
  if (bitmap == nullptr || memDC == nullptr || bits == nullptr) {
    if (bitmap != nullptr) ::DeleteObject(bitmap);
    if (memDC != nullptr) ::DeleteDC(memDC);
    return;
  }
  ZeroMemory(bits, static_cast<size_t>(w) * h * 4);
  HGDIOBJ old = ::SelectObject(memDC, bitmap);
  int x = rc.left - n, y = rc.top - n;
  if (m_bIsImageMode) {
    RECT whole = {0, 0, w, h};
    ImageDrawInfo info;
    info.Parse(m_sShadowImage.GetData(), nullptr, m_pManager);
    const ImageInfo* image = m_pManager->GetImageEx(info.sImageName.GetData(), info.sResType.GetData(), info.dwMask);
    if (image != nullptr) {
      RECT source = {0, 0, image->nX, image->nY};
      CRenderEngine::DrawImageInfo(memDC, m_pManager, whole, whole, info.sImageName, info.sResType, whole, source,
                                   m_rcShadowCorner, info.dwMask, 255, true, false, false);
    }
  } else {
    MakeShadow(static_cast<UINT32*>(bits), hParent, rc);
    x += m_nxOffset;
    y += m_nyOffset;
  }
  POINT dest = {x, y}, origin = {0, 0};
  SIZE size = {w, h};
  BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
  ::MoveWindow(m_hWnd, x, y, w, h, FALSE);
  PFN_UpdateLayeredWindow update = LookUpUpdateLayeredWindow();
  if (update != nullptr) update(m_hWnd, nullptr, &dest, &size, memDC, &origin, 0, &blend, ULW_ALPHA);
  ::SelectObject(memDC, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memDC);
}

}  // namespace SkinUI
