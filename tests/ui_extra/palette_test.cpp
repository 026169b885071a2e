// The colour palette built from skin markup in a real framework window: clicks at known points of
// its field and bar report their colours, and its off-screen picture goes with it.
#include <gtest/gtest.h>

#include "canvas.h"
#include "list_support.h"
#include "ui/extra/palette/color_palette.h"

using namespace SkinUI;
using skinui_test::Near;

namespace {

// A field of 360 hues by 200 lightness steps, one pixel each, over a 10-pixel bar.
struct PaletteWindow : skinui_test::ExtraWindow {
  PaletteWindow()
      : ExtraWindow(ImageSkin(L"<ColorPalette name=\"p\" width=\"360\" height=\"220\" palletheight=\"200\" "
                              L"barheight=\"10\"/>")) {}
  CColorPaletteUI* Palette() { return Get<CColorPaletteUI>(L"p", L"ColorPalette"); }
  POINT At(int dx, int dy) { return POINT{Palette()->GetPos().left + dx, Palette()->GetPos().top + dy}; }
  // The colour that a click at (dx, dy) reports.
  DWORD ClickColor(int dx, int dy) {
    Click(At(dx, dy), At(dx, dy));
    return notes.back().type == L"colorchanged" ? static_cast<DWORD>(notes.back().wParam) : 0;
  }
  DWORD PixelAt(int dx, int dy) {
    PaintNow();
    return Pixel(At(dx, dy).x, At(dx, dy).y);
  }
};

}  // namespace

TEST(ColorPalette, ClicksReportTheColoursUnderThem) {
  PaletteWindow w;
  EXPECT_EQ(0xFFFF0000u, w.ClickColor(0, 100)) << "hue 0 at half lightness";
  EXPECT_TRUE(Near(0xFF0000, w.PixelAt(0, 100), 4));
  EXPECT_TRUE(Near(0xFF0000, w.PixelAt(358, 215), 8)) << "the bar's saturated end";
  EXPECT_EQ(0xFF00FF00u, w.ClickColor(120, 100));
  EXPECT_EQ(0xFFFFFFFFu, w.ClickColor(200, 0)) << "full lightness";
  EXPECT_EQ(0xFFFF0000u, w.ClickColor(0, 100));
  EXPECT_EQ(0xFF7F7F7Fu, w.ClickColor(0, 215)) << "the bar's unsaturated end";
  EXPECT_TRUE(Near(0x7F7F7F, w.PixelAt(0, 100), 4)) << "the field without saturation";
  EXPECT_EQ(0xFF7F7F7Fu, w.ClickColor(100, 205)) << "between field and bar: unchanged";
  EXPECT_EQ(6, w.Count(L"colorchanged", L"p"));
}

TEST(ColorPalette, MoreCreateAndDestroyCyclesThanTheProcessHoldsGdiObjects) {
  PaletteWindow w;
  CControlUI parent;
  // About 65,480 GDI objects per process: one left behind per palette makes the last ones fail.
  for (int i = 0; i < 66000; ++i) {
    auto* palette = new CColorPaletteUI;
    palette->SetManager(&w.GetPaintManager(), &parent, true);
    delete palette;
  }
  w.Palette()->DoInit();  // a new off-screen picture
  w.Palette()->SetPos(w.Palette()->GetPos());
  EXPECT_TRUE(Near(0xFF0000, w.PixelAt(0, 100), 4)) << "it could still be made";
}
