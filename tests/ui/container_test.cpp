#include <gtest/gtest.h>

#include <vector>

#include "test_controls.h"
#include "test_window.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/paint/control/scrollbar.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

class ListItem : public CControlUI {
 public:
  LPVOID GetInterface(const wchar_t* name) override {
    return _wcsicmp(name, L"ListItem") == 0 ? this : CControlUI::GetInterface(name);
  }
};

CControlUI* CALLBACK AcceptAll(CControlUI* control, LPVOID) { return control; }

std::vector<long> Pos(const CControlUI* c) {
  const RECT& r = c->GetPos();
  return {r.left, r.top, r.right, r.bottom};
}

// Counts a child's deletion and whether its container still listed it then.
struct DeletionWatch {
  CContainerUI* container = nullptr;
  CControlUI* child = nullptr;
  int deleted = 0, stillListed = 0;
  bool OnDestroy(void*) {
    ++deleted;
    stillListed += container->GetItemIndex(child) >= 0;
    return true;
  }
  DeletionWatch(CContainerUI* c, CControlUI* ch) : container(c), child(ch) {
    ch->OnDestroy += MakeDelegate(this, &DeletionWatch::OnDestroy);
  }
};

}  // namespace

TEST(Container, OwnsItsChildrenAndTakesThemOutBeforeDeleting) {
  TestWindow window(200, 100);
  CContainerUI* root = new CContainerUI();
  window.Attach(root);
  CControlUI *a = new CControlUI(), *b = new CControlUI(), *c = new CControlUI();
  a->SetName(L"a");
  EXPECT_FALSE(root->Add(nullptr));
  EXPECT_FALSE(root->AddAt(a, 1));  // out of range: refused before the child is touched
  EXPECT_EQ(nullptr, a->GetManager());
  EXPECT_TRUE(root->AddAt(a, 0) && root->Add(b) && root->AddAt(c, 0));
  EXPECT_EQ(root, a->GetParent());
  EXPECT_EQ(a, window.manager().FindControl(L"a"));
  EXPECT_TRUE(root->SetItemIndex(c, 2));
  EXPECT_EQ((std::vector<CControlUI*>{a, b, c}),
            (std::vector<CControlUI*>{root->GetItemAt(0), root->GetItemAt(1), root->GetItemAt(2)}));
  EXPECT_EQ(nullptr, root->GetItemAt(3));
  EXPECT_FALSE(root->RemoveAt(-1));

  DeletionWatch now(root, a), later(root, b);
  root->SetDelayedDestroy(false);
  EXPECT_TRUE(root->Remove(a));
  EXPECT_EQ(1, now.deleted);
  EXPECT_FALSE(root->Remove(a));
  // Delayed: out of the list at once, deleted when the manager cleans up.
  root->SetDelayedDestroy(true);
  EXPECT_TRUE(root->Remove(b));
  EXPECT_EQ(-1, root->GetItemIndex(b));
  EXPECT_EQ(0, later.deleted);
  EXPECT_TRUE(window.PumpUntil([&] { return later.deleted == 1; }));
  EXPECT_EQ(0, now.stillListed + later.stillListed);
  root->SetAutoDestroy(false);
  EXPECT_TRUE(root->Remove(c));
  EXPECT_EQ(0, root->GetCount());
  delete c;  // still the caller's
}

TEST(Container, VisibilityInterfacesAttributesAndSelection) {
  CContainerUI box;
  box.SetVisible(false);
  CControlUI* child = new CControlUI();
  box.Add(child);
  EXPECT_FALSE(child->IsVisible());
  box.SetVisible(true);
  EXPECT_TRUE(child->IsVisible());
  box.SetEnabled(false);
  EXPECT_FALSE(child->IsEnabled());
  EXPECT_EQ(static_cast<IContainerUI*>(&box), box.GetInterface(L"icontainer"));
  EXPECT_EQ(&box, box.GetInterface(L"Container"));

  box.SetAttribute(L"childalign", L"center");
  box.SetAttribute(L"childvalign", L"bottom");
  box.SetAttribute(L"ChildAlign", L"right");  // not the alignment: a custom attribute
  box.SetAttribute(L"childalign", L"Right");  // an unknown word: unchanged
  EXPECT_EQ(static_cast<UINT>(DT_CENTER), box.GetChildAlign());
  EXPECT_EQ(static_cast<UINT>(DT_BOTTOM), box.GetChildVAlign());
  EXPECT_STREQ(L"right", box.GetCustomAttribute(L"ChildAlign"));
  box.SetAttribute(L"inset", L"1,2,3");
  EXPECT_EQ(3, box.GetInset().right);
  EXPECT_EQ(0, box.GetInset().bottom);
  box.SetAttribute(L"scrollstepsize", L"-4");
  EXPECT_EQ(0, box.GetScrollStepSize());
  box.SetAttribute(L"vscrollbar", L"true");
  box.SetAttribute(L"hscrollbarstyle", L"linesize=\"3\"");
  ASSERT_TRUE(box.GetVerticalScrollBar() != nullptr && box.GetHorizontalScrollBar() != nullptr);
  EXPECT_TRUE(box.GetHorizontalScrollBar()->IsHorizontal());
  EXPECT_EQ(3, box.GetHorizontalScrollBar()->GetLineSize());
  EXPECT_EQ(&box, box.GetVerticalScrollBar()->GetOwner());
  box.SetAttribute(L"vscrollbar", L"false");
  EXPECT_EQ(nullptr, box.GetVerticalScrollBar());

  // Selectable children are visible, enabled list items; backwards falls back to forwards.
  CContainerUI list;
  ListItem* item = new ListItem();
  list.Add(new CControlUI());
  list.Add(item);
  list.Add(new ListItem());
  EXPECT_EQ(1, list.FindSelectable(0, true));
  EXPECT_EQ(1, list.FindSelectable(1, false));
  item->SetEnabled(false);
  EXPECT_EQ(2, list.FindSelectable(-5, true));
  EXPECT_EQ(2, list.FindSelectable(1, false));
  EXPECT_EQ(-1, CContainerUI().FindSelectable(0, true));
}

TEST(Container, PlacesChildrenOnTheClientAndFloatsByPositionOrAlignment) {
  CContainerUI box;
  box.SetInset(RECT{10, 10, 10, 10});
  CControlUI *fill = new CControlUI(), *narrow = new CControlUI(), *centred = new CControlUI();
  CControlUI* percent = new CControlUI();
  narrow->SetMaxWidth(50);
  narrow->SetMinHeight(200);
  centred->ApplyAttributeList(L"float=\"true\" pos=\"5,5,55,25\" floatalign=\"center,bottom\"");
  percent->ApplyAttributeList(L"float=\"0.5,0,1,0.2\" pos=\"2,3,2,3\"");
  for (CControlUI* c : {fill, narrow, centred, percent}) box.Add(c);
  box.SetPos(RECT{100, 100, 300, 200});
  EXPECT_EQ((std::vector<long>{110, 110, 290, 190}), Pos(fill));
  EXPECT_EQ((std::vector<long>{110, 110, 160, 310}), Pos(narrow));
  EXPECT_EQ((std::vector<long>{175, 180, 225, 200}), Pos(centred));  // fixed x ignored when aligned
  EXPECT_EQ((std::vector<long>{202, 103, 302, 123}), Pos(percent));

  // A hit test on a mouse-disabled container finds its children, never itself.
  const UINT hitTest = UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST;
  POINT inChild = {120, 120}, onInset = {103, 103};
  box.SetMouseEnabled(false);
  EXPECT_EQ(narrow, box.FindControl(AcceptAll, &inChild, hitTest));
  EXPECT_EQ(nullptr, box.FindControl(AcceptAll, &onInset, hitTest));
  box.SetMouseEnabled(true);
  box.SetMouseChildEnabled(false);
  EXPECT_EQ(&box, box.FindControl(AcceptAll, &inChild, hitTest));
}

TEST(Container, ScrollsChildrenAndReportsTheTopLine) {
  TestWindow window(200, 200);
  EventLog log;
  TestNotifier notifier(&log);
  window.manager().AddNotifier(&notifier);
  CContainerUI* root = new CContainerUI();
  root->SetName(L"root");
  root->EnableScrollBar(true, false);
  CControlUI *child = new CControlUI(), *floating = new CControlUI(), *inner = new CContainerUI();
  floating->ApplyAttributeList(L"float=\"true\" pos=\"0,0,10,10\"");
  for (CControlUI* c : {child, floating, inner}) root->Add(c);
  window.Attach(root);
  window.PaintNow();
  CScrollBarUI* bar = root->GetVerticalScrollBar();
  root->ProcessScrollBar(RECT{0, 0, 184, 200}, 0, 300);
  ASSERT_TRUE(bar->IsVisible());
  EXPECT_EQ(100, root->GetScrollRange().cy);

  root->SetScrollPos(SIZE{0, 90});
  int top = child->GetPos().top;
  log.Clear();
  root->SetScrollPos(SIZE{0, 200});  // clamped to 100: children move up by 10, floats stay
  EXPECT_EQ(100, bar->GetScrollPos());
  EXPECT_EQ(top - 10, child->GetPos().top);
  EXPECT_EQ(0, floating->GetPos().top);
  ASSERT_EQ((std::vector<std::wstring>{L"scroll:root"}), log.notifications);
  EXPECT_EQ(static_cast<WPARAM>((100 + 8) / 8), log.events.back().wParam);
  // A line size of 0 reports line 0 instead of dividing by it; no notice when not asked.
  bar->SetLineSize(0);
  root->SetScrollPos(SIZE{0, 10});
  EXPECT_EQ(0u, log.events.back().wParam);
  root->SetScrollPos(SIZE{0, 50}, false);
  EXPECT_EQ(2u, log.notifications.size());

  // Steps: a line is 8 plus the default font's height (or the step size), a page the client height.
  int font = window.manager().GetDefaultFontInfo()->tm.tmHeight;
  root->HomeUp();
  root->LineDown();
  EXPECT_EQ(8 + font, root->GetScrollPos().cy);
  root->SetScrollStepSize(5);
  root->LineUp();
  EXPECT_EQ(3 + font, root->GetScrollPos().cy);
  root->PageDown();
  EXPECT_EQ(100, root->GetScrollPos().cy);
  root->PageUp();
  EXPECT_EQ(0, root->GetScrollPos().cy);
  // Keys and the wheel scroll a container with a visible bar; without a bar they bubble up.
  EventRecordUI key = {};
  key.Type = UIEVENT_KEYDOWN;
  key.chKey = VK_END;
  inner->DoEvent(key);
  EXPECT_EQ(100, root->GetScrollPos().cy);
  key.chKey = VK_HOME;
  root->DoEvent(key);
  EventRecordUI wheel = {};
  wheel.Type = UIEVENT_SCROLLWHEEL;
  wheel.wParam = 1;
  inner->DoEvent(wheel);
  EXPECT_EQ(5, root->GetScrollPos().cy);
  window.manager().RemoveNotifier(&notifier);

  CContainerUI alone;  // without a manager a line is 8
  alone.EnableScrollBar(true, false);
  alone.GetVerticalScrollBar()->SetScrollRange(50);
  alone.LineDown();
  EXPECT_EQ(8, alone.GetScrollPos().cy);
}
