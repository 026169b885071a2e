// The list extension's in-cell edit takes the keyboard focus: the focus tests' program.
#include <gtest/gtest.h>

#include "list_ex_support.h"
#include "ui/core/controls/edit.h"

using namespace SkinUI;
using skinui_test::DemoWindow;
using skinui_test::ListExWindow;

// A press on a cell of the editable column puts "ListEx_Edit" over that cell with its text; what
// is typed there goes into that cell, and no other, when the edit loses the focus.
TEST(ListExEdit, TypedTextGoesIntoItsCellWhenTheFocusLeaves) {
  ListExWindow window(6);
  window.ClickAt(window.CellCentre(2, 2));
  auto* edit = window.Get<CEditUI>(L"ListEx_Edit", L"Edit");
  ASSERT_NE(nullptr, edit);
  RECT place = window.EditorPlace(2, 2);
  EXPECT_TRUE(::EqualRect(&place, &edit->GetPos()));
  EXPECT_STREQ(L"r2c2", edit->GetText().GetData());

  window.ClickAt(DemoWindow::Centre(edit));
  HWND native = edit->GetNativeWindow();
  ASSERT_NE(nullptr, native);
  for (wchar_t ch : std::wstring(L"new")) ::PostMessageW(native, WM_CHAR, ch, 0);
  window.Pump();
  window.ClickAt(window.CellCentre(4, 0));
  EXPECT_STREQ(L"new", window.Row(2)->GetText(2));
  for (int row = 0; row < 6; ++row) {
    for (int column = 0; column < 4; ++column) {
      if (row == 2 && column == 2) continue;
      std::wstring expected = L"r" + std::to_wstring(row) + L"c" + std::to_wstring(column);
      EXPECT_STREQ(expected.c_str(), window.Row(row)->GetText(column)) << row << "," << column;
    }
  }
  EXPECT_TRUE(::IsRectEmpty(&edit->GetPos()));
}

namespace {

// Clicks a cell of the editable column and the edit over it, and types the text there.
CEditUI* TypeInCell(ListExWindow& window, int row, const std::wstring& text) {
  window.ClickAt(window.CellCentre(row, 2));
  auto* edit = window.Get<CEditUI>(L"ListEx_Edit", L"Edit");
  window.ClickAt(DemoWindow::Centre(edit));
  for (wchar_t ch : text) ::PostMessageW(edit->GetNativeWindow(), WM_CHAR, ch, 0);
  window.Pump();
  return edit;
}

}  // namespace

// A row above the edited one goes: the edit moves with its row and writes into it. The edited row
// itself goes: the edit hides and what was typed goes nowhere. Run again under Wine's heap checks.
TEST(ListExEdit, EditFollowsItsRowAndARemovedRowIsCleanlyForgotten) {
  ListExWindow window(4);
  window.ListEx()->SetDelayedDestroy(false);
  CEditUI* edit = TypeInCell(window, 2, L"EDITED");
  window.ListEx()->RemoveAt(0);
  window.PaintNow();
  RECT place = window.EditorPlace(1, 2);
  EXPECT_TRUE(::EqualRect(&place, &edit->GetPos()));
  window.ClickAt(window.CellCentre(0, 0));
  EXPECT_STREQ(L"r1c2", window.Row(0)->GetText(2));
  EXPECT_STREQ(L"EDITED", window.Row(1)->GetText(2));
  EXPECT_STREQ(L"r3c2", window.Row(2)->GetText(2));

  TypeInCell(window, 1, L"LOST");
  window.ListEx()->Remove(window.Row(1));
  EXPECT_TRUE(::IsRectEmpty(&edit->GetPos()));
  window.ClickAt(window.CellCentre(0, 0));
  EXPECT_STREQ(L"r1c2", window.Row(0)->GetText(2));
  EXPECT_STREQ(L"r3c2", window.Row(1)->GetText(2));
}
