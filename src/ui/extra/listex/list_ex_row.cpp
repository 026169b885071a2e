#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/listex/list_ex.h"

namespace SkinUI {

CListTextExtElementUI::CListTextExtElementUI() : m_pListEx(nullptr) {}

const wchar_t* CListTextExtElementUI::GetClass() const { return L"ListTextExElementUI"; }

LPVOID CListTextExtElementUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListTextExElement") == 0) return this;
  return CListTextElementUI::GetInterface(pstrName);
}

void CListTextExtElementUI::SetOwner(CControlUI* pOwner) {
  CListTextElementUI::SetOwner(pOwner);
  CListUI* list = pOwner != nullptr ? static_cast<CListUI*>(pOwner->GetInterface(L"List")) : nullptr;
  m_pListEx = dynamic_cast<CListExUI*>(list);
}

void CListTextExtElementUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && m_box.SetAttribute(pstrName, pstrValue)) return;
  CListTextElementUI::SetAttribute(pstrName, pstrValue);
}

const wchar_t* CListTextExtElementUI::GetText(int iColumn) const {
  const CUIString* text = static_cast<const CUIString*>(m_aTexts.GetAt(iColumn));
  return text != nullptr ? text->GetData() : nullptr;
}

void CListTextExtElementUI::SetText(int iColumn, const wchar_t* pstrText) {
  if (m_pListEx == nullptr) return;
  int columns = m_pListEx->GetListInfo()->nColumns;
  if (iColumn < 0 || iColumn >= columns) return;
  // Texts of columns the list no longer has go.
  while (m_aTexts.GetSize() > columns) {
    delete static_cast<CUIString*>(m_aTexts[m_aTexts.GetSize() - 1]);
    m_aTexts.Remove(m_aTexts.GetSize() - 1);
  }
  const wchar_t* stored = GetText(iColumn);
  if (stored == nullptr && pstrText == nullptr) return;
  if (stored != nullptr && pstrText != nullptr && wcscmp(stored, pstrText) == 0) return;
  SetTextOfColumn(iColumn, pstrText);
}

void CListTextExtElementUI::SetCheck(bool bCheck) {
  if (m_box.SetCheck(bCheck)) InvalidateItem();
}

bool CListTextExtElementUI::IsCheckable(int iColumn) const {
  return m_pListEx != nullptr && m_pListEx->IsColumnCheckable(iColumn);
}

// Each checkable column has its box at its own left edge.
RECT CListTextExtElementUI::BoxRect(int iColumn) const {
  if (!IsCheckable(iColumn)) return RECT{0, 0, 0, 0};
  const RECT& column = m_pListEx->GetListInfo()->rcColumn[iColumn];
  return m_box.Place(*this, column.left, m_rcItem.top, m_rcItem.bottom);
}

int CListTextExtElementUI::ColumnAt(POINT pt) const {
  if (m_pListEx == nullptr) return -1;
  const ListInfoUI& info = *m_pListEx->GetListInfo();
  const RECT& pad = info.rcTextPadding;
  for (int i = 0; i < info.nColumns; ++i) {
    RECT cell = {info.rcColumn[i].left + pad.left, m_rcItem.top + pad.top, info.rcColumn[i].right - pad.right,
                 m_rcItem.bottom - pad.bottom};
    if (::PtInRect(&cell, pt)) return i;
  }
  return -1;
}

// The cell under the press, less 2 pixels on every side, with its text.
void CListTextExtElementUI::OfferCellEditor(POINT pt) {
  int column = ColumnAt(pt);
  if (column < 0) {
    m_pListEx->ShowCellEditor(m_row.iIndex, -1, RECT{0, 0, 0, 0}, nullptr);
    return;
  }
  const RECT& span = m_pListEx->GetListInfo()->rcColumn[column];
  RECT cell = {span.left + 2, m_rcItem.top + 2, span.right - 2, m_rcItem.bottom - 2};
  m_pListEx->ShowCellEditor(m_row.iIndex, column, cell, ShownTextOfColumn(column).GetData());
}

void CListTextExtElementUI::DoEvent(EventRecordUI& event) {
  bool mouse = event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST;
  if (!IsMouseEnabled() && mouse) {
    if (m_row.pOwner != nullptr)
      m_row.pOwner->DoEvent(event);
    else
      CListLabelElementUI::DoEvent(event);
    return;
  }
  // The program's combo filling and the receivers of "listitemchecked" may take this row out of
  // the list or delete it: it then goes no further with the event.
  CControlWatch alive(this);
  if (event.Type == UIEVENT_BUTTONDOWN && m_pListEx != nullptr && m_pListEx->IsFocused()) {
    OfferCellEditor(event.ptMouse);
    if (!alive || m_row.IsLetGo()) return;
  }
  if (mouse && m_pListEx != nullptr) {
    int columns = m_pListEx->GetListInfo()->nColumns;
    int flipped = m_box.Track(*this, event, columns, [this](int column) { return BoxRect(column); });
    if (flipped >= 0 && m_pManager != nullptr) {
      m_pManager->SendNotify(this, L"listitemchecked", static_cast<WPARAM>(m_row.iIndex),
                             MAKELPARAM(m_box.bChecked ? 1 : 0, flipped));
      if (!alive || m_row.IsLetGo()) return;
    }
  }
  CListTextElementUI::DoEvent(event);
}

// Background, the check boxes, then the texts, each checkable column's after its box.
void CListTextExtElementUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
  DrawItemBk(hDC, m_rcItem);
  PaintStatusImage(hDC);
  DrawItemText(hDC, m_rcItem);
}

void CListTextExtElementUI::PaintStatusImage(HDC hDC) {
  if (m_pListEx == nullptr) return;
  for (int i = 0; i < m_pListEx->GetListInfo()->nColumns; ++i) {
    if (IsCheckable(i)) m_box.Paint(*this, hDC, BoxRect(i), i);
  }
}

void CListTextExtElementUI::DrawItemText(HDC hDC, const RECT&) {
  int indents[kMaxListColumns] = {};
  for (int i = 0; i < kMaxListColumns; ++i) indents[i] = IsCheckable(i) ? m_box.Width(*this) : 0;
  DrawColumnTexts(hDC, indents);
}

}  // namespace SkinUI
