// Owners of selectable items whose notification's receiver changes them from inside the selection:
// it removes the row just selected or others, hides it, or removes a page. Run under Wine's heap
// checks, so that a use of a deleted row is reported; every announced selection must name an item
// that is there, selected, when it is announced.
#include <gtest/gtest.h>

#include <string>

#include "list_support.h"
#include "list_ex_support.h"
#include "ui/core/layouts/tab_layout.h"
#include "ui/extra/combo/combo.h"
#include "ui/extra/tree/tree_view.h"

using namespace SkinUI;
using skinui_test::DemoWindow;
using skinui_test::ExtraWindow;

namespace {

IContainerUI* Items(ExtraWindow& w) { return static_cast<IContainerUI*>(w.Find(L"view")->GetInterface(L"IContainer")); }

// The selection as the owner tells it: a list's, tree's or combo's current row, a tab's page.
int CurSel(ExtraWindow& w) {
  CControlUI* view = w.Find(L"view");
  auto* owner = static_cast<IListOwnerUI*>(view->GetInterface(L"IListOwner"));
  return owner != nullptr ? owner->GetCurSel() : static_cast<CTabLayoutUI*>(view)->GetCurSel();
}

bool IsSelected(ExtraWindow& w, int index) {
  CControlUI* item = Items(w)->GetItemAt(index);
  if (item == nullptr) return false;
  auto* row = static_cast<IListItemUI*>(item->GetInterface(L"ListItem"));
  return row != nullptr ? row->IsSelected() : CurSel(w) == index && item->IsVisible();
}

struct Case {
  const char* what;
  std::wstring markup;
  bool delayedDestroy;
  const wchar_t* type;  // what the receiver acts on
  void (*act)(ExtraWindow&);
  void (*react)(ExtraWindow&, NotifyRecordUI&);
  const char* announced;  // the indices announced, in order
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }

// Records each selection the view announces, checked as it arrives, then does the case's change,
// once unless the case repeats it.
struct Receiver : INotifyUI {
  Receiver(ExtraWindow& w, const Case& c) : w(w), c(c) { w.GetPaintManager().AddNotifier(this); }
  ~Receiver() { w.GetPaintManager().RemoveNotifier(this); }
  void Notify(NotifyRecordUI& msg) override {
    bool fromView = msg.pSender == w.Find(L"view");
    if (fromView && (msg.sType == L"itemselect" || msg.sType == L"tabselect")) {
      int index = static_cast<int>(msg.wParam);
      announced += (announced.empty() ? "" : " ") + std::to_string(index);
      if (!IsSelected(w, index)) ++stale;
    }
    if (msg.sType == c.type) c.react(w, msg);
  }
  ExtraWindow& w;
  const Case& c;
  std::string announced;
  int stale = 0;
};

const std::wstring kLabelRows = skinui_test::Rows(3, L"ListLabelElement text=\"row\" height=\"20\"");
const std::wstring kList = L"<List name=\"view\" height=\"120\">" + kLabelRows + L"</List>";
const std::wstring kMultiList = L"<List name=\"view\" height=\"120\" multiselect=\"true\">" + kLabelRows + L"</List>";
const std::wstring kTree =
    L"<TreeView name=\"view\" height=\"120\"><TreeNode text=\"a\"/><TreeNode text=\"b\"/><TreeNode text=\"c\"/>"
    L"</TreeView>";
const std::wstring kCombo = L"<Combo name=\"view\" height=\"24\">" + kLabelRows + L"</Combo>";
const std::wstring kTabs =
    L"<TabLayout name=\"view\" height=\"40\"><Button name=\"p0\"/><Button name=\"p1\"/><Button name=\"p2\"/>"
    L"</TabLayout>";

void End(ExtraWindow& w) {
  w.Find(L"view")->SetFocus();
  w.Key(VK_END);
}
void ClickLast(ExtraWindow& w) { w.ClickAt(ExtraWindow::Centre(Items(w)->GetItemAt(2))); }
void SelectAll(ExtraWindow& w) { w.List(L"view")->SelectAllItems(); }
void SelectThirdAdding(ExtraWindow& w) { w.List(L"view")->SelectMultiItem(2, true); }
void SelectThirdWithFocus(ExtraWindow& w) { static_cast<CComboUI*>(w.Find(L"view"))->SelectItem(2, true); }
void FromLastPageToMiddle(ExtraWindow& w) { static_cast<CTabLayoutUI*>(w.Find(L"view"))->SelectItem(1); }

void RemoveAnnounced(ExtraWindow& w, NotifyRecordUI& msg) {
  if (msg.pSender == w.Find(L"view")) Items(w)->RemoveAt(static_cast<int>(msg.wParam));
}
void RemoveFirstOnce(ExtraWindow& w, NotifyRecordUI& msg) {
  if (msg.pSender == w.Find(L"view") && msg.wParam > 0 && Items(w)->GetCount() == 3) Items(w)->RemoveAt(0);
}
void HideAnnounced(ExtraWindow& w, NotifyRecordUI& msg) {
  if (msg.pSender == w.Find(L"view")) Items(w)->GetItemAt(static_cast<int>(msg.wParam))->SetVisible(false);
}
void RemoveFocused(ExtraWindow& w, NotifyRecordUI& msg) {
  if (Items(w)->GetItemIndex(msg.pSender) >= 0) Items(w)->Remove(msg.pSender);
}
void RemoveFirstPageOnce(ExtraWindow& w, NotifyRecordUI& msg) {
  if (msg.pSender == w.Find(L"p1") && w.Find(L"p0") != nullptr) Items(w)->RemoveAt(0);
}

const Case kCases[] = {
    {"ListEndRemovesEachAnnounced", kList, true, L"itemselect", End, RemoveAnnounced, "2 1 0"},
    {"ListClickRemovesEachAnnounced", kList, false, L"itemselect", ClickLast, RemoveAnnounced, "2 1 0"},
    {"ListEndRemovesAnEarlierRow", kList, true, L"itemselect", End, RemoveFirstOnce, "2"},
    {"ListEndHidesTheAnnounced", kList, true, L"itemselect", End, HideAnnounced, "2"},
    {"ListSelectAllRemovesEachAnnounced", kMultiList, true, L"itemselect", SelectAll, RemoveAnnounced, "0 0 0"},
    {"ListAddingRemovesAnEarlierRow", kMultiList, true, L"itemselect", SelectThirdAdding, RemoveFirstOnce, "2"},
    {"TreeEndRemovesEachAnnounced", kTree, true, L"itemselect", End, RemoveAnnounced, "2 1 0"},
    {"ComboFocusRemovesTheItem", kCombo, false, L"setfocus", SelectThirdWithFocus, RemoveFocused, "1"},
    {"TabFocusRemovesAnEarlierPage", kTabs, false, L"setfocus", FromLastPageToMiddle, RemoveFirstPageOnce, "0"},
};

class SelectionReceivers : public testing::TestWithParam<Case> {};

}  // namespace

TEST_P(SelectionReceivers, OwnerHoldsOnlyWhatIsThere) {
  const Case& c = GetParam();
  ExtraWindow w(ExtraWindow::ImageSkin(c.markup + L"<Button name=\"other\" height=\"24\"/>"));
  ASSERT_NE(nullptr, w.Find(L"view"));
  static_cast<CContainerUI*>(w.Find(L"view")->GetInterface(L"Container"))->SetDelayedDestroy(c.delayedDestroy);
  bool tabs = w.Find(L"p2") != nullptr;
  if (tabs) static_cast<CTabLayoutUI*>(w.Find(L"view"))->SelectItem(2);
  w.notes.clear();
  Receiver receiver(w, c);
  c.act(w);
  w.Pump();
  EXPECT_EQ(c.announced, receiver.announced);
  EXPECT_EQ(0, receiver.stale) << "selections announced for items that were not there";
  int count = Items(w)->GetCount(), cur = CurSel(w);
  EXPECT_LT(cur, count);
  if (cur >= 0) {
    EXPECT_TRUE(IsSelected(w, cur)) << cur;
  }
  const DemoWindow::Note* tab = w.Last(L"tabselect");
  if (tab != nullptr) {
    EXPECT_EQ(w.Find(L"p2"), Items(w)->GetItemAt(static_cast<int>(tab->lParam))) << "the page selected before";
  }
  for (int i = 0; tabs && i < count; ++i) EXPECT_EQ(i == cur, Items(w)->GetItemAt(i)->IsVisible()) << i;
  w.Click(L"other");
  EXPECT_EQ(1, w.Count(L"click", L"other"));
}

INSTANTIATE_TEST_SUITE_P(Owners, SelectionReceivers, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) { return std::string(info.param.what); });

namespace {

const wchar_t kFamily[] =
    L"<TreeView name=\"view\" height=\"120\" visiblecheckbtn=\"true\"><TreeNode name=\"a\" text=\"A\">"
    L"<TreeNode name=\"a1\" text=\"A1\"/><TreeNode name=\"a2\" text=\"A2\"/><TreeNode name=\"a3\" text=\"A3\"/>"
    L"</TreeNode></TreeView><Button name=\"other\" height=\"24\"/>";

struct FamilyWindow : ExtraWindow {
  FamilyWindow() : ExtraWindow(ExtraWindow::ImageSkin(kFamily)) {}
  CTreeNodeUI* Node(const wchar_t* name) { return Get<CTreeNodeUI>(name, L"TreeNode"); }
};

// Takes the named child node out of "a" when the given part of it notifies the given type.
struct NodeRemover : INotifyUI {
  NodeRemover(FamilyWindow& w, const wchar_t* type, CControlUI* part, const wchar_t* node)
      : w(w), type(type), part(part), node(node) {
    w.GetPaintManager().AddNotifier(this);
  }
  ~NodeRemover() { w.GetPaintManager().RemoveNotifier(this); }
  void Notify(NotifyRecordUI& msg) override {
    if (msg.sType == type && msg.pSender == part && w.Find(node) != nullptr) w.Node(L"a")->Remove(w.Find(node));
  }
  FamilyWindow& w;
  const wchar_t* type;
  CControlUI* part;
  const wchar_t* node;
};

}  // namespace

// Ticking a node ticks each child node that is still there when one goes on the way.
TEST(TreeReceivers, CheckBoxReceiverRemovingAChildLeavesNoneUnticked) {
  FamilyWindow w;
  static_cast<CContainerUI*>(w.Find(L"view"))->SetDelayedDestroy(false);
  NodeRemover remover(w, L"selectchanged", w.Node(L"a1")->GetCheckBox(), L"a1");
  w.ClickAt(ExtraWindow::Centre(w.Node(L"a")->GetCheckBox()));
  w.Pump();
  EXPECT_EQ(nullptr, w.Find(L"a1"));
  EXPECT_TRUE(w.Node(L"a2")->GetCheckBox()->IsSelected());
  EXPECT_TRUE(w.Node(L"a3")->GetCheckBox()->IsSelected());
}

// Collapsing hides each child node that is still there when the focus leaving one removes it.
TEST(TreeReceivers, FocusReceiverRemovingAChildWhileCollapsingLeavesNoneShown) {
  FamilyWindow w;
  w.Node(L"a2")->SetFocus();
  NodeRemover remover(w, L"killfocus", w.Node(L"a2"), L"a2");
  // Collapsed by the program: a click would take the focus away first.
  w.Node(L"a")->GetFolderButton()->Selected(true);
  w.Pump();
  EXPECT_EQ(2, w.Node(L"a")->GetCountChild());
  EXPECT_FALSE(w.Node(L"a1")->IsVisible());
  EXPECT_FALSE(w.Node(L"a3")->IsVisible());
}

// A node cleared of its child nodes keeps its own row: it is shown, selected and painted as before.
TEST(TreeReceivers, NodeRemoveAllTakesItsChildNodesOnly) {
  FamilyWindow w;
  CTreeNodeUI* a = w.Node(L"a");
  a->RemoveAll();
  w.Pump();
  EXPECT_EQ(0, a->GetCountChild());
  EXPECT_EQ(1, w.List(L"view")->GetCount());
  EXPECT_EQ(nullptr, w.Find(L"a1"));
  EXPECT_EQ(a, a->GetTreeNodeHoriznotal()->GetParent());
  w.ClickAt(POINT{a->GetPos().right - 10, ExtraWindow::Centre(a).y});
  EXPECT_TRUE(a->IsSelected());
  EXPECT_EQ(0, w.List(L"view")->GetCurSel());
  w.PaintNow();
  w.Click(L"other");
  EXPECT_EQ(1, w.Count(L"click", L"other"));
}

// The node's row gives up what the program put in it, never the node's own parts: a receiver that
// takes the folder button away through its parent, or clears the row, leaves a node that works.
TEST(TreeReceivers, NodeRowKeepsTheNodesOwnParts) {
  FamilyWindow w;
  CTreeNodeUI* a = w.Node(L"a");
  CContainerUI* row = a->GetTreeNodeHoriznotal();
  auto* extra = new CLabelUI;
  ASSERT_TRUE(a->AddTreeItem(extra));
  EXPECT_FALSE(row->Remove(a->GetFolderButton()));
  row->SetDelayedDestroy(false);
  row->RemoveAll();
  EXPECT_EQ(4, row->GetCount());
  EXPECT_EQ(-1, row->GetItemIndex(extra));
  w.ClickAt(POINT{a->GetPos().right - 10, ExtraWindow::Centre(a).y});
  EXPECT_TRUE(a->IsSelected());
  w.ClickAt(ExtraWindow::Centre(a->GetFolderButton()));
  EXPECT_FALSE(w.Node(L"a1")->IsVisible());
  w.PaintNow();
}

// A row taken out of its list by the receiver of its check box's notification goes no further
// with the click: no "itemclick" for a row that is gone.
TEST(ListExReceivers, RowRemovedOnItsCheckIsNotAnnouncedAgain) {
  skinui_test::ListExWindow w(3);
  CListExUI* list = w.ListEx();
  CListTextExtElementUI* row = w.Row(1);
  struct : INotifyUI {
    void Notify(NotifyRecordUI& msg) override {
      if (msg.sType == L"listitemchecked") list->Remove(msg.pSender);
    }
    CListExUI* list = nullptr;
  } remover;
  remover.list = list;
  w.GetPaintManager().AddNotifier(&remover);
  w.ClickAt(w.BoxCentre(row, 1));
  w.Pump();
  w.GetPaintManager().RemoveNotifier(&remover);
  EXPECT_EQ(2, list->GetCount());
  EXPECT_EQ(1, w.Count(L"listitemchecked"));
  EXPECT_EQ(0, w.Count(L"itemclick"));
  EXPECT_LT(list->GetCurSel(), list->GetCount());
}
