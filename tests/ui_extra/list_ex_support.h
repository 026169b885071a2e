#pragma once
#include <string>

#include "list_support.h"
#include "ui/extra/listex/list_ex.h"

namespace skinui_test {

// A "ListEx" of `rows` text rows in four 100-pixel columns: "A" plain, "B" checkable (12-pixel
// boxes: blue unchecked, green checked), "C" editable, "D" comboable. Cell texts are
// "r<row>c<column>".
class ListExWindow : public ExtraWindow {
 public:
  static constexpr DWORD kUnchecked = 0x0000FF, kChecked = 0x00FF00;

  explicit ListExWindow(int rows);
  SkinUI::CListExUI* ListEx() { return static_cast<SkinUI::CListExUI*>(List()); }
  SkinUI::CListTextExtElementUI* Row(int index);
  SkinUI::CListContainerHeaderItemUI* Column(int index);
  // The middle of a cell, and of the check box at the left of a column (in a row or the header).
  POINT CellCentre(int row, int column);
  POINT BoxCentre(SkinUI::CControlUI* rowOrHeader, int column);
  // A cell's bounds less 2 pixels on every side, where its editor goes.
  RECT EditorPlace(int row, int column);
};

}  // namespace skinui_test
