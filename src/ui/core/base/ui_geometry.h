#pragma once
#include <windows.h>

namespace SkinUI {

// Rectangle with the platform RECT layout, so it passes to platform calls as is.
class CUIRect : public RECT {
 public:
  CUIRect();
  CUIRect(const RECT& src);
  CUIRect(int l, int t, int r, int b);

  int GetWidth() const { return right - left; }
  int GetHeight() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
  void Deflate(int dx, int dy);
  void Offset(int dx, int dy);
  void MoveToOrigin();
  void Join(const RECT& other);
};

class CUISize : public SIZE {
 public:
  CUISize();
  CUISize(const SIZE& src);
  CUISize(int x, int y);
};

class CUIPoint : public POINT {
 public:
  CUIPoint();
  CUIPoint(const POINT& src);
  CUIPoint(int px, int py);
};

}  // namespace SkinUI
