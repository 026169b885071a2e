#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "ui/core/base/gdiplus_handles.h"

#include "canvas.h"
#include "test_support.h"
#include "test_window.h"
#include "ui/core/paint/render/render_clip.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/paint/render/render_msimg_internal.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

std::string Check(const Canvas& c, std::initializer_list<Px> expected, int tolerance = 0) {
  return Mismatches([&c](int x, int y) { return c.At(x, y); }, expected, tolerance);
}

// What GDI+ itself draws for a solid fill and for a frame with an inset pen.
void GdiplusFill(HDC dc, const RECT& rc, DWORD color) {
  GdipGraphics graphics;
  GdipSolidBrush brush;
  ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreateFromHDC(dc, graphics.out()));
  ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreateSolidFill(color, brush.out()));
  gdip::GdipFillRectangleI(graphics.get(), brush.get(), rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void GdiplusFrame(HDC dc, const RECT& rc, int size, DWORD color) {
  GdipGraphics graphics;
  GdipPen pen;
  ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreateFromHDC(dc, graphics.out()));
  ASSERT_EQ(Gdiplus::Ok, gdip::GdipCreatePen1(color, static_cast<Gdiplus::REAL>(size), Gdiplus::UnitPixel, pen.out()));
  Gdiplus::REAL inset = (size - 1) / 2.0f;
  gdip::GdipDrawRectangle(graphics.get(), pen.get(), rc.left + inset, rc.top + inset,
                          rc.right - rc.left - 1 - 2 * inset, rc.bottom - rc.top - 1 - 2 * inset);
}

}  // namespace

// Fills and frames in opaque colours land in a 32-bit bitmap exactly as GDI+ puts them, alpha
// included, inside a round clip and for frames as wide as half their rectangle; translucent
// colours and frames too small for their pen too.
TEST(RenderPrimitives, FillsAndFramesDrawWhatGdiplusDraws) {
  TestWindow window(50, 50);
  Canvas ours(120, 80, 0x336699), theirs(120, 80, 0x336699);
  for (Canvas* c : {&ours, &theirs}) {
    HRGN round = CreateRoundRectRgn(4, 4, 110, 76, 12, 12);
    SelectClipRgn(c->dc(), round);
    DeleteObject(round);
  }
  const RECT fills[] = {{0, 0, 120, 80}, {10, 10, 50, 30}, {-5, 60, 30, 90}, {60, 10, 60, 30}};
  const DWORD colors[] = {0xFFF4F4F4, 0xFF000000, 0xFFB0B0B0, 0x80FF0000};
  for (int i = 0; i < 4; ++i) {
    CRenderEngine::DrawColor(ours.dc(), fills[i], colors[i]);
    GdiplusFill(theirs.dc(), fills[i], colors[i]);
  }
  const RECT frames[] = {{2, 2, 118, 78}, {20, 40, 26, 46}, {30, 40, 60, 70}, {70, 40, 71, 41}, {80, 40, 110, 70}};
  const int sizes[] = {1, 3, 2, 1, 1};
  for (int i = 0; i < 5; ++i) {
    CRenderEngine::DrawRect(ours.dc(), frames[i], sizes[i], colors[i % 4]);
    GdiplusFrame(theirs.dc(), frames[i], sizes[i], colors[i % 4]);
  }
  EXPECT_EQ(0, memcmp(ours.Pixels(), theirs.Pixels(), 120 * 80 * sizeof(DWORD)));
}

TEST(RenderPrimitives, FillsAndGradientsHonourAlpha) {
  TestWindow window(50, 50);  // GDI+ runs while a manager lives
  Canvas c(100, 100, 0xFFFFFF);
  CRenderEngine::DrawColor(c.dc(), RECT{0, 0, 10, 10}, 0x00FF0000);
  CRenderEngine::DrawColor(c.dc(), RECT{10, 0, 20, 10}, 0xFFFF0000);
  CRenderEngine::DrawColor(c.dc(), RECT{20, 0, 30, 10}, 0x80FF0000);
  EXPECT_EQ("", Check(c, {{5, 5, 0xFFFFFF}, {15, 5, 0xFF0000}, {30, 5, 0xFFFFFF}, {25, 5, 0xFF7F7F}}, 2));
  CRenderEngine::DrawGradient(c.dc(), RECT{0, 20, 10, 84}, 0xFFFF0000, 0xFF0000FF, true, 64);
  CRenderEngine::DrawGradient(c.dc(), RECT{20, 20, 84, 30}, 0xFF00FF00, 0xFF000000, false, 64);
  EXPECT_EQ("", Check(c, {{5, 20, 0xFF0000}, {5, 83, 0x0000FF}, {20, 25, 0x00FF00}, {83, 25, 0}}, 8));
  EXPECT_EQ("", Check(c, {{5, 52, 0x800080}}, 12));
  // Translucent: blended over what is there with the mean alpha; fully transparent: nothing.
  CRenderEngine::DrawGradient(c.dc(), RECT{20, 40, 40, 60}, 0x80FF0000, 0x80FF0000, true, 8);
  CRenderEngine::DrawGradient(c.dc(), RECT{40, 40, 60, 60}, 0x00FF0000, 0x00FF0000, true, 8);
  EXPECT_EQ("", Check(c, {{30, 50, 0xFF7F7F}, {50, 50, 0xFFFFFF}}, 4));
  DWORD black = 0xFF000000, red = 0x80FF0000;
  CRenderEngine::NudgeBlackColor(black);
  CRenderEngine::NudgeBlackColor(red);
  EXPECT_EQ(0xFF000001u, black);
  EXPECT_EQ(0x80FF0000u, red);
}

TEST(RenderPrimitives, WithoutMsimgGradientsUseBandsAndImagesStillBlend) {
  TestWindow window(50, 50);
  Canvas c(60, 80, 0x0000FF);
  MsimgFunctions saved = Msimg();
  Msimg() = MsimgFunctions{nullptr, nullptr};
  CRenderEngine::DrawGradient(c.dc(), RECT{0, 0, 10, 80}, 0xFFFF0000, 0xFF0000FF, true, 10);
  std::wstring image = L"file='" + FixturePath(L"images/halfred.png") + L"'";
  bool drawn =
      CRenderEngine::DrawImageString(c.dc(), &window.manager(), RECT{20, 0, 28, 8}, RECT{0, 0, 60, 80}, image.c_str());
  Msimg() = saved;
  std::set<DWORD> bands;
  for (int y = 0; y < 80; ++y) bands.insert(c.At(5, y));
  EXPECT_EQ(8u, bands.size());  // steps 10 make 8 bands
  // The bottom band has the second colour, the top 7/8 of the first; the premultiplied half-red
  // image blends over blue as AlphaBlend would.
  ASSERT_TRUE(drawn);
  EXPECT_EQ("", Check(c, {{5, 79, 0x0000FF}, {5, 0, 0xDF001F}, {24, 4, 0x80007F}, {40, 4, 0x0000FF}}, 3));
}

TEST(RenderPrimitives, LinesFramesAndClips) {
  TestWindow window(50, 50);
  Canvas c(100, 100, 0xFFFFFF);
  CRenderEngine::DrawRect(c.dc(), RECT{10, 10, 30, 30}, 2, 0xFF000000);  // inside the rectangle
  CRenderEngine::DrawRoundRect(c.dc(), RECT{40, 10, 80, 50}, 1, 20, 20, 0xFFFF0000);
  CRenderEngine::DrawLine(c.dc(), RECT{0, 60, 100, 60}, 1, 0xFF00FF00);
  EXPECT_EQ("", Check(c, {{10, 10, 0},
                          {11, 20, 0},
                          {12, 20, 0xFFFFFF},
                          {28, 20, 0},
                          {29, 20, 0},
                          {27, 20, 0xFFFFFF},
                          {30, 20, 0xFFFFFF},
                          {20, 29, 0},
                          {40, 10, 0xFFFFFF},
                          {60, 10, 0xFF0000},
                          {40, 30, 0xFF0000},
                          {60, 30, 0xFFFFFF},
                          {50, 60, 0x00FF00},
                          {50, 61, 0xFFFFFF}}));

  // A rectangle clip confines painting until released; its saved region paints outside it.
  Canvas d(60, 60, 0xFFFFFF);
  {
    CRenderClip clip;
    CRenderClip::CreateRect(d.dc(), RECT{10, 10, 20, 20}, clip);
    CRenderEngine::DrawColor(d.dc(), RECT{0, 0, 60, 60}, 0xFF0000FF);
    clip.SelectSavedRegion();
    CRenderEngine::DrawColor(d.dc(), RECT{25, 10, 30, 20}, 0xFF00FF00);
    clip.SelectOwnRegion();
    CRenderEngine::DrawColor(d.dc(), RECT{30, 10, 40, 20}, 0xFF00FF00);
  }
  CRenderEngine::DrawColor(d.dc(), RECT{40, 40, 50, 50}, 0xFF000000);
  EXPECT_EQ("", Check(d, {{15, 15, 0x0000FF}, {25, 5, 0xFFFFFF}, {27, 15, 0x00FF00}, {35, 15, 0xFFFFFF}, {45, 45, 0}}));
  d.Fill(0xFFFFFF);
  {
    CRenderClip clip;
    CRenderClip::CreateRoundRect(d.dc(), RECT{0, 0, 60, 60}, RECT{0, 0, 40, 40}, 20, 20, clip);
    CRenderEngine::DrawColor(d.dc(), RECT{0, 0, 60, 60}, 0xFF0000FF);
  }
  EXPECT_EQ("", Check(d, {{0, 0, 0xFFFFFF}, {20, 20, 0x0000FF}, {20, 0, 0x0000FF}, {50, 50, 0xFFFFFF}}));
}
