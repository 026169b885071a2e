#include <cwchar>

#include "ui/core/base/system_cursor.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/resource_table.h"
#include "ui/extra/list/list_row_internal.h"

namespace SkinUI {

CListTextElementUI::CListTextElementUI() : m_nLinks(0), m_rcLinks{}, m_nHoverLink(-1) {}

CListTextElementUI::~CListTextElementUI() {
  for (int i = 0; i < m_aTexts.GetSize(); ++i) delete static_cast<CUIString*>(m_aTexts[i]);
}

const wchar_t* CListTextElementUI::GetClass() const { return L"ListTextElementUI"; }

LPVOID CListTextElementUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListTextElement") == 0) return static_cast<CListTextElementUI*>(this);
  return CListLabelElementUI::GetInterface(pstrName);
}

UINT CListTextElementUI::GetControlFlags() const { return IsEnabled() && m_nLinks > 0 ? 6 : 4; }

CUIString CListTextElementUI::GetTextOfColumn(int iColumn) const {
  const CUIString* text = static_cast<const CUIString*>(m_aTexts.GetAt(iColumn));
  if (text == nullptr) return CUIString();
  if (m_bResourceText) return CResourceTableUI::GetInstance()->GetText(text->GetData());
  return *text;
}

void CListTextElementUI::SetTextOfColumn(int iColumn, const wchar_t* pstrText) {
  if (iColumn < 0 || iColumn >= kMaxListColumns) return;
  while (m_aTexts.GetSize() <= iColumn) m_aTexts.Add(nullptr);
  CUIString* text = static_cast<CUIString*>(m_aTexts[iColumn]);
  if (text == nullptr) {
    text = new CUIString;
    m_aTexts.SetAt(iColumn, text);
  }
  *text = pstrText != nullptr ? pstrText : L"";
  InvalidateItem();
}

// Sizes as stored; a free height follows the list's font (the default font without a list).
SIZE CListTextElementUI::EstimateSize(SIZE) {
  SIZE size = {m_cxFixed, m_cyFixed};
  if (size.cy != 0 || m_pManager == nullptr) return size;
  if (m_row.pOwner != nullptr)
    size.cy = RowHeightOf(*m_row.pOwner->GetListInfo());
  else
    size.cy = m_pManager->GetDefaultFontInfo()->tm.tmHeight + 8;
  return size;
}

int CListTextElementUI::LinkAt(POINT pt) const {
  for (int i = 0; i < m_nLinks; ++i) {
    if (::PtInRect(&m_rcLinks[i], pt)) return i;
  }
  return -1;
}

void CListTextElementUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && list_row::IsMouseEvent(event)) {
    if (m_row.pOwner != nullptr)
      m_row.pOwner->DoEvent(event);
    else
      CListLabelElementUI::DoEvent(event);
    return;
  }
  int link = LinkAt(event.ptMouse);
  if (event.Type == UIEVENT_SETCURSOR && link >= 0) {
    ShowSystemCursor(32649);  // IDC_HAND
    return;
  }
  if (event.Type == UIEVENT_BUTTONUP && IsEnabled() && link >= 0) {
    if (m_pManager != nullptr) m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link));
    return;
  }
  if (m_nLinks > 0 && event.Type == UIEVENT_MOUSEMOVE && link != m_nHoverLink) {
    InvalidateItem();
    m_nHoverLink = link;
  }
  if (m_nLinks > 0 && event.Type == UIEVENT_MOUSELEAVE && m_nHoverLink != -1) {
    InvalidateItem();
    m_nHoverLink = -1;
  }
  CListLabelElementUI::DoEvent(event);
}

void CListTextElementUI::DrawItemText(HDC hDC, const RECT&) { DrawColumnTexts(hDC, nullptr); }

CUIString CListTextElementUI::ShownTextOfColumn(int iColumn) {
  IListCallbackUI* callback = m_row.pList != nullptr ? m_row.pList->GetTextCallback() : nullptr;
  if (callback == nullptr) return GetTextOfColumn(iColumn);
  const wchar_t* text = callback->GetItemText(this, m_row.iIndex, iColumn);
  return text != nullptr ? CUIString(text) : CUIString();
}

// HTML text keeps up to eight links over all columns.
void CListTextElementUI::DrawColumnTexts(HDC hDC, const int* indents) {
  if (m_row.pOwner == nullptr || m_row.pList == nullptr) return;
  const ListInfoUI& info = *m_row.pOwner->GetListInfo();
  DWORD color = StateTextColor();
  m_nLinks = 0;
  for (int i = 0; i < info.nColumns; ++i) {
    const RECT& column = info.rcColumn[i];
    if (::IsRectEmpty(&column)) continue;
    RECT cell = {column.left + info.rcTextPadding.left + (indents != nullptr ? indents[i] : 0),
                 m_rcItem.top + info.rcTextPadding.top, column.right - info.rcTextPadding.right,
                 m_rcItem.bottom - info.rcTextPadding.bottom};
    CUIString text = ShownTextOfColumn(i);
    if (text.IsEmpty() || ::IsRectEmpty(&cell)) continue;
    if (!info.bShowHtml) {
      CRenderEngine::DrawText(hDC, m_pManager, cell, text.GetData(), color, info.nFont, info.uTextStyle);
      continue;
    }
    int room = kMaxLinks - m_nLinks;
    bool full = room == 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, cell, text.GetData(), color, full ? nullptr : &m_rcLinks[m_nLinks],
                                full ? nullptr : &m_sLinks[m_nLinks], room, info.uTextStyle);
    m_nLinks += room;
  }
  for (int i = m_nLinks; i < kMaxLinks; ++i) {
    ::SetRectEmpty(&m_rcLinks[i]);
    m_sLinks[i].Empty();
  }
}

}  // namespace SkinUI
