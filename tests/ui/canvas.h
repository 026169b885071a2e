#pragma once
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>

namespace skinui_test {

// An offscreen 32-bit top-down bitmap with its own DC; pixels read back as 0xRRGGBB.
class Canvas {
 public:
  Canvas(int width, int height, DWORD background = 0xFFFFFF);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return m_dc; }
  void Fill(DWORD rgb);
  DWORD At(int x, int y) const;
  // Every pixel as stored (alpha included), row by row from the top.
  const DWORD* Pixels() const;
  // The smallest rectangle holding every pixel that differs from the background (empty: none).
  RECT InkBox(const RECT& area) const;
  RECT InkBox() const { return InkBox(RECT{0, 0, m_width, m_height}); }
  bool HasInk(const RECT& area) const;

 private:
  int m_width, m_height;
  DWORD m_background;
  HDC m_dc;
  HBITMAP m_bitmap;
  HGDIOBJ m_old;
  DWORD* m_bits;
};

// Whether two 0xRRGGBB colours differ by at most `tolerance` in each channel.
bool Near(DWORD a, DWORD b, int tolerance = 3);

struct Px {
  int x, y;
  DWORD rgb;
};

// The expected pixels that `at(x, y)` does not show, as text ("" when all match).
template <class At>
std::string Mismatches(At at, std::initializer_list<Px> expected, int tolerance = 0) {
  std::string out;
  for (const Px& p : expected) {
    DWORD got = at(p.x, p.y);
    if (Near(got, p.rgb, tolerance)) continue;
    char line[64];
    snprintf(line, sizeof(line), "(%d,%d) is %06lx not %06lx; ", p.x, p.y, got, p.rgb);
    out += line;
  }
  return out;
}

}  // namespace skinui_test
