#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <set>

#include "test_controls.h"
#include "test_window.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

// Notes the window timer id of each WM_TIMER just before the manager turns it into an event.
struct TimerWatch : IMessageFilterUI {
  UINT lastWindowId = 0xFFFF;
  std::map<UINT, int> ticksByWindowId;
  LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool&) override {
    if (msg == WM_TIMER) {
      lastWindowId = static_cast<UINT>(wParam);
      ++ticksByWindowId[lastWindowId];
    }
    return 0;
  }
};

// A control that remembers which window timer drove each of its timer events.
class TimerBox : public TestBox {
 public:
  TimerBox(const wchar_t* name, EventLog* log, TimerWatch* watch) : TestBox(name, RGB(1, 2, 3), log), m_watch(watch) {}
  void DoEvent(EventRecordUI& event) override {
    if (event.Type == UIEVENT_TIMER) windowIdOf[static_cast<UINT>(event.wParam)] = m_watch->lastWindowId;
    TestBox::DoEvent(event);
  }
  std::map<UINT, UINT> windowIdOf;

 private:
  TimerWatch* m_watch;
};

class TimersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = new TestContainer(L"root", RGB(0, 0, 0), &log);
    window.Attach(root);
    window.manager().AddMessageFilter(&watch);
    window.manager().AddNotifier(&notifier);
    window.PaintNow();
    log.Clear();
  }
  void TearDown() override {
    window.manager().RemoveMessageFilter(&watch);
    window.manager().RemoveNotifier(&notifier);
  }
  TimerBox* AddBox(const wchar_t* name) {
    TimerBox* box = new TimerBox(name, &log, &watch);
    root->Add(box);
    return box;
  }
  int Ticks(const wchar_t* name) { return log.Count(name, UIEVENT_TIMER); }

  TestWindow window{200, 100};
  EventLog log;
  TestNotifier notifier{&log};
  TimerWatch watch;
  TestContainer* root = nullptr;
};

}  // namespace

TEST_F(TimersTest, TimersFireForTheirControlsAsTimerNotifications) {
  TimerBox* a = AddBox(L"a");
  TimerBox* b = AddBox(L"b");
  ASSERT_TRUE(window.manager().SetTimer(a, 1, 10));
  ASSERT_TRUE(window.manager().SetTimer(b, 7, 10));
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"a") >= 3 && Ticks(L"b") >= 3; }));
  EXPECT_EQ(17u, a->windowIdOf[1]);
  EXPECT_EQ(18u, b->windowIdOf[7]);
  for (const auto& e : log.events) {
    if (e.type != UIEVENT_TIMER) continue;
    EXPECT_EQ(e.control == L"a" ? 1u : 7u, e.wParam);
  }
  int notified = 0;
  for (const auto& n : log.notifications) notified += (n == L"timer:a" || n == L"timer:b");
  EXPECT_EQ(Ticks(L"a") + Ticks(L"b"), notified);
}

TEST_F(TimersTest, TimersDieWithTheirControl) {
  TimerBox* a = AddBox(L"a");
  TimerBox* b = AddBox(L"b");
  window.manager().SetTimer(a, 1, 10);
  window.manager().SetTimer(b, 2, 10);
  window.manager().SetTimer(b, 3, 10);
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"b") >= 4; }));
  UINT bWindowIds[2] = {b->windowIdOf[2], b->windowIdOf[3]};
  root->Remove(b);
  window.Pump();
  std::map<UINT, int> before = watch.ticksByWindowId;
  int aBefore = Ticks(L"a");
  // Count a's ticks only: several more of them pass while b's timers stay silent.
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"a") >= aBefore + 5; }));
  EXPECT_EQ(before[bWindowIds[0]], watch.ticksByWindowId[bWindowIds[0]]);
  EXPECT_EQ(before[bWindowIds[1]], watch.ticksByWindowId[bWindowIds[1]]);
  EXPECT_FALSE(window.manager().KillTimer(b, 2));
}

TEST_F(TimersTest, SameTimerTwiceFailsUntilKilledThenReusesItsId) {
  TimerBox* a = AddBox(L"a");
  ASSERT_TRUE(window.manager().SetTimer(a, 5, 10));
  EXPECT_FALSE(window.manager().SetTimer(a, 5, 10));
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"a") >= 1; }));
  UINT firstId = a->windowIdOf[5];
  EXPECT_TRUE(window.manager().KillTimer(a, 5));
  EXPECT_FALSE(window.manager().KillTimer(a, 5));
  int killedAt = Ticks(L"a");
  // A killed timer stays silent while another one runs.
  TimerBox* other = AddBox(L"other");
  window.manager().SetTimer(other, 1, 10);
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"other") >= 3; }));
  EXPECT_EQ(killedAt, Ticks(L"a"));
  ASSERT_TRUE(window.manager().SetTimer(a, 5, 10));
  int rearmedAt = Ticks(L"a");
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"a") >= rearmedAt + 2; }));
  EXPECT_EQ(firstId, a->windowIdOf[5]);
}

TEST_F(TimersTest, IdsCycleThroughTheControlRangeAndNeverCollide) {
  std::vector<TimerBox*> boxes;
  for (int i = 0; i < 240; ++i) {
    boxes.push_back(AddBox((L"t" + std::to_wstring(i)).c_str()));
    ASSERT_TRUE(window.manager().SetTimer(boxes.back(), 100 + i, 50)) << i;
  }
  // Every window id of the range is held now: one more timer has no id to take.
  TimerBox* extra = AddBox(L"extra");
  EXPECT_FALSE(window.manager().SetTimer(extra, 1, 10));
  ASSERT_TRUE(window.PumpUntil([&] {
    for (int i = 0; i < 240; ++i) {
      if (boxes[i]->windowIdOf.count(100 + i) == 0) return false;
    }
    return true;
  }));
  std::set<UINT> ids;
  for (int i = 0; i < 240; ++i) {
    UINT id = boxes[i]->windowIdOf[100 + i];
    EXPECT_LT(id, 240u);
    ids.insert(id);
  }
  EXPECT_EQ(240u, ids.size());
  EXPECT_EQ(17u, boxes[0]->windowIdOf[100]);
  EXPECT_EQ(0u, boxes[223]->windowIdOf[323]);
  // Free one id: the next timer takes exactly that one, not a live one.
  UINT freed = boxes[50]->windowIdOf[150];
  window.manager().KillTimer(boxes[50]);
  ASSERT_TRUE(window.manager().SetTimer(extra, 1, 10));
  ASSERT_TRUE(window.PumpUntil([&] { return extra->windowIdOf.count(1) != 0; }));
  EXPECT_EQ(freed, extra->windowIdOf[1]);
}

TEST_F(TimersTest, RemoveAllTimersStopsEveryTimer) {
  TimerBox* a = AddBox(L"a");
  window.manager().SetTimer(a, 1, 10);
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"a") >= 1; }));
  window.manager().RemoveAllTimers();
  EXPECT_FALSE(window.manager().KillTimer(a, 1));
  int stoppedAt = Ticks(L"a");
  TimerBox* b = AddBox(L"b");
  window.manager().SetTimer(b, 1, 10);
  ASSERT_TRUE(window.PumpUntil([&] { return Ticks(L"b") >= 3; }));
  EXPECT_EQ(stoppedAt, Ticks(L"a"));
}
