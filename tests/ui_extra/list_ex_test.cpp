// The list extension in real framework windows, driven by posted mouse messages: check boxes in
// the header and the rows kept in step, the in-cell combo, and the editors over the body.
#include <gtest/gtest.h>

#include "list_ex_support.h"
#include "ui/core/controls/edit.h"
#include "ui/extra/combo/combo.h"
#include "ui/extra/list/list_header.h"

using namespace SkinUI;
using skinui_test::DemoWindow;
using skinui_test::ListExWindow;

namespace {

bool SameRect(const RECT& a, const RECT& b) { return ::EqualRect(&a, &b) != FALSE; }

// Adds "<row>/<column>/<n>" items for the cell, and selects one on the way, as a host may.
class CellChoices : public IListComboCallbackUI {
 public:
  void FillCellCombo(CComboBoxUI* combo, int row, int column) override {
    for (int n = 0; n < 3; ++n) {
      auto* item = new CListLabelElementUI;
      item->SetText((std::to_wstring(row) + L"/" + std::to_wstring(column) + L"/" + std::to_wstring(n)).c_str());
      combo->Add(item);
    }
    combo->SelectItem(0);
  }
};

}  // namespace

// The header's box checks every row; unchecking a row unchecks it, checking the last unchecked
// row checks it again. Each box stands at the left of its own column (the second).
TEST(ListEx, HeaderBoxChecksEveryRowAndFollowsTheRows) {
  ListExWindow window(5);
  CListContainerHeaderItemUI* header = window.Column(1);
  ASSERT_NE(nullptr, header);
  POINT rowBox = window.BoxCentre(window.Row(2), 1);
  EXPECT_EQ(ListExWindow::kUnchecked, window.Pixel(rowBox.x, rowBox.y));
  EXPECT_EQ(0xFFFFFFu, window.Pixel(rowBox.x - 100, rowBox.y)) << "no box in the first column";

  window.ClickAt(window.BoxCentre(header, 1));
  window.PaintNow();
  EXPECT_TRUE(header->GetCheck());
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(window.Row(i)->GetCheck()) << i;
  EXPECT_EQ(ListExWindow::kChecked, window.Pixel(rowBox.x, rowBox.y));
  ASSERT_EQ(1, window.Count(L"listheaditemchecked"));

  window.ClickAt(rowBox);
  EXPECT_FALSE(window.Row(2)->GetCheck());
  EXPECT_FALSE(header->GetCheck());
  window.ClickAt(rowBox);
  EXPECT_TRUE(header->GetCheck());
  ASSERT_EQ(2, window.Count(L"listitemchecked"));
  EXPECT_EQ(2u, window.Last(L"listitemchecked")->wParam);
}

// "listitemchecked" names the row in full (above 65,535 too) and the column the box is in.
TEST(ListEx, RowCheckNamesRowAndColumnInFull) {
  ListExWindow window(65540);
  CListExUI* list = window.ListEx();
  list->SelectItem(65537);
  window.PaintNow();
  window.ClickAt(window.BoxCentre(window.Row(65537), 1));
  EXPECT_TRUE(window.Row(65537)->GetCheck());
  ASSERT_EQ(1, window.Count(L"listitemchecked"));
  const DemoWindow::Note& note = *window.Last(L"listitemchecked");
  EXPECT_EQ(65537u, note.wParam);
  EXPECT_EQ(1, LOWORD(note.lParam)) << "checked";
  EXPECT_EQ(1, HIWORD(note.lParam)) << "the column";
}

// A press on a cell of the comboable column puts "ListEx_Combo" over the cell with the items the
// host's callback gave; choosing one writes its text into that cell only.
TEST(ListEx, ComboCellIsFilledByTheCallback) {
  ListExWindow window(6);
  CellChoices choices;
  window.ListEx()->SetComboCallback(&choices);
  window.ClickAt(window.CellCentre(3, 3));
  auto* combo = window.Get<CComboBoxUI>(L"ListEx_Combo", L"Combo");
  ASSERT_NE(nullptr, combo);
  EXPECT_TRUE(SameRect(window.EditorPlace(3, 3), combo->GetPos()));
  ASSERT_EQ(3, combo->GetCount());
  EXPECT_STREQ(L"3/3/1", combo->GetItemAt(1)->GetText().GetData());
  EXPECT_STREQ(L"r3c3", window.Row(3)->GetText(3)) << "the callback's selection is no choice";

  combo->SelectItem(1);
  EXPECT_STREQ(L"3/3/1", window.Row(3)->GetText(3));
  EXPECT_STREQ(L"r2c3", window.Row(2)->GetText(3));
  EXPECT_STREQ(L"r3c2", window.Row(3)->GetText(2));
  EXPECT_TRUE(::IsRectEmpty(&combo->GetPos()));
}

// The in-cell combo follows its record: rows inserted before it or the record moved, it stands
// over the record's cell and the choice goes into that record. Every row removed, the combo hides
// and a later choice goes nowhere, not into a new row at the old index.
TEST(ListEx, CellComboFollowsItsRowAndForgetsARemovedOne) {
  ListExWindow window(6);
  CListExUI* list = window.ListEx();
  list->SetDelayedDestroy(false);
  CellChoices choices;
  list->SetComboCallback(&choices);
  window.ClickAt(window.CellCentre(3, 3));
  auto* combo = window.Get<CComboBoxUI>(L"ListEx_Combo", L"Combo");
  ASSERT_NE(nullptr, combo);
  CListTextExtElementUI* record = window.Row(3);
  list->AddAt(new CListTextExtElementUI, 0);
  window.PaintNow();
  EXPECT_TRUE(SameRect(window.EditorPlace(4, 3), combo->GetPos()));
  list->SetItemIndex(record, 1);
  window.PaintNow();
  EXPECT_TRUE(SameRect(window.EditorPlace(1, 3), combo->GetPos()));
  combo->SelectItem(1);
  EXPECT_STREQ(L"3/3/1", record->GetText(3));
  EXPECT_STREQ(L"r2c3", window.Row(4)->GetText(3));

  window.ClickAt(window.CellCentre(0, 3));
  ASSERT_TRUE(SameRect(window.EditorPlace(0, 3), combo->GetPos()));
  list->RemoveAll();
  EXPECT_TRUE(::IsRectEmpty(&combo->GetPos()));
  list->Add(new CListTextExtElementUI);
  combo->SelectItem(2);
  EXPECT_EQ(nullptr, window.Row(0)->GetText(3));
}

// The edit floats over its cell: the body keeps its height, the edit keeps its cell through the
// next layout, and the body's scrolling hides it.
TEST(ListEx, EditorsTakeNoRoomAndHideWhenTheBodyScrolls) {
  ListExWindow window(40);
  CListExUI* list = window.ListEx();
  RECT body = list->GetList()->GetPos();
  window.ClickAt(window.CellCentre(1, 2));
  auto* edit = window.Get<CEditUI>(L"ListEx_Edit", L"Edit");
  ASSERT_NE(nullptr, edit);
  window.PaintNow();
  EXPECT_TRUE(SameRect(body, list->GetList()->GetPos()));
  EXPECT_TRUE(SameRect(window.EditorPlace(1, 2), edit->GetPos()));
  EXPECT_STREQ(L"r1c2", edit->GetText().GetData());

  window.Wheel(window.CellCentre(5, 0), true);
  EXPECT_GT(list->GetScrollPos().cy, 0);
  EXPECT_TRUE(::IsRectEmpty(&edit->GetPos()));
  window.PaintNow();
  EXPECT_TRUE(::IsRectEmpty(&edit->GetPos()));
}
