#include "list_ex_support.h"

#include "strip_image.h"
#include "ui/extra/list/list_header.h"

namespace skinui_test {

using namespace SkinUI;

namespace {

std::wstring ListExSkin(const std::wstring& box) {
  std::wstring boxes = L"checkboxwidth=\"12\" checkboxheight=\"12\" checkboxnormalimage=\"file='" + box +
                       L"' source='0,0,12,12'\" checkboxselectedimage=\"file='" + box + L"' source='12,0,24,12'\"";
  std::wstring quoted;
  for (wchar_t c : boxes) quoted += c == L'"' ? std::wstring(L"&quot;") : std::wstring(1, c);
  return L"<Window size=\"420,320\"><Default name=\"ListTextExtElement\" value=\"" + quoted +
         L"\"/><VerticalLayout bkcolor=\"#FFFFFFFF\"><ListEx name=\"list\" vscrollbar=\"true\" "
         L"itembkcolor=\"#FFFFFFFF\" itemhotbkcolor=\"#FFFFFFFF\" itemselectedbkcolor=\"#FFFFFFFF\">"
         L"<ListHeader height=\"24\"><ListContainerHeaderItem text=\"A\" width=\"100\"/>"
         L"<ListContainerHeaderItem text=\"B\" width=\"100\" checkable=\"true\" " +
         boxes +
         L"/><ListContainerHeaderItem text=\"C\" width=\"100\" editable=\"true\"/>"
         L"<ListContainerHeaderItem text=\"D\" width=\"100\" comboable=\"true\"/></ListHeader>"
         L"</ListEx><Button name=\"other\" height=\"30\"/></VerticalLayout></Window>";
}

}  // namespace

ListExWindow::ListExWindow(int rows)
    : ExtraWindow(ListExSkin(WriteStripImage(L"box", 12, 12, {kUnchecked, kChecked}))) {
  const wchar_t* defaults = m_pm.GetDefaultAttributeList(L"ListTextExtElement");
  for (int i = 0; i < rows; ++i) {
    auto* row = new CListTextExtElementUI;
    row->ApplyAttributeList(defaults);
    ListEx()->Add(row);
    for (int column = 0; column < 4; ++column) {
      row->SetText(column, (L"r" + std::to_wstring(i) + L"c" + std::to_wstring(column)).c_str());
    }
  }
  PaintNow();
}

CListTextExtElementUI* ListExWindow::Row(int index) {
  CControlUI* row = ListEx()->GetItemAt(index);
  return row != nullptr ? static_cast<CListTextExtElementUI*>(row->GetInterface(L"ListTextExElement")) : nullptr;
}

CListContainerHeaderItemUI* ListExWindow::Column(int index) {
  return static_cast<CListContainerHeaderItemUI*>(
      ListEx()->GetHeader()->GetItemAt(index)->GetInterface(L"ListContainerHeaderItem"));
}

POINT ListExWindow::CellCentre(int row, int column) {
  const RECT& span = ListEx()->GetListInfo()->rcColumn[column];
  RECT rc = ListEx()->GetItemAt(row)->GetPos();
  return POINT{(span.left + span.right) / 2, (rc.top + rc.bottom) / 2};
}

POINT ListExWindow::BoxCentre(CControlUI* rowOrHeader, int column) {
  const RECT& span = ListEx()->GetListInfo()->rcColumn[column];
  RECT rc = rowOrHeader->GetPos();
  return POINT{span.left + 6 + 6, (rc.top + rc.bottom) / 2};
}

RECT ListExWindow::EditorPlace(int row, int column) {
  const RECT& span = ListEx()->GetListInfo()->rcColumn[column];
  RECT rc = ListEx()->GetItemAt(row)->GetPos();
  return RECT{span.left + 2, rc.top + 2, span.right - 2, rc.bottom - 2};
}

}  // namespace skinui_test
