// The demo skin's window driven by posted messages, as a person would use it; screenshots of it
// are written to the build's artifact folder.
#include <gtest/gtest.h>
#include <ole2.h>

#include "demo_window.h"
#include "test_support.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"
#include "ui/core/layouts/tab_layout.h"
#include "ui/core/layouts/tile_layout.h"

using namespace SkinUI;
using skinui_test::DemoWindow;

namespace {

int Place() { return 20 + static_cast<int>((GetCurrentProcessId() / 4) % 8) * 40; }

bool SelectedOpt(CControlUI* c) { return static_cast<COptionUI*>(c)->IsSelected(); }

// Dark (text) pixels inside a rectangle of the window.
int DarkPixels(DemoWindow& w, RECT rc) {
  int n = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) n += (w.Pixel(x, y) & 0xFF) < 0x60 ? 1 : 0;
  }
  return n;
}

}  // namespace

TEST(DemoWindow, ButtonsOptionsProgressTabsAndTilesWorkByPostedMessages) {
  DemoWindow::UseDemoSkin();
  DemoWindow w;
  ASSERT_NE(nullptr, w.Open(Place(), Place()));
  EXPECT_TRUE(skinui_test::SaveScreenshot(w.GetPaintManager(), L"demo.png"));

  // Options: one of the group selected; a second click on it only clicks.
  EXPECT_TRUE(SelectedOpt(w.Find(L"opt1")));
  w.Click(L"opt2");
  EXPECT_TRUE(SelectedOpt(w.Find(L"opt2")));
  EXPECT_FALSE(SelectedOpt(w.Find(L"opt1")));
  EXPECT_EQ(1, w.Count(L"selectchanged", L"opt2"));
  EXPECT_EQ(0, w.Count(L"selectchanged", L"opt1"));
  w.Click(L"opt2");
  EXPECT_TRUE(SelectedOpt(w.Find(L"opt2")));
  EXPECT_EQ(2, w.Count(L"click", L"opt2"));
  EXPECT_EQ(1, w.Count(L"selectchanged", L"opt2"));
  // The selected option paints its selected colour.
  w.PaintNow();
  POINT o2 = DemoWindow::Centre(w.Find(L"opt2"));
  EXPECT_EQ(0x80C080u, w.Pixel(w.Find(L"opt2")->GetPos().left + 2, o2.y));
  EXPECT_EQ(0xDDDDDDu, w.Pixel(w.Find(L"opt1")->GetPos().left + 2, o2.y));

  // Check box: toggles both ways and reports the state.
  w.Click(L"check");
  EXPECT_TRUE(SelectedOpt(w.Find(L"check")));
  w.Click(L"check");
  EXPECT_FALSE(SelectedOpt(w.Find(L"check")));
  ASSERT_EQ(2, w.Count(L"selectchanged", L"check"));
  std::vector<WPARAM> states;
  for (auto& n : w.notes)
    if (n.type == L"selectchanged" && n.sender == L"check") states.push_back(n.wParam);
  EXPECT_EQ((std::vector<WPARAM>{1, 0}), states);

  // Button: a release outside after a press inside does not click; one inside does.
  RECT b = w.Find(L"btn")->GetPos();
  w.Click(DemoWindow::Centre(w.Find(L"btn")), POINT{b.right + 30, b.bottom + 30});
  EXPECT_EQ(0, w.Count(L"click", L"btn"));
  w.Click(L"btn");
  EXPECT_EQ(1, w.Count(L"click", L"btn"));
  // Its four-frame state strip: hot under the pointer, normal away from it, grey when disabled.
  POINT edge = {b.left + 8, (b.top + b.bottom) / 2};
  w.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(edge.x, edge.y));
  w.Pump();
  w.PaintNow();
  EXPECT_EQ(0x60B0FFu, w.Pixel(edge.x, edge.y));
  w.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 300));
  w.Pump();
  w.PaintNow();
  EXPECT_EQ(0x4090E0u, w.Pixel(edge.x, edge.y));
  w.Find(L"btn")->SetEnabled(false);
  w.PaintNow();
  EXPECT_EQ(0xA0A0A0u, w.Pixel(edge.x, edge.y));
  w.Find(L"btn")->SetEnabled(true);

  // Progress: 50 of 0..200 fills a quarter; 150 three quarters; 250 is refused.
  auto* progress = static_cast<CProgressUI*>(w.Find(L"progress"));
  RECT p = progress->GetPos();
  int midY = (p.top + p.bottom) / 2, width = p.right - p.left;
  w.PaintNow();
  EXPECT_EQ(0x2080FFu, w.Pixel(p.left + width / 4 - 2, p.top + 1));
  EXPECT_EQ(0xD0D0D0u, w.Pixel(p.left + width / 4 + 2, p.top + 1));
  EXPECT_GT(DarkPixels(w, RECT{p.left + width / 4, p.top, p.right, p.bottom}), 5) << "progress text";
  progress->SetValue(150);
  progress->SetValue(250);
  EXPECT_EQ(150, progress->GetValue());
  w.PaintNow();
  EXPECT_EQ(0x2080FFu, w.Pixel(p.left + width * 3 / 4 - 2, midY - 6));
  EXPECT_EQ(0xD0D0D0u, w.Pixel(p.left + width * 3 / 4 + 2, midY - 6));

  // Tiles: 3 columns, child padding 10, 5 tiles of height 30 in two rows.
  auto* tiles = static_cast<CTileLayoutUI*>(w.Find(L"tiles"));
  RECT t = tiles->GetPos();
  int tw = (t.right - t.left) / 3;
  RECT t0 = tiles->GetItemAt(0)->GetPos(), t1 = tiles->GetItemAt(1)->GetPos(), t3 = tiles->GetItemAt(3)->GetPos();
  EXPECT_EQ(t.left, t0.left);
  EXPECT_EQ(t.left + tw - 5, t0.right);
  EXPECT_EQ(t.left + tw + 5, t1.left);
  EXPECT_EQ(t.top, t0.top);
  EXPECT_EQ(30, t0.bottom - t0.top);
  EXPECT_EQ(t.left, t3.left);
  EXPECT_EQ(t.top + 40, t3.top);

  // Tabs: bound buttons select pages; a binding to a label does nothing.
  auto* tabs = static_cast<CTabLayoutUI*>(w.Find(L"tabs"));
  w.Click(L"wrongbind");
  EXPECT_EQ(0, tabs->GetCurSel());
  w.Click(L"page1");
  EXPECT_EQ(1, tabs->GetCurSel());
  EXPECT_TRUE(w.Find(L"pageb")->IsVisible());
  EXPECT_FALSE(tiles->IsVisible());
  ASSERT_EQ(1, w.Count(L"tabselect"));
  for (auto& n : w.notes) {
    if (n.type != L"tabselect") continue;
    EXPECT_EQ(WPARAM(1), n.wParam);
    EXPECT_EQ(LPARAM(0), n.lParam);
  }
  w.Click(L"page1");
  EXPECT_EQ(1, w.Count(L"tabselect"));
  w.PaintNow();
  EXPECT_TRUE(skinui_test::SaveScreenshot(w.GetPaintManager(), L"demo_page_b.png"));
  DestroyWindow(w.GetHWND());
}

TEST(DemoWindow, CaptionBorderAndWindowButtons) {
  DemoWindow::UseDemoSkin();
  DemoWindow w;
  HWND hwnd = w.Open(Place(), Place());
  ASSERT_NE(nullptr, hwnd);
  RECT wr;
  GetWindowRect(hwnd, &wr);
  auto hit = [&](POINT client) {
    POINT s = client;
    ClientToScreen(hwnd, &s);
    return SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(s.x, s.y));
  };
  EXPECT_EQ(HTCAPTION, hit(DemoWindow::Centre(w.Find(L"title"))));
  EXPECT_EQ(HTCLIENT, hit(DemoWindow::Centre(w.Find(L"minbtn"))));
  EXPECT_EQ(HTTOPLEFT, hit(POINT{1, 1}));
  EXPECT_EQ(HTRIGHT, hit(POINT{wr.right - wr.left - 2, 100}));
  EXPECT_EQ(HTBOTTOM, hit(POINT{100, wr.bottom - wr.top - 2}));
  EXPECT_EQ(HTCLIENT, hit(POINT{100, 100}));

  // A real caption drag: the platform's move loop follows the pointer.
  POINT from = DemoWindow::Centre(w.Find(L"title"));
  ClientToScreen(hwnd, &from);
  SetCursorPos(from.x, from.y);
  w.PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(from.x, from.y));
  SetCursorPos(from.x + 37, from.y + 21);
  w.PostMessage(WM_MOUSEMOVE, MK_LBUTTON, 0);
  w.PostMessage(WM_LBUTTONUP, 0, 0);
  w.Pump();
  RECT moved;
  GetWindowRect(hwnd, &moved);
  EXPECT_EQ(wr.left + 37, moved.left);
  EXPECT_EQ(wr.top + 21, moved.top);

  // The smallest tracking size comes from "mininfo".
  MINMAXINFO mmi = {};
  SendMessageW(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  EXPECT_EQ(200, mmi.ptMinTrackSize.x);

  w.Click(L"minbtn");
  EXPECT_TRUE(IsIconic(hwnd));
  ShowWindow(hwnd, SW_RESTORE);
  w.Pump();
  w.PaintNow();
  w.Click(L"closebtn");
  EXPECT_TRUE(w.PumpUntil([](DemoWindow& d) { return d.finalMessage; }));
  EXPECT_FALSE(IsWindow(hwnd));
}

TEST(DemoWindow, DropShadowFollowsItsWindow) {
  DemoWindow::UseDemoSkin();
  auto shadowOf = [](HWND owner) {
    for (HWND w = FindWindowW(L"TovrinShadowWnd", nullptr); w != nullptr;
         w = FindWindowExW(nullptr, w, L"TovrinShadowWnd", nullptr)) {
      if (GetWindow(w, GW_OWNER) == owner) return w;
    }
    return HWND{nullptr};
  };
  DemoWindow plain;
  HWND plainWnd = plain.Open(Place(), Place());
  EXPECT_EQ(nullptr, shadowOf(plainWnd)) << "no \"showshadow\", no shadow window";
  DestroyWindow(plainWnd);

  DemoWindow w(L"shadow.xml");
  HWND hwnd = w.Open(Place() + 30, Place() + 30);
  ASSERT_NE(nullptr, hwnd);
  HWND shadow = shadowOf(hwnd);
  ASSERT_NE(nullptr, shadow);
  EXPECT_TRUE(IsWindowVisible(shadow));
  EXPECT_NE(0, GetWindowLongW(shadow, GWL_EXSTYLE) & WS_EX_LAYERED);
  RECT wr, sr;
  GetWindowRect(hwnd, &wr);
  GetWindowRect(shadow, &sr);
  EXPECT_EQ(wr.left - 6 + 2, sr.left);
  EXPECT_EQ(wr.top - 6 + 3, sr.top);
  EXPECT_EQ(wr.right - wr.left + 12, sr.right - sr.left);

  CShadowUI* settings = w.GetPaintManager().GetShadow();
  EXPECT_FALSE(settings->SetSize(36));
  EXPECT_FALSE(settings->SetSharpness(36));
  EXPECT_TRUE(settings->SetDarkness(255));
  // A second Create neither makes another window nor subclasses the parent again.
  LONG_PTR proc = GetWindowLongPtrW(hwnd, GWLP_WNDPROC);
  settings->Create(&w.GetPaintManager());
  EXPECT_EQ(proc, GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  EXPECT_EQ(shadow, settings->GetHWND());

  // Moving the window moves its shadow; maximising hides it, restoring shows it.
  SetWindowPos(hwnd, nullptr, wr.left + 25, wr.top + 15, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  w.Pump();
  GetWindowRect(shadow, &sr);
  EXPECT_EQ(wr.left + 25 - 6 + 2, sr.left);
  ShowWindow(hwnd, SW_MAXIMIZE);
  w.Pump();
  EXPECT_FALSE(IsWindowVisible(shadow));
  ShowWindow(hwnd, SW_RESTORE);
  w.Pump();
  EXPECT_TRUE(IsWindowVisible(shadow));
  DestroyWindow(hwnd);
  EXPECT_FALSE(IsWindow(shadow));
}

namespace {

// A window over a layout that cannot be built: the window base refuses to make it.
class RefusedWindow : public DemoWindow {
 public:
  RefusedWindow() : DemoWindow(L"<Window") {}
  bool refused = false;

 protected:
  void OnSkinLoadFailed(const wchar_t*) override { refused = true; }
};

}  // namespace

TEST(DemoWindow, AWindowWhoseSkinCannotBeBuiltLeavesNothingBehind) {
  ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));  // as the program: its windows are drop targets
  RefusedWindow first;
  first.Create(nullptr, L"refused", WS_POPUP, 0, 0, 0, 100, 100);  // what one creation sets up once
  const int handles = skinui_test::CountKernelHandles();
  for (int i = 0; i < 20; ++i) {
    RefusedWindow window;
    EXPECT_EQ(nullptr, window.Create(nullptr, L"refused", WS_POPUP, 0, 0, 0, 100, 100));
    EXPECT_TRUE(window.refused);
  }
  EXPECT_EQ(handles, skinui_test::CountKernelHandles()) << "its drop target's registration is revoked";
  OleUninitialize();
}

namespace {
class CornerWindow : public SkinUI::CWindowWnd {
 public:
  using CWindowWnd::ApplyRoundCorner;

 protected:
  const wchar_t* GetWindowClassName() const override { return L"SkinUICornerWindow"; }
};
}  // namespace

// Wine refuses the region a negative corner makes; the window stays square and the region is freed.
TEST(DemoWindow, ARoundCornerTheSystemRefusesLeavesNoRegionBehind) {
  CornerWindow window;
  ASSERT_NE(nullptr, window.Create(nullptr, L"corner", WS_POPUP, 0, 0, 0, 200, 100));
  HRGN probe = ::CreateRectRgn(0, 0, 0, 0);
  const int regions = skinui_test::CountGdiObjects(OBJ_REGION);
  for (int i = 0; i < 10; ++i) window.ApplyRoundCorner(SIZE{-2, 5});
  EXPECT_EQ(regions, skinui_test::CountGdiObjects(OBJ_REGION));
  EXPECT_EQ(ERROR, ::GetWindowRgn(window, probe)) << "the window took the refused region";
  window.ApplyRoundCorner(SIZE{6, 6});
  EXPECT_EQ(COMPLEXREGION, ::GetWindowRgn(window, probe));
  EXPECT_EQ(regions, skinui_test::CountGdiObjects(OBJ_REGION)) << "the window's region is the system's";
  ::DestroyWindow(window);
  ::DeleteObject(probe);
}
