#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/extra/combo/combo.h"

namespace SkinUI {

void CComboUI::SetShowShadow(bool bShow) {
  if (m_bShowShadow == bShow) return;
  m_bShowShadow = bShow;
  Invalidate();
}

void CComboUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CComboUI::SetTextColor(DWORD dwColor) {
  m_dwTextColor = dwColor;
  Invalidate();
}

void CComboUI::SetDisabledTextColor(DWORD dwColor) {
  m_dwDisabledTextColor = dwColor;
  Invalidate();
}

void CComboUI::SetFont(int index) {
  m_iFont = index;
  Invalidate();
}

void CComboUI::SetShowHtml(bool bShowHtml) {
  if (m_bShowHtml == bShowHtml) return;
  m_bShowHtml = bShowHtml;
  Invalidate();
}

// The shown text's style: "align" and "valign" take case-sensitive words; "align" "left" and
// "right" also end single-line drawing.
bool CComboUI::SetTextAttribute(const wchar_t* name, const wchar_t* value) {
  auto is = [name](const wchar_t* known) { return _wcsicmp(name, known) == 0; };
  UINT& style = m_uTextStyle;
  if (is(L"align")) {
    if (wcsstr(value, L"left") != nullptr) style &= ~(DT_CENTER | DT_RIGHT | DT_SINGLELINE);
    if (wcsstr(value, L"center") != nullptr) style = (style & ~DT_RIGHT) | DT_CENTER;
    if (wcsstr(value, L"right") != nullptr) style = (style & ~(DT_CENTER | DT_SINGLELINE)) | DT_RIGHT;
  } else if (is(L"valign")) {
    if (wcsstr(value, L"top") != nullptr) style = (style & ~(DT_VCENTER | DT_BOTTOM)) | DT_SINGLELINE;
    if (wcsstr(value, L"vcenter") != nullptr) style = (style & ~DT_BOTTOM) | DT_VCENTER | DT_SINGLELINE;
    if (wcsstr(value, L"bottom") != nullptr) style = (style & ~DT_VCENTER) | DT_BOTTOM | DT_SINGLELINE;
  } else if (is(L"endellipsis")) {
    style = IsTrueValue(value) ? (style | DT_END_ELLIPSIS) : (style & ~DT_END_ELLIPSIS);
  } else if (is(L"wordbreak")) {
    if (IsTrueValue(value))
      style = (style & ~DT_SINGLELINE) | DT_WORDBREAK | DT_EDITCONTROL;
    else
      style = (style & ~(DT_WORDBREAK | DT_EDITCONTROL)) | DT_SINGLELINE;
  } else if (is(L"font")) {
    SetFont(_wtoi(value));
  } else if (is(L"textcolor")) {
    SetTextColor(ReadColorValue(value));
  } else if (is(L"disabledtextcolor")) {
    SetDisabledTextColor(ReadColorValue(value));
  } else if (is(L"textpadding")) {
    long v[4];
    ReadNumberList(value, v, 4);
    SetTextPadding(RECT{v[0], v[1], v[2], v[3]});
  } else if (is(L"showhtml")) {
    SetShowHtml(IsTrueValue(value));
  } else {
    return false;
  }
  return true;
}

bool CComboUI::SetImageAttribute(const wchar_t* name, const wchar_t* value) {
  struct {
    const wchar_t* name;
    CUIString& image;
  } images[] = {{L"normalimage", m_sNormalImage},
                {L"hotimage", m_sHotImage},
                {L"pushedimage", m_sPushedImage},
                {L"focusedimage", m_sFocusedImage},
                {L"disabledimage", m_sDisabledImage}};
  for (auto& entry : images) {
    if (_wcsicmp(name, entry.name) != 0) continue;
    entry.image = value;
    Invalidate();
    return true;
  }
  return false;
}

void CComboUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  if (SetTextAttribute(pstrName, pstrValue) || SetImageAttribute(pstrName, pstrValue)) return;
  if (SetListInfoAttribute(m_ListInfo, pstrName, pstrValue) != ListInfoChange::kUnknown) {
    Invalidate();
    return;
  }
  auto is = [pstrName](const wchar_t* known) { return _wcsicmp(pstrName, known) == 0; };
  if (is(L"showshadow")) {
    SetShowShadow(IsTrueValue(pstrValue));
  } else if (is(L"scrollselect")) {
    SetScrollSelect(IsTrueValue(pstrValue));
  } else if (is(L"dropbox")) {
    SetDropBoxAttributeList(pstrValue);
  } else if (is(L"dropboxsize")) {
    long v[2];
    ReadNumberList(pstrValue, v, 2);
    SetDropBoxSize(SIZE{v[0], v[1]});
  } else {
    CContainerUI::SetAttribute(pstrName, pstrValue);
  }
}

}  // namespace SkinUI
