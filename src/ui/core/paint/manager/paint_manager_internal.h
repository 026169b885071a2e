#pragma once
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

// Values shared by every paint manager of the process.
struct PaintManagerGlobals {
  ResourceInfo shared;
  CUIPtrArray liveManagers;
  CUIPtrArray managers;  // every manager in existence, attached to a window or not
  bool commonControlsReady = false;
  HMODULE msimg32 = nullptr;
  short hue = 180;
  short saturation = 100;
  short luminance = 100;

  PaintManagerGlobals();
};

PaintManagerGlobals& UIGlobals();

// The key-state map of control events: Ctrl 8, right button 1, left button 2, Shift 4, Alt 32.
inline WORD UIMapKeyState() {
  WORD state = 0;
  if (::GetKeyState(VK_CONTROL) < 0) state |= MK_UI_CONTROL;
  if (::GetKeyState(VK_RBUTTON) < 0) state |= MK_UI_RBUTTON;
  if (::GetKeyState(VK_LBUTTON) < 0) state |= MK_UI_LBUTTON;
  if (::GetKeyState(VK_SHIFT) < 0) state |= MK_UI_SHIFT;
  if (::GetKeyState(VK_MENU) < 0) state |= MK_UI_ALT;
  return state;
}

}  // namespace SkinUI
