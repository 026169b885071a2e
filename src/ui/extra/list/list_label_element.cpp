#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/list/list_row_internal.h"

namespace SkinUI {

const wchar_t* CListLabelElementUI::GetClass() const { return L"ListLabelElementUI"; }

LPVOID CListLabelElementUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListLabelElement") == 0)
    return static_cast<CListLabelElementUI*>(this);
  return CListElementUI::GetInterface(pstrName);
}

void CListLabelElementUI::DoEvent(EventRecordUI& event) {
  if (PassMouseEvent(event)) return;
  if (IsMouseEnabled() || !list_row::IsMouseEvent(event)) {
    if (list_row::HandlePointer(*this, m_row, *this, event)) return;
  }
  CListElementUI::DoEvent(event);
}

int CListLabelElementUI::RowHeightOf(const ListInfoUI& info) const {
  return m_pManager->GetFontInfo(info.nFont)->tm.tmHeight + 8 + info.rcTextPadding.top + info.rcTextPadding.bottom;
}

// Sizes are taken as stored; a free height follows the list's font, a free width the text.
SIZE CListLabelElementUI::EstimateSize(SIZE) {
  if (m_row.pOwner == nullptr) return SIZE{0, 0};
  const ListInfoUI& info = *m_row.pOwner->GetListInfo();
  SIZE size = {m_cxFixed, m_cyFixed};
  if (m_pManager == nullptr) return size;
  if (size.cy == 0) size.cy = RowHeightOf(info);
  if (size.cx == 0) {
    RECT rc = {0, 0, 9999, size.cy};
    UINT style = (info.uTextStyle & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT | DT_SINGLELINE;
    CUIString text = GetText();
    if (info.bShowHtml) {
      int links = 0;
      CRenderEngine::DrawHtmlText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), 0, nullptr, nullptr, links,
                                  style);
    } else {
      CRenderEngine::DrawText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), 0, info.nFont, style);
    }
    size.cx = rc.right - rc.left + info.rcTextPadding.left + info.rcTextPadding.right;
  }
  return size;
}

// A row paints its background and its text, not the plain control's colours, images and border.
void CListLabelElementUI::DoPaint(HDC hDC, const RECT& rcPaint) {
  if (!::IntersectRect(&m_rcPaint, &rcPaint, &m_rcItem)) return;
  DrawItemBk(hDC, m_rcItem);
  DrawItemText(hDC, m_rcItem);
}

DWORD CListLabelElementUI::StateTextColor() const {
  const ListInfoUI& info = *m_row.pOwner->GetListInfo();
  DWORD color = info.dwTextColor;
  if ((m_row.uButtonState & 0x08) != 0) color = info.dwHotTextColor;
  if (m_row.bSelected) color = info.dwSelectedTextColor;
  if (!IsEnabled()) color = info.dwDisabledTextColor;
  return color;
}

void CListLabelElementUI::DrawItemText(HDC hDC, const RECT& rcItem) {
  CUIString text = GetText();
  if (text.IsEmpty() || m_row.pOwner == nullptr) return;
  const ListInfoUI& info = *m_row.pOwner->GetListInfo();
  RECT rc = {rcItem.left + info.rcTextPadding.left, rcItem.top + info.rcTextPadding.top,
             rcItem.right - info.rcTextPadding.right, rcItem.bottom - info.rcTextPadding.bottom};
  if (info.bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), StateTextColor(), nullptr, nullptr, links,
                                info.uTextStyle);
  } else {
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), StateTextColor(), info.nFont, info.uTextStyle);
  }
}

}  // namespace SkinUI
