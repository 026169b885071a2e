#pragma once
#include <windows.h>

namespace SkinUI {

// The palette's off-screen picture: the field in rows 1 to 200 (360 hues by 200 lightness steps),
// the bar from row 210 (200 saturation steps, at most 150 rows).
const int kPaletteWidth = 400;
const int kPaletteHeight = 360;
const int kFieldTop = 1;
const int kFieldWidth = 360;
const int kFieldHeight = 200;
const int kBarTop = 210;
const int kBarWidth = 200;
const int kBarMaxHeight = 150;

// The 0xRRGGBB colour of hue, saturation and lightness in 0..1, in single precision.
DWORD HslToRgb(float h, float s, float l);

}  // namespace SkinUI
