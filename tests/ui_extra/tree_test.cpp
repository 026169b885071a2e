// A tree built from three levels of skin markup in a real framework window, driven by posted
// mouse messages and checked by visibility and pixels.
#include <gtest/gtest.h>

#include "list_support.h"
#include "ui/extra/tree/tree_view.h"

using namespace SkinUI;
using skinui_test::DemoWindow;
using skinui_test::ExtraWindow;

namespace {

const DWORD kSelected = 0x3366CC, kWhite = 0xFFFFFF;

// Children come before their parents in the markup's building order.
const wchar_t kTree[] =
    L"<Window size=\"300,300\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<TreeView name=\"tree\" visiblecheckbtn=\"true\" itemselectedbkcolor=\"#FF3366CC\" itemhotbkcolor=\"#FFFFFFFF\">"
    L"<TreeNode name=\"a\" text=\"A\" itemattr=\"group=&quot;tree&quot;\">"
    L"<TreeNode name=\"a1\" text=\"A1\"><TreeNode name=\"a1x\" text=\"A1x\"/><TreeNode name=\"a1y\" text=\"A1y\"/>"
    L"</TreeNode><TreeNode name=\"a2\" text=\"A2\"/></TreeNode>"
    L"<TreeNode name=\"b\" text=\"B\"/></TreeView></VerticalLayout></Window>";

struct TreeWindow : ExtraWindow {
  TreeWindow() : ExtraWindow(kTree) {}
  CTreeNodeUI* Node(const wchar_t* name) { return Get<CTreeNodeUI>(name, L"TreeNode"); }
  bool Shown(const wchar_t* name) { return Node(name)->IsVisible(); }
  void ClickPart(CControlUI* part) { ClickAt(DemoWindow::Centre(part)); }
};

}  // namespace

TEST(TreeView, MarkupBuildsNodesInDepthFirstOrderIndentedByDepth) {
  TreeWindow window;
  CTreeViewUI* tree = window.Get<CTreeViewUI>(L"tree", L"TreeView");
  ASSERT_NE(nullptr, tree);
  const wchar_t* order[] = {L"a", L"a1", L"a1x", L"a1y", L"a2", L"b"};
  ASSERT_EQ(6, tree->GetCount());
  for (int i = 0; i < 6; ++i) EXPECT_EQ(window.Find(order[i]), tree->GetItemAt(i)) << i;
  EXPECT_FALSE(window.Node(L"a")->GetDottedLine()->IsVisible());
  EXPECT_EQ(18, window.Node(L"a1")->GetDottedLine()->GetWidth());
  EXPECT_EQ(34, window.Node(L"a1x")->GetDottedLine()->GetWidth()) << "a grandchild, one step further in";
  EXPECT_STREQ(L"tree", window.Node(L"a1x")->GetItemButton()->GetGroup()) << "the group its parent joined";
  EXPECT_EQ(tree, window.Node(L"a1y")->GetTreeView());
  EXPECT_EQ(window.Node(L"a1"), window.Node(L"a1x")->GetParentNode());
}

TEST(TreeView, FoldersDoubleClicksAndCheckBoxes) {
  TreeWindow window;
  CTreeNodeUI* b = window.Node(L"b");
  window.ClickAt(POINT{b->GetPos().right - 10, DemoWindow::Centre(b).y});
  window.PaintNow();
  RECT bBefore = b->GetPos();
  ASSERT_EQ(kSelected, window.PixelIn(bBefore, 200));

  window.ClickPart(window.Node(L"a1")->GetFolderButton());
  window.PaintNow();
  EXPECT_FALSE(window.Shown(L"a1x"));
  EXPECT_FALSE(window.Shown(L"a1y"));
  EXPECT_TRUE(window.Shown(L"a2"));
  EXPECT_EQ(bBefore.top - 2 * 18, b->GetPos().top) << "two rows fewer above";
  EXPECT_EQ(kSelected, window.PixelIn(b->GetPos(), 200));
  EXPECT_EQ(kWhite, window.PixelIn(bBefore, 200));

  CTreeNodeUI* a = window.Node(L"a");
  window.DoubleClickAt(POINT{a->GetPos().right - 10, DemoWindow::Centre(a).y});
  EXPECT_EQ(1, window.Count(L"treeitemdbclick"));
  EXPECT_TRUE(a->GetFolderButton()->IsSelected());
  for (const wchar_t* name : {L"a1", L"a1x", L"a1y", L"a2"}) EXPECT_FALSE(window.Shown(name)) << name;
  window.DoubleClickAt(POINT{a->GetPos().right - 10, DemoWindow::Centre(a).y});
  EXPECT_TRUE(window.Shown(L"a1"));
  EXPECT_TRUE(window.Shown(L"a2"));
  EXPECT_FALSE(window.Shown(L"a1x")) << "a1 is still collapsed";

  window.ClickPart(a->GetCheckBox());
  for (const wchar_t* name : {L"a1", L"a1x", L"a1y", L"a2"}) {
    EXPECT_TRUE(window.Node(name)->GetCheckBox()->IsSelected()) << name;
  }
  EXPECT_FALSE(b->GetCheckBox()->IsSelected());
  window.ClickPart(a->GetCheckBox());
  EXPECT_FALSE(window.Node(L"a1x")->GetCheckBox()->IsSelected());
}

// The node goes with its subtree, and its parent node keeps no pointer to it.
TEST(TreeView, RemovingANodeRemovesItsSubtree) {
  TreeWindow window;
  CTreeViewUI* tree = window.Get<CTreeViewUI>(L"tree", L"TreeView");
  CTreeNodeUI* a = window.Node(L"a");
  EXPECT_TRUE(tree->Remove(window.Node(L"a1")));
  window.Pump();
  EXPECT_EQ(3, tree->GetCount());
  ASSERT_EQ(1, a->GetCountChild());
  EXPECT_EQ(window.Node(L"a2"), a->GetChildNode(0));
  EXPECT_EQ(nullptr, window.Find(L"a1x"));
  window.PaintNow();

  CTreeNodeUI* added = new CTreeNodeUI;
  added->Add(new CTreeNodeUI);
  added->Add(new CTreeNodeUI);
  EXPECT_TRUE(window.Node(L"b")->AddChildNode(added));
  ASSERT_EQ(6, tree->GetCount()) << "the node with its whole subtree";
  EXPECT_EQ(added->GetChildNode(1), tree->GetItemAt(5));
  EXPECT_EQ(tree, added->GetChildNode(1)->GetTreeView());
  window.PaintNow();
}
