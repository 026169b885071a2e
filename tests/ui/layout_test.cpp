#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_window.h"
#include "ui/core/layouts/linear_layout.h"
#include "ui/core/layouts/tab_layout.h"
#include "ui/core/layouts/tile_layout.h"
#include "ui/core/paint/control/scrollbar.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

CControlUI* Child(int fixedWidth = 0, int fixedHeight = 0) {
  CControlUI* child = new CControlUI();
  child->SetFixedWidth(fixedWidth);
  child->SetFixedHeight(fixedHeight);
  return child;
}

// One coordinate of every child: 0 left, 1 top, 2 width, 3 height.
std::vector<int> Each(CContainerUI& layout, int what) {
  std::vector<int> out;
  for (int i = 0; i < layout.GetCount(); ++i) {
    const RECT& r = layout.GetItemAt(i)->GetPos();
    int values[] = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    out.push_back(values[what]);
  }
  return out;
}
enum { kLeft, kTop, kWidth, kHeight };
using V = std::vector<int>;

// Posts mouse messages at client points, then handles them and paints.
struct Step {
  UINT msg;
  int x, y;
};
void Mouse(TestWindow& window, std::initializer_list<Step> steps) {
  for (const Step& s : steps) window.Post(s.msg, s.msg == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(s.x, s.y));
  window.Pump();
  window.PaintNow();
}
const UINT kDown = WM_LBUTTONDOWN, kMove = WM_MOUSEMOVE, kUp = WM_LBUTTONUP;

}  // namespace

TEST(VerticalLayout, FixedHeightsStayAndAdjustablesShareTheRest) {
  CVerticalLayoutUI v;
  for (CControlUI* c : {Child(0, 100), Child(), Child()}) v.Add(c);
  v.SetPos(RECT{0, 0, 80, 300});
  EXPECT_EQ((V{100, 100, 100}), Each(v, kHeight));
  EXPECT_EQ((V{0, 100, 200}), Each(v, kTop));
  v.SetPos(RECT{0, 0, 80, 301});
  EXPECT_EQ((V{100, 100, 101}), Each(v, kHeight));  // the last adjustable takes the remainder
  v.SetChildPadding(10);
  v.SetPos(RECT{0, 0, 80, 300});
  EXPECT_EQ((V{100, 90, 90}), Each(v, kHeight));
  EXPECT_EQ((V{0, 110, 210}), Each(v, kTop));
  v.SetChildPadding(0);
  v.GetItemAt(1)->SetMaxHeight(50);
  v.SetPos(RECT{0, 0, 80, 300});
  EXPECT_EQ((V{100, 50, 150}), Each(v, kHeight));
  // Inset and padding shift the children; hidden and float children take no room.
  v.GetItemAt(1)->SetMaxHeight(9999);
  v.SetInset(RECT{5, 10, 5, 10});
  v.GetItemAt(0)->SetPadding(RECT{3, 4, 7, 6});
  v.SetPos(RECT{0, 0, 80, 300});
  EXPECT_EQ((V{8, 5, 5}), Each(v, kLeft));
  EXPECT_EQ((V{14, 120, 205}), Each(v, kTop));
  EXPECT_EQ((V{60, 70, 70}), Each(v, kWidth));  // 80 - 5 - 5 - 3 - 7 for the padded one
  EXPECT_EQ((V{100, 85, 85}), Each(v, kHeight));
  v.GetItemAt(1)->SetVisible(false);
  v.GetItemAt(2)->ApplyAttributeList(L"float=\"true\" pos=\"1,2,11,12\"");
  v.Add(Child());
  v.SetPos(RECT{0, 0, 80, 300});
  EXPECT_EQ(2, Each(v, kTop)[2]);
  EXPECT_EQ(120, Each(v, kTop)[3]);
  EXPECT_EQ(170, Each(v, kHeight)[3]);
}

TEST(VerticalLayout, WidthsFollowFixedMinMaxAndChildAlignment) {
  CVerticalLayoutUI v;
  CControlUI *full = Child(), *fixed = Child(50, 20), *wide = Child(500, 20), *capped = Child(0, 20),
             *atLeast = Child(10, 20);
  full->SetPadding(RECT{4, 0, 6, 0});
  fixed->SetPadding(RECT{4, 0, 6, 0});
  capped->SetMaxWidth(30);
  atLeast->SetMinWidth(40);
  for (CControlUI* c : {full, fixed, wide, capped, atLeast}) v.Add(c);
  v.SetPos(RECT{0, 0, 200, 300});
  EXPECT_EQ((V{190, 50, 200, 30, 40}), Each(v, kWidth));
  EXPECT_EQ((V{4, 4, 0, 0, 0}), Each(v, kLeft));
  v.SetAttribute(L"childalign", L"center");  // padding ignored
  v.SetPos(RECT{0, 0, 200, 300});
  EXPECT_EQ((V{5, 75, 0, 85, 80}), Each(v, kLeft));
  v.SetAttribute(L"childalign", L"right");  // the right padding kept
  v.SetPos(RECT{0, 0, 200, 300});
  EXPECT_EQ((V{4, 144, 0, 170, 160}), Each(v, kLeft));
}

TEST(HorizontalLayout, WidthsShareAndHeightsAlign) {
  CHorizontalLayoutUI h;
  for (CControlUI* c : {Child(100, 0), Child(), Child()}) h.Add(c);
  h.SetPos(RECT{0, 0, 301, 80});
  EXPECT_EQ((V{100, 100, 101}), Each(h, kWidth));
  EXPECT_EQ((V{80, 80, 80}), Each(h, kHeight));
  h.SetChildPadding(10);
  h.SetPos(RECT{0, 0, 300, 80});
  EXPECT_EQ((V{100, 90, 90}), Each(h, kWidth));
  EXPECT_EQ((V{0, 110, 210}), Each(h, kLeft));
  CControlUI* small = h.GetItemAt(0);
  small->SetFixedHeight(20);
  small->SetPadding(RECT{0, 3, 0, 5});
  std::vector<int> tops;
  for (const wchar_t* align : {L"top", L"vcenter", L"bottom"}) {
    h.SetAttribute(L"childvalign", align);
    h.SetPos(RECT{0, 0, 300, 80});
    tops.push_back(small->GetPos().top);
  }
  EXPECT_EQ((V{3, 30, 55}), tops);
  EXPECT_EQ(&h, h.GetInterface(L"horizontallayout"));
  EXPECT_NE(nullptr, h.GetInterface(L"IContainer"));
}

TEST(VerticalLayout, ScrollBarFollowsTheContentAndTheWheel) {
  TestWindow window(200, 200);
  CVerticalLayoutUI* root = new CVerticalLayoutUI();
  root->SetAttribute(L"vscrollbar", L"true");
  CControlUI *first = Child(0, 150), *second = Child(0, 150);
  root->Add(first);
  root->Add(second);
  window.Attach(root);
  window.PaintNow();
  CScrollBarUI* bar = root->GetVerticalScrollBar();
  ASSERT_TRUE(bar->IsVisible());
  EXPECT_EQ((V{100, 0, 184, 184}),
            (V{bar->GetScrollRange(), bar->GetScrollPos(), bar->GetPos().left, first->GetPos().right}));
  // The thumb: 200 * 168 / (100 + 200) = 112 long, below button 1.
  EXPECT_EQ((V{16, 128}), (V{bar->GetThumbRect().top, bar->GetThumbRect().bottom}));

  // A wheel step scrolls one line: 8 plus the default font's height.
  int line = 8 + window.manager().GetDefaultFontInfo()->tm.tmHeight;
  POINT screen = {50, 50};
  ClientToScreen(window.hwnd(), &screen);
  window.Post(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(screen.x, screen.y));
  EXPECT_TRUE(window.PumpUntil([&] { return bar->GetScrollPos() == line; }));
  EXPECT_EQ(-line, first->GetPos().top);
  EXPECT_EQ(16 + (168 - 112) * line / 100, bar->GetThumbRect().top);
  window.Post(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  EXPECT_TRUE(window.PumpUntil([&] { return bar->GetScrollPos() == 0; }));

  // At the end, the content shrinks: range and position follow, then the bar goes.
  root->EndDown();
  second->SetFixedHeight(100);
  window.PaintNow();
  EXPECT_EQ((V{50, 50, -50}), (V{bar->GetScrollRange(), bar->GetScrollPos(), first->GetPos().top}));
  second->SetFixedHeight(10);
  window.PaintNow();
  EXPECT_FALSE(bar->IsVisible());
  EXPECT_EQ((V{0, 0, 200}), (V{root->GetScrollRange().cy, first->GetPos().top, first->GetPos().right}));
  second->SetMinHeight(250);  // a minimum beyond the room overflows into the range again
  window.PaintNow();
  EXPECT_TRUE(bar->IsVisible());
  EXPECT_EQ(200, bar->GetScrollRange());
  first->SetVisible(false);
  second->SetVisible(false);
  window.PaintNow();
  EXPECT_FALSE(bar->IsVisible());
}

// With its vertical bar shown, a vertical layout's adjustables share the scrolled height; a
// horizontal layout's adjustables share only the width in view.
TEST(LinearLayout, AdjustablesShareTheScrolledLengthOnlyVertically) {
  for (bool vertical : {true, false}) {
    TestWindow window(200, 200);
    CContainerUI* root = vertical ? static_cast<CContainerUI*>(new CVerticalLayoutUI())
                                  : static_cast<CContainerUI*>(new CHorizontalLayoutUI());
    root->SetAttribute(vertical ? L"vscrollbar" : L"hscrollbar", L"true");
    CControlUI* first = vertical ? Child(0, 300) : Child(300, 0);
    root->Add(first);
    root->Add(Child());
    window.Attach(root);
    window.PaintNow();
    CScrollBarUI* bar = vertical ? root->GetVerticalScrollBar() : root->GetHorizontalScrollBar();
    ASSERT_TRUE(bar->IsVisible());
    EXPECT_EQ(100, bar->GetScrollRange());
    vertical ? first->SetFixedHeight(0) : first->SetFixedWidth(0);  // now both share the length
    window.PaintNow();
    EXPECT_EQ(vertical ? (V{150, 150}) : (V{100, 100}), Each(*root, vertical ? kHeight : kWidth)) << vertical;
    EXPECT_EQ(vertical, bar->IsVisible());
  }
}

TEST(LayoutSeparator, BandsLieAlongTheChosenEdge) {
  CVerticalLayoutUI v;
  v.SetPos(RECT{0, 0, 50, 100});
  std::vector<int> bands;
  for (int size : {5, -5, 500}) {
    v.SetSepHeight(size);
    bands.push_back(v.GetThumbRect().top);
    bands.push_back(v.GetThumbRect().bottom);
  }
  EXPECT_EQ((V{95, 100, 0, 5, 0, 100}), bands);  // held inside the layout
  EXPECT_EQ(static_cast<UINT>(UIFLAG_SETCURSOR), v.GetControlFlags());
  v.SetEnabled(false);
  EXPECT_EQ(0u, v.GetControlFlags());
  CHorizontalLayoutUI h;
  h.SetPos(RECT{10, 0, 60, 100});
  h.SetAttribute(L"sepwidth", L"-4");
  EXPECT_EQ((V{10, 14}), (V{h.GetThumbRect().left, h.GetThumbRect().right}));
  h.SetAttribute(L"sepwidth", L"80");
  EXPECT_EQ(-20, h.GetThumbRect().left);  // not held inside the layout
}

TEST(LayoutSeparator, DraggingTheBandResizesTheLayout) {
  TestWindow window(300, 300);
  CVerticalLayoutUI* root = new CVerticalLayoutUI();
  CVerticalLayoutUI* pane = new CVerticalLayoutUI();
  pane->ApplyAttributeList(L"height=\"100\" sepheight=\"5\" maxheight=\"180\"");
  CControlUI* rest = Child();
  root->SetBkColor(0xFFFFFFFF);
  root->Add(pane);
  root->Add(rest);
  window.Attach(root);
  window.PaintNow();
  auto blue = [&](int x, int y) { return window.manager().GetOffscreenBits()[(300 - 1 - y) * 300 + x] & 0xFF; };

  // Press inside the band and move: the edge follows the pointer, only as a shadow until released.
  Mouse(window, {{kDown, 50, 97}, {kMove, 50, 130}, {kMove, 50, 150}});
  EXPECT_EQ((V{100, 153, 100}), (V{pane->GetPos().bottom, pane->GetFixedHeight(), rest->GetPos().top}));
  EXPECT_EQ(1, window.manager().GetPostPaintCount());
  EXPECT_LT(blue(50, 150), 0x80u);  // the dark band where the edge will go
  Mouse(window, {{kUp, 50, 150}});
  EXPECT_EQ((V{153, 153, 0xFF}), (V{pane->GetPos().bottom, rest->GetPos().top, static_cast<int>(blue(50, 150))}));
  EXPECT_EQ(0, window.manager().GetPostPaintCount());

  // The maximum stops the edge; moving back while the pointer is still past it is ignored.
  Mouse(window, {{kDown, 50, 150}, {kMove, 50, 250}, {kMove, 50, 240}, {kUp, 50, 240}});
  EXPECT_EQ((V{180, 180}), (V{pane->GetPos().bottom, pane->GetFixedHeight()}));

  // Immediate mode re-lays the window at each step; a disabled layout never starts a drag.
  pane->SetMaxHeight(9999);
  pane->SetSepImmMode(true);
  Mouse(window, {{kDown, 50, 178}, {kMove, 50, 188}});
  EXPECT_EQ((V{190, 190}), (V{pane->GetPos().bottom, rest->GetPos().top}));
  Mouse(window, {{kUp, 50, 188}});
  pane->SetEnabled(false);
  Mouse(window, {{kDown, 50, 188}, {kMove, 50, 230}, {kUp, 50, 230}});
  EXPECT_EQ(190, pane->GetPos().bottom);
}

TEST(LayoutSeparator, HorizontalBandOnTheLeftEdgeDragsTheWidth) {
  TestWindow window(300, 100);
  CHorizontalLayoutUI* root = new CHorizontalLayoutUI();
  CControlUI* left = Child();
  CHorizontalLayoutUI* pane = new CHorizontalLayoutUI();
  pane->ApplyAttributeList(L"width=\"100\" sepwidth=\"-6\" sepimm=\"true\" minwidth=\"60\"");
  root->Add(left);
  root->Add(pane);
  window.Attach(root);
  window.PaintNow();
  ASSERT_EQ(200, pane->GetPos().left);
  Mouse(window, {{kDown, 202, 50}, {kMove, 180, 50}});
  EXPECT_EQ((V{122, 178, 178}), (V{pane->GetFixedWidth(), pane->GetPos().left, left->GetPos().right}));
  Mouse(window, {{kMove, 290, 50}, {kUp, 290, 50}});  // the minimum width stops it
  EXPECT_EQ((V{60, 240}), (V{pane->GetFixedWidth(), pane->GetPos().left}));
}

// A child placed by a layout reaches the program (its size delegates here; a control made as it is
// placed announces itself the same way), which removes a later sibling, clears the layout or deletes
// it, at once: the layout stops touching what it held, and the window lays out and paints what is
// left. Run under Wine's heap checks too.
TEST(LayoutPass, ChildWhosePlacingChangesTheTreeLeavesTheLayoutSound) {
  using Make = CContainerUI* (*)();
  const Make kinds[] = {
      []() -> CContainerUI* { return new CVerticalLayoutUI; },
      []() -> CContainerUI* { return new CHorizontalLayoutUI; }, []() -> CContainerUI* { return new CTileLayoutUI; },
      []() -> CContainerUI* { return new CTabLayoutUI; }, []() -> CContainerUI* { return new CContainerUI; }};
  enum Act { kRemoveNext, kClear, kDeleteLayout };
  struct Actor {
    CContainerUI* root;
    CContainerUI* layout;
    Act act;
    bool done = false;
    bool OnSize(void*) {
      if (done) return true;
      done = true;
      if (act == kRemoveNext) layout->RemoveAt(1);
      if (act == kClear) layout->RemoveAll();
      if (act == kDeleteLayout) root->Remove(layout);
      return true;
    }
  };
  TestWindow window(300, 200);
  for (Make make : kinds) {
    for (Act act : {kRemoveNext, kClear, kDeleteLayout}) {
      auto* root = new CVerticalLayoutUI;
      CContainerUI* layout = make();
      root->Add(layout);
      root->Add(Child(0, 20));
      for (int i = 0; i < 3; ++i) layout->Add(Child(0, 30));
      root->SetDelayedDestroy(false);
      layout->SetDelayedDestroy(false);
      layout->EnableScrollBar(true, false);
      Actor actor{root, layout, act};
      layout->GetItemAt(0)->OnSize += MakeDelegate(&actor, &Actor::OnSize);
      const std::wstring kind = layout->GetClass();
      window.Attach(root);
      window.PaintNow();
      ASSERT_TRUE(actor.done) << kind;
      EXPECT_EQ(act == kDeleteLayout ? 1 : 2, root->GetCount()) << kind;
      if (act != kDeleteLayout) {
        EXPECT_EQ(act == kClear ? 0 : 2, layout->GetCount()) << kind;
      }
      root->SetPos(RECT{0, 0, 250, 150}, true);
      window.PaintNow();
    }
  }
}
