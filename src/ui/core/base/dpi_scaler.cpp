#include "ui/core/base/dpi_scaler.h"

namespace SkinUI {

CDPIScaler::CDPIScaler() : m_nScale(0), m_nScaleSecond(0), m_nMode(2) { SetDPI(96); }

void CDPIScaler::SetDPI(int dpi) {
  m_nScale = MulDiv(dpi, 100, 96);
  if (m_nScaleSecond == 0) m_nScaleSecond = m_nScale;
}

int CDPIScaler::GetDPI() const { return MulDiv(m_nScale, 96, 100); }

int CDPIScaler::Scale(int value) const { return MulDiv(value, m_nScale, 100); }

// Width and height are scaled on their own so a rectangle's size does not depend on its place.
void CDPIScaler::Scale(int l, int t, int r, int b, RECT* out) const {
  int width = Scale(r - l);
  int height = Scale(b - t);
  out->left = Scale(l);
  out->top = Scale(t);
  out->right = out->left + width;
  out->bottom = out->top + height;
}

void CDPIScaler::Scale(RECT* rect) const { Scale(rect->left, rect->top, rect->right, rect->bottom, rect); }

void CDPIScaler::Scale(int cx, int cy, SIZE* out) const {
  out->cx = Scale(cx);
  out->cy = Scale(cy);
}

void CDPIScaler::Scale(SIZE* size) const { Scale(size->cx, size->cy, size); }

void CDPIScaler::Scale(int x, int y, POINT* out) const {
  out->x = Scale(x);
  out->y = Scale(y);
}

void CDPIScaler::Scale(POINT* point) const { Scale(point->x, point->y, point); }

int CDPIScaler::ScaleBack(int value) const { return MulDiv(value, 100, m_nScale); }

void CDPIScaler::ScaleBack(RECT* rect) const {
  int width = ScaleBack(rect->right - rect->left);
  int height = ScaleBack(rect->bottom - rect->top);
  rect->left = ScaleBack(rect->left);
  rect->top = ScaleBack(rect->top);
  rect->right = rect->left + width;
  rect->bottom = rect->top + height;
}

}  // namespace SkinUI
