#include <gtest/gtest.h>

#include "test_controls.h"
#include "test_window.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

struct FindTip {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchTip(HWND hwnd, LPARAM p) {
  FindTip* f = reinterpret_cast<FindTip*>(p);
  wchar_t cls[64] = {0};
  GetClassNameW(hwnd, cls, 64);
  if (_wcsicmp(cls, L"tooltips_class32") == 0 && GetWindow(hwnd, GW_OWNER) == f->owner) {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND TooltipOf(HWND owner) {
  FindTip find{owner, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), MatchTip, reinterpret_cast<LPARAM>(&find));
  return find.found;
}

}  // namespace

TEST(Tooltip, HoverShowsTheControlsTipAndLeavingHidesIt) {
  TestWindow window(300, 200);
  EventLog log;
  TestContainer* root = new TestContainer(L"root", RGB(0, 0, 0), &log);
  TestBox* tipped = new TestBox(L"tipped", RGB(255, 0, 0), &log);
  tipped->Place(10, 10, 80, 40);
  tipped->SetToolTip(L"安装<n>提示");
  TestBox* silent = new TestBox(L"silent", RGB(0, 255, 0), &log);
  silent->Place(150, 10, 80, 40);
  root->Add(tipped);
  root->Add(silent);
  window.manager().SetHoverTime(600000);
  window.Attach(root);
  window.PaintNow();
  window.MoveCursorTo(30, 30);
  window.Post(WM_MOUSEMOVE, 0, MAKELPARAM(30, 30));
  window.Pump();
  EXPECT_STREQ(L"安装\r\n提示", tipped->GetToolTip().GetData());

  window.Post(WM_MOUSEHOVER, 0, MAKELPARAM(30, 30));
  window.Pump();
  EXPECT_EQ(1, log.Count(L"tipped", UIEVENT_MOUSEHOVER));
  HWND tip = TooltipOf(window.hwnd());
  ASSERT_NE(nullptr, tip);
  ASSERT_TRUE(window.PumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 40));
  TTTOOLINFOW info = {};
  info.cbSize = sizeof(info);
  wchar_t text[80] = {0};
  info.lpszText = text;
  ASSERT_TRUE(SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&info)));
  EXPECT_STREQ(L"安装\r\n提示", text);
  EXPECT_EQ(10, info.rect.left);
  EXPECT_EQ(90, info.rect.right);

  // Moving onto another control hides it.
  window.Post(WM_MOUSEMOVE, 0, MAKELPARAM(160, 20));
  window.Pump();
  EXPECT_TRUE(window.PumpUntil([&] { return IsWindowVisible(tip) == FALSE; }, 40));
  // A control without a tip shows nothing on hover.
  window.Post(WM_MOUSEHOVER, 0, MAKELPARAM(160, 20));
  window.Pump();
  EXPECT_FALSE(IsWindowVisible(tip));
  // Closing the window destroys the tooltip window.
  LRESULT lRes = 0;
  window.manager().MessageHandler(WM_CLOSE, 0, 0, lRes);
  EXPECT_FALSE(IsWindow(tip));
}
