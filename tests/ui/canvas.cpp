#include "canvas.h"

#include <cstdlib>

#include "ui/core/paint/render/render_engine.h"

namespace skinui_test {

Canvas::Canvas(int width, int height, DWORD background)
    : m_width(width), m_height(height), m_background(background), m_dc(CreateCompatibleDC(nullptr)) {
  LPDWORD bits = nullptr;
  m_bitmap = SkinUI::CRenderEngine::CreateDibSection32(m_dc, width, -height, &bits);
  m_bits = bits;
  m_old = SelectObject(m_dc, m_bitmap);
  Fill(background);
}

Canvas::~Canvas() {
  SelectObject(m_dc, m_old);
  DeleteObject(m_bitmap);
  DeleteDC(m_dc);
}

void Canvas::Fill(DWORD rgb) {
  GdiFlush();
  for (int i = 0; i < m_width * m_height; ++i) m_bits[i] = 0xFF000000 | rgb;
  m_background = rgb;
}

DWORD Canvas::At(int x, int y) const {
  GdiFlush();
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return 0xFFFFFFFF;
  return m_bits[y * m_width + x] & 0x00FFFFFF;
}

const DWORD* Canvas::Pixels() const {
  GdiFlush();
  return m_bits;
}

RECT Canvas::InkBox(const RECT& area) const {
  RECT box = {0, 0, 0, 0};
  for (int y = area.top; y < area.bottom; ++y) {
    for (int x = area.left; x < area.right; ++x) {
      DWORD px = At(x, y);
      if (px == m_background || px == 0xFFFFFFFF) continue;
      RECT dot = {x, y, x + 1, y + 1};
      UnionRect(&box, &box, &dot);
    }
  }
  return box;
}

bool Canvas::HasInk(const RECT& area) const {
  RECT box = InkBox(area);
  return !IsRectEmpty(&box);
}

bool Near(DWORD a, DWORD b, int tolerance) {
  for (int shift = 0; shift < 24; shift += 8) {
    int d = static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF);
    if (abs(d) > tolerance) return false;
  }
  return true;
}

}  // namespace skinui_test
