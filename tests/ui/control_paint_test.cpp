#include <gtest/gtest.h>

#include <string>

#include "canvas.h"
#include "test_support.h"
#include "test_window.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/paint/render/render_engine.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

// A window whose root is a white container holding float controls placed by "pos".
struct PaintScene {
  static const int kWidth = 240, kHeight = 110;
  TestWindow window{kWidth, kHeight};
  CContainerUI* root = new CContainerUI();
  PaintScene() { root->SetBkColor(0xFFFFFFFF); }
  CControlUI* Add(const wchar_t* pos, std::initializer_list<std::pair<const wchar_t*, std::wstring>> attributes) {
    CControlUI* control = new CControlUI();
    control->SetAttribute(L"float", L"true");
    control->SetAttribute(L"pos", pos);
    for (const auto& a : attributes) control->SetAttribute(a.first, a.second.c_str());
    root->Add(control);
    return control;
  }
  void Paint() {
    if (window.manager().GetRoot() != root) window.Attach(root);
    window.manager().Invalidate();
    window.PaintNow();
  }
  std::string Check(std::initializer_list<Px> expected, int tolerance = 0) {
    LPDWORD bits = window.manager().GetOffscreenBits();
    auto at = [bits](int x, int y) { return bits[(kHeight - 1 - y) * kWidth + x] & 0x00FFFFFF; };
    return Mismatches(at, expected, tolerance);
  }
};

}  // namespace

TEST(ControlPaint, BackgroundColoursGradientsBordersImagesAndRoundCorners) {
  PaintScene s;
  std::wstring grid = L"file='" + FixturePath(L"images/grid.png") + L"'";
  s.Add(L"0,0,20,20", {{L"bkcolor", L" #FFFF0000"}});
  s.Add(L"20,0,40,64", {{L"bkcolor", L"#FF0000FF"}, {L"bkcolor2", L"#FFFF0000"}});
  s.Add(L"40,0,104,20", {{L"bkcolor", L"#FF0000FF"}, {L"bkcolor2", L"#FFFF0000"}, {L"gradient", L"HOR"}});
  s.Add(L"110,0,130,64", {{L"bkcolor", L"#FF0000FF"}, {L"bkcolor2", L"#FFFF0000"}, {L"bkcolor3", L"#FF00FF00"}});
  s.Add(L"140,0,160,20", {{L"bkcolor", L"#80000000"}});
  s.Add(L"160,0,180,20", {{L"bkcolor", L"#FFFF0000"}, {L"forecolor", L"#800000FF"}});
  s.Add(L"0,70,24,94",
        {{L"bkimage", grid + L" corner='4,4,4,4'"}, {L"foreimage", grid + L" source='8,8,12,12' dest='8,8,16,16'"}});
  s.Add(L"40,70,60,90", {{L"bordercolor", L"#FF000000"}, {L"bordersize", L"2"}});
  s.Add(L"70,70,90,90", {{L"bordercolor", L"#FF000000"}, {L"bordersize", L"2"}, {L"bordersize", L"0,1,0,1"}});
  CControlUI* round = s.Add(
      L"100,66,140,106",
      {{L"bkcolor", L"#FFFF0000"}, {L"borderround", L"16,16"}, {L"bordercolor", L"#FF00FF00"}, {L"bordersize", L"1"}});
  CControlUI* focus = s.Add(
      L"150,70,170,90", {{L"bordercolor", L"#FF000000"}, {L"focusbordercolor", L"#FF0000FF"}, {L"bordersize", L"1"}});
  s.Paint();
  // Solid, vertical, horizontal and three-colour fills; translucent fill and fore colour.
  EXPECT_EQ("", s.Check({{10, 10, 0xFF0000}, {10, 25, 0xFFFFFF}, {150, 10, 0x7F7F7F}, {170, 10, 0x7F0080}}, 4));
  EXPECT_EQ("", s.Check({{30, 0, 0x0000FF}, {30, 63, 0xFF0000}, {40, 10, 0x0000FF}, {103, 10, 0xFF0000}}, 12));
  EXPECT_EQ("", s.Check({{120, 0, 0x0000FF}, {120, 31, 0xFF0000}, {120, 63, 0x00FF00}}, 40));
  // Background image, fore image in its box; border of 2, per-side lines only, round clip and frame.
  EXPECT_EQ("", s.Check({{1, 71, 0xFF0000},
                         {6, 76, 0xFF00FF},
                         {10, 80, 0xFF8000},
                         {15, 85, 0xFF8000},
                         {17, 87, 0xFF00FF},
                         {40, 80, 0},
                         {41, 80, 0},
                         {42, 80, 0xFFFFFF},
                         {59, 80, 0},
                         {50, 89, 0},
                         {70, 80, 0xFFFFFF},
                         {80, 70, 0},
                         {80, 89, 0},
                         {80, 80, 0xFFFFFF},
                         {100, 66, 0xFFFFFF},
                         {120, 86, 0xFF0000},
                         {120, 66, 0x00FF00},
                         {150, 80, 0}}));
  focus->SetFocus();
  s.Paint();
  EXPECT_TRUE(focus->IsFocused());
  EXPECT_EQ("", s.Check({{150, 80, 0x0000FF}}));

  HBITMAP copy = CRenderEngine::PaintControlToBitmap(&s.window.manager(), round, round->GetPos());
  ASSERT_NE(nullptr, copy);
  BITMAP bm = {};
  GetObjectW(copy, sizeof(bm), &bm);
  EXPECT_EQ(40, bm.bmWidth);
  EXPECT_EQ(0xFF0000u, static_cast<const DWORD*>(bm.bmBits)[(40 - 1 - 20) * 40 + 20] & 0xFFFFFF);
  DeleteObject(copy);
}

TEST(ControlPaint, ColourAttributesAndNumberListsReadSafely) {
  CControlUI c;
  c.SetAttribute(L"bkcolor", L"  #FF112233");
  EXPECT_EQ(0xFF112233u, c.GetBkColor());
  c.SetAttribute(L"bordercolor", L" #FF112233");
  EXPECT_EQ(0u, c.GetBorderColor());
  c.SetAttribute(L"focusbordercolor", L"FF00FF00zz");
  EXPECT_EQ(0xFF00FF00u, c.GetFocusBorderColor());
  c.SetAttribute(L"bordersize", L"2");
  c.SetAttribute(L"bordersize", L"0,1,0,1");
  EXPECT_EQ(2, c.GetBorderSize());
  EXPECT_EQ(1, c.GetBorderRectSize().bottom);
  c.SetAttribute(L"leftbordersize", L"3");
  EXPECT_EQ(3, c.GetBorderRectSize().left);
  c.SetAttribute(L"borderround", L"3");
  EXPECT_EQ(3, c.GetBorderRound().cx);
  EXPECT_EQ(0, c.GetBorderRound().cy);
  c.SetAttribute(L"pos", L"1,2");
  EXPECT_EQ(1, c.GetFixedXY().cx);
  EXPECT_EQ(0, c.GetFixedHeight());
  c.SetAttribute(L"borderstyle", L"2");
  EXPECT_EQ(2, c.GetBorderStyle());
  c.SetAttribute(L"colorhsl", L"True");
  EXPECT_TRUE(c.IsColorHSL());
  EXPECT_EQ(0xFF123456u, c.AdjustColor(0xFF123456));  // no manager: unchanged
  c.SetAttribute(L"gradient", L"hor");
  EXPECT_STREQ(L"hor", c.GetGradient().GetData());
  c.SetAttribute(L"bkimage", L"a.png");
  c.SetAttribute(L"foreimage", L"b.png");
  EXPECT_STREQ(L"a.png", c.GetBkImage().GetData());
  EXPECT_STREQ(L"b.png", c.GetForeImage().GetData());
  EXPECT_EQ(nullptr, c.GetCustomAttribute(L"bkimage"));
}

TEST(ControlPaint, StylesThatNameThemselvesApplyOnce) {
  CPaintManagerUI m;
  m.AddStyle(L"loop", L"width=\"10\" bkcolor=\"loop\"");
  m.AddStyle(L"ping", L"height=\"5\" text=\"pong\"");
  m.AddStyle(L"pong", L"width=\"7\" name=\"ping\" userdata=\"u\"");
  m.AddStyle(L"self", L"self");
  CControlUI c;
  c.SetManager(&m, nullptr, false);
  c.SetAttribute(L"anything", L"loop");
  EXPECT_EQ(10, c.GetFixedWidth());
  EXPECT_EQ(0u, c.GetBkColor());
  c.SetAttribute(L"anything", L"ping");
  EXPECT_EQ(5, c.GetFixedHeight());
  EXPECT_EQ(7, c.GetFixedWidth());
  EXPECT_STREQ(L"u", c.GetUserData().GetData());
  EXPECT_TRUE(c.GetName().IsEmpty());
  c.ApplyAttributeList(L"self");
  c.ApplyAttributeList(L"pong");
  c.SetAttribute(L"innerstyle", L"maxwidth=\"loop\" minheight=\"3\"");
  EXPECT_EQ(3, c.GetMinHeight());
  // The guard is per application: the same style applies again later.
  c.SetFixedWidth(1);
  c.SetAttribute(L"x", L"loop");
  EXPECT_EQ(10, c.GetFixedWidth());
  c.SetManager(nullptr, nullptr, false);
}
