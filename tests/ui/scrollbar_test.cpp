#include <gtest/gtest.h>

#include <vector>

#include "canvas.h"
#include "test_controls.h"
#include "test_support.h"
#include "test_window.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/paint/control/scrollbar.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

EventRecordUI Record(int type, int x = 0, int y = 0, WPARAM wParam = 0) {
  EventRecordUI event = {};
  event.Type = type;
  event.ptMouse = POINT{x, y};
  event.wParam = wParam;
  return event;
}

void Send(CControlUI* control, EventRecordUI event) { control->Event(event); }

using V = std::vector<long>;

POINT Centre(const RECT& rc) { return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2}; }

// A window whose root container holds one free vertical bar at (0, 0, 16, 200).
struct BarScene {
  TestWindow window{100, 220};
  EventLog log;
  TestNotifier notifier{&log};
  CContainerUI* root = new CContainerUI();
  CScrollBarUI* bar = new CScrollBarUI();
  BarScene() {
    window.manager().AddNotifier(&notifier);
    bar->SetName(L"bar");
    bar->SetAttribute(L"float", L"true");
    bar->SetAttribute(L"pos", L"0,0,16,200");
    root->Add(bar);
    window.Attach(root);
    window.PaintNow();
    log.Clear();
  }
  ~BarScene() { window.manager().RemoveNotifier(&notifier); }
  int Scrolls() const {
    int n = 0;
    for (const auto& text : log.notifications) n += text == L"scroll:bar";
    return n;
  }
};

}  // namespace

TEST(ScrollBar, PlacesButtonsAndThumbAlongTheBar) {
  CScrollBarUI bar;
  bar.SetPos(RECT{0, 0, 16, 200});
  auto along = [&bar] {
    return V{bar.GetButton1Rect().bottom, bar.GetThumbRect().top, bar.GetThumbRect().bottom, bar.GetButton2Rect().top};
  };
  EXPECT_EQ((V{16, 16, 128, 184}), along());  // the thumb: 200 * 168 / (100 + 200) = 112 long
  bar.SetScrollPos(150);
  EXPECT_EQ(100, bar.GetScrollPos());
  EXPECT_EQ((V{16, 72, 184, 184}), along());
  bar.SetScrollPos(-5);
  EXPECT_EQ(0, bar.GetScrollPos());
  bar.SetScrollRange(-1);
  EXPECT_EQ(0, bar.GetScrollRange());
  EXPECT_EQ((V{16, 16, 184, 184}), along());  // range 0: the thumb fills the track
  bar.SetShowButton1(false);
  EXPECT_TRUE(IsRectEmpty(&bar.GetButton1Rect()));
  EXPECT_EQ(0, bar.GetThumbRect().top);
  bar.SetShowButton1(true);
  bar.SetPos(RECT{0, 0, 16, 40});  // shorter than three thicknesses: half buttons, no thumb
  EXPECT_EQ((V{16, 0, 0, 24}), along());

  CScrollBarUI hor;
  hor.ApplyAttributeList(L"hor=\"TRUE\" range=\"50\" value=\"50\" linesize=\"3\" thumbhotimage=\"t.png\"");
  EXPECT_EQ((V{0, 16, 3}), (V{hor.GetFixedWidth(), hor.GetFixedHeight(), hor.GetLineSize()}));
  hor.SetPos(RECT{0, 0, 150, 16});
  EXPECT_EQ((V{46, 134, 134}), (V{hor.GetThumbRect().left, hor.GetThumbRect().right, hor.GetButton2Rect().left}));
  hor.SetAttribute(L"showbutton2", L"false");
  EXPECT_EQ(150, hor.GetButton2Rect().left);
  EXPECT_STREQ(L"t.png", hor.GetImage(CScrollBarUI::kThumb, CScrollBarUI::kHotLook).GetData());
  EXPECT_EQ(&hor, hor.GetInterface(L"scrollbar"));
}

TEST(ScrollBar, HeldPartsRepeatAfterFiveTicksAndTheThumbMovesAtTicks) {
  BarScene s;
  CScrollBarUI* bar = s.bar;
  auto tick = [bar](int n) {
    for (int i = 0; i < n; ++i) Send(bar, Record(UIEVENT_TIMER, 0, 0, CScrollBarUI::kRepeatTimerId));
    return bar->GetScrollPos();
  };
  POINT b2 = Centre(bar->GetButton2Rect());
  // Through the window: the press reaches the bar and steps one line; the release ends the timer.
  s.window.Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b2.x, b2.y));
  s.window.Post(WM_LBUTTONUP, 0, MAKELPARAM(b2.x, b2.y));
  s.window.Pump();
  EXPECT_EQ(8, bar->GetScrollPos());
  EXPECT_FALSE(s.window.manager().KillTimer(bar, CScrollBarUI::kRepeatTimerId));
  // Held: nothing for five ticks, then a line at every tick, each step reported.
  Send(bar, Record(UIEVENT_BUTTONDOWN, b2.x, b2.y));
  EXPECT_EQ((V{16, 16, 24, 32}), (V{bar->GetScrollPos(), tick(5), tick(1), tick(1)}));
  EXPECT_EQ(4, s.Scrolls());
  Send(bar, Record(UIEVENT_BUTTONUP, b2.x, b2.y));
  // A press on the track pages toward the point.
  Send(bar, Record(UIEVENT_BUTTONDOWN, 8, 20));
  EXPECT_EQ(0, bar->GetScrollPos());
  Send(bar, Record(UIEVENT_BUTTONUP, 8, 20));

  // The thumb: track 200 - 112 - 2 * 16 = 56, so 28 pixels are half the range, applied at ticks.
  POINT grip = Centre(bar->GetThumbRect());
  Send(bar, Record(UIEVENT_BUTTONDOWN, grip.x, grip.y));
  Send(bar, Record(UIEVENT_MOUSEMOVE, grip.x, grip.y + 28));
  EXPECT_EQ(0, bar->GetScrollPos());
  EXPECT_EQ(50, tick(1));
  Send(bar, Record(UIEVENT_MOUSEMOVE, grip.x, grip.y + 560));
  EXPECT_EQ(100, tick(1));
  Send(bar, Record(UIEVENT_BUTTONUP, grip.x, grip.y + 560));
  EXPECT_EQ(0u, bar->GetThumbState() & (CScrollBarUI::kCaptured | CScrollBarUI::kPushed));
  EXPECT_FALSE(s.window.manager().KillTimer(bar, CScrollBarUI::kRepeatTimerId));
  // Hot follows the pointer; a disabled bar drops every state and ignores presses.
  Send(bar, Record(UIEVENT_MOUSEMOVE, 8, Centre(bar->GetThumbRect()).y));
  EXPECT_NE(0u, bar->GetThumbState() & CScrollBarUI::kHot);
  bar->SetEnabled(false);
  EXPECT_EQ(0u, bar->GetThumbState());
  Send(bar, Record(UIEVENT_BUTTONDOWN, 8, 5));
  EXPECT_EQ(100, bar->GetScrollPos());
}

TEST(ScrollBar, OwnedBarsMoveTheirContainerWhichAloneNotifies) {
  TestWindow window(100, 200);
  EventLog log;
  TestNotifier notifier(&log);
  window.manager().AddNotifier(&notifier);
  CContainerUI* root = new CContainerUI();
  root->SetName(L"root");
  root->EnableScrollBar(true, false);
  window.Attach(root);
  window.PaintNow();
  root->ProcessScrollBar(RECT{0, 0, 84, 200}, 0, 400);
  CScrollBarUI* bar = root->GetVerticalScrollBar();
  bar->SetName(L"bar");
  log.Clear();
  Send(bar, Record(UIEVENT_BUTTONDOWN, 90, 195));
  Send(bar, Record(UIEVENT_BUTTONUP, 90, 195));
  EXPECT_EQ(8 + window.manager().GetDefaultFontInfo()->tm.tmHeight, root->GetScrollPos().cy);
  POINT grip = Centre(bar->GetThumbRect());
  Send(bar, Record(UIEVENT_BUTTONDOWN, grip.x, grip.y));
  Send(bar, Record(UIEVENT_MOUSEMOVE, grip.x, grip.y + 1000));
  Send(bar, Record(UIEVENT_TIMER, 0, 0, CScrollBarUI::kRepeatTimerId));
  Send(bar, Record(UIEVENT_BUTTONUP, grip.x, grip.y + 1000));
  EXPECT_EQ(200, root->GetScrollPos().cy);
  ASSERT_FALSE(log.notifications.empty());
  for (const auto& text : log.notifications) EXPECT_EQ(L"scroll:root", text);
  window.manager().RemoveNotifier(&notifier);
}

TEST(ScrollBar, PaintsStateImagesOrOutlinesTheParts) {
  BarScene s;
  auto at = [&](int x, int y) { return s.window.manager().GetOffscreenBits()[(220 - 1 - y) * 100 + x] & 0xFFFFFF; };
  s.window.manager().Invalidate();
  s.window.PaintNow();
  const DWORD outline = 0x85E4FF;  // no images: 2-pixel outlines of buttons and thumb
  EXPECT_EQ("", Mismatches(at, {{0, 0, outline}, {1, 8, outline}, {15, 190, outline}, {8, 16, outline}}));
  std::wstring grid = L"file='" + FixturePath(L"images/grid.png") + L"' source=";
  s.bar->SetAttribute(L"bknormalimage", (grid + L"'4,4,8,8'").c_str());
  s.bar->SetAttribute(L"button1normalimage", (grid + L"'0,0,4,4'").c_str());
  s.bar->SetAttribute(L"button2pushedimage", (grid + L"'8,0,12,4'").c_str());
  s.bar->SetAttribute(L"thumbnormalimage", (grid + L"'0,8,4,12'").c_str());
  s.bar->SetAttribute(L"railnormalimage", (grid + L"'8,8,12,12'").c_str());
  s.window.PaintNow();
  // Button 1 red, button 2 outlined (no normal image), background magenta, thumb white with the
  // orange rail square on its centre.
  EXPECT_EQ("", Mismatches(at, {{8, 8, 0xFF0000},
                                {0, 199, outline},
                                {8, 150, 0xFF00FF},
                                {8, 20, 0xFFFFFF},
                                {8, 72, 0xFF8000},
                                {8, 120, 0xFFFFFF}}));
  POINT b2 = Centre(s.bar->GetButton2Rect());
  Send(s.bar, Record(UIEVENT_BUTTONDOWN, b2.x, b2.y));
  s.window.PaintNow();
  EXPECT_EQ("", Mismatches(at, {{8, 192, 0x0000FF}}));  // the pushed image
  Send(s.bar, Record(UIEVENT_BUTTONUP, b2.x, b2.y));
}
