#include "ui/core/paint/render/render_clip.h"

namespace SkinUI {

CRenderClip::CRenderClip() : rcItem{0, 0, 0, 0}, hDC(nullptr), hRgn(nullptr), hOldRgn(nullptr) {}

CRenderClip::~CRenderClip() {
  if (hDC != nullptr && hOldRgn != nullptr) ::SelectClipRgn(hDC, hOldRgn);
  if (hOldRgn != nullptr) ::DeleteObject(hOldRgn);
  if (hRgn != nullptr) ::DeleteObject(hRgn);
}

// Saves the current clip box and makes the clip's own region from the rectangle.
void CRenderClip::Begin(HDC dc, const RECT& rc, CRenderClip& clip) {
  RECT box = {0, 0, 0, 0};
  ::GetClipBox(dc, &box);
  if (clip.hOldRgn != nullptr) ::DeleteObject(clip.hOldRgn);
  if (clip.hRgn != nullptr) ::DeleteObject(clip.hRgn);
  clip.hOldRgn = ::CreateRectRgnIndirect(&box);
  clip.hRgn = ::CreateRectRgnIndirect(&rc);
  clip.rcItem = rc;
  clip.hDC = dc;
}

void CRenderClip::CreateRect(HDC hDC, const RECT& rc, CRenderClip& clip) {
  Begin(hDC, rc, clip);
  ::ExtSelectClipRgn(hDC, clip.hRgn, RGN_AND);
}

void CRenderClip::CreateRoundRect(HDC hDC, const RECT& rc, const RECT& rcRound, int width, int height,
                                  CRenderClip& clip) {
  Begin(hDC, rc, clip);
  HRGN round = ::CreateRoundRectRgn(rcRound.left, rcRound.top, rcRound.right + 1, rcRound.bottom + 1, width, height);
  ::CombineRgn(clip.hRgn, clip.hRgn, round, RGN_AND);
  ::DeleteObject(round);
  ::ExtSelectClipRgn(hDC, clip.hRgn, RGN_AND);
}

void CRenderClip::SelectSavedRegion() {
  if (hDC != nullptr) ::SelectClipRgn(hDC, hOldRgn);
}

void CRenderClip::SelectOwnRegion() {
  if (hDC != nullptr) ::SelectClipRgn(hDC, hRgn);
}

}  // namespace SkinUI
