#pragma once
#include <windows.h>

namespace SkinUI {

// Scales sizes written for 96 dots per inch by a whole percentage.
class CDPIScaler {
 public:
  CDPIScaler();

  void SetDPI(int dpi);
  int GetDPI() const;
  int GetScale() const { return m_nScale; }

  int Scale(int value) const;
  void Scale(RECT* rect) const;
  void Scale(int l, int t, int r, int b, RECT* out) const;
  void Scale(SIZE* size) const;
  void Scale(int cx, int cy, SIZE* out) const;
  void Scale(POINT* point) const;
  void Scale(int x, int y, POINT* out) const;

  int ScaleBack(int value) const;
  void ScaleBack(RECT* rect) const;

 private:
  int m_nScale;
  int m_nScaleSecond;
  int m_nMode;
};

}  // namespace SkinUI
