#include <algorithm>
#include <gtest/gtest.h>

#include "test_controls.h"
#include "test_window.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

class FocusTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root = new TestContainer(L"root", RGB(0, 0, 0), &log);
    first = Add(L"first", UIFLAG_TABSTOP, 10);
    plain = Add(L"plain", 0, 40);
    second = Add(L"second", UIFLAG_TABSTOP, 70);
    label = new TestLabel(L"label", &log);
    label->Place(100, 10, 20, 20);
    label->SetShortcut(L'n');
    root->Add(label);
    third = Add(L"third", UIFLAG_TABSTOP, 130);
    window.Attach(root);
    window.manager().AddNotifier(&notifier);
  }
  void TearDown() override { window.manager().RemoveNotifier(&notifier); }
  TestBox* Add(const wchar_t* name, UINT flags, int x) {
    TestBox* box = new TestBox(name, RGB(9, 9, 9), &log, flags);
    box->Place(x, 10, 20, 20);
    root->Add(box);
    return box;
  }
  void PressTab(bool shift) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    window.Post(WM_KEYDOWN, VK_TAB, 0x000F0001);
    window.Pump();
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
  }
  CUIString FocusName() {
    CControlUI* focus = window.manager().GetFocus();
    return focus != nullptr ? focus->GetName() : CUIString(L"(none)");
  }

  TestWindow window{300, 100};
  EventLog log;
  TestNotifier notifier{&log};
  TestContainer* root = nullptr;
  TestBox *first = nullptr, *plain = nullptr, *second = nullptr, *third = nullptr;
  TestLabel* label = nullptr;
};

}  // namespace

TEST_F(FocusTest, FirstPaintFocusesTheFirstTabStop) {
  window.PaintNow();
  EXPECT_STREQ(L"first", FocusName().GetData());
  EXPECT_TRUE(first->IsFocused());
}

TEST_F(FocusTest, TabWalksTabStopsAndWraps) {
  window.PaintNow();
  std::vector<std::wstring> order;
  auto press = [&](bool shift) {
    std::wstring from = FocusName().GetData();
    log.Clear();
    PressTab(shift);
    std::wstring to = FocusName().GetData();
    order.push_back(to);
    // Every move is a kill-focus on the old control, then a set-focus on the new one. The window
    // itself may be activated meanwhile by other windows of the display, which only adds set-focus
    // events to the focused control, so the order is checked and not the totals.
    std::vector<std::wstring> seq = log.Sequence();
    auto kill = std::find(seq.begin(), seq.end(), from + L" " + std::to_wstring(UIEVENT_KILLFOCUS));
    auto set = std::find(seq.begin(), seq.end(), to + L" " + std::to_wstring(UIEVENT_SETFOCUS));
    EXPECT_TRUE(kill != seq.end() && set != seq.end() && kill < set) << "Tab from " << testing::PrintToString(from);
  };
  for (int i = 0; i < 4; ++i) press(false);
  EXPECT_EQ((std::vector<std::wstring>{L"second", L"third", L"first", L"second"}), order);
  order.clear();
  for (int i = 0; i < 3; ++i) press(true);
  EXPECT_EQ((std::vector<std::wstring>{L"first", L"third", L"second"}), order);
}

TEST_F(FocusTest, TabSkipsHiddenAndDisabledControls) {
  window.PaintNow();
  second->SetEnabled(false);
  third->SetVisible(false);
  window.PaintNow();
  PressTab(false);
  EXPECT_STREQ(L"first", FocusName().GetData());
  PressTab(true);
  EXPECT_STREQ(L"first", FocusName().GetData());
}

TEST_F(FocusTest, HidingTheFocusedControlDropsTheFocus) {
  window.PaintNow();
  window.manager().SetFocus(second);
  EXPECT_TRUE(second->IsFocused());
  second->SetVisible(false);
  EXPECT_FALSE(second->IsFocused());
  EXPECT_EQ(nullptr, window.manager().GetFocus());
  window.manager().SetFocus(second);
  EXPECT_EQ(nullptr, window.manager().GetFocus());
}

TEST_F(FocusTest, AltShortcutOfALabelActivatesTheNextControl) {
  window.PaintNow();
  log.Clear();
  window.Post(WM_SYSCHAR, L'N', 0x20000001);
  window.Pump();
  // Children are searched from the last, so the control after the label is "second".
  EXPECT_STREQ(L"second", FocusName().GetData());
  ASSERT_FALSE(log.notifications.empty());
  EXPECT_EQ(L"click:second", log.notifications.back());
  LRESULT lRes = 0;
  EXPECT_FALSE(window.manager().PreMessageHandler(WM_SYSCHAR, L'z', 0, lRes));
}

TEST_F(FocusTest, SystemKeyGoesToTheFocusedControl) {
  window.PaintNow();
  log.Clear();
  LRESULT lRes = 0;
  EXPECT_FALSE(window.manager().PreMessageHandler(WM_SYSKEYDOWN, VK_F10, 0, lRes));
  EXPECT_EQ(1, log.Count(L"first", UIEVENT_SYSKEY));
}

TEST_F(FocusTest, FocusNeededMovesOnAtTheNextPaint) {
  window.PaintNow();
  window.manager().SetFocus(third);
  log.Clear();
  window.manager().SetFocusNeeded(second);
  // The backward search from "second" settles on "first" silently; the paint then moves on.
  EXPECT_EQ(1, log.Count(L"third", UIEVENT_KILLFOCUS));
  EXPECT_STREQ(L"first", FocusName().GetData());
  EXPECT_EQ(0, log.Count(L"first", UIEVENT_SETFOCUS));
  window.PaintNow();
  EXPECT_STREQ(L"second", FocusName().GetData());
  EXPECT_EQ(1, log.Count(L"second", UIEVENT_SETFOCUS));
}

TEST_F(FocusTest, SetFocusSendsNotificationsInOrder) {
  window.PaintNow();
  log.Clear();
  window.manager().SetFocus(third);
  window.manager().SetFocus(nullptr);
  EXPECT_EQ((std::vector<std::wstring>{L"first 23", L"notify killfocus:first", L"third 24", L"notify setfocus:third",
                                       L"third 23", L"notify killfocus:third"}),
            log.Sequence());
}
