#include <cwchar>

#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/extra/list/list_header.h"

namespace SkinUI {

namespace {

// The band's grab area reaches this many pixels further into the item.
const int kGrabMargin = 4;

bool IsMouseEvent(const EventRecordUI& event) {
  return event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST;
}

}  // namespace

CListHeaderItemUI::CListHeaderItemUI()
    : m_ptLastMouse{0, 0},
      m_bDragable(true),
      m_uButtonState(0),
      m_iSepWidth(4),
      m_dwTextColor(0),
      m_iFont(-1),
      m_uTextStyle(DT_CENTER | DT_VCENTER | DT_SINGLELINE),
      m_bShowHtml(false),
      m_rcTextPadding(2, 0, 2, 0),
      m_nScale(0) {
  SetMinWidth(16);
}

const wchar_t* CListHeaderItemUI::GetClass() const { return L"ListHeaderItemUI"; }

LPVOID CListHeaderItemUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"ListHeaderItem") == 0) return this;
  return CContainerUI::GetInterface(pstrName);
}

UINT CListHeaderItemUI::GetControlFlags() const {
  return IsEnabled() && m_iSepWidth != 0 ? static_cast<UINT>(UIFLAG_SETCURSOR) : 0u;
}

void CListHeaderItemUI::SetEnabled(bool bEnable) {
  CContainerUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uButtonState = 0;
}

void CListHeaderItemUI::SetDragable(bool bDragable) {
  m_bDragable = bDragable;
  if (!m_bDragable) m_uButtonState &= ~UISTATE_CAPTURED;
}

void CListHeaderItemUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CListHeaderItemUI::SetShowHtml(bool bShowHtml) {
  if (m_bShowHtml == bShowHtml) return;
  m_bShowHtml = bShowHtml;
  Invalidate();
}

RECT CListHeaderItemUI::GetThumbRect() const {
  if (m_iSepWidth >= 0) return RECT{m_rcItem.right - m_iSepWidth, m_rcItem.top, m_rcItem.right, m_rcItem.bottom};
  return RECT{m_rcItem.left, m_rcItem.top, m_rcItem.left - m_iSepWidth, m_rcItem.bottom};
}

RECT CListHeaderItemUI::GrabRect() const {
  RECT band = GetThumbRect();
  if (m_iSepWidth >= 0)
    band.left -= kGrabMargin;
  else
    band.right += kGrabMargin;
  return band;
}

SIZE CListHeaderItemUI::EstimateSize(SIZE szAvailable) {
  if (m_cyFixed != 0) return CContainerUI::EstimateSize(szAvailable);
  int fontHeight = m_pManager != nullptr ? m_pManager->GetDefaultFontInfo()->tm.tmHeight : 0;
  return SIZE{m_cxFixed, fontHeight + 14};
}

// The new width is stored as the fixed width directly; the header lays the list out again.
void CListHeaderItemUI::DragTo(POINT pt) {
  int dx = pt.x - m_ptLastMouse.x;
  int width = m_rcItem.right - m_rcItem.left + (m_iSepWidth >= 0 ? dx : -dx);
  if (width <= GetMinWidth()) return;
  m_cxFixed = width;
  m_ptLastMouse = pt;
  if (m_pParent != nullptr) m_pParent->NeedParentUpdate();
}

void CListHeaderItemUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && IsMouseEvent(event)) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CContainerUI::DoEvent(event);
    return;
  }
  RECT grab = GrabRect();
  switch (event.Type) {
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS:
      Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
      if (!IsEnabled()) return;
      if (::PtInRect(&grab, event.ptMouse)) {
        if (m_bDragable) {
          m_uButtonState |= UISTATE_CAPTURED;
          m_ptLastMouse = event.ptMouse;
        }
      } else {
        m_uButtonState |= UISTATE_PUSHED;
        if (m_pManager != nullptr) m_pManager->SendNotify(this, L"headerclick");
        Invalidate();
      }
      return;
    case UIEVENT_BUTTONUP:
      if ((m_uButtonState & UISTATE_CAPTURED) != 0) {
        m_uButtonState &= ~UISTATE_CAPTURED;
        if (m_pParent != nullptr) m_pParent->NeedParentUpdate();
      } else if ((m_uButtonState & UISTATE_PUSHED) != 0) {
        m_uButtonState &= ~UISTATE_PUSHED;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSEMOVE:
      if ((m_uButtonState & UISTATE_CAPTURED) != 0) DragTo(event.ptMouse);
      return;
    case UIEVENT_SETCURSOR:
      if (IsEnabled() && m_bDragable && ::PtInRect(&grab, event.ptMouse)) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_SIZEWE));
        return;
      }
      break;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        if (event.Type == UIEVENT_MOUSEENTER)
          m_uButtonState |= UISTATE_HOT;
        else
          m_uButtonState &= ~UISTATE_HOT;
        Invalidate();
      }
      return;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

bool CListHeaderItemUI::SetImageAttribute(const wchar_t* name, const wchar_t* value) {
  struct {
    const wchar_t* name;
    CUIString& image;
  } images[] = {{L"normalimage", m_sNormalImage},
                {L"hotimage", m_sHotImage},
                {L"pushedimage", m_sPushedImage},
                {L"focusedimage", m_sFocusedImage},
                {L"sepimage", m_sSepImage}};
  for (auto& entry : images) {
    if (_wcsicmp(name, entry.name) != 0) continue;
    entry.image = value;
    Invalidate();
    return true;
  }
  return false;
}

void CListHeaderItemUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  auto is = [pstrName](const wchar_t* name) { return _wcsicmp(pstrName, name) == 0; };
  if (is(L"dragable")) {
    SetDragable(IsTrueValue(pstrValue));
  } else if (is(L"sepwidth")) {
    SetSepWidth(_wtoi(pstrValue));
  } else if (is(L"align")) {
    if (wcsstr(pstrValue, L"left") != nullptr) m_uTextStyle &= ~(DT_CENTER | DT_RIGHT);
    if (wcsstr(pstrValue, L"center") != nullptr) m_uTextStyle = (m_uTextStyle & ~DT_RIGHT) | DT_CENTER;
    if (wcsstr(pstrValue, L"right") != nullptr) m_uTextStyle = (m_uTextStyle & ~DT_CENTER) | DT_RIGHT;
  } else if (is(L"endellipsis")) {
    if (IsTrueValue(pstrValue))
      m_uTextStyle |= DT_END_ELLIPSIS;
    else
      m_uTextStyle &= ~DT_END_ELLIPSIS;
  } else if (is(L"font")) {
    SetFont(_wtoi(pstrValue));
  } else if (is(L"textcolor")) {
    SetTextColor(ReadColorValue(pstrValue));
  } else if (is(L"textpadding")) {
    long v[4];
    ReadNumberList(pstrValue, v, 4);
    SetTextPadding(RECT{v[0], v[1], v[2], v[3]});
  } else if (is(L"showhtml")) {
    SetShowHtml(IsTrueValue(pstrValue));
  } else if (is(L"scale")) {
    SetScale(_wtoi(pstrValue));
  } else if (!SetImageAttribute(pstrName, pstrValue)) {
    CContainerUI::SetAttribute(pstrName, pstrValue);
  }
}

void CListHeaderItemUI::PaintStatusImage(HDC hDC) {
  if (IsFocused())
    m_uButtonState |= UISTATE_FOCUSED;
  else
    m_uButtonState &= ~UISTATE_FOCUSED;
  const CUIString* state = (m_uButtonState & UISTATE_PUSHED) != 0    ? &m_sPushedImage
                           : (m_uButtonState & UISTATE_HOT) != 0     ? &m_sHotImage
                           : (m_uButtonState & UISTATE_FOCUSED) != 0 ? &m_sFocusedImage
                                                                     : nullptr;
  if (state != nullptr && !state->IsEmpty())
    DrawImage(hDC, state->GetData());
  else if (!m_sNormalImage.IsEmpty())
    DrawImage(hDC, m_sNormalImage.GetData());
  if (m_sSepImage.IsEmpty()) return;
  RECT band = GetThumbRect();
  ::OffsetRect(&band, -m_rcItem.left, -m_rcItem.top);
  m_sSepImageModify.SmallFormat(L"dest='%d,%d,%d,%d'", band.left, band.top, band.right, band.bottom);
  DrawImage(hDC, m_sSepImage.GetData(), m_sSepImageModify.GetData());
}

void CListHeaderItemUI::PaintText(HDC hDC) {
  if (m_dwTextColor == 0 && m_pManager != nullptr) m_dwTextColor = m_pManager->GetDefaultFontColor();
  CUIString text = GetText();
  if (text.IsEmpty()) return;
  RECT rc = {m_rcItem.left + m_rcTextPadding.left, m_rcItem.top + m_rcTextPadding.top,
             m_rcItem.right - m_rcTextPadding.right, m_rcItem.bottom - m_rcTextPadding.bottom};
  if (m_bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), m_dwTextColor, nullptr, nullptr, links,
                                m_uTextStyle);
  } else {
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), m_dwTextColor, m_iFont, m_uTextStyle);
  }
}

}  // namespace SkinUI
