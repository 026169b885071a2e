// Sliders built from skin markup in a real framework window, driven by posted mouse messages and
// checked by value, notifications and the thumb's pixels.
#include <gtest/gtest.h>

#include "list_support.h"
#include "ui/extra/slider/slider.h"

using namespace SkinUI;

namespace {

const DWORD kThumb = 0x20C040, kWhite = 0xFFFFFF, kBlueBar = 0x0000FF, kGreenBar = 0x00FF00;

// 210 wide with a 10-pixel thumb: a track of 200 for the values 0 to 100.
struct SliderWindow : skinui_test::ExtraWindow {
  SliderWindow()
      : ExtraWindow(
            ImageSkin(L"<Slider name=\"s\" width=\"210\" height=\"20\" thumbsize=\"10,10\" thumbimage=\"thumb.png\" "
                      L"sendmove=\"true\"/>")) {}
  explicit SliderWindow(const std::wstring& skin) : ExtraWindow(skin) {}
  CSliderUI* Slider() { return Get<CSliderUI>(L"s", L"Slider"); }
  POINT At(int dx) {
    RECT rc = Slider()->GetPos();
    return POINT{rc.left + dx, (rc.top + rc.bottom) / 2};
  }
  int Mouse(UINT msg, int dx, WPARAM keys = 0) {
    PostMessage(msg, keys, MAKELPARAM(At(dx).x, At(dx).y));
    Pump();
    return Slider()->GetValue();
  }
  // The thumb covers `in` pixels either side of the point and not `out`.
  bool ThumbAround(POINT at, int in, int out) {
    PaintNow();
    return Pixel(at.x - in, at.y) == kThumb && Pixel(at.x + in, at.y) == kThumb && Pixel(at.x - out, at.y) == kWhite &&
           Pixel(at.x + out, at.y) == kWhite;
  }
};

}  // namespace

TEST(Slider, PressDragReleaseWheelAndRightButtonRelease) {
  SliderWindow w;
  EXPECT_EQ(50, w.Mouse(WM_LBUTTONDOWN, 105, MK_LBUTTON)) << "the thumb's centre under the pointer";
  EXPECT_EQ(0, w.Count(L"valuechanged") + w.Count(L"movevaluechanged")) << "a press does not notify";
  EXPECT_EQ(25, w.Mouse(WM_MOUSEMOVE, 55, MK_LBUTTON));
  EXPECT_EQ(0, w.Mouse(WM_MOUSEMOVE, -15, MK_LBUTTON)) << "pinned at the start";
  EXPECT_EQ(100, w.Mouse(WM_MOUSEMOVE, 400, MK_LBUTTON)) << "pinned at the end";
  EXPECT_EQ(3, w.Count(L"movevaluechanged", L"s"));
  EXPECT_EQ(75, w.Mouse(WM_LBUTTONUP, 155));
  EXPECT_EQ(1, w.Count(L"valuechanged", L"s"));

  w.Wheel(w.At(105), false);
  EXPECT_EQ(76, w.Slider()->GetValue());
  w.Wheel(w.At(105), true);
  w.Wheel(w.At(105), true);
  EXPECT_EQ(74, w.Slider()->GetValue());
  EXPECT_EQ(4, w.Count(L"valuechanged", L"s")) << "each wheel step notifies";

  EXPECT_EQ(74, w.Mouse(WM_RBUTTONDOWN, 20, MK_RBUTTON)) << "the right button's press leaves the thumb";
  EXPECT_EQ(4, w.Count(L"valuechanged", L"s"));
  EXPECT_EQ(7, w.Mouse(WM_RBUTTONUP, 20)) << "its release moves the thumb as the left button's does";
  EXPECT_EQ(5, w.Count(L"valuechanged", L"s"));
}

TEST(Slider, ThumbIsDrawnUnderThePointerAtOneHundredAndOneHundredFiftyPercent) {
  SliderWindow w;
  w.Slider()->SetValue(50);
  EXPECT_TRUE(w.ThumbAround(w.At(105), 4, 7));

  w.GetPaintManager().GetDPIObject()->SetDPI(144);
  w.Find(L"root")->NeedUpdate();
  w.PaintNow();
  ASSERT_EQ(315, w.Slider()->GetWidth());
  // Off the thumb's middle, where a mapping with the unscaled thumb misses by a pixel or more.
  w.Mouse(WM_LBUTTONDOWN, 250, MK_LBUTTON);
  w.Mouse(WM_LBUTTONUP, 250);
  EXPECT_TRUE(w.ThumbAround(w.At(250), 6, 9)) << "15 pixels wide; value " << w.Slider()->GetValue();
}

// A range of two million over a 1,200-pixel track: value times track length passes 2^31.
TEST(Slider, LargeRangesOnLongTracksPlaceTheThumbAndTheBarsByTheValue) {
  std::wstring skin = skinui_test::ExtraWindow::ImageSkin(
      L"<Slider name=\"s\" width=\"1200\" height=\"20\" thumbsize=\"10,10\" thumbimage=\"thumb.png\" "
      L"forecolor=\"#FF0000FF\" min=\"0\" max=\"2000000\"/>"
      L"<Progress name=\"p\" width=\"1200\" height=\"20\" foreimage=\"still.png\" min=\"0\" max=\"2000000\" "
      L"value=\"1900000\"/>");
  skin.replace(skin.find(L"420,260"), 7, L"1260,200");
  SliderWindow w(skin);
  CSliderUI* slider = w.Slider();
  slider->SetValue(2000000);
  RECT track = slider->GetPos(), thumb = slider->GetThumbRect();
  EXPECT_EQ(track.right, thumb.right) << "the thumb at the end, not at " << thumb.left;
  slider->SetValue(1900000);
  w.PaintNow();
  RECT bar = w.Find(L"p")->GetPos();
  EXPECT_EQ(kBlueBar, w.PixelIn(track, 1100)) << "the fore colour reaches 95%";
  EXPECT_EQ(kGreenBar, w.PixelIn(bar, 1100)) << "the fore image reaches 95%";
  EXPECT_EQ(kWhite, w.PixelIn(bar, 1180));

  for (int dx : {1105, 600, 1190}) {
    w.Mouse(WM_LBUTTONDOWN, dx, MK_LBUTTON);
    w.Mouse(WM_LBUTTONUP, dx);
    thumb = slider->GetThumbRect();
    EXPECT_TRUE(thumb.left <= w.At(dx).x && w.At(dx).x < thumb.right)
        << dx << ": value " << slider->GetValue() << ", thumb at " << thumb.left;
  }
}
