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

  list->SetAttribute(L"scrollselect", L"true");
  list->SetMultiSelect(false);
  window.Key(VK_END);
  window.Wheel(DemoWindow::Centre(list->GetItemAt(9998)), true);
  EXPECT_EQ(9998, list->GetCurSel()) << "the wheel has no row further down to select";
}

// The selection stays on its row when rows come and go before it; the list keeps a header.
TEST(List, SelectionFollowsItsRowWhenRowsComeAndGo) {
  ExtraWindow window(ListSkin(L"", Columns(100), Rows(20, L"ListTextElement")));
  CListUI* list = window.List();
  list->SelectItem(5);
  CControlUI* selected = list->GetItemAt(5);
  list->RemoveAt(2);
  EXPECT_EQ(4, list->GetCurSel());
  list->AddAt(new CListTextElementUI, 0);
  EXPECT_EQ(5, list->GetCurSel());
  EXPECT_EQ(selected, list->GetItemAt(list->GetCurSel()));
  CListHeaderUI* header = list->GetHeader();
  list->Remove(header);
  window.Pump();
  EXPECT_NE(header, list->GetHeader());
  EXPECT_EQ(0, list->GetHeader()->GetCount());
  window.PaintNow();
}

// The separator of a column drags its line along; the minimum width holds; a press a pixel
// outside the separator's grab band is a "headerclick".
TEST(ListHeader, SeparatorDragMovesTheColumnLineAndClicksOutsideIt) {
  ExtraWindow window(
      ListSkin(L"itemlinecolor=\"#FFFF0000\" itemshowcolumnline=\"true\"", Columns(100), Rows(3, L"ListTextElement")));
  CListUI* list = window.List();
  CControlUI* first = list->GetHeader()->GetItemAt(0);
  RECT row = list->GetItemAt(1)->GetPos();
  int line = first->GetPos().right;
  int y = (first->GetPos().top + first->GetPos().bottom) / 2;
  ASSERT_EQ(kLine, window.PixelIn(row, line - 1 - row.left));

  window.Click(POINT{line - 8, y}, POINT{line + 32, y});
  window.PaintNow();
  EXPECT_EQ(line + 40, list->GetListInfo()->rcColumn[0].right);
  EXPECT_EQ(line + 40, list->GetHeader()->GetItemAt(1)->GetPos().left);
  EXPECT_EQ(kLine, window.PixelIn(row, line + 39 - row.left)) << "the column line moved";
  EXPECT_EQ(kWhite, window.PixelIn(row, line - 1 - row.left));
  EXPECT_EQ(0, window.Count(L"headerclick"));

  window.Click(POINT{line + 38, y}, POINT{line - 200, y});
  window.PaintNow();
  EXPECT_EQ(140, first->GetWidth()) << "no narrower than the minimum width";
  window.Click(POINT{line + 31, y}, POINT{line + 31, y});
  EXPECT_EQ(1, window.Count(L"headerclick"));
}

// Scaled columns take their share of the header less the list's vertical bar.
TEST(ListHeader, ScaledColumnsLeaveRoomForTheVerticalBar) {
  ExtraWindow window(ListSkin(L"width=\"400\" vscrollbarstyle=\"width=&quot;17&quot;\"",
                              L"<ListHeaderItem scale=\"25\"/><ListHeaderItem scale=\"75\"/>",
                              Rows(40, L"ListTextElement")));
  CListUI* list = window.List();
  list->GetHeader()->SetScaleHeader(true);
  list->NeedUpdate();
  window.PaintNow();
  ASSERT_TRUE(list->GetVerticalScrollBar()->IsVisible());
  EXPECT_EQ(95, list->GetHeader()->GetItemAt(0)->GetWidth()) << "25 x (400 - 17) / 100";
}

// Horizontal scrolling moves the header's items, the columns and the rows' cells together.
TEST(List, HorizontalScrollMovesHeaderAndCellsTogether) {
  ExtraWindow window(ListSkin(L"hscrollbar=\"true\" itemlinecolor=\"#FFFF0000\" itemshowcolumnline=\"true\"",
                              Columns(200), Rows(3, L"ListTextElement")));
  CListUI* list = window.List();
  ASSERT_TRUE(list->GetHorizontalScrollBar()->IsVisible()) << "600 wide columns in 420";
  RECT before = list->GetHeader()->GetItemAt(1)->GetPos();
  RECT row = list->GetItemAt(0)->GetPos();
  list->LineRight();
  window.PaintNow();
  int moved = list->GetScrollPos().cx;
  ASSERT_GT(moved, 0);
  EXPECT_EQ(before.left - moved, list->GetHeader()->GetItemAt(1)->GetPos().left);
  EXPECT_EQ(before.left - moved, list->GetListInfo()->rcColumn[1].left);
  EXPECT_EQ(row.left - moved, list->GetItemAt(0)->GetPos().left);
  EXPECT_EQ(kLine, window.PixelIn(row, before.left - moved - 1 - row.left)) << "the line between the cells";

  SetWindowPos(window.GetHWND(), nullptr, 0, 0, 700, 320, SWP_NOMOVE | SWP_NOZORDER);
  window.PaintNow();
  ASSERT_FALSE(list->GetHorizontalScrollBar()->IsVisible()) << "the columns fit";
  EXPECT_EQ(list->GetPos().left, list->GetItemAt(0)->GetPos().left) << "rows back at the start";
  EXPECT_EQ(list->GetPos().left, list->GetListInfo()->rcColumn[0].left);
}

// HTML cell texts with links: the hand cursor over a link, "link" with its index on a release
// there; elsewhere "itemclick"; a double click "itemactivate".
TEST(List, LinksAndRowNotifications) {
  struct Links : IListCallbackUI {
    const wchar_t* GetItemText(CControlUI*, int, int column) override {
      return column == 1 ? L"{a one}one{/a} {a two}two{/a}" : L"plain";
    }
  } links;
  ExtraWindow window(ListSkin(L"itemshowhtml=\"true\"", Columns(100), Rows(3, L"ListTextElement")));
  CListUI* list = window.List();
  list->SetTextCallback(&links);
  window.PaintNow();
  auto* row = static_cast<CListTextElementUI*>(list->GetItemAt(1)->GetInterface(L"ListTextElement"));
  ASSERT_EQ(2, row->GetLinkCount());
  EXPECT_EQ(L"two", std::wstring(row->GetLinkText(1).GetData()));
  EXPECT_NE(0u, row->GetControlFlags() & UIFLAG_SETCURSOR);
  RECT second = row->GetLinkRect(1);
  POINT onLink = {(second.left + second.right) / 2, (second.top + second.bottom) / 2};
  EventRecordUI cursor = {UIEVENT_SETCURSOR, row, 0, onLink, 0, 0, 0, 0};
  row->Event(cursor);
  EXPECT_EQ(LoadCursorW(nullptr, IDC_HAND), GetCursor());

  window.ClickAt(onLink);
  ASSERT_EQ(1, window.Count(L"link"));
  EXPECT_EQ(1u, window.notes.back().wParam);
  EXPECT_EQ(0, window.Count(L"itemclick"));
  POINT plain = {row->GetPos().left + 5, onLink.y};
  window.ClickAt(plain);
  EXPECT_EQ(1, window.Count(L"itemclick"));
  window.DoubleClickAt(plain);
  EXPECT_EQ(1, window.Count(L"itemactivate"));
}

// Rows of a fixed width still stack one per line: every row can be scrolled to, also rows without
// a fixed height. A hidden column widens no row.
TEST(ListBody, NeededSizeCountsEveryRowAndNoHiddenColumn) {
  ExtraWindow window(ListSkin(L"", Columns(160, L"visible=\"false\""), Rows(40, L"ListLabelElement width=\"100\"")));
  CListUI* list = window.List();
  ASSERT_TRUE(list->GetVerticalScrollBar()->IsVisible());
  list->SelectItem(39);
  window.PaintNow();
  EXPECT_TRUE(InView(list, 39));

  ExtraWindow wide(ListSkin(L"hscrollbar=\"true\"", Columns(160, L"visible=\"false\""), Rows(3, L"ListTextElement")));
  EXPECT_FALSE(wide.List()->GetHorizontalScrollBar()->IsVisible()) << "two columns of 160 fit in 420";
  EXPECT_EQ(420, wide.List()->GetItemAt(0)->GetWidth());
  wide.List()->GetHeader()->GetItemAt(0)->SetVisible(false);
  wide.List()->NeedUpdate();
  wide.PaintNow();
  EXPECT_TRUE(IsRectEmpty(&wide.List()->GetListInfo()->rcColumn[0])) << "a hidden column's cells are not drawn";
}
