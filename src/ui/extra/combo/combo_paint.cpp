// The combo's and the combo box's painting: state images, the arrow strip and the shown text.
#include "ui/core/controls/button.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/extra/combo/combo.h"

namespace SkinUI {

namespace {

// An arrow strip holds five frames side by side.
const int kArrowFrames = 5;

}  // namespace

void CComboUI::RefreshFocusAndDisabled() { m_uButtonState = WithFocusAndDisabled(*this, m_uButtonState); }

void CComboUI::PaintStatusImage(HDC hDC) {
  RefreshFocusAndDisabled();
  const CUIString* state = (m_uButtonState & UISTATE_DISABLED) != 0  ? &m_sDisabledImage
                           : (m_uButtonState & UISTATE_PUSHED) != 0  ? &m_sPushedImage
                           : (m_uButtonState & UISTATE_HOT) != 0     ? &m_sHotImage
                           : (m_uButtonState & UISTATE_FOCUSED) != 0 ? &m_sFocusedImage
                                                                     : nullptr;
  if (state != nullptr && !state->IsEmpty() && DrawImage(hDC, state->GetData())) return;
  if (!m_sNormalImage.IsEmpty()) DrawImage(hDC, m_sNormalImage.GetData());
}

RECT CComboUI::GetTextPadding() const {
  CUIRect padding = m_rcTextPadding;
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->Scale(&padding);
  return padding;
}

void CComboUI::PaintText(HDC hDC) {
  if (m_pManager != nullptr) {
    if (m_dwTextColor == 0) m_dwTextColor = m_pManager->GetDefaultFontColor();
    if (m_dwDisabledTextColor == 0) m_dwDisabledTextColor = m_pManager->GetDefaultDisabledColor();
  }
  CUIString text = GetText();
  if (text.IsEmpty()) return;
  RECT padding = GetTextPadding();
  RECT rc = {m_rcItem.left + padding.left, m_rcItem.top + padding.top, m_rcItem.right - padding.right,
             m_rcItem.bottom - padding.bottom};
  DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  if (m_bShowHtml) {
    int links = 0;
    CRenderEngine::DrawHtmlText(hDC, m_pManager, rc, text.GetData(), color, nullptr, nullptr, links, m_uTextStyle);
  } else {
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), color, m_iFont, m_uTextStyle);
  }
}

CComboBoxUI::CComboBoxUI() : m_nArrowWidth(0) {}

const wchar_t* CComboBoxUI::GetClass() const { return L"ComboBoxUI"; }

void CComboBoxUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName != nullptr && pstrValue != nullptr && _wcsicmp(pstrName, L"arrowimage") == 0) {
    m_sArrowImage = pstrValue;
    Invalidate();
    return;
  }
  CComboUI::SetAttribute(pstrName, pstrValue);
}

// The frame of the present state (0 normal, 1 hot, 2 pushed, 3 focused, 4 disabled) is cut out of
// the strip named by the image's "source" rectangle and drawn at the right edge, inside the border.
// An image string with no quoted "source" rectangle draws nothing.
void CComboBoxUI::PaintStatusImage(HDC hDC) {
  if (m_sArrowImage.IsEmpty()) {
    CComboUI::PaintStatusImage(hDC);
    return;
  }
  RefreshFocusAndDisabled();
  UINT state = ButtonState();
  int frame = (state & UISTATE_DISABLED) != 0  ? 4
              : (state & UISTATE_PUSHED) != 0  ? 2
              : (state & UISTATE_HOT) != 0     ? 1
              : (state & UISTATE_FOCUSED) != 0 ? 3
                                               : 0;
  CUIString image = m_sArrowImage;
  int source = image.Find(L"source=");
  if (source < 0) return;
  int open = image.Find(L'\'', source + 7);
  int close = open >= 0 ? image.Find(L'\'', open + 1) : -1;
  if (close < 0) return;
  long v[4];
  ReadNumberList(image.GetData() + open + 1, v, 4);
  m_nArrowWidth = static_cast<int>(v[2] - v[0]) / kArrowFrames;
  int left = static_cast<int>(v[0]) + m_nArrowWidth * frame;
  int border = GetBorderSize();
  int right = m_rcItem.right - m_rcItem.left - border;
  CUIString place;
  place.SmallFormat(L"source='%d,%d,%d,%d' dest='%d,%d,%d,%d'", left, static_cast<int>(v[1]), left + m_nArrowWidth,
                    static_cast<int>(v[3]), right - m_nArrowWidth, border, right,
                    m_rcItem.bottom - m_rcItem.top - border);
  image.Replace(image.Mid(source, close - source + 1).GetData(), place.GetData());
  DrawImage(hDC, image.GetData());
}

// The selected item draws its own text, in the field left of the arrow.
void CComboBoxUI::PaintText(HDC hDC) {
  IListItemUI* item =
      GetCurSel() >= 0 ? static_cast<IListItemUI*>(GetItemAt(GetCurSel())->GetInterface(L"ListItem")) : nullptr;
  if (item == nullptr) return;
  RECT padding = GetTextPadding();
  RECT rc = {m_rcItem.left + padding.left, m_rcItem.top + padding.top, m_rcItem.right - (m_nArrowWidth + padding.right),
             m_rcItem.bottom - padding.bottom};
  item->DrawItemText(hDC, rc);
}

}  // namespace SkinUI
