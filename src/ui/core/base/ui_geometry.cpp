#include "ui/core/base/ui_geometry.h"

namespace SkinUI {

CUIRect::CUIRect() { left = top = right = bottom = 0; }

CUIRect::CUIRect(const RECT& src) {
  left = src.left;
  top = src.top;
  right = src.right;
  bottom = src.bottom;
}

CUIRect::CUIRect(int l, int t, int r, int b) {
  left = l;
  top = t;
  right = r;
  bottom = b;
}

void CUIRect::Deflate(int dx, int dy) { ::InflateRect(this, -dx, -dy); }

void CUIRect::Offset(int dx, int dy) { ::OffsetRect(this, dx, dy); }

void CUIRect::MoveToOrigin() { ::OffsetRect(this, -left, -top); }

void CUIRect::Join(const RECT& other) {
  if (other.left < left) left = other.left;
  if (other.top < top) top = other.top;
  if (other.right > right) right = other.right;
  if (other.bottom > bottom) bottom = other.bottom;
}

CUISize::CUISize() { cx = cy = 0; }
CUISize::CUISize(const SIZE& src) {
  cx = src.cx;
  cy = src.cy;
}
CUISize::CUISize(int x, int y) {
  cx = x;
  cy = y;
}

CUIPoint::CUIPoint() { x = y = 0; }
CUIPoint::CUIPoint(const POINT& src) {
  x = src.x;
  y = src.y;
}
CUIPoint::CUIPoint(int px, int py) {
  x = px;
  y = py;
}

}  // namespace SkinUI
