// Pop-up menus in windows of their own, driven by the pointer and by the keyboard focus: these run
// in a program of their own, with Wine's heap checks on (a use of freed memory fails the run).
#include <gtest/gtest.h>

#include "menu_support.h"
#include "test_support.h"

using namespace SkinUI;
using skinui_test::MenuHost;
using skinui_test::MenuWindows;
using skinui_test::WindowRect;

namespace {

// Open, Bold, the separator and More, between the list's inset of 2 above and below.
const int kItemsHeight = 30 + 30 + 6 + 30;
const int kInset = 2;
// The icon's top-left quarter: the fixture image is 2 by 2 pixels, red at the top left.
const DWORD kRed = 0xFF0000, kWhite = 0xFFFFFF;

std::wstring MenuXml(const std::wstring& longText = L"Long", const std::wstring& window = L"") {
  return L"<Window " + window +
         L"><Default name=\"Menu\" value=\"bkcolor=&quot;#FFFFFFFF&quot; inset=&quot;0,2,0,2&quot; "
         L"itemtextpadding=&quot;30,0,0,0&quot; itemhotbkcolor=&quot;#FFFFFFFF&quot; "
         L"itemselectedbkcolor=&quot;#FFFFFFFF&quot;\"/><Menu>"
         L"<MenuElement name=\"open\" text=\"Open\"/>"
         L"<MenuElement name=\"bold\" text=\"Bold\" checkitem=\"true\" ischeck=\"true\" icon=\"dot.bmp\"/>"
         L"<MenuElement name=\"line\" linetype=\"true\"/>"
         L"<MenuElement name=\"more\" text=\"More\" expland=\"true\">"
         L"<MenuElement name=\"sub1\" text=\"Sub one\" userdata=\"cmd:sub1\"/>"
         L"<MenuElement name=\"" +
         std::wstring(300, L'n') + L"\" text=\"" + longText +
         L"\"/>"
         L"</MenuElement></Menu></Window>";
}

DWORD IconPixel(MenuHost& host) {
  RECT item = host.Item(L"bold")->GetPos();
  return skinui_test::OffscreenPixel(*host.Item(L"bold")->GetManager(), item.left + 9, item.top + 9);
}

}  // namespace

TEST(MenuWindow, OpensAtThePointByItsAlignment) {
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{300, 200}));
  RECT rc = WindowRect(MenuWindows()[0]);
  EXPECT_EQ(300, rc.left);
  EXPECT_EQ(200, rc.top);
  EXPECT_EQ(150, rc.right - rc.left);
  EXPECT_EQ(kItemsHeight + 2 * kInset, rc.bottom - rc.top);
  host.PostToMenu(L"open", WM_KEYDOWN, VK_ESCAPE);
  ASSERT_TRUE(host.WaitForMenus(0));

  ASSERT_TRUE(host.Open(MenuXml(), POINT{300, 200}, kMenuAlignRight | kMenuAlignBottom));
  rc = WindowRect(MenuWindows()[0]);
  EXPECT_EQ(300, rc.right);
  EXPECT_EQ(200 - kItemsHeight, rc.top);
  host.PostToMenu(L"open", WM_KEYDOWN, VK_LEFT);
  ASSERT_TRUE(host.WaitForMenus(0));
  EXPECT_FALSE(host.Open(L"<Window><Menu>", POINT{300, 200})) << "markup that builds nothing opens nothing";
}

// Hovering an item with nested items opens one sub-menu beside it, left of its menu at the screen's
// right edge; hovering a leaf of the same menu closes it.
TEST(MenuWindow, HoverOpensOneSubMenuLeftOfAMenuAtTheRightEdge) {
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{GetSystemMetrics(SM_CXSCREEN) - 155, 200}));
  HWND root = MenuWindows()[0];
  host.Hover(L"more");
  host.Hover(L"more");
  ASSERT_EQ(2u, MenuWindows().size());
  HWND sub = host.WindowOf(L"sub1");
  ASSERT_NE(root, sub);
  EXPECT_EQ(WindowRect(root).left, WindowRect(sub).right);
  EXPECT_EQ(WindowRect(root).top + kInset + 66, WindowRect(sub).top) << "level with its item";
  EXPECT_EQ(150, WindowRect(sub).right - WindowRect(sub).left);
  EXPECT_TRUE(host.Item(L"sub1")->IsVisible());
  host.Item(L"more")->GetParent()->NeedUpdate();
  UpdateWindow(root);
  EXPECT_EQ(kInset, host.Item(L"sub1")->GetPos().top) << "a new layout of the root leaves the sub-menu's items";

  host.Hover(L"open");
  ASSERT_TRUE(host.WaitForMenus(1));
  host.Hover(L"more");
  EXPECT_EQ(2u, MenuWindows().size()) << "the items went back and open again";
}

// A sub-menu of an item at the bottom right of the work area of the item's monitor opens upward,
// its items ending at the item's top, and left of its menu.
TEST(MenuWindow, SubMenuAtTheBottomRightOfItsMonitorOpensUpAndLeft) {
  MenuHost host;
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT work = monitor.rcWork;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{work.right - 155, work.bottom - (kItemsHeight + 2 * kInset)}));
  RECT root = WindowRect(MenuWindows()[0]);
  host.Hover(L"more");
  ASSERT_EQ(2u, MenuWindows().size());
  RECT sub = WindowRect(host.WindowOf(L"sub1"));
  int itemTop = root.top + kInset + 66;
  EXPECT_EQ(root.left, sub.right);
  EXPECT_EQ(itemTop - 60, sub.top) << "two items of 30 above the item's top";
}

// A sub-menu is placed against the work area of its item's monitor: on a second monitor reaching
// past the primary one, a menu opened beyond the primary's corner has room for its sub-menu right
// of it and downward. The two-monitor run (two_monitors.sh) gives the screen such a monitor; on
// one monitor there is nothing to show.
TEST(MenuMonitors, SubMenuTakesTheWorkAreaOfItsItemsMonitor) {
  HMONITOR primary = MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof(monitor);
  GetMonitorInfoW(primary, &monitor);
  const POINT at = {monitor.rcWork.right + 10, monitor.rcWork.bottom + 10};
  HMONITOR second = MonitorFromPoint(at, MONITOR_DEFAULTTONULL);
  if (second == nullptr || second == primary) GTEST_SKIP() << "no monitor beyond the primary one's corner";
  GetMonitorInfoW(second, &monitor);
  ASSERT_GT(monitor.rcWork.right - at.x, 2 * 160) << "room for the menu and its sub-menu";
  ASSERT_GT(monitor.rcWork.bottom - at.y, kItemsHeight + 2 * kInset + 60);

  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), at));
  RECT root = WindowRect(MenuWindows()[0]);
  host.Hover(L"more");
  ASSERT_EQ(2u, MenuWindows().size());
  RECT sub = WindowRect(host.WindowOf(L"sub1"));
  EXPECT_EQ(root.right, sub.left) << "right of its menu";
  EXPECT_EQ(root.top + kInset + 66, sub.top) << "from its item's top downward";
}

// Escape in a sub-menu closes that sub-menu alone; its items go back to their item, hidden, also
// when its window is simply destroyed; Right opens it from the keyboard; focus going to a window
// that is no menu closes every menu.
TEST(MenuWindow, EscapeClosesOnlyTheSubMenu) {
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  HWND root = MenuWindows()[0];
  host.Hover(L"more");
  ASSERT_EQ(2u, MenuWindows().size());
  EXPECT_EQ(WindowRect(root).right, WindowRect(host.WindowOf(L"sub1")).left) << "to the right";
  host.PostToMenu(L"sub1", WM_KEYDOWN, VK_ESCAPE);
  ASSERT_TRUE(host.WaitForMenus(1));
  EXPECT_EQ(root, MenuWindows()[0]);
  EXPECT_EQ(nullptr, host.MenuItem(L"more")->GetSubMenuWnd());
  EXPECT_FALSE(host.Item(L"sub1")->IsVisible());
  EXPECT_EQ(root, host.WindowOf(L"sub1"));

  host.PostToMenu(L"more", WM_KEYDOWN, VK_RIGHT);
  ASSERT_EQ(2u, MenuWindows().size()) << "Right on the focused item";
  DestroyWindow(host.WindowOf(L"sub1"));
  EXPECT_EQ(root, host.WindowOf(L"sub1")) << "back however the sub-menu ends";
  EXPECT_FALSE(host.Item(L"sub1")->IsVisible());

  SetForegroundWindow(host.GetHWND());
  SetFocus(host.GetHWND());
  EXPECT_TRUE(host.WaitForMenus(0));
}

// The closing sub-menu gives the focus back to its owner item, whose receiver of "setfocus" removes
// the item from its menu: the sub-menu goes without touching the item or the items it lent.
TEST(MenuWindow, SubMenuOwnerRemovedByTheReceiverOfItsFocus) {
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  host.Hover(L"more");
  ASSERT_EQ(2u, MenuWindows().size());
  CControlUI* open = host.Item(L"open");
  open->GetManager()->SetFocus(open);
  struct Remover {
    CMenuElementUI* item;
    bool OnNotify(void* param) {
      if (static_cast<NotifyRecordUI*>(param)->sType != L"setfocus") return true;
      auto* menu = dynamic_cast<CListUI*>(item->GetOwner());
      menu->SetDelayedDestroy(false);
      menu->Remove(item);
      return false;
    }
  } remover{host.MenuItem(L"more")};
  remover.item->OnNotify += MakeDelegate(&remover, &Remover::OnNotify);
  host.PostToMenu(L"sub1", WM_KEYDOWN, VK_ESCAPE);
  ASSERT_TRUE(host.WaitForMenus(1));
  EXPECT_EQ(nullptr, host.Item(L"more"));
  EXPECT_EQ(nullptr, host.Item(L"sub1"));
}

// Nested items that an open sub-menu shows are removed from their item, one or all: the sub-menu's
// list, which borrowed them, keeps none of them to lay out or paint.
TEST(MenuWindow, NestedItemsRemovedWhileTheirSubMenuIsOpen) {
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  host.Hover(L"more");
  ASSERT_EQ(2u, MenuWindows().size());
  CMenuElementUI* more = host.MenuItem(L"more");
  auto* shown = static_cast<CMenuUI*>(more->GetSubMenuWnd()->GetMenuRoot());
  more->SetDelayedDestroy(false);
  EXPECT_TRUE(more->Remove(host.Item(L"sub1")));
  EXPECT_EQ(1, shown->GetCount());
  host.Pump();
  more->RemoveAll();
  EXPECT_EQ(0, shown->GetCount());
  InvalidateRect(shown->GetManager()->GetPaintWindow(), nullptr, FALSE);
  host.Pump();
  host.PostToMenu(L"open", WM_KEYDOWN, VK_ESCAPE);
  EXPECT_TRUE(host.WaitForMenus(0));
}

// A leaf click posts one record (name and user data, text, check state) and leaves no menu
// window, whose object and items are freed with it; texts are cut to their fields. Right-button
// messages do nothing.
TEST(MenuWindow, LeafClickPostsOneRecordAndClosesEveryMenu) {
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  host.Hover(L"more");
  host.PostToMenu(L"sub1", WM_RBUTTONDOWN, MK_RBUTTON);
  host.PostToMenu(L"sub1", WM_RBUTTONUP, 0);
  EXPECT_EQ(2u, MenuWindows().size());
  host.Item(L"open")->OnDestroy += MakeDelegate(&host, &MenuHost::CountFreed);
  host.ClickItem(L"sub1");
  ASSERT_TRUE(host.WaitForMenus(0));
  EXPECT_EQ(1, host.freed);
  ASSERT_EQ(1u, host.records.size());
  EXPECT_STREQ(L"sub1", host.records[0].szName);
  EXPECT_STREQ(L"cmd:sub1", host.records[0].szUserData);
  EXPECT_STREQ(L"Sub one", host.records[0].szText);
  EXPECT_EQ(1, host.records[0].bChecked) << "a click toggles the state of a named item";

  std::wstring longText(1100, L't');
  ASSERT_TRUE(host.Open(MenuXml(longText), POINT{200, 200}));
  host.Hover(L"more");
  host.ClickItem(std::wstring(300, L'n').c_str());
  ASSERT_TRUE(host.WaitForMenus(0));
  ASSERT_EQ(2u, host.records.size());
  EXPECT_EQ(std::wstring(255, L'n'), host.records[1].szName);
  EXPECT_EQ(longText.substr(0, 1023), host.records[1].szText);
}

// "ischeck" seeds a name the map does not know; the state a click sets survives reopening; a check
// item shows its icon only while checked.
TEST(MenuWindow, CheckStateSurvivesReopening) {
  CPaintManagerUI::SetResourcePath(skinui_test::FixturePath(L"skin/img").c_str());
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  EXPECT_TRUE(host.MenuItem(L"bold")->GetChecked());
  EXPECT_EQ(kRed, IconPixel(host));
  host.ClickItem(L"bold");
  ASSERT_TRUE(host.WaitForMenus(0));
  ASSERT_EQ(1u, host.records.size());
  EXPECT_EQ(0, host.records[0].bChecked);

  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  EXPECT_FALSE(host.MenuItem(L"bold")->GetChecked());
  EXPECT_EQ(kWhite, IconPixel(host));
  host.ClickItem(L"bold");
  ASSERT_TRUE(host.WaitForMenus(0));
  EXPECT_EQ(1, host.records[1].bChecked);
  CPaintManagerUI::SetResourcePath(L"");
}

// The main window closing with a menu and its sub-menu open (with their shadows) takes them along;
// nothing is left to post to.
TEST(MenuWindow, MainWindowClosedWhileAMenuIsOpen) {
  MenuHost host;
  ASSERT_TRUE(host.Open(MenuXml(L"Long", L"showshadow=\"true\" shadowsize=\"4\""), POINT{200, 200}));
  host.Hover(L"more");
  ASSERT_EQ(2u, MenuWindows().size());
  EXPECT_EQ(2u, MenuWindows(L"TovrinShadowWnd").size()) << "the sub-menu copies the shadow";
  DestroyWindow(host.GetHWND());
  host.Pump();
  EXPECT_TRUE(MenuWindows().empty());
  EXPECT_TRUE(MenuWindows(L"TovrinShadowWnd").empty());
  EXPECT_EQ(nullptr, MenuObserverImpl::GetGlobal()->GetMainManager());
}

// With the last menu gone the observer forgets the host's check map: a menu opened without a map
// after the host freed its own reads and writes no check state.
TEST(MenuWindow, CheckMapForgottenWithTheLastMenu) {
  MenuHost host;
  auto* checks = new CUIStringMap;
  host.checkMap = checks;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  host.Hover(L"more");
  EXPECT_TRUE(host.MenuItem(L"bold")->GetChecked());
  host.PostToMenu(L"open", WM_KEYDOWN, VK_ESCAPE);
  ASSERT_TRUE(host.WaitForMenus(0));
  EXPECT_EQ(nullptr, MenuObserverImpl::GetGlobal()->GetCheckMap());
  EXPECT_EQ(nullptr, MenuObserverImpl::GetGlobal()->GetMainManager());
  for (int i = 0; i < checks->GetSize(); ++i) delete static_cast<MenuCheckRecord*>(checks->Find(checks->GetAt(i)));
  delete checks;

  host.checkMap = nullptr;
  ASSERT_TRUE(host.Open(MenuXml(), POINT{200, 200}));
  EXPECT_FALSE(host.MenuItem(L"bold")->GetChecked());
  host.ClickItem(L"bold");
  ASSERT_TRUE(host.WaitForMenus(0));
  ASSERT_EQ(1u, host.records.size());
  EXPECT_EQ(0, host.records[0].bChecked) << "no map, no check state";
}
