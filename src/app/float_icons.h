// The four floating icons of the install and web-install windows: after a job they swing up
// and down around the place they had when it started.
#pragma once

#include <windows.h>

namespace SkinUI {
class CControlUI;
class CPaintManagerUI;
}  // namespace SkinUI

// One step of an icon's swing between upper (smaller y) and lower, slowing near the ends;
// the direction flag is 1 while moving up and turns at the bounds.
void MoveFloatIcon(SkinUI::CControlUI* icon, int upper, int lower, unsigned char& movingUp);

class FloatIcons {
 public:
  static constexpr UINT kTimerId = 1000;
  static constexpr UINT kTimerMs = 140;

  // Finds "CtrlGame", "CtrlWeGame", "CtrlShopping" and "CtrlSteam".
  void Find(SkinUI::CPaintManagerUI& pm);
  bool AllPresent() const;
  // Remembers each icon's place (only when all four exist).
  void SavePlaces();
  // One timer tick: CtrlGame, CtrlShopping, CtrlWeGame, CtrlSteam, each within ±5 of its place.
  void Step();

 private:
  enum { kGame, kWeGame, kShopping, kSteam, kCount };
  SkinUI::CControlUI* icons_[kCount] = {};
  unsigned char movingUp_[kCount] = {1, 0, 1, 0};
  RECT saved_[kCount] = {};
};
