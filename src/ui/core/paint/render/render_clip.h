#pragma once
#include <windows.h>

namespace SkinUI {

// A clip that a control pushes while it paints; the previous clip comes back when it goes.
class CRenderClip {
 public:
  CRenderClip();
  ~CRenderClip();
  CRenderClip(const CRenderClip&) = delete;
  CRenderClip& operator=(const CRenderClip&) = delete;

  static void CreateRect(HDC hDC, const RECT& rc, CRenderClip& clip);
  static void CreateRoundRect(HDC hDC, const RECT& rc, const RECT& rcRound, int width, int height, CRenderClip& clip);
  // Paints outside the clip for a while (the region from before), and back inside it.
  void SelectSavedRegion();
  void SelectOwnRegion();

  RECT rcItem;
  HDC hDC;
  HRGN hRgn;
  HRGN hOldRgn;

 private:
  static void Begin(HDC hDC, const RECT& rc, CRenderClip& clip);
};

}  // namespace SkinUI
