#include <gtest/gtest.h>

#include "test_controls.h"
#include "test_window.h"
#include "ui/core/resources/resource_table.h"

using namespace SkinUI;
using namespace skinui_test;

TEST(PaintManagerResources, FontsReplaceByIdAndFallBackToTheDefault) {
  TestWindow window(100, 100);
  CPaintManagerUI& m = window.manager();
  HFONT first = m.AddFont(1, L"Tahoma", 12, false, false, false);
  ASSERT_NE(nullptr, first);
  HFONT second = m.AddFont(1, L"Tahoma", 20, true, false, false);
  ASSERT_NE(nullptr, second);
  EXPECT_EQ(second, m.GetFont(1));
  EXPECT_EQ(nullptr, m.GetFont(L"Tahoma", 12, false, false, false));
  EXPECT_EQ(second, m.GetFont(L"Tahoma", 20, true, false, false));
  EXPECT_EQ(m.GetDefaultFontInfo()->hFont, m.GetFont(-1));
  EXPECT_EQ(m.GetDefaultFontInfo()->hFont, m.GetFont(99));
  FontInfo* info = m.GetFontInfo(1);
  EXPECT_EQ(20, info->iSize);
  EXPECT_TRUE(info->bBold);
  EXPECT_GT(info->tm.tmHeight, 0);
  EXPECT_EQ(info, m.GetFontInfo(second));
  LOGFONTW lf = {};
  GetObjectW(second, sizeof(lf), &lf);
  EXPECT_EQ(-20, lf.lfHeight);
  EXPECT_EQ(FW_BOLD, lf.lfWeight);
  m.SetDefaultFont(L"Tahoma", 15, false, true, false);
  EXPECT_STREQ(L"Tahoma", m.GetDefaultFontInfo()->sFontName.GetData());
  EXPECT_TRUE(m.GetDefaultFontInfo()->bUnderline);
  EXPECT_GT(m.GetDefaultFontInfo()->tm.tmHeight, 0);
}

TEST(PaintManagerResources, StylesKeepTheFirstTextAttributeListsTheLast) {
  CPaintManagerUI m;
  m.AddStyle(L"big", L"width=\"100\"");
  m.AddStyle(L"big", L"width=\"5\"");
  EXPECT_STREQ(L"width=\"100\"", m.GetStyle(L"big"));
  m.AddDefaultAttributeList(L"Button", L"a=\"1\"");
  m.AddDefaultAttributeList(L"Button", L"a=\"2\"");
  EXPECT_STREQ(L"a=\"2\"", m.GetDefaultAttributeList(L"Button"));
  EXPECT_EQ(nullptr, m.GetDefaultAttributeList(L"Label"));
  m.AddStyle(L"sharedstyle", L"height=\"3\"", true);
  CPaintManagerUI other;
  EXPECT_STREQ(L"height=\"3\"", other.GetStyle(L"sharedstyle"));
  EXPECT_EQ(nullptr, other.GetStyle(L"big"));
  m.RemoveAllStyles(true);
  EXPECT_EQ(nullptr, other.GetStyle(L"sharedstyle"));
}

TEST(PaintManagerResources, SharedColourChangesFollowUnchangedWindows) {
  CPaintManagerUI a, b;
  DWORD original = a.GetDefaultFontColor();
  b.SetDefaultFontColor(0xFF112233);
  a.SetDefaultFontColor(0xFF445566, true);
  EXPECT_EQ(0xFF445566u, a.GetDefaultFontColor());
  EXPECT_EQ(0xFF112233u, b.GetDefaultFontColor());
  CPaintManagerUI c;
  EXPECT_EQ(0xFF445566u, c.GetDefaultFontColor());
  a.SetDefaultFontColor(original, true);
  EXPECT_EQ(0xFFA7A6AAu, c.GetDefaultDisabledColor());
}

TEST(PaintManagerResources, OptionGroupsAndNames) {
  TestWindow window(100, 100);
  CPaintManagerUI& m = window.manager();
  EventLog log;
  TestContainer* root = new TestContainer(L"root", 0, &log);
  TestBox* one = new TestBox(L"twin", 0, &log);
  TestBox* two = new TestBox(L"twin", 0, &log);
  root->Add(one);
  root->Add(two);
  window.Attach(root);
  // Of two controls with one name, the later-visited wins.
  EXPECT_EQ(two, m.FindControl(L"twin"));
  EXPECT_TRUE(m.AddOptionGroup(L"g", one));
  EXPECT_FALSE(m.AddOptionGroup(L"g", one));
  EXPECT_TRUE(m.AddOptionGroup(L"g", two));
  ASSERT_NE(nullptr, m.GetOptionGroup(L"g"));
  EXPECT_EQ(2, m.GetOptionGroup(L"g")->GetSize());
  m.RemoveOptionGroup(L"g", one);
  m.RemoveOptionGroup(L"g", two);
  EXPECT_EQ(nullptr, m.GetOptionGroup(L"g"));
  // A dying control leaves the name map.
  root->Remove(two);
  EXPECT_EQ(nullptr, m.FindControl(L"twin"));
}

TEST(PaintManagerResources, InitSizeResizesOnlyBeforeAttach) {
  TestWindow window(100, 100);
  CPaintManagerUI& m = window.manager();
  m.SetInitSize(220, 120);
  RECT rc;
  GetWindowRect(window.hwnd(), &rc);
  EXPECT_EQ(220, rc.right - rc.left);
  EventLog log;
  window.Attach(new TestContainer(L"root", 0, &log));
  m.SetInitSize(400, 300);
  GetWindowRect(window.hwnd(), &rc);
  EXPECT_EQ(220, rc.right - rc.left);
  EXPECT_EQ(400, m.GetInitSize().cx);
}

TEST(PaintManagerResources, InitSizeStopsAtTheWorkArea) {
  TestWindow window(100, 100);
  window.manager().SetInitSize(349, 32768);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromWindow(window.hwnd(), MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT rc;
  GetWindowRect(window.hwnd(), &rc);
  EXPECT_EQ(349, rc.right - rc.left);
  EXPECT_EQ(monitor.rcWork.bottom - monitor.rcWork.top, rc.bottom - rc.top);
}

TEST(PaintManagerResources, ResourceTextControlsAskTheTable) {
  EventLog log;
  TestBox box(L"b", 0, &log);
  box.SetText(L"some.id");
  EXPECT_STREQ(L"some.id", box.GetText().GetData());
  box.SetResourceText(true);
  EXPECT_STREQ(L"some.id", box.GetText().GetData());
}
