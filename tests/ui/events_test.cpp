#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "test_controls.h"
#include "test_window.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

using Seq = std::vector<std::wstring>;

// A laid-out window with a red box (10,10)-(60,50) and a green box (100,20)-(160,80) in a root.
class EventsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = new TestContainer(L"root", RGB(0, 0, 255), &log);
    red = new TestBox(L"red", RGB(255, 0, 0), &log, UIFLAG_TABSTOP);
    red->Place(10, 10, 50, 40);
    green = new TestBox(L"green", RGB(0, 255, 0), &log, UIFLAG_TABSTOP);
    green->Place(100, 20, 60, 60);
    root->Add(red);
    root->Add(green);
    window.manager().SetHoverTime(600000);
    window.Attach(root);
    window.PaintNow();
    window.manager().AddNotifier(&notifier);
    // Let the real pointer settle over the red box, then forget what it caused.
    window.MoveCursorTo(30, 30);
    window.PumpUntil([] { return false; }, 8);
    window.Post(WM_MOUSEMOVE, 0, At(30, 30));
    window.Pump();
    // The first paint focused the first tab stop; start from no focus.
    window.manager().SetFocus(nullptr);
    log.Clear();
  }
  void TearDown() override { window.manager().RemoveNotifier(&notifier); }

  void PostAndPump(UINT msg, WPARAM wParam, LPARAM lParam) {
    window.Post(msg, wParam, lParam);
    window.Pump();
  }
  // The log without the mouse moves that the real pointer may add.
  Seq Filtered() const {
    Seq out;
    for (const auto& s : log.Sequence()) {
      if (s != L"red 9" && s != L"root 9") out.push_back(s);
    }
    return out;
  }

  TestWindow window{300, 200};
  EventLog log;
  TestNotifier notifier{&log};
  TestContainer* root = nullptr;
  TestBox* red = nullptr;
  TestBox* green = nullptr;
};

// A box whose memory is filled with 0xFE bytes when deleted and never given back: a pointer to it
// that the manager kept crashes on its next use instead of calling into a dead object quietly.
class DoomedBox : public TestBox {
 public:
  using TestBox::TestBox;
  static void operator delete(void* p, size_t size) { memset(p, 0xFE, size); }
};

// An event delegate that removes a control of the root at the first event of one type.
struct RemoveOn {
  TestContainer* root;
  CControlUI* victim;
  int type;
  bool OnEvent(void* p) {
    if (victim == nullptr || static_cast<EventRecordUI*>(p)->Type != type) return true;
    root->Remove(victim);
    victim = nullptr;
    return false;  // the control of this delegate may be the one removed
  }
};

}  // namespace

// The receiver of the control the pointer leaves, and that of the one it hovers, may delete the
// control the manager is about to give the pointer or show the tip of.
TEST_F(EventsTest, ALeaveOrHoverReceiverMayDeleteTheControlUnderThePointer) {
  auto addBlue = [&] {
    auto* blue = new DoomedBox(L"blue", RGB(0, 0, 128), &log);
    blue->Place(200, 20, 50, 50);
    blue->SetToolTip(L"tip");
    root->Add(blue);
    window.PaintNow();
    return blue;
  };
  RemoveOn leave{root, addBlue(), UIEVENT_MOUSELEAVE};
  red->OnEvent += MakeDelegate(&leave, &RemoveOn::OnEvent);
  PostAndPump(WM_MOUSEMOVE, 0, At(220, 40));
  EXPECT_EQ(nullptr, leave.victim);
  EXPECT_EQ(0, log.Count(L"blue", UIEVENT_MOUSEENTER));

  RemoveOn hover{root, addBlue(), UIEVENT_MOUSEHOVER};
  hover.victim->OnEvent += MakeDelegate(&hover, &RemoveOn::OnEvent);
  PostAndPump(WM_MOUSEMOVE, 0, At(220, 40));
  PostAndPump(WM_MOUSEHOVER, 0, At(220, 40));
  EXPECT_EQ(nullptr, hover.victim);
}

TEST_F(EventsTest, ClickBecomesEventsAndSynchronousNotifications) {
  bool delegateSawClick = false;
  struct Watch {
    EventLog* log;
    bool* flag;
    bool OnNotify(void* p) {
      NotifyRecordUI* msg = static_cast<NotifyRecordUI*>(p);
      log->events.push_back(
          {L"delegate " + std::wstring(msg->sType.GetData()), kNotifyEntry, 0, 0, 0, 0, msg->pSender});
      *flag = true;
      return true;
    }
  } watch{&log, &delegateSawClick};
  red->OnNotify += MakeDelegate(&watch, &Watch::OnNotify);
  window.Post(WM_MOUSEMOVE, 0, At(30, 30));
  window.Post(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  window.Post(WM_LBUTTONUP, 0, At(30, 30));
  window.Post(WM_KEYDOWN, VK_F5, 0);
  window.Pump();
  EXPECT_EQ((Seq{L"red 24", L"delegate setfocus", L"notify setfocus:red", L"red 13", L"red 14", L"delegate click",
                 L"notify click:red", L"red 3", L"root 3"}),
            Filtered());
  EXPECT_TRUE(delegateSawClick);
  EXPECT_EQ(red, window.manager().GetFocus());
  EXPECT_FALSE(window.manager().IsCaptured());
}

// A control's own delegate removes it, deleting it at once, in the middle of its event and of its
// notification: neither the control nor its delegate lists are touched afterwards.
TEST_F(EventsTest, ControlDeletedByItsOwnDelegateIsNotTouchedAgain) {
  struct Remover {
    TestContainer* root;
    TestBox** doomed;
    int type;
    int later = 0;
    bool OnEvent(void* p) {
      if (static_cast<EventRecordUI*>(p)->Type == type) Remove();
      return true;
    }
    bool OnNotify(void* p) {
      if (static_cast<NotifyRecordUI*>(p)->sType == L"click") Remove();
      return true;
    }
    bool Later(void*) {
      if (*doomed == nullptr) ++later;
      return true;
    }
    void Remove() {
      root->Remove(*doomed);
      *doomed = nullptr;
    }
  } byEvent{root, &red, UIEVENT_BUTTONDOWN}, byNotify{root, &green, 0};
  red->OnEvent += MakeDelegate(&byEvent, &Remover::OnEvent);
  red->OnEvent += MakeDelegate(&byEvent, &Remover::Later);
  green->OnNotify += MakeDelegate(&byNotify, &Remover::OnNotify);
  green->OnNotify += MakeDelegate(&byNotify, &Remover::Later);
  PostAndPump(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  PostAndPump(WM_LBUTTONUP, 0, At(30, 30));
  EXPECT_EQ(nullptr, red);
  EXPECT_EQ(0, log.Count(L"red", UIEVENT_BUTTONDOWN));
  PostAndPump(WM_LBUTTONDOWN, MK_LBUTTON, At(130, 50));
  PostAndPump(WM_LBUTTONUP, 0, At(130, 50));
  EXPECT_EQ(nullptr, green);
  EXPECT_EQ(0, byEvent.later + byNotify.later);
  EXPECT_NE(log.notifications.end(), std::find(log.notifications.begin(), log.notifications.end(), L"click:(null)"));
}

TEST_F(EventsTest, QueuedNotificationArrivesAfterLaterMessages) {
  red->SetAsyncClick(true);
  window.Post(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  window.Post(WM_LBUTTONUP, 0, At(30, 30));
  window.Post(WM_KEYDOWN, VK_F5, 0);
  window.Pump();
  EXPECT_EQ((Seq{L"red 24", L"notify setfocus:red", L"red 13", L"red 14", L"red 3", L"root 3", L"notify click:red"}),
            Filtered());
}

TEST_F(EventsTest, QueuedNotificationOfADeadSenderArrivesWithoutIt) {
  window.manager().SendNotify(green, L"later", 5, 6, true);
  root->Remove(green);
  green = nullptr;
  window.Pump();
  EXPECT_NE(log.notifications.end(), std::find(log.notifications.begin(), log.notifications.end(), L"later:(null)"));
  EXPECT_EQ(nullptr, window.manager().FindControl(L"green"));
}

TEST_F(EventsTest, KeysGoToTheFocusedControlAndBubbleUp) {
  window.manager().SetFocus(green);
  log.Clear();
  PostAndPump(WM_KEYDOWN, VK_DOWN, 0x00500001);
  PostAndPump(WM_CHAR, L'x', 0);
  window.manager().SetFocus(red);
  PostAndPump(WM_KEYUP, VK_DOWN, 0xC0500001);
  // The key-up goes to the control that had the key-down, even after the focus moved.
  Seq expected{L"green 3",  L"root 3",
               L"green 5",  L"root 5",
               L"green 23", L"notify killfocus:green",
               L"red 24",   L"notify setfocus:red",
               L"green 4",  L"root 4"};
  EXPECT_EQ(expected, Filtered());
  EXPECT_EQ(static_cast<WPARAM>(VK_DOWN), log.events[0].wParam);
  EXPECT_EQ(static_cast<wchar_t>(L'x'), log.events[2].chKey);
  EXPECT_EQ(red, log.events[4].sender);  // kill-focus names the control that gets the focus
}

TEST_F(EventsTest, CaptureFollowsADragOutOfTheControl) {
  PostAndPump(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  EXPECT_TRUE(window.manager().IsCaptured());
  EXPECT_EQ(window.hwnd(), GetCapture());
  PostAndPump(WM_MOUSEMOVE, MK_LBUTTON, At(120, 40));
  PostAndPump(WM_MOUSEMOVE, MK_LBUTTON, At(250, 150));
  PostAndPump(WM_LBUTTONUP, 0, At(250, 150));
  EXPECT_FALSE(window.manager().IsCaptured());
  EXPECT_EQ(nullptr, GetCapture());
  // Moves go to the pressed control while hover follows the pointer; no click outside.
  EXPECT_EQ(
      (Seq{L"red 24", L"notify setfocus:red", L"red 13", L"red 10", L"green 11", L"green 10", L"root 11", L"red 14"}),
      [&] {
        Seq out;
        for (const auto& s : log.Sequence()) {
          if (s != L"red 9" && s != L"root 9" && s != L"green 9") out.push_back(s);
        }
        return out;
      }());
  EXPECT_GE(log.Count(L"red", UIEVENT_MOUSEMOVE), 2);
  EXPECT_EQ(0, log.Count(L"green", UIEVENT_MOUSEMOVE));
}

TEST_F(EventsTest, RightButtonAndContextMenu) {
  red->SetContextMenuEnabled(true);
  PostAndPump(WM_RBUTTONDOWN, MK_RBUTTON, At(30, 30));
  PostAndPump(WM_RBUTTONUP, 0, At(30, 30));
  POINT screen = {30, 30};
  ClientToScreen(window.hwnd(), &screen);
  PostAndPump(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window.hwnd()), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ((Seq{L"red 24", L"notify setfocus:red", L"red 15", L"red 16", L"red 20", L"notify menu:red"}), Filtered());
  for (const auto& e : log.events) {
    if (e.type == UIEVENT_CONTEXTMENU) {
      EXPECT_EQ(reinterpret_cast<LPARAM>(red), e.lParam);
    }
  }
  // Without "menu" the context-menu event bubbles to the parent.
  red->SetContextMenuEnabled(false);
  log.Clear();
  PostAndPump(WM_RBUTTONUP, 0, At(30, 30));
  PostAndPump(WM_CONTEXTMENU, 0, MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ((Seq{L"red 16", L"red 20", L"root 20"}), Filtered());
}

TEST_F(EventsTest, WheelTowardsTheUserIsOne) {
  POINT screen = {120, 40};
  ClientToScreen(window.hwnd(), &screen);
  PostAndPump(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
  PostAndPump(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  ASSERT_EQ(2, log.Count(L"green", UIEVENT_SCROLLWHEEL));
  std::vector<WPARAM> directions;
  for (const auto& e : log.events) {
    if (e.type == UIEVENT_SCROLLWHEEL) directions.push_back(e.wParam);
  }
  EXPECT_EQ((std::vector<WPARAM>{1, 0}), directions);
  EXPECT_EQ(120, window.manager().GetMousePos().x);
}

TEST_F(EventsTest, DoubleClickAndMiddleButton) {
  PostAndPump(WM_LBUTTONDBLCLK, MK_LBUTTON, At(120, 40));
  PostAndPump(WM_LBUTTONUP, 0, At(120, 40));
  PostAndPump(WM_MBUTTONDOWN, MK_MBUTTON, At(30, 30));
  PostAndPump(WM_MBUTTONUP, 0, At(30, 30));
  EXPECT_EQ(
      (Seq{L"green 19", L"green 14", L"notify click:green", L"red 24", L"notify setfocus:red", L"red 17", L"red 18"}),
      Filtered());
}

TEST_F(EventsTest, SetCursorAskedOnlyByControlsThatWantIt) {
  LRESULT lRes = 0;
  // Red does not ask for set-cursor events: the message is left to the window.
  EXPECT_FALSE(window.manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd()),
                                               MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), lRes));
  EXPECT_EQ(0, log.Count(L"red", UIEVENT_SETCURSOR));
  window.manager().SetCapture();
  EXPECT_TRUE(window.manager().MessageHandler(WM_SETCURSOR, reinterpret_cast<WPARAM>(window.hwnd()),
                                              MAKELPARAM(HTCLIENT, WM_MOUSEMOVE), lRes));
  window.manager().ReleaseCapture();
  EXPECT_TRUE(log.events.empty());
  EXPECT_FALSE(window.manager().MessageHandler(WM_SETCURSOR, 0, MAKELPARAM(HTCAPTION, WM_MOUSEMOVE), lRes));
}

TEST_F(EventsTest, CloseSendsLeaveAndButtonUpAndDropsFocus) {
  PostAndPump(WM_MOUSEMOVE, 0, At(30, 30));
  PostAndPump(WM_LBUTTONDOWN, MK_LBUTTON, At(30, 30));
  log.Clear();
  LRESULT lRes = 0;
  window.manager().MessageHandler(WM_CLOSE, 0, 0, lRes);
  EXPECT_EQ((Seq{L"red 10", L"red 14", L"notify click:red", L"red 23", L"notify killfocus:red"}), Filtered());
  EXPECT_EQ(nullptr, window.manager().GetFocus());
}

TEST_F(EventsTest, MessageFiltersRunFirstAndCanHandle) {
  struct Filter : IMessageFilterUI {
    int seen = 0;
    LRESULT MessageHandler(UINT msg, WPARAM, LPARAM, bool& handled) override {
      if (msg == WM_KEYDOWN) {
        ++seen;
        handled = true;
        return 42;
      }
      return 0;
    }
  } filter;
  window.manager().SetFocus(red);
  window.manager().AddMessageFilter(&filter);
  LRESULT lRes = 0;
  EXPECT_TRUE(window.manager().MessageHandler(WM_KEYDOWN, 'Q', 0, lRes));
  EXPECT_EQ(42, lRes);
  EXPECT_EQ(1, filter.seen);
  EXPECT_EQ(0, log.Count(L"red", UIEVENT_KEYDOWN));
  window.manager().RemoveMessageFilter(&filter);
  window.manager().MessageHandler(WM_KEYDOWN, 'Q', 0, lRes);
  EXPECT_EQ(1, log.Count(L"red", UIEVENT_KEYDOWN));
}

// The window taking the focus tells the focused control again, and that control's receiver may
// delete the one that was to get the focus: nothing of it is touched afterwards.
TEST_F(EventsTest, TheWindowTakingTheFocusMayDeleteTheControlToBeFocused) {
  auto* blue = new TestBox(L"blue", RGB(0, 0, 128), &log, UIFLAG_TABSTOP);
  blue->Place(200, 20, 50, 50);
  root->Add(blue);
  window.PaintNow();
  window.manager().SetFocus(red);
  RemoveOn refocus{root, blue, UIEVENT_SETFOCUS};
  red->OnEvent += MakeDelegate(&refocus, &RemoveOn::OnEvent);
  ::SetFocus(nullptr);
  window.manager().SetFocus(blue);
  EXPECT_EQ(nullptr, refocus.victim) << "the window's focus reached the focused control";
  EXPECT_EQ(red, window.manager().GetFocus());
}
