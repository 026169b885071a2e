// Lists built from skin markup in real framework windows and driven by posted messages.
#include <gtest/gtest.h>

#include "list_support.h"
#include "ui/core/paint/control/scrollbar.h"
#include "ui/extra/list/list_body.h"
#include "ui/extra/list/list_elements.h"
#include "ui/extra/list/list_header.h"

using namespace SkinUI;
using skinui_test::CellTexts;
using skinui_test::DemoWindow;
using skinui_test::ExtraWindow;
using skinui_test::Rows;

namespace {

const DWORD kSelected = 0x3366CC, kWhite = 0xFFFFFF, kLine = 0xFF0000;

std::wstring ListSkin(const std::wstring& listAttributes, const std::wstring& header, const std::wstring& rows) {
  return L"<Window size=\"420,320\"><VerticalLayout bkcolor=\"#FFFFFFFF\"><List name=\"list\" vscrollbar=\"true\" "
         L"itemselectedbkcolor=\"#FF3366CC\" itemhotbkcolor=\"#FFFFFFFF\" itembkcolor=\"#FFFFFFFF\" " +
         listAttributes + L"><ListHeader height=\"24\">" + header + L"</ListHeader>" + rows +
         L"</List></VerticalLayout></Window>";
}

std::wstring Columns(int width, const wchar_t* hidden = L"") {
  std::wstring item = L"<ListHeaderItem width=\"" + std::to_wstring(width) + L"\" ";
  return item + L"text=\"A\"/>" + item + L"text=\"B\" " + hidden + L"/>" + item + L"text=\"C\"/>";
}

// Row 3 says selected="false"; row 5 is disabled, row 6 hidden and the last row disabled.
const wchar_t* NavigationRow(int i) {
  if (i == 3) return L" selected=\"false\"";
  if (i == 5 || i == 9999) return L" enabled=\"false\"";
  return i == 6 ? L" visible=\"false\"" : L"";
}

bool InView(CListUI* list, int index) {
  RECT row = list->GetItemAt(index)->GetPos(), body = list->GetList()->GetPos();
  return row.top >= body.top && row.bottom <= body.bottom;
}

}  // namespace

// 10,000 text rows with texts from the callback: each key selects a row that can be selected, with
// exactly one "itemselect", and brings it into view with the selected background.
TEST(List, KeysSelectSelectableRowsAndScrollThemIntoView) {
  ExtraWindow window(ListSkin(L"multiselect=\"true\"", Columns(100), Rows(10000, L"ListTextElement", NavigationRow)));
  CListUI* list = window.List();
  ASSERT_NE(nullptr, list);
  ASSERT_EQ(10000, list->GetCount());
  CellTexts texts;
  list->SetTextCallback(&texts);
  window.PaintNow();
  EXPECT_EQ(-1, list->GetCurSel()) << "selected=\"false\" selects nothing";

  window.ClickAt(DemoWindow::Centre(list->GetItemAt(4)));
  struct Step {
    WPARAM key;
    int expected;
  } steps[] = {{VK_DOWN, 7}, {VK_UP, 4},    {VK_END, 9998}, {VK_DOWN, 9998}, {VK_HOME, 0},
               {VK_UP, 0},   {VK_NEXT, -1}, {VK_PRIOR, 0},  {VK_END, 9998},  {VK_NEXT, 9998}};
  int selects = window.Count(L"itemselect");
  EXPECT_EQ(1, selects);
  for (const Step& step : steps) {
    window.Key(step.key);
    window.PaintNow();
    int selected = list->GetCurSel();
    if (step.expected >= 0) {
      EXPECT_EQ(step.expected, selected) << "key " << step.key;
    } else {
      EXPECT_GT(selected, 7) << "a page down";
    }
    EXPECT_EQ(++selects, window.Count(L"itemselect")) << "key " << step.key;
    ASSERT_TRUE(InView(list, selected)) << "row " << selected;
    EXPECT_EQ(kSelected, window.PixelIn(list->GetItemAt(selected)->GetPos(), 95)) << "row " << selected;
  }

  window.Key(VK_HOME);
  window.ClickAt(DemoWindow::Centre(list->GetItemAt(2)), true);
  EXPECT_EQ(2, list->GetSelectItemCount());
  window.ClickAt(DemoWindow::Centre(list->GetItemAt(2)), true);
  EXPECT_EQ(1, list->GetSelectItemCount()) << "a Ctrl-click unselects";
  BYTE keys[256] = {};
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  window.Key('A');
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(9997, list->GetSelectItemCount()) << "all but the disabled and hidden rows";
  EXPECT_FALSE(static_cast<IListItemUI*>(list->GetItemAt(5)->GetInterface(L"ListItem"))->IsSelected());
}
