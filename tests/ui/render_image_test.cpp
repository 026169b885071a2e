#include <gtest/gtest.h>
#include <objidl.h>
#include <gdiplus.h>

#include <string>

#include "canvas.h"
#include "test_support.h"
#include "test_window.h"
#include "ui/core/paint/render/render_engine.h"

using namespace SkinUI;
using namespace skinui_test;

// The images (make_images.py): grid.png 12x12 of 4-pixel blocks red green blue / yellow magenta
// cyan / white gray orange; quad.png 4x4 of 2-pixel blocks red blue / green yellow; halfred.png
// red at alpha 128; keyed.png magenta | green; halves.png 2x1 red | blue.

namespace {

const DWORD kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00, kMagenta = 0xFF00FF,
            kCyan = 0x00FFFF, kWhite = 0xFFFFFF, kGray = 0x808080, kOrange = 0xFF8000, kBlack = 0;

std::wstring Path(const wchar_t* name) { return FixturePath(std::wstring(L"images/") + name); }
std::wstring Image(const wchar_t* name, const wchar_t* rest = L"") { return L"file='" + Path(name) + L"' " + rest; }

// Draws image strings into an offscreen canvas with a real window's manager.
struct ImageScene {
  TestWindow window{120, 120};
  Canvas canvas;
  explicit ImageScene(DWORD background = kBlack) : canvas(60, 60, background) {}
  bool Draw(const std::wstring& text, RECT item, const RECT* paint = nullptr) {
    return CRenderEngine::DrawImageString(canvas.dc(), &window.manager(), item, paint ? *paint : item, text.c_str());
  }
  std::string Check(std::initializer_list<Px> expected, int tolerance = 0) {
    return Mismatches([this](int x, int y) { return canvas.At(x, y); }, expected, tolerance);
  }
};

}  // namespace

TEST(RenderImage, NineGridKeepsCornersStretchesEdgesAndLeavesHoles) {
  ImageScene s;
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"corner='4,4,4,4'"), RECT{0, 0, 60, 60}));
  EXPECT_EQ("", s.Check({{0, 0, kRed},
                         {3, 3, kRed},
                         {4, 0, kGreen},
                         {55, 3, kGreen},
                         {59, 0, kBlue},
                         {0, 30, kYellow},
                         {30, 30, kMagenta},
                         {59, 30, kCyan},
                         {0, 59, kWhite},
                         {30, 59, kGray},
                         {59, 59, kOrange}}));
  s.canvas.Fill(kBlack);
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"corner='4,4,4,4' hole='TRUE'"), RECT{0, 0, 60, 60}));
  EXPECT_EQ("", s.Check({{30, 30, kBlack}, {4, 4, kBlack}, {30, 2, kGreen}, {58, 58, kOrange}}));
  // A hole without corners leaves nothing, even where one copy of the image would do.
  s.canvas.Fill(kBlack);
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"hole='true'"), RECT{0, 0, 12, 12}));
  EXPECT_EQ("", s.Check({{1, 1, kBlack}}));
  // Pieces that miss the paint rectangle are skipped; a piece that meets it is drawn whole.
  RECT paint = {0, 0, 30, 30};
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"corner='4,4,4,4'"), RECT{0, 0, 60, 60}, &paint));
  EXPECT_EQ("", s.Check({{50, 2, kGreen}, {58, 2, kBlack}, {2, 58, kBlack}, {50, 50, kMagenta}}));
}

TEST(RenderImage, TilesTheCentreAlongEitherOrBothAxesAndEndsOnEmptyTiles) {
  ImageScene s;
  ASSERT_TRUE(s.Draw(Image(L"quad.png", L"xtiled='true'"), RECT{0, 0, 14, 8}));
  // Columns repeat every 4 pixels, the last tile cut to two; rows stretch.
  EXPECT_EQ("",
            s.Check({{5, 1, kRed}, {6, 1, kBlue}, {5, 6, kGreen}, {10, 7, kYellow}, {13, 1, kRed}, {14, 1, kBlack}}));
  s.canvas.Fill(kBlack);
  ASSERT_TRUE(s.Draw(Image(L"quad.png", L"ytiled='true'"), RECT{0, 0, 8, 12}));
  EXPECT_EQ("", s.Check({{1, 5, kRed}, {6, 6, kYellow}, {1, 11, kGreen}}));
  s.canvas.Fill(kBlack);
  ASSERT_TRUE(s.Draw(Image(L"quad.png", L"xtiled='true' ytiled='true'"), RECT{0, 0, 10, 10}));
  EXPECT_EQ("", s.Check({{9, 9, kRed}, {6, 6, kYellow}, {2, 8, kBlue}, {10, 10, kBlack}}));
  // A centre without pixels or a zero-wide source ends at once instead of tiling forever.
  s.canvas.Fill(kBlack);
  EXPECT_TRUE(s.Draw(Image(L"quad.png", L"corner='2,2,2,2' xtiled='true' ytiled='true'"), RECT{0, 0, 20, 20}));
  EXPECT_TRUE(s.Draw(Image(L"quad.png", L"source='1,0,1,4' xtiled='true'"), RECT{0, 0, 20, 20}));
  EXPECT_TRUE(s.Draw(Image(L"quad.png", L"corner='0,2,0,2' ytiled='true'"), RECT{20, 20, 40, 40}));
  EXPECT_EQ("", s.Check({{0, 0, kRed}, {10, 10, kBlack}, {30, 30, kBlack}}));
}

TEST(RenderImage, SourceAndDestinationRectanglesPickAndPlace) {
  ImageScene s;
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"source='4,0,8,4'"), RECT{0, 0, 20, 20}));
  EXPECT_EQ("", s.Check({{0, 0, kGreen}, {19, 19, kGreen}}));
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"dest='30,30,42,42'"), RECT{20, 20, 60, 60}));
  EXPECT_EQ("", s.Check({{49, 49, kBlack}, {50, 50, kRed}, {59, 59, kOrange}}));
  // A destination wider than the control is cut to it: red | blue squeezed into 5 pixels.
  s.canvas.Fill(kBlack);
  ASSERT_TRUE(s.Draw(Image(L"halves.png", L"dest='0,0,10,10'"), RECT{0, 0, 5, 10}));
  EXPECT_EQ("", s.Check({{0, 5, kRed}, {4, 5, kBlue}, {5, 5, kBlack}}));
  // A source beyond the image is limited to it; a bare file name draws the whole image.
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"source='0,0,100,100'"), RECT{0, 20, 24, 44}));
  ASSERT_TRUE(s.Draw(Path(L"grid.png"), RECT{30, 0, 54, 24}));
  EXPECT_EQ("", s.Check({{23, 43, kOrange}, {30, 0, kRed}, {42, 12, kMagenta}}));
  // A missing image answers false; a destination outside the paint area draws nothing, true.
  EXPECT_FALSE(s.Draw(Image(L"missing.png"), RECT{0, 0, 10, 10}));
  s.canvas.Fill(kBlack);
  RECT paint = {40, 40, 60, 60};
  EXPECT_TRUE(s.Draw(Image(L"grid.png"), RECT{0, 0, 20, 20}, &paint));
  EXPECT_EQ("", s.Check({{5, 5, kBlack}}));
}

TEST(RenderImage, BlendsPremultipliedAlphaFadesAndKeysColours) {
  ImageScene s(kBlue);
  ASSERT_TRUE(s.Draw(Image(L"halfred.png"), RECT{0, 0, 10, 10}));
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"source='0,0,4,4' fade='128'"), RECT{10, 0, 20, 10}));
  ASSERT_TRUE(s.Draw(Image(L"grid.png", L"source='0,0,4,4' fade='0'"), RECT{20, 0, 30, 10}));
  EXPECT_EQ("", s.Check({{5, 5, 0x80007F}, {15, 5, 0x80007F}, {25, 5, kBlue}}, 3));
  ASSERT_TRUE(s.Draw(Image(L"keyed.png", L"mask='#FFFF00FF'"), RECT{0, 20, 4, 24}));
  s.window.manager().RemoveImage(Path(L"keyed.png").c_str());
  ASSERT_TRUE(s.Draw(Image(L"keyed.png"), RECT{10, 20, 14, 24}));
  EXPECT_EQ("", s.Check({{0, 21, kBlue}, {3, 21, kGreen}, {10, 21, kMagenta}}));
}

TEST(RenderImage, LoadsPremultipliedPixelsAndParsesImageStrings) {
  ImageInfo* half = CRenderEngine::LoadImage(Path(L"halfred.png").c_str());
  ASSERT_NE(nullptr, half);
  EXPECT_TRUE(half->bAlpha);
  BITMAP bm = {};
  ASSERT_NE(0, GetObjectW(half->hBitmap, sizeof(bm), &bm));
  EXPECT_EQ(0x80800000u, *static_cast<const DWORD*>(bm.bmBits));  // red 255 at alpha 128
  CRenderEngine::FreeImage(half);
  ImageInfo* grid = CRenderEngine::LoadImageByName(Path(L"grid.png").c_str());
  ASSERT_NE(nullptr, grid);
  EXPECT_FALSE(grid->bAlpha);
  CRenderEngine::FreeImage(grid);
  Gdiplus::GpImage* gp = CRenderEngine::GdiplusLoadImage(Path(L"quad.png").c_str());
  ASSERT_NE(nullptr, gp);
  UINT width = 0;
  Gdiplus::DllExports::GdipGetImageWidth(gp, &width);
  EXPECT_EQ(4u, width);
  Gdiplus::DllExports::GdipDisposeImage(gp);
  EXPECT_EQ(nullptr, CRenderEngine::GdiplusLoadImage(Path(L"missing.png").c_str()));

  ImageDrawInfo info;
  info.Parse(L"btn.png", nullptr, nullptr);
  EXPECT_STREQ(L"btn.png", info.sImageName.GetData());
  info.Parse(L" file = 'a.png'  dest='1,2,3,4' fade='300' hole='TRUE' xtiled='true' mask='#FF00FF00' restype='PNG'",
             L"dest='5,6' ytiled='yes' file=''", nullptr);
  EXPECT_STREQ(L"a.png", info.sImageName.GetData());
  EXPECT_STREQ(L"PNG", info.sResType.GetData());
  EXPECT_EQ(44, info.uFade);  // 300 kept in 8 bits
  EXPECT_TRUE(info.bHole && info.bTiledX && !info.bTiledY);
  EXPECT_EQ(0xFF00FF00u, info.dwMask);
  RECT dest = {5, 6, 0, 0};  // the modify string comes last; a short list reads the rest as 0
  EXPECT_TRUE(EqualRect(&info.rcDest, &dest));
  info.Clear();
  info.Parse(L"file='a.png", nullptr, nullptr);  // an unclosed value ends the parse
  EXPECT_STREQ(L"file='a.png", info.sImageName.GetData());
  EXPECT_EQ(255, info.uFade);

  TestWindow window(50, 50);
  CPaintManagerUI& m = window.manager();
  const ImageDrawInfo* cached = m.GetDrawInfo(L"file='x.png'", L"dest='0,0,1,1'");
  EXPECT_EQ(cached, m.GetDrawInfo(L"file='x.png'", L"dest='0,0,1,1'"));
  EXPECT_NE(cached, m.GetDrawInfo(L"file='x.png'", nullptr));
  EXPECT_EQ(nullptr, m.GetDrawInfo(L"", L""));
  m.GetDPIObject()->SetDPI(144);
  const ImageDrawInfo* scaled = m.GetDrawInfo(L"file='a.b.png' corner='2,2,2,2' source='0,0,10,10'", nullptr);
  EXPECT_STREQ(L"a@150.b@150.png", scaled->sImageName.GetData());
  EXPECT_EQ(3, scaled->rcCorner.left);
  EXPECT_EQ(15, scaled->rcSource.right);
}

TEST(RenderImage, AdjustsColoursByHueSaturationAndLightness) {
  EXPECT_EQ(0xFFFF0000u, CRenderEngine::AdjustColor(0xFFFF0000, 180, 100, 100));
  EXPECT_EQ(0x8000FF00u, CRenderEngine::AdjustColor(0x80FF0000, 300, 100, 100));  // hue +120: red to green
  EXPECT_EQ(0xFF800000u, CRenderEngine::AdjustColor(0xFFFF0000, 180, 100, 50));
  EXPECT_EQ(0xFF808080u, CRenderEngine::AdjustColor(0xFFFF0000, 180, 0, 100));
  ImageScene s;
  auto* image = const_cast<ImageInfo*>(s.window.manager().AddImage(Path(L"grid.png").c_str(), nullptr, 0, true));
  ASSERT_NE(nullptr, image);
  CRenderEngine::AdjustImage(true, image, 300, 100, 100);
  ASSERT_TRUE(s.Draw(Path(L"grid.png"), RECT{0, 0, 12, 12}));
  EXPECT_EQ("", s.Check({{1, 1, kGreen}, {5, 1, kBlue}}));
  CRenderEngine::AdjustImage(false, image, 300, 100, 100);
  ASSERT_TRUE(s.Draw(Path(L"grid.png"), RECT{0, 0, 12, 12}));
  EXPECT_EQ("", s.Check({{1, 1, kRed}}));
}
