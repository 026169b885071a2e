#include "app/float_icons.h"

#include <initializer_list>

#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"

void MoveFloatIcon(SkinUI::CControlUI* icon, int upper, int lower, unsigned char& movingUp) {
  RECT rc = icon->GetPos();
  if (movingUp == 0) {
    const int step = (lower - rc.top) < 3 ? 1 : 2;
    rc.top += step;
    rc.bottom += step;
    if (rc.top > lower) movingUp = 1;
  } else {
    const int step = (rc.top - upper) < 3 ? 1 : 2;
    rc.top -= step;
    rc.bottom -= step;
    if (rc.top < upper) movingUp = 0;
  }
  icon->SetPos(rc, true);
}

void FloatIcons::Find(SkinUI::CPaintManagerUI& pm) {
  static const wchar_t* const names[kCount] = {L"CtrlGame", L"CtrlWeGame", L"CtrlShopping", L"CtrlSteam"};
  for (int i = 0; i < kCount; ++i) icons_[i] = pm.FindControl(names[i]);
}

bool FloatIcons::AllPresent() const {
  for (SkinUI::CControlUI* icon : icons_) {
    if (icon == nullptr) return false;
  }
  return true;
}

void FloatIcons::SavePlaces() {
  if (!AllPresent()) return;
  for (int i = 0; i < kCount; ++i) saved_[i] = icons_[i]->GetPos();
}

void FloatIcons::Step() {
  if (!AllPresent()) return;
  for (int i : {kGame, kShopping, kWeGame, kSteam}) {
    MoveFloatIcon(icons_[i], saved_[i].top - 5, saved_[i].top + 5, movingUp_[i]);
  }
}
