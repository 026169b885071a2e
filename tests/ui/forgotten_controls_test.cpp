// A control that registered itself with a paint manager is forgotten by it when the control dies or
// moves to another manager, whatever the control's manager pointer says then: no list of the manager
// (listeners, timers, focus, hover, capture, delayed clean-up) keeps it.
#include <gtest/gtest.h>

#include <cstring>

#include "demo_window.h"
#include "test_window.h"
#include "ui/core/layouts/layouts.h"

using namespace SkinUI;
using skinui_test::DemoWindow;
using skinui_test::TestWindow;

namespace {

// Joins every list of its manager (on the attribute "join" or by Join) and counts what reaches it.
// Its memory is never given back: a deleted one is filled with 0xFE bytes, so a list that still
// held it would crash the test on its next message instead of calling into a dead object quietly.
class Joiner : public CControlUI, public IMessageFilterUI, public ITranslateAccelerator, public INotifyUI {
 public:
  static int calls;
  static int alive;

  Joiner() { ++alive; }
  ~Joiner() override { --alive; }
  static void operator delete(void* p, size_t size) { memset(p, 0xFE, size); }

  void Join() {
    m_pManager->AddMessageFilter(this);
    m_pManager->AddPreMessageFilter(this);
    m_pManager->AddTranslateAccelerator(this);
    m_pManager->AddNotifier(this);
    m_pManager->SetTimer(this, 7, 10);
  }
  void SetAttribute(const wchar_t* name, const wchar_t* value) override {
    if (wcscmp(name, L"join") == 0)
      Join();
    else
      CControlUI::SetAttribute(name, value);
  }
  UINT GetControlFlags() const override { return UIFLAG_TABSTOP; }
  void DoEvent(EventRecordUI& event) override {
    ++calls;
    CControlUI::DoEvent(event);
  }
  LRESULT MessageHandler(UINT, WPARAM, LPARAM, bool&) override {
    ++calls;
    return 0;
  }
  LRESULT TranslateAccelerator(MSG*) override {
    ++calls;
    return 1;  // not translated
  }
  void Notify(NotifyRecordUI&) override { ++calls; }
};

int Joiner::calls = 0;
int Joiner::alive = 0;

// A framework window whose builder makes a Joiner for the element "Joiner".
class JoinerWindow : public DemoWindow {
 public:
  explicit JoinerWindow(const wchar_t* markup) : DemoWindow(markup) {}

 protected:
  CControlUI* CreateControl(const wchar_t* name) override {
    return wcscmp(name, L"Joiner") == 0 ? new Joiner : DemoWindow::CreateControl(name);
  }
};

// The messages of one window only: another window of the thread (the pointer's moves the system
// makes for it come late on a loaded machine) must not count for this one.
void PumpWindow(HWND hwnd) {
  MSG msg;
  for (int handled = 0; handled < 2000 && ::PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE); ++handled) {
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

// Every kind of message that reaches a manager's lists and fields, over the point.
void DriveOver(HWND hwnd, POINT at) {
  LPARAM point = MAKELPARAM(at.x, at.y);
  ::PostMessageW(hwnd, WM_MOUSEMOVE, 0, point);
  ::PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, point);
  ::PostMessageW(hwnd, WM_MOUSEMOVE, MK_LBUTTON, point);
  ::PostMessageW(hwnd, WM_LBUTTONUP, 0, point);
  ::PostMessageW(hwnd, WM_KEYDOWN, 'A', 1);
  ::PostMessageW(hwnd, WM_CHAR, 'a', 1);
  ::PostMessageW(hwnd, WM_KEYUP, 'A', 0xC0000001);
  ::PostMessageW(hwnd, WM_MOUSELEAVE, 0, 0);
  PumpWindow(hwnd);
  ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 40, QS_ALLINPUT);  // a 10 ms timer tick or more
  PumpWindow(hwnd);
}

class ForgottenControls : public ::testing::Test {
 protected:
  void SetUp() override {
    Joiner::calls = 0;
    Joiner::alive = 0;
  }
};

TEST_F(ForgottenControls, AControlTheBuilderDeletesLeavesEveryListItJoined) {
  // The joiner joins while its attributes are applied; then its layout cannot go under the label
  // and the builder deletes it, after having cleared its manager pointer.
  JoinerWindow w(
      L"<Window size=\"200,120\"><VerticalLayout><Label height=\"40\"><HorizontalLayout>"
      L"<Joiner join=\"true\" /></HorizontalLayout></Label><Button name=\"b\" /></VerticalLayout></Window>");
  ASSERT_NE(nullptr, w.Open(30, 30));
  ASSERT_EQ(0, Joiner::alive);
  const int callsWhileAlive = Joiner::calls;
  w.notes.clear();
  DriveOver(w.GetHWND(), POINT{50, 60});
  w.GetPaintManager().SendNotify(w.Find(L"b"), L"custom");
  EXPECT_EQ(callsWhileAlive, Joiner::calls);
  EXPECT_EQ(1, w.Count(L"custom")) << "the window's own notifier still hears";
  DestroyWindow(w.GetHWND());
}

// A window whose vertical layout holds one joiner that has joined its manager's lists and, clicked,
// holds the hover, the focus and the capture.
struct JoinedWindow {
  JoinedWindow() {
    root->Add(joiner);
    w.Attach(root);
    w.PaintNow();
    joiner->Join();
    w.Post(WM_MOUSEMOVE, 0, MAKELPARAM(50, 50));
    w.Post(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    w.Pump();
  }
  // Takes the joiner out of the layout without deleting it.
  void Release() {
    root->SetAutoDestroy(false);
    root->Remove(joiner);
  }

  TestWindow w{200, 120};
  CVerticalLayoutUI* root = new CVerticalLayoutUI;
  Joiner* joiner = new Joiner;
};

TEST_F(ForgottenControls, AControlDeletedWithoutItsManagerPointerLeavesFocusHoverCaptureAndTimers) {
  JoinedWindow joined;
  ASSERT_EQ(joined.joiner, joined.w.manager().GetFocus());
  joined.Release();
  joined.joiner->SetManager(nullptr, nullptr, false);
  delete joined.joiner;
  EXPECT_EQ(nullptr, joined.w.manager().GetFocus());
  const int callsWhileAlive = Joiner::calls;
  DriveOver(joined.w.hwnd(), POINT{50, 50});
  EXPECT_EQ(callsWhileAlive, Joiner::calls);
}

TEST_F(ForgottenControls, AControlMovedToAnotherManagerLeavesTheFirst) {
  JoinedWindow first;
  ASSERT_EQ(first.joiner, first.w.manager().GetFocus());
  first.Release();
  TestWindow second(200, 120);
  auto* secondRoot = new CVerticalLayoutUI;
  second.Attach(secondRoot);
  secondRoot->Add(first.joiner);
  second.PaintNow();
  EXPECT_EQ(nullptr, first.w.manager().GetFocus());
  Joiner::calls = 0;
  DriveOver(first.w.hwnd(), POINT{50, 50});
  EXPECT_EQ(0, Joiner::calls) << "the first window's messages reach it no more";
  DriveOver(second.hwnd(), POINT{50, 50});
  EXPECT_GT(Joiner::calls, 0) << "it lives on in the second window";
}

TEST_F(ForgottenControls, AQueuedControlThatDiesFirstIsNotDeletedAgain) {
  JoinedWindow joined;
  joined.root->Remove(joined.joiner);  // queued for the clean-up message
  delete joined.joiner;                // and deleted by someone else before it comes
  joined.w.Pump();
  EXPECT_EQ(0, Joiner::alive);
}

}  // namespace
