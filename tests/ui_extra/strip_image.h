#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace skinui_test {

class DemoWindow;

// Writes a 24-bit BMP of frames side by side, frame i filled with colours[i] (0xRRGGBB), into a
// fresh temporary folder; answers the file's path, ready for an image attribute's file='...'.
std::wstring WriteStripImage(const std::wstring& tag, int frameWidth, int height, const std::vector<DWORD>& colours);

// How many pixels of the window's picture in `rc` have exactly the colour.
int CountColour(DemoWindow& window, const RECT& rc, DWORD rgb);

}  // namespace skinui_test
