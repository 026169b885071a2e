// Frame animations driven by the manager's timers, and the tab layout that slides its pages.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "demo_window.h"
#include "periphery_support.h"
#include "test_window.h"
#include "ui/core/layouts/animation_tab_layout.h"
#include "ui/core/layouts/linear_layout.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

// A control that logs its animation hooks as "start 1 first", "step 1 0/15", "stop 1".
class AnimatedBox : public CControlUI, public CUIAnimation {
 public:
  AnimatedBox() : CUIAnimation(this) {}
  ~AnimatedBox() override { StopAnimation(0); }
  void DoEvent(EventRecordUI& event) override {
    if (event.Type == UIEVENT_TIMER) OnAnimationElapse(static_cast<int>(event.wParam));
    CControlUI::DoEvent(event);
  }
  void OnAnimationStart(int id, bool first) override {
    log.push_back("start " + std::to_string(id) + (first ? " first" : " again"));
  }
  void OnAnimationStep(int total, int frame, int id) override {
    log.push_back("step " + std::to_string(id) + " " + std::to_string(frame) + "/" + std::to_string(total));
    if (onStep) onStep(frame, id);
  }
  void OnAnimationStop(int id) override {
    log.push_back("stop " + std::to_string(id));
    if (onStop) onStop(id);
  }
  // One tick as the manager delivers it.
  void Tick(int id) {
    EventRecordUI event = {};
    event.Type = UIEVENT_TIMER;
    event.pSender = this;
    event.wParam = static_cast<WPARAM>(id);
    Event(event);
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& line : log) n += line.compare(0, prefix.size(), prefix) == 0 ? 1 : 0;
    return n;
  }

  std::vector<std::string> log;
  std::function<void(int, int)> onStep;
  std::function<void(int)> onStop;
};

struct AnimationScene {
  TestWindow window{200, 60};
  CVerticalLayoutUI* root = new CVerticalLayoutUI;
  AnimatedBox* box = new AnimatedBox;
  AnimationScene() {
    root->Add(box);
    window.Attach(root);
    window.PaintNow();
  }
  // A live manager timer of the box has this id (the probe kills it).
  bool TimerLives(int id) { return window.manager().KillTimer(box, static_cast<UINT>(id)); }
};

}  // namespace

TEST(Animation, FifteenFramesReportSixteenStepsOnRealTimersThenEndTheirTimer) {
  AnimationScene s;
  ASSERT_TRUE(s.box->StartAnimation(10, 15, 1, false));
  EXPECT_FALSE(s.box->StartAnimation(10, 15, 1, false));  // this id runs
  ASSERT_TRUE(s.window.PumpUntil([&] { return !s.box->IsAnimationRunning(1); }));
  std::vector<std::string> expected = {"start 1 first"};
  for (int frame = 0; frame <= 15; ++frame) expected.push_back("step 1 " + std::to_string(frame) + "/15");
  expected.push_back("stop 1");
  EXPECT_EQ(expected, s.box->log);
  EXPECT_FALSE(s.TimerLives(1));
  EXPECT_EQ(-1, s.box->GetCurrentFrame(1));
}

TEST(Animation, LoopsRestartAtFrameOneAndStopAfterEveryLastFrame) {
  AnimationScene s;
  ASSERT_TRUE(s.box->StartAnimation(1000, 3, 4, true));
  for (int i = 0; i < 8; ++i) s.box->Tick(4);
  EXPECT_EQ((std::vector<std::string>{"start 4 first", "step 4 0/3", "step 4 1/3", "step 4 2/3", "step 4 3/3", "stop 4",
                                      "step 4 1/3", "step 4 2/3", "step 4 3/3", "stop 4", "step 4 1/3"}),
            s.box->log);
  EXPECT_TRUE(s.box->IsAnimationRunning(4));
  // Back to frame 0: the start hook runs again, no longer the first time.
  ASSERT_TRUE(s.box->SetCurrentFrame(0, 4));
  s.box->Tick(4);
  EXPECT_EQ("start 4 again", s.box->log[s.box->log.size() - 2]);
  EXPECT_FALSE(s.box->SetCurrentFrame(4, 4));
  EXPECT_TRUE(s.box->SetCurrentFrame(3, 4));
  EXPECT_EQ(3, s.box->GetCurrentFrame(4));
  EXPECT_EQ(-1, s.box->GetCurrentFrame(5));
  s.box->Tick(5);  // unknown ids are ignored
  EXPECT_EQ(0, s.box->Count("step 5"));
}

TEST(Animation, RefusesBadArgumentsAndOwnersWithoutManagerAndStopsAllAtOnce) {
  AnimationScene s;
  EXPECT_FALSE(s.box->StartAnimation(0, 5, 2));
  EXPECT_FALSE(s.box->StartAnimation(10, 0, 2));
  AnimatedBox loose;  // in no window
  EXPECT_FALSE(loose.StartAnimation(10, 5, 2));
  EXPECT_FALSE(loose.IsAnimationRunning(2));
  CUIAnimation ownerless(nullptr);
  EXPECT_FALSE(ownerless.StartAnimation(10, 5, 2));

  ASSERT_TRUE(s.box->StartAnimation(1000, 5, 2));
  ASSERT_TRUE(s.box->StartAnimation(1000, 5, 3));
  s.box->StopAnimation(0);
  EXPECT_FALSE(s.box->IsAnimationRunning(2));
  EXPECT_FALSE(s.box->IsAnimationRunning(3));
  EXPECT_FALSE(s.TimerLives(2));
  EXPECT_FALSE(s.TimerLives(3));
}

TEST(Animation, HooksThatStopOrRestartTheirAnimationLeaveTheNewStateAlone) {
  AnimationScene s;
  // Stopped from its step hook: the tick touches nothing afterwards, later ticks do nothing.
  s.box->onStep = [&](int frame, int id) {
    if (id == 6 && frame == 2) s.box->StopAnimation(6);
  };
  ASSERT_TRUE(s.box->StartAnimation(1000, 5, 6, true));
  for (int i = 0; i < 5; ++i) s.box->Tick(6);
  EXPECT_EQ(3, s.box->Count("step 6"));
  EXPECT_FALSE(s.box->IsAnimationRunning(6));
  EXPECT_FALSE(s.TimerLives(6));

  // Restarted from its stop hook: the new run begins at frame 0, with its own first start.
  bool restarted = false;
  s.box->onStop = [&](int id) {
    if (id != 7 || restarted) return;
    restarted = true;
    s.box->StopAnimation(7);
    s.box->StartAnimation(1000, 2, 7, false);
  };
  ASSERT_TRUE(s.box->StartAnimation(1000, 1, 7, true));
  s.box->Tick(7);
  s.box->Tick(7);
  EXPECT_TRUE(restarted);
  EXPECT_EQ(0, s.box->GetCurrentFrame(7));
  s.box->Tick(7);
  EXPECT_EQ("step 7 0/2", s.box->log.back());
  EXPECT_EQ(2, s.box->Count("start 7 first"));
  EXPECT_TRUE(s.TimerLives(7));
}

namespace {

// Records where the selected page is at every frame of a slide.
class RecordingSlide : public CAnimationTabLayoutUI {
 public:
  struct Frame {
    int frame;
    RECT page;
  };
  void OnAnimationStep(int total, int frame, int id) override {
    CAnimationTabLayoutUI::OnAnimationStep(total, frame, id);
    frames.push_back({frame, GetItemAt(GetCurSel())->GetPos()});
  }
  std::vector<Frame> frames;
};

struct SlideScene {
  static const DWORD kPageColors[3];
  TestWindow window{400, 120};
  RecordingSlide* tabs = new RecordingSlide;
  NotifyLog notes;
  explicit SlideScene(bool vertical = false) {
    auto* root = new CVerticalLayoutUI;
    root->SetBkColor(0xFF000000);
    tabs->SetFixedHeight(100);
    if (vertical) tabs->SetAttribute(L"animation_direction", L"vertical");
    for (DWORD color : kPageColors) {
      auto* page = new CControlUI;
      page->SetBkColor(color);
      tabs->Add(page);
    }
    root->Add(tabs);
    window.Attach(root);
    window.manager().AddNotifier(&notes);
    window.PaintNow();
  }
  ~SlideScene() { window.manager().RemoveNotifier(&notes); }
  bool SlideDone() {
    return window.PumpUntil([&] { return !tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId); });
  }
  // The page's leading edge per frame.
  std::vector<int> Edges(bool vertical = false) const {
    std::vector<int> edges;
    for (const auto& f : tabs->frames) edges.push_back(vertical ? f.page.top : f.page.left);
    return edges;
  }
};
const DWORD SlideScene::kPageColors[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};

std::vector<int> ExpectedEdges(int start, int step) {
  std::vector<int> edges;
  for (int frame = 0; frame < 15; ++frame) edges.push_back(start + step * (frame + 1));
  edges.push_back(0);
  return edges;
}

}  // namespace

TEST(AnimationTabLayout, SlidesTheNewPageFromTheRightAndEndsExactlyInPlace) {
  SlideScene s;
  const RECT place = s.tabs->GetPos();
  ASSERT_EQ(400, place.right - place.left);
  ASSERT_TRUE(s.tabs->SelectItem(2));
  EXPECT_FALSE(s.tabs->GetItemAt(2)->IsVisible());  // until the first frame
  ASSERT_EQ(1, s.notes.Count(L"tabselect"));
  for (const auto& note : s.notes.notes) {
    if (note.type != L"tabselect") continue;
    EXPECT_EQ(2u, note.wParam);
    EXPECT_EQ(2, note.lParam);  // the new index, twice
  }

  // Mid-slide, the window shows the new page from its moving edge on.
  ASSERT_TRUE(s.window.PumpUntil([&] { return s.tabs->frames.size() >= 6; }));
  UpdateWindow(s.window.hwnd());
  const int edge = s.tabs->GetPos().left;
  if (edge > 2 && edge < 398) {
    EXPECT_EQ(0x0000FFu, OffscreenPixel(s.window.manager(), edge + 1, 50));
    EXPECT_EQ(0x000000u, OffscreenPixel(s.window.manager(), edge - 2, 50));
  }
  EXPECT_TRUE(SaveScreenshot(s.window.manager(), L"animation_tab_slide.png"));

  ASSERT_TRUE(s.SlideDone());
  // 348 pixels to the right at the start, 348 / 15 = 23 per frame, never past the place.
  EXPECT_EQ(ExpectedEdges(348, -23), s.Edges());
  for (int edgeAt : s.Edges()) EXPECT_GE(edgeAt, 0);
  EXPECT_EQ(RectText(place), RectText(s.tabs->GetItemAt(2)->GetPos()));
  EXPECT_EQ(RectText(place), RectText(s.tabs->GetPos()));
  s.window.PaintNow();
  EXPECT_EQ(0x0000FFu, OffscreenPixel(s.window.manager(), 1, 50));

  // Back to page 0: it comes from the left.
  s.tabs->frames.clear();
  ASSERT_TRUE(s.tabs->SelectItem(0));
  ASSERT_TRUE(s.SlideDone());
  EXPECT_EQ(ExpectedEdges(-348, 23), s.Edges());
  EXPECT_EQ(RectText(place), RectText(s.tabs->GetItemAt(0)->GetPos()));
}

TEST(AnimationTabLayout, SlidesVerticallyByItsHeightAndKeepsTheAttribute) {
  SlideScene s(true);
  EXPECT_STREQ(L"vertical", s.tabs->GetCustomAttribute(L"animation_direction"));
  ASSERT_TRUE(s.tabs->SelectItem(1));
  ASSERT_TRUE(s.SlideDone());
  EXPECT_EQ(ExpectedEdges(100, -6), s.Edges(true));  // 100 / 15 = 6 per frame
  EXPECT_EQ(0, s.tabs->GetItemAt(1)->GetPos().top);
  EXPECT_EQ(400, s.tabs->GetItemAt(1)->GetPos().right);
}

TEST(AnimationTabLayout, ASelectionDuringASlideRestartsItTowardsTheSamePlace) {
  SlideScene s;
  const RECT place = s.tabs->GetPos();
  ASSERT_TRUE(s.tabs->SelectItem(2));
  ASSERT_TRUE(s.window.PumpUntil([&] { return s.tabs->frames.size() >= 4; }));
  ASSERT_NE(place.left, s.tabs->GetPos().left);
  s.tabs->frames.clear();
  ASSERT_TRUE(s.tabs->SelectItem(1));
  EXPECT_FALSE(s.tabs->GetItemAt(2)->IsVisible());
  ASSERT_TRUE(s.SlideDone());
  EXPECT_EQ(ExpectedEdges(-348, 23), s.Edges());
  EXPECT_EQ(RectText(place), RectText(s.tabs->GetPos()));
  EXPECT_EQ(RectText(place), RectText(s.tabs->GetItemAt(1)->GetPos()));
  EXPECT_FALSE(s.tabs->SelectItem(3));
  EXPECT_TRUE(s.tabs->SelectItem(1));  // already selected: no slide
  EXPECT_FALSE(s.tabs->IsAnimationRunning(CAnimationTabLayoutUI::kSlideAnimationId));
}
