#pragma once
#include <windows.h>

namespace SkinUI {

typedef BOOL(WINAPI* PFN_AlphaBlend)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
typedef BOOL(WINAPI* PFN_GradientFill)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

// AlphaBlend and GradientFill from "msimg32.dll", looked up once per process. Either may be
// null; the render engine then draws with its own fallback.
struct MsimgFunctions {
  PFN_AlphaBlend alphaBlend;
  PFN_GradientFill gradientFill;
};

MsimgFunctions& Msimg();

}  // namespace SkinUI
