// The fade button, the text with links and the group box, in real windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "canvas.h"
#include "demo_window.h"
#include "periphery_support.h"
#include "test_support.h"
#include "test_window.h"
#include "ui/core/layouts/animation_tab_layout.h"
#include "ui/core/builder/control_factory.h"
#include "ui/core/builder/dialog_builder.h"
#include "ui/core/controls/fade_button.h"
#include "ui/core/controls/group_box.h"
#include "ui/core/controls/text.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

const DWORD kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00, kWhite = 0xFFFFFF;

// halves.png is 2x1: red | blue (make_images.py).
std::wstring HalfImage(int index) {
  return L"file='" + FixturePath(L"images/halves.png") + L"' source='" + std::to_wstring(index) + L",0," +
         std::to_wstring(index + 1) + L",1'";
}

void SendTimer(CControlUI* control, int id) {
  EventRecordUI event = {};
  event.Type = UIEVENT_TIMER;
  event.pSender = control;
  event.wParam = static_cast<WPARAM>(id);
  control->Event(event);
}

int Red(DWORD rgb) { return static_cast<int>((rgb >> 16) & 0xFF); }
int Blue(DWORD rgb) { return static_cast<int>(rgb & 0xFF); }

struct FadeScene {
  TestWindow window{200, 100};
  CFadeButtonUI* button = new CFadeButtonUI;
  Canvas canvas{60, 40, 0x000000};
  FadeScene() {
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFF000000);
    button->SetFixedWidth(60);
    button->SetFixedHeight(40);
    button->SetAttribute(L"normalimage", HalfImage(0).c_str());
    button->SetAttribute(L"hotimage", HalfImage(1).c_str());
    root->Add(button);
    window.Attach(root);
    window.PaintNow();
  }
  // The button painted alone on black, at its centre.
  DWORD Paint() {
    canvas.Fill(0x000000);
    RECT all = {0, 0, 60, 40};
    button->DoPaint(canvas.dc(), all);
    return canvas.At(30, 20);
  }
  void MouseTo(int x, int y) {
    window.Post(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    window.Pump();
  }
  // Ticks the running fade by hand, painting after each tick: the colour of every frame.
  std::vector<DWORD> RunFade(int id) {
    std::vector<DWORD> colors;
    for (int guard = 0; guard < 40 && button->IsAnimationRunning(id); ++guard) {
      SendTimer(button, id);
      colors.push_back(Paint());
    }
    return colors;
  }
};

}  // namespace

TEST(FadeButton, CrossFadesToTheHotImageAndBackThroughMixedFrames) {
  FadeScene s;
  EXPECT_EQ(kRed, s.Paint());
  EXPECT_STREQ(L"FadeButtonUI", s.button->GetClass());
  EXPECT_NE(nullptr, s.button->GetInterface(L"FadeButton"));
  EXPECT_EQ(nullptr, s.button->GetInterface(L"fadebutton"));  // compared case-sensitively
  EXPECT_NE(nullptr, s.button->GetInterface(L"button"));

  s.MouseTo(30, 20);
  ASSERT_TRUE(s.button->IsAnimationRunning(CFadeButtonUI::kFadeInId));
  EXPECT_EQ(kRed, s.Paint());  // the first paint after entering still shows the normal image
  std::vector<DWORD> in = s.RunFade(CFadeButtonUI::kFadeInId);
  ASSERT_GE(in.size(), 20u);
  EXPECT_EQ(kBlue, in.back());
  int mixed = 0;
  // Frame 0 fades at 10 rather than 0; from frame 1 on the fade only grows.
  for (size_t i = 2; i < in.size(); ++i) {
    EXPECT_LE(Red(in[i]), Red(in[i - 1])) << i;
    EXPECT_GE(Blue(in[i]), Blue(in[i - 1])) << i;
  }
  for (size_t i = 3; i <= 24 && i < in.size(); ++i) {
    // Neither end image: both colours show.
    EXPECT_TRUE(Red(in[i]) > 8 && Red(in[i]) < 247 && Blue(in[i]) > 8 && Blue(in[i]) < 247) << i;
    ++mixed;
  }
  EXPECT_GE(mixed, 15);
  EXPECT_EQ(kBlue, s.Paint());  // the hot image stays once the fade is over

  // Leaving fades back; entering again half-way reverses from the start of the fade-in.
  s.MouseTo(150, 80);
  ASSERT_TRUE(s.button->IsAnimationRunning(CFadeButtonUI::kFadeOutId));
  EXPECT_EQ(kBlue, s.Paint());
  for (int i = 0; i < 10; ++i) SendTimer(s.button, CFadeButtonUI::kFadeOutId);
  DWORD halfOut = s.Paint();
  EXPECT_GT(Red(halfOut), 8);
  EXPECT_GT(Blue(halfOut), 8);
  s.MouseTo(30, 20);
  EXPECT_FALSE(s.button->IsAnimationRunning(CFadeButtonUI::kFadeOutId));
  ASSERT_TRUE(s.button->IsAnimationRunning(CFadeButtonUI::kFadeInId));
  EXPECT_EQ(0, s.button->GetCurrentFrame(CFadeButtonUI::kFadeInId));
  s.RunFade(CFadeButtonUI::kFadeInId);
  EXPECT_EQ(kBlue, s.Paint());
}

TEST(FadeButton, RunsOnRealTimersAndShowsDisabledAndPushedImagesWithoutFading) {
  FadeScene s;
  s.MouseTo(30, 20);
  ASSERT_TRUE(s.window.PumpUntil([&] { return !s.button->IsAnimationRunning(CFadeButtonUI::kFadeInId); }));
  s.window.PaintNow();
  EXPECT_EQ(kBlue, OffscreenPixel(s.window.manager(), 30, 20));
  EXPECT_FALSE(s.window.manager().KillTimer(s.button, CFadeButtonUI::kFadeInId));

  s.button->SetAttribute(L"disabledimage",
                         (L"file='" + FixturePath(L"images/quad.png") + L"' source='0,2,1,3'").c_str());
  s.button->SetEnabled(false);
  s.MouseTo(150, 80);
  ASSERT_TRUE(s.button->IsAnimationRunning(CFadeButtonUI::kFadeOutId));
  for (int i = 0; i < 12; ++i) SendTimer(s.button, CFadeButtonUI::kFadeOutId);
  EXPECT_EQ(kGreen, s.Paint());

  s.button->SetEnabled(true);
  s.button->SetAttribute(L"pushedimage", (L"file='" + FixturePath(L"images/quad.png") + L"' source='0,2,1,3'").c_str());
  s.window.Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 20));
  s.window.Pump();
  EXPECT_EQ(kGreen, s.Paint());
  s.window.Post(WM_LBUTTONUP, 0, MAKELPARAM(30, 20));
  s.window.Pump();
}

namespace {

struct TextScene {
  TestWindow window{300, 120};
  CTextUI* text = new CTextUI;
  NotifyLog notes;
  explicit TextScene(const wchar_t* content) {
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    text->SetName(L"TextLinks");
    text->SetShowHtml(true);
    text->SetText(content);
    root->Add(text);
    window.Attach(root);
    window.manager().AddNotifier(&notes);
    window.PaintNow();
  }
  ~TextScene() { window.manager().RemoveNotifier(&notes); }
  static POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }
  void Press(POINT at) {
    window.Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    window.Pump();
  }
  void Release(POINT at) {
    window.Post(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    window.Pump();
  }
  void Click(POINT at) {
    Press(at);
    Release(at);
  }
  std::vector<WPARAM> Links() const {
    std::vector<WPARAM> links;
    for (const auto& note : notes.notes) {
      if (note.type == L"link") links.push_back(note.wParam);
    }
    return links;
  }
};

}  // namespace

TEST(Text, ClicksOnLinksSendTheirIndexAndNothingElseDoes) {
  TextScene s(L"Read {a first}the terms{/a} or {a second}the privacy note{/a} first.");
  ASSERT_EQ(2, s.text->GetLinkCount());
  EXPECT_STREQ(L"second", s.text->GetLinkText(1).GetData());
  EXPECT_EQ(UINT(UIFLAG_SETCURSOR), s.text->GetControlFlags());
  const RECT first = s.text->GetLinkRect(0), second = s.text->GetLinkRect(1);
  ASSERT_GT(first.right - first.left, 4);
  ASSERT_GT(second.right - second.left, 4);

  s.Press(TextScene::Centre(second));
  EXPECT_TRUE(s.Links().empty());  // nothing until the release
  s.Release(TextScene::Centre(second));
  s.Click(TextScene::Centre(first));
  s.Click(POINT{first.left - 2, TextScene::Centre(first).y});  // beside the link
  EXPECT_EQ((std::vector<WPARAM>{1, 0}), s.Links());
  for (const auto& note : s.notes.notes) {
    if (note.type == L"link") {
      EXPECT_EQ(L"TextLinks", note.sender);
    }
  }

  // Hovering marks the link under the mouse; the hand cursor shows over links only.
  s.window.Post(WM_MOUSEMOVE, 0, MAKELPARAM(TextScene::Centre(second).x, TextScene::Centre(second).y));
  s.window.Pump();
  EXPECT_EQ(1, s.text->GetHoveredLink());
  EventRecordUI cursor = {};
  cursor.Type = UIEVENT_SETCURSOR;
  cursor.pSender = s.text;
  cursor.ptMouse = TextScene::Centre(second);
  s.text->Event(cursor);
  EXPECT_EQ(LoadCursorW(nullptr, MAKEINTRESOURCEW(32649)), GetCursor());
  s.window.Post(WM_MOUSEMOVE, 0, MAKELPARAM(first.left - 2, TextScene::Centre(first).y));
  s.window.Pump();
  EXPECT_EQ(-1, s.text->GetHoveredLink());
}

TEST(Text, PlainTextLeavesNoLinksToClickAndTenLinksReportEight) {
  TextScene s(L"{a a}one{/a} {a b}two{/a}");
  const RECT second = s.text->GetLinkRect(1);
  s.text->SetShowHtml(false);
  // Before any paint and after one, the former link places are plain text.
  EXPECT_EQ(0u, s.text->GetControlFlags());
  s.Click(TextScene::Centre(second));
  s.window.PaintNow();
  EXPECT_EQ(0, s.text->GetLinkCount());
  s.Click(TextScene::Centre(second));
  EXPECT_TRUE(s.Links().empty());
  s.text->SetShowHtml(true);
  s.window.PaintNow();
  s.Click(TextScene::Centre(s.text->GetLinkRect(1)));
  EXPECT_EQ((std::vector<WPARAM>{1}), s.Links());

  std::wstring ten;
  for (int i = 0; i < 10; ++i) ten += L"{a " + std::to_wstring(i) + L"}L" + std::to_wstring(i) + L"{/a} ";
  s.text->SetText(ten.c_str());
  s.window.PaintNow();
  EXPECT_EQ(CTextUI::kMaxLinks, s.text->GetLinkCount());
  EXPECT_STREQ(L"7", s.text->GetLinkText(7).GetData());
  s.Click(TextScene::Centre(s.text->GetLinkRect(7)));
  EXPECT_EQ(7u, s.Links().back());
}

namespace {

struct GroupScene {
  TestWindow window{240, 160};
  CGroupBoxUI* box = new CGroupBoxUI;
  CControlUI* child = new CControlUI;
  explicit GroupScene(DWORD background, int border) {
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFFFFFFFF);
    box->SetFixedHeight(140);
    box->SetBkColor(background);
    box->SetBorderSize(border);
    box->SetBorderColor(0xFFFF0000);
    box->SetText(L"Options");
    box->SetAttribute(L"textcolor", L"#FF0000FF");
    child->SetBkColor(0xFF00FF00);
    child->SetFixedHeight(20);
    box->Add(child);
    root->Add(box);
    window.Attach(root);
    window.PaintNow();
  }
  DWORD At(int x, int y) { return OffscreenPixel(window.manager(), x, y); }
  // Columns with red on the frame's top edge (y 5 to 6, give or take a pixel).
  int RedOnTopEdge(int from, int to) {
    int n = 0;
    for (int x = from; x < to; ++x) n += HasColor(RECT{x, 3, x + 1, 9}, kRed) ? 1 : 0;
    return n;
  }
  bool HasColor(RECT area, DWORD rgb) {
    for (int y = area.top; y < area.bottom; ++y) {
      for (int x = area.left; x < area.right; ++x) {
        if (At(x, y) == rgb) return true;
      }
    }
    return false;
  }
};

}  // namespace

TEST(GroupBox, FramesItsChildrenAndSetsTheCaptionIntoTheTopEdge) {
  GroupScene s(0xFFFFFFFF, 2);
  EXPECT_EQ(0xFF0000FFu, s.box->GetTextColor());
  EXPECT_STREQ(L"FF0000FF", s.box->GetCustomAttribute(L"textcolor"));
  EXPECT_EQ("(20,25,220,45)", RectText(s.child->GetPos()));  // inside the inset (20, 25, 20, 20)
  // The frame lies 5 pixels inside: left, right and bottom edges are red.
  EXPECT_TRUE(s.HasColor(RECT{4, 80, 8, 81}, kRed));
  EXPECT_TRUE(s.HasColor(RECT{232, 80, 236, 81}, kRed));
  EXPECT_TRUE(s.HasColor(RECT{120, 132, 121, 136}, kRed));
  EXPECT_EQ(kWhite, s.At(2, 80));
  EXPECT_EQ(kWhite, s.At(10, 80));
  EXPECT_EQ(kWhite, s.At(120, 138));
  // The caption starts 15 pixels in and covers the line on the box's background.
  EXPECT_TRUE(s.HasColor(RECT{20, 0, 80, 20}, kBlue));
  EXPECT_FALSE(s.HasColor(RECT{0, 0, 19, 20}, kBlue));
  EXPECT_EQ(0, s.RedOnTopEdge(21, 50));
  EXPECT_GT(s.RedOnTopEdge(120, 230), 100);
  EXPECT_TRUE(SaveScreenshot(s.window.manager(), L"group_box.png"));
}

TEST(GroupBox, WithoutBorderPaintsOnlyTheCaptionAndATransparentCaptionShowsTheLine) {
  GroupScene bare(0xFFFFFFFF, 0);
  EXPECT_FALSE(bare.HasColor(RECT{0, 0, 240, 160}, kRed));
  EXPECT_TRUE(bare.HasColor(RECT{20, 0, 80, 20}, kBlue));

  GroupScene clear(0, 2);
  // No background to fill: the line runs on between the glyphs.
  EXPECT_GT(clear.RedOnTopEdge(21, 50), 0);
  EXPECT_TRUE(clear.HasColor(RECT{20, 0, 80, 20}, kBlue));
}

TEST(PeripheryControls, SkinsNameThemAndTheFactoryMakesThem) {
  for (const wchar_t* name : {L"CAnimationTabLayoutUI", L"CFadeButtonUI", L"CGroupBoxUI", L"CTextUI"}) {
    CControlUI* control = CControlFactory::GetInstance()->CreateControl(name);
    ASSERT_NE(nullptr, control) << name;
    EXPECT_STREQ(name + 1, (std::wstring(control->GetClass())).c_str());
    delete control;
  }
  TestWindow window(320, 220);
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><VerticalLayout bkcolor=\"#FFFFFFFF\">"
      L"<GroupBox name=\"Group\" text=\"Install\" bordersize=\"1\" bordercolor=\"#FF808080\" height=\"130\">"
      L"<Text name=\"Terms\" showhtml=\"true\" text=\"Read {a terms}the terms{/a} first.\" height=\"30\"/>"
      L"<FadeButton name=\"Go\" width=\"60\" height=\"30\" bkcolor=\"#FF3060C0\" text=\"Go\"/>"
      L"</GroupBox>"
      L"<AnimationTabLayout name=\"Pages\" animation_direction=\"vertical\" height=\"60\">"
      L"<Control bkcolor=\"#FFFFC000\"/><Control bkcolor=\"#FF00A0FF\"/></AnimationTabLayout>"
      L"</VerticalLayout></Window>",
      nullptr, nullptr, &window.manager());
  ASSERT_NE(nullptr, root);
  ASSERT_TRUE(window.Attach(root));
  window.PaintNow();
  EXPECT_NE(nullptr, window.manager().FindControl(L"Group")->GetInterface(L"GroupBox"));
  EXPECT_NE(nullptr, window.manager().FindControl(L"Terms")->GetInterface(L"Text"));
  EXPECT_NE(nullptr, window.manager().FindControl(L"Go")->GetInterface(L"FadeButton"));
  auto* pages =
      static_cast<CAnimationTabLayoutUI*>(window.manager().FindControl(L"Pages")->GetInterface(L"AnimationTabLayout"));
  ASSERT_NE(nullptr, pages);
  auto* terms = static_cast<CTextUI*>(window.manager().FindControl(L"Terms"));
  EXPECT_EQ(1, terms->GetLinkCount());
  ASSERT_TRUE(pages->SelectItem(1));
  ASSERT_TRUE(window.PumpUntil([&] { return !pages->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId); }));
  window.PaintNow();
  EXPECT_EQ(0x00A0FFu, OffscreenPixel(window.manager(), 10, pages->GetPos().bottom - 2));
  EXPECT_TRUE(SaveScreenshot(window.manager(), L"periphery_controls.png"));
}
