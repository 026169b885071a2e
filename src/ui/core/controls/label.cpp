#include "ui/core/controls/label.h"

#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

namespace SkinUI {

CLabelUI::CLabelUI()
    : m_dwTextColor(0),
      m_dwDisabledTextColor(0),
      m_iFont(-1),
      m_uTextStyle(DT_VCENTER | DT_SINGLELINE),
      m_rcTextPadding(0, 0, 0, 0),
      m_bShowHtml(false),
      m_bAutoCalcWidth(false) {}

CLabelUI::~CLabelUI() = default;

const wchar_t* CLabelUI::GetClass() const { return L"LabelUI"; }

LPVOID CLabelUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Label") == 0) return static_cast<CLabelUI*>(this);
  return CControlUI::GetInterface(pstrName);
}

UINT CLabelUI::GetControlFlags() const { return IsEnabled() ? UINT{UIFLAG_SETCURSOR} : 0u; }

void CLabelUI::SetText(const wchar_t* pstrText) {
  CControlUI::SetText(pstrText);
  if (GetAutoCalcWidth()) NeedParentUpdate();
}

bool CLabelUI::GetAutoCalcWidth() const { return m_bAutoCalcWidth; }
void CLabelUI::SetAutoCalcWidth(bool bAutoCalcWidth) { m_bAutoCalcWidth = bAutoCalcWidth; }

void CLabelUI::SetTextColor(DWORD dwTextColor) {
  m_dwTextColor = dwTextColor;
  Invalidate();
}

void CLabelUI::SetDisabledTextColor(DWORD dwTextColor) {
  m_dwDisabledTextColor = dwTextColor;
  Invalidate();
}

void CLabelUI::SetFont(int index) {
  m_iFont = index;
  Invalidate();
}

void CLabelUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CLabelUI::SetShowHtml(bool bShowHtml) {
  if (m_bShowHtml == bShowHtml) return;
  m_bShowHtml = bShowHtml;
  Invalidate();
}

void CLabelUI::DoEvent(EventRecordUI& event) {
  if (event.Type == UIEVENT_SETFOCUS) {
    m_bFocused = true;
    return;
  }
  if (event.Type == UIEVENT_KILLFOCUS) {
    m_bFocused = false;
    return;
  }
  CControlUI::DoEvent(event);
}

void CLabelUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  const wchar_t* name = pstrName;
  const wchar_t* value = pstrValue;
  if (_wcsicmp(name, L"align") == 0) {
    if (wcsstr(value, L"left") != nullptr) m_uTextStyle &= ~(DT_CENTER | DT_RIGHT);
    if (wcsstr(value, L"center") != nullptr) {
      m_uTextStyle &= ~DT_RIGHT;
      m_uTextStyle |= DT_CENTER;
    }
    if (wcsstr(value, L"right") != nullptr) {
      m_uTextStyle &= ~DT_CENTER;
      m_uTextStyle |= DT_RIGHT;
    }
  } else if (_wcsicmp(name, L"valign") == 0) {
    if (wcsstr(value, L"top") != nullptr) {
      m_uTextStyle &= ~(DT_VCENTER | DT_BOTTOM | DT_WORDBREAK);
      m_uTextStyle |= DT_SINGLELINE;
    }
    if (wcsstr(value, L"vcenter") != nullptr) {
      m_uTextStyle &= ~(DT_BOTTOM | DT_WORDBREAK);
      m_uTextStyle |= DT_VCENTER | DT_SINGLELINE;
    }
    if (wcsstr(value, L"bottom") != nullptr) {
      m_uTextStyle &= ~(DT_VCENTER | DT_WORDBREAK);
      m_uTextStyle |= DT_BOTTOM | DT_SINGLELINE;
    }
  } else if (_wcsicmp(name, L"endellipsis") == 0) {
    if (IsTrueValue(value))
      m_uTextStyle |= DT_END_ELLIPSIS;
    else
      m_uTextStyle &= ~DT_END_ELLIPSIS;
  } else if (_wcsicmp(name, L"wordbreak") == 0) {
    if (IsTrueValue(value)) {
      m_uTextStyle &= ~DT_SINGLELINE;
      m_uTextStyle |= DT_WORDBREAK | DT_EDITCONTROL;
    } else {
      m_uTextStyle &= ~(DT_WORDBREAK | DT_EDITCONTROL);
      m_uTextStyle |= DT_SINGLELINE;
    }
  } else if (_wcsicmp(name, L"noprefix") == 0) {
    if (IsTrueValue(value))
      m_uTextStyle |= DT_NOPREFIX;
    else
      m_uTextStyle &= ~DT_NOPREFIX;
  } else if (_wcsicmp(name, L"font") == 0) {
    SetFont(_wtoi(value));
  } else if (_wcsicmp(name, L"textcolor") == 0) {
    SetTextColor(ReadColorValue(value));
  } else if (_wcsicmp(name, L"disabledtextcolor") == 0) {
    SetDisabledTextColor(ReadColorValue(value));
  } else if (_wcsicmp(name, L"textpadding") == 0) {
    long v[4];
    ReadNumberList(value, v, 4);
    SetTextPadding(RECT{v[0], v[1], v[2], v[3]});
  } else if (_wcsicmp(name, L"showhtml") == 0) {
    SetShowHtml(IsTrueValue(value));
  } else if (_wcsicmp(name, L"autocalcwidth") == 0) {
    SetAutoCalcWidth(IsTrueValue(value));
  } else {
    CControlUI::SetAttribute(pstrName, pstrValue);
  }
}

SIZE CLabelUI::EstimateSize(SIZE szAvailable) {
  if (m_pManager == nullptr) return CControlUI::EstimateSize(szAvailable);
  if (GetAutoCalcWidth()) {
    RECT rc = {0, 0, szAvailable.cx, szAvailable.cy};
    CUIString text = GetText();
    if (m_bShowHtml) {
      int links = 0;
      CRenderEngine::DrawHtmlText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), m_dwTextColor, nullptr,
                                  nullptr, links, m_uTextStyle | DT_CALCRECT);
    } else {
      CRenderEngine::DrawText(m_pManager->GetPaintDC(), m_pManager, rc, text.GetData(), m_dwTextColor, m_iFont,
                              m_uTextStyle | DT_CALCRECT);
    }
    int width = rc.right - rc.left + ScaleValue(m_rcTextPadding.left) + ScaleValue(m_rcTextPadding.right);
    m_cxFixed = MulDiv(width, 100, m_pManager->GetDPIObject()->GetScale());
  }
  if (m_cyFixed == 0) {
    FontInfo* info = m_pManager->GetFontInfo(m_iFont);
    int height = info != nullptr ? info->tm.tmHeight : 0;
    SIZE size = {GetFixedWidth(), height + 4};
    return size;
  }
  return CControlUI::EstimateSize(szAvailable);
}

void CLabelUI::TakeDefaultColors() {
  if (m_pManager == nullptr) return;
  if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
  if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
}

RECT CLabelUI::ScaledTextRect() const {
  RECT rc = m_rcItem;
  rc.left += ScaleValue(m_rcTextPadding.left);
  rc.top += ScaleValue(m_rcTextPadding.top);
  rc.right -= ScaleValue(m_rcTextPadding.right);
  rc.bottom -= ScaleValue(m_rcTextPadding.bottom);
  return rc;
}

RECT CLabelUI::UnscaledTextRect() const {
  RECT rc = m_rcItem;
  rc.left += m_rcTextPadding.left;
  rc.top += m_rcTextPadding.top;
  rc.right -= m_rcTextPadding.right;
  rc.bottom -= m_rcTextPadding.bottom;
  return rc;
}

void CLabelUI::DrawLabelText(HDC hDC, RECT rc, DWORD color) {
  CUIString text = GetText();
  if (text.IsEmpty()) return;
  if (m_bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), color, nullptr, nullptr, links, m_uTextStyle);
  } else {
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), color, m_iFont, m_uTextStyle);
  }
}

void CLabelUI::PaintText(HDC hDC) {
  TakeDefaultColors();
  DrawLabelText(hDC, ScaledTextRect(), IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor);
}

}  // namespace SkinUI
