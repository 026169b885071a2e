// Menu lists and items from skin markup in a plain framework window: sizes, painting, what a menu
// takes. Menus in windows of their own are in menu_window_test.cpp.
#include <gtest/gtest.h>

#include "list_support.h"
#include "ui/core/paint/control/container.h"
#include "ui/extra/menu/menu.h"

using namespace SkinUI;
using skinui_test::ExtraWindow;

// A separator is 6 pixels high unless its height came first, takes no input and paints one line
// between its paddings; a menu takes menu items only.
TEST(Menu, SeparatorHeightAndLine) {
  ExtraWindow window(
      L"<Window size=\"200,200\"><Menu name=\"menu\" bkcolor=\"#FFFFFFFF\"><MenuElement text=\"A\"/>"
      L"<MenuElement name=\"line\" linetype=\"true\" linecolor=\"#FFFF0000\"/>"
      L"<MenuElement name=\"tall\" height=\"20\" linetype=\"true\"/>"
      L"<MenuElement name=\"later\" linetype=\"true\" height=\"20\"/><Button name=\"button\"/></Menu></Window>");
  CMenuUI* menu = static_cast<CMenuUI*>(window.Find(L"menu")->GetInterface(L"Menu"));
  ASSERT_NE(nullptr, menu);
  EXPECT_EQ(4, menu->GetCount());
  EXPECT_EQ(nullptr, window.Find(L"button")) << "no menu item";
  CControlUI* line = window.Find(L"line");
  RECT rc = line->GetPos();
  EXPECT_EQ(6, rc.bottom - rc.top);
  EXPECT_FALSE(line->IsEnabled());
  EXPECT_FALSE(line->IsMouseEnabled());
  EXPECT_EQ(20, window.Find(L"tall")->GetFixedHeight());
  EXPECT_EQ(20, window.Find(L"later")->GetFixedHeight());
  EXPECT_EQ(0xFF0000u, window.Pixel(rc.left + 40, rc.top + 3));
  EXPECT_EQ(0xFFFFFFu, window.Pixel(rc.left + 40, rc.top + 2));
  EXPECT_EQ(0xFFFFFFu, window.Pixel(rc.left + 20, rc.top + 3)) << "left of the line's padding";
}

// "ischeck" leaves a name the check map knows in any case as it is, and seeds a name it does not.
TEST(Menu, IsCheckSeedsOnlyANameTheMapDoesNotKnowInAnyCase) {
  CUIStringMap checks;
  MenuCheckRecord copy = {L"Copy", true};
  checks.Insert(L"Copy", &copy);
  MenuObserverImpl::GetGlobal()->SetCheckMap(&checks);
  {
    ExtraWindow window(
        L"<Window size=\"200,200\"><Menu><MenuElement name=\"copy\" ischeck=\"false\"/>"
        L"<MenuElement name=\"paste\" ischeck=\"true\"/></Menu></Window>");
  }
  MenuObserverImpl::GetGlobal()->SetCheckMap(nullptr);
  auto* paste = static_cast<MenuCheckRecord*>(checks.Find(L"paste"));
  EXPECT_TRUE(copy.bChecked);
  EXPECT_EQ(nullptr, checks.Find(L"copy"));
  ASSERT_NE(nullptr, paste);
  EXPECT_TRUE(paste->bChecked);
  EXPECT_EQ(2, checks.GetSize());
  delete paste;
}

// A receiver reached while a menu row lays out its children (a child's size delegate here; a
// control made as it is placed announces itself the same way) clears the row, or deletes it: the
// row keeps only what is left, and a deleted row takes its nested items along.
TEST(Menu, RowChangedWhileItLaysOutKeepsWhatIsLeft) {
  struct Actor {
    CContainerUI* holder;
    CControlUI* target;
    bool deleteRow;
    int nestedGone = 0;
    bool OnSize(void*) {
      if (target == nullptr) return true;
      CControlUI* row = target;
      target = nullptr;
      if (deleteRow) {
        holder->SetDelayedDestroy(false);
        holder->Remove(row);
      } else {
        static_cast<CContainerUI*>(row)->SetDelayedDestroy(false);
        static_cast<CContainerUI*>(row)->RemoveAll();
      }
      return true;
    }
    bool OnDestroy(void*) {
      ++nestedGone;
      return true;
    }
  };
  for (bool deleteRow : {false, true}) {
    ExtraWindow window(
        L"<Window size=\"200,200\"><VerticalLayout name=\"column\"><MenuElement name=\"row\" height=\"40\">"
        L"<Label name=\"child\"/><MenuElement name=\"nested\"/></MenuElement><Control/></VerticalLayout></Window>");
    auto* row = static_cast<CContainerUI*>(window.Find(L"row"));
    Actor actor{static_cast<CContainerUI*>(window.Find(L"column")), row, deleteRow};
    window.Find(L"child")->OnSize += MakeDelegate(&actor, &Actor::OnSize);
    window.Find(L"nested")->OnDestroy += MakeDelegate(&actor, &Actor::OnDestroy);
    row->SetFixedHeight(60);
    window.PaintNow();
    if (deleteRow) {
      EXPECT_EQ(nullptr, window.Find(L"row"));
      EXPECT_EQ(1, actor.nestedGone) << "the nested item stayed behind its deleted row";
    } else {
      ASSERT_EQ(1, row->GetCount());
      EXPECT_EQ(window.Find(L"nested"), row->GetItemAt(0));
    }
    window.PaintNow();
  }
}
