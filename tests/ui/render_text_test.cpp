#include <gtest/gtest.h>

#include <string>

#include "canvas.h"
#include "test_support.h"
#include "test_window.h"
#include "ui/core/paint/render/render_engine.h"

using namespace SkinUI;
using namespace skinui_test;

// Text is checked by where ink lands and how big measured rectangles are, never by glyph pixels.

namespace {

const DWORD kBlackText = 0xFF000000;

struct TextScene {
  TestWindow window{200, 100};
  Canvas canvas{240, 120, 0xFFFFFF};
  CPaintManagerUI& m() { return window.manager(); }
  int line = m().GetDefaultFontInfo()->tm.tmHeight + m().GetDefaultFontInfo()->tm.tmExternalLeading;

  RECT Html(const std::wstring& text, RECT rc, UINT style, RECT* links = nullptr, CUIString* targets = nullptr,
            int* count = nullptr) {
    int none = 0;
    CRenderEngine::DrawHtmlText(canvas.dc(), &m(), rc, text.c_str(), kBlackText, links, targets,
                                count != nullptr ? *count : none, style);
    return rc;
  }
  SIZE Measure(const std::wstring& text, UINT style = DT_SINGLELINE, int width = 9999) {
    RECT rc = Html(text, RECT{0, 0, width, 100}, style | DT_CALCRECT);
    return SIZE{rc.right, rc.bottom};
  }
  RECT Plain(const wchar_t* text, RECT rc, UINT style, int font = -1, DWORD color = kBlackText) {
    CRenderEngine::DrawText(canvas.dc(), &m(), rc, text, color, font, style);
    return rc;
  }
  bool HasColour(const RECT& area, DWORD rgb) {
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (Near(canvas.At(x, y), rgb, 40)) return true;
    return false;
  }
};

}  // namespace

TEST(RenderText, PlainTextAlignsMeasuresAndDrawsCharacterReferences) {
  TextScene s;
  s.Plain(L"Hello", RECT{0, 0, 200, 40}, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
  RECT ink = s.canvas.InkBox();
  EXPECT_NEAR(200, ink.left + ink.right, 6);
  EXPECT_NEAR(40, ink.top + ink.bottom, 8);
  s.canvas.Fill(0xFFFFFF);
  s.Plain(L"Hello", RECT{0, 0, 200, 40}, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, -1, 0xFFFF0000);
  ink = s.canvas.InkBox();
  EXPECT_TRUE(ink.right > 190 && ink.right <= 200 && ink.bottom >= 30) << ink.right << " " << ink.bottom;
  EXPECT_TRUE(s.HasColour(ink, 0xFF0000));
  EXPECT_NEAR(ink.right - ink.left, s.Plain(L"Hello", RECT{0, 0, 200, 40}, DT_SINGLELINE | DT_CALCRECT).right, 4);
  // "&#x57;" draws the one character U+0057.
  EXPECT_EQ(s.Plain(L"W", RECT{0, 0, 200, 40}, DT_SINGLELINE | DT_CALCRECT).right,
            s.Plain(L"x&#x57; ", RECT{0, 0, 200, 40}, DT_SINGLELINE | DT_CALCRECT).right);

  // The GDI+ road draws and measures with a face it knows; one it cannot open still draws, by GDI.
  ASSERT_NE(nullptr, s.m().AddFont(1, L"Tahoma", 14, false, false, false));
  s.m().SetUseGdiplusText(true);
  s.canvas.Fill(0xFFFFFF);
  s.Plain(L"Hello", RECT{10, 10, 150, 40}, DT_SINGLELINE, 1);
  s.Plain(L"Hello", RECT{10, 50, 150, 80}, DT_SINGLELINE);
  EXPECT_TRUE(s.canvas.HasInk(RECT{10, 10, 150, 40}));
  EXPECT_TRUE(s.canvas.HasInk(RECT{10, 50, 150, 80}));
  EXPECT_FALSE(s.canvas.HasInk(RECT{150, 0, 240, 120}));
  int right = s.Plain(L"Hello", RECT{10, 10, 150, 40}, DT_SINGLELINE | DT_CALCRECT, 1).right;
  EXPECT_TRUE(right > 20 && right < 150) << right;
}

TEST(RenderText, HtmlTagsChangeFontColourAndLines) {
  TextScene s;
  int line = s.line;
  EXPECT_GT(s.Measure(L"{b}bold{/b}").cx, s.Measure(L"bold").cx);
  EXPECT_EQ(s.Measure(L"<b>bold</b>").cx, s.Measure(L"{b}bold{/b}").cx);
  EXPECT_EQ(line, s.Measure(L"one").cy);
  EXPECT_EQ(2 * line, s.Measure(L"one{n}two", 0).cy);
  EXPECT_EQ(2 * line, s.Measure(L"one\ntwo", 0).cy);
  EXPECT_EQ(line, s.Measure(L"one{n}two", DT_SINGLELINE).cy);
  EXPECT_EQ(3 * line + 5, s.Measure(L"one{p 5}two{n}three", 0).cy);
  EXPECT_EQ(40, s.Measure(L"a{y 40}b", 0).cy);
  EXPECT_EQ(s.Measure(L"ab").cx + 7, s.Measure(L"a{x 7}b").cx);
  // Raw text and escapes draw tag characters as text.
  EXPECT_EQ(s.Measure(L"{r}<b>x</b>{/r}").cx, s.Measure(L"{<}b{>}x{<}/b{>}").cx);
  EXPECT_GT(s.Measure(L"{r}<b>x</b>{/r}").cx, s.Measure(L"x").cx);

  s.Html(L"{c #FF0000}red{/c} {c #0000FF}blue{/c}<n>two", RECT{0, 0, 240, 100}, 0);
  int red = s.Measure(L"red ").cx;
  EXPECT_TRUE(s.HasColour(RECT{0, 0, red - 2, line}, 0xFF0000));
  EXPECT_FALSE(s.HasColour(RECT{0, 0, red - 2, line}, 0x0000FF));
  EXPECT_TRUE(s.HasColour(RECT{red, 0, 240, line}, 0x0000FF));
  EXPECT_TRUE(s.canvas.HasInk(RECT{0, line, 240, 2 * line}));
  EXPECT_FALSE(s.canvas.HasInk(RECT{0, 2 * line, 240, 120}));
}

TEST(RenderText, HtmlWrapsCutsCentresAndEllipsizes) {
  TextScene s;
  int line = s.line;
  int width = s.Measure(L"aaa bbb").cx + 3;
  EXPECT_EQ(2 * line, s.Measure(L"aaa bbb ccc ddd", DT_WORDBREAK, width).cy);
  s.Html(L"aaa bbb ccc ddd", RECT{0, 0, width, 100}, DT_WORDBREAK);
  EXPECT_LT(s.canvas.InkBox(RECT{0, line, 240, 2 * line}).left, 3);  // "ccc" starts the second line
  EXPECT_FALSE(s.canvas.HasInk(RECT{width, 0, 240, 120}));
  // Without word break a run is cut before the character that crosses the edge and goes on below;
  // a line holds at least one character however narrow the rectangle is.
  int fifteen = s.Measure(L"aaaaaaaaaaaaaaa").cx;
  SIZE cut = s.Measure(L"aaaaaaaaaaaaaaaaaaaa", 0, fifteen);
  EXPECT_EQ(2 * line, cut.cy);
  EXPECT_LE(cut.cx, fifteen);
  EXPECT_EQ(3 * line, s.Measure(L"abc", 0, 1).cy);

  // Centring works per line, whatever runs it holds; wrapped lines centre vertically as a block.
  s.canvas.Fill(0xFFFFFF);
  s.Html(L"{b}ab{/b}cd{c #FF0000}ef{/c}", RECT{0, 0, 200, 40}, DT_CENTER);
  RECT centred = s.canvas.InkBox();
  EXPECT_NEAR(200, centred.left + centred.right, 4);
  EXPECT_NEAR(s.Measure(L"{b}ab{/b}cdef").cx, centred.right - centred.left, 3);
  s.canvas.Fill(0xFFFFFF);
  s.Html(L"aaa bbb ccc ddd", RECT{0, 0, width, 100}, DT_WORDBREAK | DT_VCENTER);
  RECT block = s.canvas.InkBox();
  EXPECT_GE(block.top, (100 - 2 * line) / 2);
  EXPECT_LT(block.top, (100 - 2 * line) / 2 + line / 2 - 1);

  // The ellipsis fits the rectangle and ends the line in dots, which sit low in it.
  s.canvas.Fill(0xFFFFFF);
  EXPECT_LE(s.Measure(L"abcdefghijklmnopqrstuvwxyz", DT_SINGLELINE | DT_END_ELLIPSIS, 80).cx, 80);
  s.Html(L"abcdefghijklmnopqrstuvwxyz", RECT{0, 0, 80, 40}, DT_SINGLELINE | DT_END_ELLIPSIS);
  RECT ink = s.canvas.InkBox();
  EXPECT_LE(ink.right, 80);
  EXPECT_FALSE(s.canvas.HasInk(RECT{ink.right - 6, ink.top, ink.right, (ink.top + ink.bottom) / 2}));
  EXPECT_TRUE(s.canvas.HasInk(RECT{ink.right - 6, ink.top, ink.right, ink.bottom}));
}

TEST(RenderText, HtmlLinksRecordTheirRectanglesAndFollowTheHover) {
  TextScene s;
  s.m().SetDefaultLinkFontColor(0xFF0000FF);
  s.m().SetDefaultLinkHoverFontColor(0xFFFF0000);
  RECT links[4] = {};
  CUIString targets[4];
  int count = 4;
  RECT rc = s.Html(L"go {a http://x}here{/a} now", RECT{0, 0, 240, 40}, DT_SINGLELINE, links, targets, &count);
  ASSERT_EQ(1, count);
  EXPECT_STREQ(L"http://x", targets[0].GetData());
  EXPECT_EQ(s.Measure(L"go ").cx, links[0].left);
  EXPECT_NEAR(s.Measure(L"go here").cx, links[0].right, 1);
  EXPECT_EQ(0, links[0].top);
  EXPECT_EQ(s.line, links[0].bottom);
  EXPECT_TRUE(s.HasColour(links[0], 0x0000FF));
  EXPECT_FALSE(s.HasColour(links[0], 0xFF0000));
  EXPECT_FALSE(s.HasColour(RECT{links[0].right + 1, 0, 240, 40}, 0x0000FF));
  // With the pointer over the link it draws in the hover colour.
  LRESULT lRes = 0;
  s.m().MessageHandler(WM_MOUSEMOVE, 0, MAKELPARAM((links[0].left + links[0].right) / 2, 5), lRes);
  s.Html(L"go {a http://x}here{/a} now", rc, DT_SINGLELINE, links, targets, &count);
  EXPECT_TRUE(s.HasColour(links[0], 0xFF0000));

  // A link broken over two lines has one rectangle per line; slots beyond the count are cleared.
  int width = s.Measure(L"xx aaaa").cx + 2;
  count = 4;
  s.Html(L"xx {a t}aaaa bbbb{/a}", RECT{0, 0, width, 100}, DT_WORDBREAK, links, targets, &count);
  ASSERT_EQ(2, count);
  EXPECT_EQ(s.Measure(L"xx ").cx, links[0].left);
  EXPECT_EQ(0, links[1].left);
  EXPECT_EQ(links[0].bottom, links[1].top);
  EXPECT_TRUE(IsRectEmpty(&links[2]));
  count = 1;
  s.Html(L"{a one}1{/a} {a two}2{/a}", RECT{0, 0, 240, 40}, DT_SINGLELINE | DT_CALCRECT, links, targets, &count);
  EXPECT_EQ(1, count);
  EXPECT_STREQ(L"one", targets[0].GetData());
}

TEST(RenderText, HtmlImagesDrawTheirPartAndWrap) {
  TextScene s;
  std::wstring strip = FixturePath(L"images/strip.png");  // 8x2: red, green, blue, yellow parts
  auto rowOf = [&](int x, DWORD rgb) {
    for (int y = 0; y < 40; ++y)
      if (s.canvas.At(x, y) == rgb) return y;
    return -1;
  };
  s.Html(L"{i " + strip + L" 4 2}", RECT{0, 0, 100, 40}, 0);
  int row = rowOf(0, 0x0000FF);
  ASSERT_GE(row, 0);
  EXPECT_EQ(0x0000FFu, s.canvas.At(1, row));
  EXPECT_EQ(0xFFFFFFu, s.canvas.At(2, row));
  EXPECT_EQ(2, s.Measure(L"{i " + strip + L" 4 2}").cx);
  EXPECT_EQ(8, s.Measure(L"{i file='" + strip + L"' 1 5}").cx);  // an index out of range draws part 0
  // An image that does not fit the rest of a line moves to the next one.
  s.canvas.Fill(0xFFFFFF);
  int width = s.Measure(L"xxxx").cx + 3;
  s.Html(L"xxxx{i " + strip + L"}", RECT{0, 0, width, 100}, 0);
  EXPECT_GE(rowOf(0, 0xFF0000), s.line);
  EXPECT_EQ(-1, rowOf(width - 2, 0xFF0000));
}

TEST(RenderText, HtmlFontsGetIdsOfTheirOwnAndStayAlive) {
  TextScene s;
  CPaintManagerUI& m = s.m();
  ASSERT_NE(nullptr, m.AddFont(30000, L"Tahoma", 30, false, false, false));
  FontInfo* fallback = m.GetDefaultFontInfo();
  const std::wstring text = L"{b}b{/b}{u}u{/u}{f Tahoma 20 italic}i{/f}{b}{u}x{/u}{/b}{f 30000}big{/f}";
  s.Html(text, RECT{0, 0, 240, 100}, 0);
  // The skin's own font under 30000 stays; each new variant got an id of its own and is alive.
  EXPECT_EQ(30, m.GetFontInfo(30000)->iSize);
  int made = 0;
  for (int id = 30001; m.GetFontInfo(id) != fallback; ++id, ++made) {
    LOGFONTW lf = {};
    EXPECT_NE(0, GetObjectW(m.GetFontInfo(id)->hFont, sizeof(lf), &lf)) << id;
  }
  EXPECT_EQ(4, made);
  EXPECT_NE(nullptr, m.GetFont(L"Tahoma", 20, false, false, true));
  s.Html(text, RECT{0, 0, 240, 100}, 0);  // drawing again reuses them
  EXPECT_EQ(fallback, m.GetFontInfo(30001 + made));
  EXPECT_GT(s.Measure(L"{f 30000}big{/f}").cy, s.line);
}

// Text is measured on the window's own DC for the window's whole life: it must keep no clip
// region, and a clip being drawn under comes back as it was, not as its box.
TEST(RenderText, HtmlTextGivesTheDcItsClipBack) {
  TextScene s;
  HDC dc = s.canvas.dc();
  HRGN probe = ::CreateRectRgn(0, 0, 0, 0);
  s.Measure(L"{b}measured{/b}");
  EXPECT_EQ(0, ::GetClipRgn(dc, probe)) << "measuring left a clip region";
  s.Html(L"drawn", RECT{0, 0, 100, 40}, 0);
  EXPECT_EQ(0, ::GetClipRgn(dc, probe)) << "drawing left a clip region";
  HRGN round = ::CreateRoundRectRgn(0, 0, 120, 80, 40, 40);
  ::SelectClipRgn(dc, round);
  s.Html(L"drawn", RECT{10, 10, 100, 40}, 0);
  ASSERT_EQ(1, ::GetClipRgn(dc, probe));
  EXPECT_TRUE(::EqualRgn(probe, round)) << "the round clip came back as another region";
  ::SelectClipRgn(dc, nullptr);
  ::DeleteObject(round);
  ::DeleteObject(probe);
}
