// Rules of the basic controls that a window of code (not a skin) relies on.
#include <gtest/gtest.h>

#include "test_controls.h"
#include "test_window.h"
#include "ui/core/layouts/linear_layout.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"
#include "ui/core/layouts/tab_layout.h"

using namespace SkinUI;
using skinui_test::TestWindow;

TEST(BasicControls, OptionsGroupedInCodeJoinWhenAttachedAndLeaveCleanly) {
  TestWindow window(300, 100);
  auto* root = new CHorizontalLayoutUI;
  COptionUI* options[3];
  for (auto*& option : options) {
    option = new COptionUI;
    option->SetGroup(L"g");  // before the option has a manager
    root->Add(option);
  }
  ASSERT_TRUE(window.Attach(root));
  options[0]->Selected(true);
  options[1]->Selected(true);
  EXPECT_FALSE(options[0]->IsSelected());
  EXPECT_TRUE(options[1]->IsSelected());
  // Leaving the group: selecting a former partner no longer unselects it.
  options[1]->SetGroup(nullptr);
  options[2]->Selected(true);
  EXPECT_TRUE(options[1]->IsSelected());
  // A check box in the group is unselected through its own slot; deleting a member leaves the group.
  auto* box = new CCheckBoxUI;
  box->SetGroup(L"g");
  root->Add(box);
  box->Selected(true);
  EXPECT_FALSE(options[2]->IsSelected());
  root->Remove(options[0]);
  window.Pump();
  options[2]->Selected(true);
  EXPECT_FALSE(box->IsSelected());
  // A disabled selected option keeps its selected state bit.
  options[2]->SetEnabled(false);
  EXPECT_EQ(UINT(UISTATE_SELECTED), options[2]->GetButtonState());
}

TEST(BasicControls, TabLayoutKeepsItsSelectionAcrossInsertAndRemove) {
  TestWindow window(200, 100);
  auto* tabs = new CTabLayoutUI;
  CControlUI* pages[3];
  for (auto*& page : pages) {
    page = new CControlUI;
    tabs->Add(page);
  }
  ASSERT_TRUE(window.Attach(tabs));
  EXPECT_EQ(0, tabs->GetCurSel());
  EXPECT_FALSE(pages[1]->IsVisible());
  ASSERT_TRUE(tabs->SelectItem(2));
  auto* front = new CControlUI;
  tabs->AddAt(front, 0);
  EXPECT_EQ(3, tabs->GetCurSel());
  EXPECT_FALSE(front->IsVisible());
  // RemoveAt below the selection keeps naming the same page.
  ASSERT_TRUE(tabs->RemoveAt(0));
  EXPECT_EQ(2, tabs->GetCurSel());
  EXPECT_EQ(pages[2], tabs->GetItemAt(tabs->GetCurSel()));
  // Removing the selected page selects page 0.
  ASSERT_TRUE(tabs->RemoveAt(2));
  EXPECT_EQ(0, tabs->GetCurSel());
  EXPECT_TRUE(pages[0]->IsVisible());
  EXPECT_FALSE(tabs->SelectItem(5));
  window.Pump();
}

TEST(BasicControls, ProgressAndLabelEdgeValues) {
  TestWindow window(200, 60);
  auto* root = new CVerticalLayoutUI;
  auto* bar = new CProgressUI;
  bar->SetForeColor(0xFF00FF00);
  bar->SetMinValue(5);
  bar->SetMaxValue(5);  // an empty range: painting repairs it instead of dividing by zero
  auto* label = new CLabelUI;
  label->SetAttribute(L"autocalcwidth", L"true");
  label->SetAttribute(L"textpadding", L"3,0,5,0");
  label->SetText(L"wide text");
  root->Add(bar);
  root->Add(label);
  ASSERT_TRUE(window.Attach(root));
  window.PaintNow();
  EXPECT_EQ(6, bar->GetMaxValue());
  SIZE estimated = label->EstimateSize(SIZE{200, 40});
  EXPECT_GT(estimated.cx, 8 + 20);
  EXPECT_EQ(window.manager().GetDefaultFontInfo()->tm.tmHeight + 4, estimated.cy);
  EXPECT_EQ(5, bar->GetValue());
}
