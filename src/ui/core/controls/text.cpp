#include "ui/core/controls/text.h"

#include <cwchar>

#include "ui/core/base/system_cursor.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

CTextUI::CTextUI() : m_nLinks(0), m_rcLinks{}, m_nHoverLink(-1) {
  m_rcTextPadding = CUIRect(2, 0, 2, 0);
  m_uTextStyle = DT_WORDBREAK;
}

CTextUI::~CTextUI() = default;

const wchar_t* CTextUI::GetClass() const { return L"TextUI"; }

LPVOID CTextUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Text") == 0) return static_cast<CTextUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

UINT CTextUI::GetControlFlags() const { return (IsEnabled() && HasLinks()) ? UINT{UIFLAG_SETCURSOR} : 0u; }

// Links exist only in HTML text; a switch to plain text ends them even before the next paint.
bool CTextUI::HasLinks() const { return m_bShowHtml && m_nLinks > 0; }

RECT CTextUI::GetLinkRect(int index) const {
  return (index >= 0 && index < GetLinkCount()) ? m_rcLinks[index] : RECT{0, 0, 0, 0};
}

CUIString CTextUI::GetLinkText(int index) const {
  return (index >= 0 && index < GetLinkCount()) ? m_sLinks[index] : CUIString();
}

int CTextUI::LinkAt(POINT pt) const {
  if (!HasLinks()) return -1;
  for (int i = 0; i < m_nLinks; ++i) {
    if (::PtInRect(&m_rcLinks[i], pt)) return i;
  }
  return -1;
}

void CTextUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CLabelUI::DoEvent(event);
    return;
  }
  const int link = LinkAt(event.ptMouse);
  switch (event.Type) {
    case UIEVENT_SETCURSOR:
      if (link >= 0) {
        ShowSystemCursor(32649);
        return;
      }
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (IsEnabled() && link >= 0) {
        Invalidate();
        return;
      }
      break;
    case UIEVENT_BUTTONUP:
      if (IsEnabled() && link >= 0) {
        if (m_pManager != nullptr) m_pManager->SendNotify(this, L"link", static_cast<WPARAM>(link), 0);
        return;
      }
      break;
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_MOUSEMOVE:
      if (IsEnabled() && HasLinks()) {
        if (link != m_nHoverLink) {
          m_nHoverLink = link;
          Invalidate();
        }
        return;
      }
      break;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled() && HasLinks() && m_nHoverLink >= 0) {
        m_nHoverLink = -1;
        Invalidate();
        return;
      }
      break;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

SIZE CTextUI::EstimateSize(SIZE szAvailable) {
  // Only the width follows the text; the height stays the control's own.
  if (m_pManager != nullptr && GetAutoCalcWidth()) {
    RECT rc = {m_rcTextPadding.left, 0, 9999 - m_rcTextPadding.right, 9999};
    CUIString text = GetText();
    if (m_bShowHtml) {
      int links = 0;
      CRenderEngine::DrawHtmlText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), m_dwTextColor, nullptr,
                                  nullptr, links, m_uTextStyle | DT_CALCRECT);
    } else {
      CRenderEngine::DrawText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), m_dwTextColor, m_iFont,
                              m_uTextStyle | DT_CALCRECT);
    }
    int width = rc.right - rc.left + m_rcTextPadding.left + m_rcTextPadding.right;
    m_cxFixed = MulDiv(width, 100, m_pManager->GetDPIObject()->GetScale());
  }
  return CControlUI::EstimateSize(szAvailable);
}

void CTextUI::PaintText(HDC hDC) {
  CUIString text = GetText();
  if (text.IsEmpty()) {
    m_nLinks = 0;
    return;
  }
  TakeDefaultColors();
  RECT rc = UnscaledTextRect();
  const DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  if (m_bShowHtml) {
    m_nLinks = kMaxLinks;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), color, m_rcLinks, m_sLinks, m_nLinks,
                                m_uTextStyle);
  } else {
    // Plain text has no links: rectangles of an earlier HTML paint must not stay clickable.
    m_nLinks = 0;
    m_nHoverLink = -1;
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), color, m_iFont, m_uTextStyle);
  }
}

}  // namespace SkinUI
