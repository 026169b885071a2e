// Animated GIF images, rings and rolling text built from skin markup in real framework windows.
// A spy holds the timers they ask for: a test reads the interval asked for, delivers each tick as
// a WM_TIMER and checks the pixels.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "list_support.h"
#include "timer_spy.h"
#include "ui/extra/anim/gif_anim.h"
#include "ui/extra/anim/ring.h"
#include "ui/extra/anim/roll_text.h"

using namespace SkinUI;
using Intervals = std::vector<UINT>;

namespace {

const DWORD kRed = 0xFF0000, kBlue = 0x0000FF, kGreen = 0x00FF00;

struct Spied {
  skinui_test::TimerSpy spy;
};

// The spy comes first, before the window asks for any timer.
struct AnimWindow : Spied, skinui_test::ExtraWindow {
  explicit AnimWindow(const std::wstring& body) : ExtraWindow(ImageSkin(body)) {}
  DWORD At(const wchar_t* name, int dx = 0, int dy = 0) {
    POINT c = Centre(Find(name));
    return Pixel(c.x + dx, c.y + dy);
  }
  // Delivers a tick of the timer set last (or of `id`) and paints.
  void Tick(UINT_PTR id = 0) {
    PostMessage(WM_TIMER, id != 0 ? id : spy.lastId, 0);
    Pump();
    PaintNow();
  }
  // The leftmost dark pixel along a row through the control's top-aligned text; -1 when none.
  int InkLeft(CControlUI* control) {
    for (int x = control->GetPos().left; x < control->GetPos().right; ++x) {
      if ((Pixel(x, control->GetPos().top + 6) & 0x808080) == 0) return x;
    }
    return -1;
  }
};

}  // namespace

TEST(GifAnim, EachFrameStaysForItsOwnDelayAndAHiddenImageRestsAtItsFirst) {
  AnimWindow w(L"<GifAnim name=\"gif\" bkimage=\"anim.gif\" width=\"40\" height=\"40\"/>");
  EXPECT_EQ(Intervals{50}, w.spy.intervals) << "frame 0 has a delay of 5 hundredths";
  EXPECT_EQ(kRed, w.At(L"gif"));
  w.Tick();
  EXPECT_EQ((Intervals{50, 200}), w.spy.intervals);
  EXPECT_EQ(kBlue, w.At(L"gif")) << "frame 1 is shown for its own delay";
  w.Tick();
  w.Tick();
  w.Find(L"gif")->SetVisible(false);
  w.Tick();
  EXPECT_EQ((Intervals{50, 200, 50, 200}), w.spy.intervals) << "hidden, its timer is gone";
  w.Find(L"gif")->SetVisible(true);
  EXPECT_EQ(50u, w.spy.intervals.back()) << "shown again, it plays from frame 0";
  w.PaintNow();
  EXPECT_EQ(kRed, w.At(L"gif"));
}

TEST(GifAnim, ImagesWithoutDelaysOrFramesNeverReadAMissingDelayNorDivideByNoFrames) {
  AnimWindow w(
      L"<HorizontalLayout height=\"40\"><GifAnim name=\"still\" bkimage=\"still.gif\" width=\"40\"/>"
      L"<GifAnim name=\"png\" bkimage=\"still.png\" width=\"40\"/>"
      L"<GifAnim name=\"zero\" bkimage=\"nodelay.gif\" width=\"40\"/>"
      L"<GifAnim name=\"missing\" bkimage=\"missing.gif\" width=\"40\"/></HorizontalLayout>");
  EXPECT_EQ(Intervals{100}, w.spy.intervals) << "only the two frames without delays play, at 100 ms";
  EXPECT_EQ(kGreen, w.At(L"still"));
  EXPECT_EQ(kGreen, w.At(L"png"));
  w.Tick();
  EXPECT_EQ((Intervals{100, 100}), w.spy.intervals);
  EXPECT_EQ(kBlue, w.At(L"zero"));
  for (const wchar_t* name : {L"still", L"png", L"missing"}) {  // stray ticks
    EventRecordUI tick{};
    tick.Type = UIEVENT_TIMER;
    tick.wParam = 100;
    w.Find(name)->Event(tick);
  }
  EXPECT_EQ((Intervals{100, 100}), w.spy.intervals);
}

// A program usually sets the image through the base control, which the animation must follow.
TEST(GifAnim, ImageSetThroughTheBaseControlReplacesTheAnimation) {
  AnimWindow w(L"<GifAnim name=\"gif\" bkimage=\"anim.gif\" width=\"40\" height=\"40\"/>");
  w.Find(L"gif")->SetBkImage(L"still.gif");
  w.PaintNow();
  EXPECT_EQ(kGreen, w.At(L"gif"));
  w.Tick();
  EXPECT_EQ(kGreen, w.At(L"gif")) << "the old animation's timer goes on";
}

TEST(GifAnim, ControlsDeletedBeforeAnyManagerKnewThemKillNoTimers) {
  // A child of a label cannot be placed: the builder deletes it unattached, and goes on.
  AnimWindow w(
      L"<Label><GifAnim bkimage=\"anim.gif\"/></Label><Label><RollText text=\"x\"/></Label>"
      L"<Label><Ring bkimage=\"ring.png\"/></Label><Label name=\"after\"/>");
  EXPECT_NE(nullptr, w.Find(L"after"));
  auto* gif = new CGifAnimUI;
  gif->SetBkImage(L"anim.gif");
  gif->InitGifImage();  // an image loaded with no manager to play it
  delete gif;
  delete new CRollTextUI;
  delete new CRingUI;
}

TEST(Ring, PictureTurnsAtEachTickAndRepeatsEveryTenTicks) {
  AnimWindow w(
      L"<Ring name=\"ring\" bkimage=\"ring.png\" width=\"40\" height=\"40\"/>"
      L"<Ring bkimage=\"missing.png\" width=\"40\" height=\"40\"/>");
  EXPECT_EQ(Intervals{100}, w.spy.intervals) << "a ring without its image starts no timer";
  std::vector<std::vector<DWORD>> pictures(22);  // twelve points around the centre at each tick
  for (std::vector<DWORD>& picture : pictures) {
    for (double a = 0; a < 6.28; a += 3.14159265 / 6)
      picture.push_back(w.At(L"ring", lround(12 * cos(a)), lround(12 * sin(a))));
    w.Tick();
  }
  EXPECT_EQ(kRed, pictures[0][7]) << "unturned, the upper left quadrant is red";
  for (int k = 1; k <= 11; ++k) {
    EXPECT_EQ(pictures[k], pictures[k + 10]) << "tick " << k;
    EXPECT_NE(pictures[k], pictures[k - 1]) << "tick " << k;
  }
}

TEST(RollText, MovesAtEachRepaintAndReportsTheEndOfItsRoll) {
  AnimWindow w(L"<RollText name=\"roll\" text=\"Rolling\" width=\"200\" height=\"20\"/>");
  CControlUI* roll = w.Find(L"roll");
  ASSERT_TRUE(w.GetPaintManager().SetTimer(roll, 20, 30));
  const UINT_PTR repaint = w.spy.lastId;
  ASSERT_TRUE(w.GetPaintManager().SetTimer(roll, 21, 3000));
  for (int i = 0; i < 8; ++i) w.PaintNow();  // in from the right edge, 5 pixels a paint
  const int left = w.InkLeft(roll);
  ASSERT_GT(left, roll->GetPos().left);
  w.Tick(repaint);
  EXPECT_EQ(left - 10, w.InkLeft(roll)) << "the tick's paint and the test's";
  w.Tick();
  w.Tick();
  EXPECT_EQ(1, w.Count(L"textrollend", L"roll")) << "the end timer ends itself";
}

// A ring whose image is taken away stops repainting; a paint that loads an image starts it again.
TEST(Ring, TimerStopsWithItsImageAndStartsWithTheNextLoadedOne) {
  AnimWindow w(L"<Ring name=\"ring\" bkimage=\"ring.png\" width=\"40\" height=\"40\"/>");
  ASSERT_EQ(Intervals{100}, w.spy.intervals);
  const UINT_PTR tick = w.spy.lastId;
  auto* ring = static_cast<CRingUI*>(w.Find(L"ring")->GetInterface(L"Ring"));
  ring->SetBkImage(L"missing.png");
  w.PaintNow();
  w.SendMessage(WM_TIMER, tick, 0);
  EXPECT_FALSE(GetUpdateRect(w.GetHWND(), nullptr, FALSE)) << "a tick without an image repaints";
  ring->SetBkImage(L"ring.png");
  w.PaintNow();
  EXPECT_EQ((Intervals{100, 100}), w.spy.intervals) << "the loaded image starts the timer again";
}

// The usual roads to a ring's image go through its base: the base control's SetBkImage, and the
// attribute in any spelling. The picture and the timer follow them as they follow the ring's own.
TEST(Ring, ImageSetThroughTheBaseControlReplacesThePictureAndTheTimer) {
  using Setter = void (*)(CControlUI*, const wchar_t*);
  const Setter roads[] = {
      [](CControlUI* ring, const wchar_t* image) { ring->SetBkImage(image); },
      [](CControlUI* ring, const wchar_t* image) { ring->SetAttribute(L"bkImage", image); },
  };
  for (Setter set : roads) {
    AnimWindow w(L"<Ring name=\"ring\" bkimage=\"ring.png\" width=\"40\" height=\"40\"/>");
    const UINT_PTR tick = w.spy.lastId;
    auto redPoints = [&w] {
      int red = 0;
      for (int dx = -16; dx <= 16; dx += 4)
        for (int dy = -16; dy <= 16; dy += 4) red += w.At(L"ring", dx, dy) == kRed;
      return red;
    };
    ASSERT_GT(redPoints(), 0);
    set(w.Find(L"ring"), L"missing.png");
    w.PaintNow();
    EXPECT_EQ(0, redPoints()) << "the old picture stays drawn";
    w.SendMessage(WM_TIMER, tick, 0);
    EXPECT_FALSE(GetUpdateRect(w.GetHWND(), nullptr, FALSE)) << "a tick without an image repaints";
    set(w.Find(L"ring"), L"ring.png");
    w.PaintNow();
    EXPECT_EQ((Intervals{100, 100}), w.spy.intervals) << "the loaded image starts the timer again";
    EXPECT_GT(redPoints(), 0);
  }
}
