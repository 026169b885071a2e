#include <cwchar>

#include "ui/core/resources/attribute_values.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_body.h"
#include "ui/extra/list/list_header.h"

namespace SkinUI {

namespace {

struct ColorAttribute {
  const wchar_t* name;
  DWORD ListInfoUI::*field;
};

const ColorAttribute kColors[] = {
    {L"itemtextcolor", &ListInfoUI::dwTextColor},
    {L"itembkcolor", &ListInfoUI::dwBkColor},
    {L"itemselectedtextcolor", &ListInfoUI::dwSelectedTextColor},
    {L"itemselectedbkcolor", &ListInfoUI::dwSelectedBkColor},
    {L"itemhottextcolor", &ListInfoUI::dwHotTextColor},
    {L"itemhotbkcolor", &ListInfoUI::dwHotBkColor},
    {L"itemdisabledtextcolor", &ListInfoUI::dwDisabledTextColor},
    {L"itemdisabledbkcolor", &ListInfoUI::dwDisabledBkColor},
    {L"itemlinecolor", &ListInfoUI::dwLineColor},
};

struct ImageAttribute {
  const wchar_t* name;
  CUIString ListInfoUI::*field;
};

const ImageAttribute kImages[] = {
    {L"itembkimage", &ListInfoUI::sBkImage},
    {L"itemselectedimage", &ListInfoUI::sSelectedImage},
    {L"itemhotimage", &ListInfoUI::sHotImage},
    {L"itemdisabledimage", &ListInfoUI::sDisabledImage},
};

struct FlagAttribute {
  const wchar_t* name;
  bool ListInfoUI::*field;
};

const FlagAttribute kFlags[] = {
    {L"itemaltbk", &ListInfoUI::bAlternateBk},
    {L"itemshowrowline", &ListInfoUI::bShowRowLine},
    {L"itemshowcolumnline", &ListInfoUI::bShowColumnLine},
};

void SetStyleBit(UINT& style, UINT bit, bool on) { style = on ? (style | bit) : (style & ~bit); }

}  // namespace

ListInfoChange SetListInfoAttribute(ListInfoUI& info, const wchar_t* name, const wchar_t* value) {
  auto is = [name](const wchar_t* known) { return _wcsicmp(name, known) == 0; };
  for (const ColorAttribute& color : kColors) {
    if (!is(color.name)) continue;
    info.*color.field = ReadColorValue(value);
    return ListInfoChange::kRepaint;
  }
  for (const ImageAttribute& image : kImages) {
    if (!is(image.name)) continue;
    info.*image.field = value;
    return ListInfoChange::kRepaint;
  }
  for (const FlagAttribute& flag : kFlags) {
    if (!is(flag.name)) continue;
    info.*flag.field = IsTrueValue(value);
    return ListInfoChange::kRepaint;
  }
  if (is(L"itemfont")) {
    info.nFont = _wtoi(value);
  } else if (is(L"itemalign")) {
    if (wcsstr(value, L"left") != nullptr) info.uTextStyle &= ~(DT_CENTER | DT_RIGHT);
    if (wcsstr(value, L"center") != nullptr) info.uTextStyle = (info.uTextStyle & ~DT_RIGHT) | DT_CENTER;
    if (wcsstr(value, L"right") != nullptr) info.uTextStyle = (info.uTextStyle & ~DT_CENTER) | DT_RIGHT;
  } else if (is(L"itemvalign")) {
    UINT& style = info.uTextStyle;
    if (wcsstr(value, L"top") != nullptr) style &= ~(DT_VCENTER | DT_BOTTOM);
    if (wcsstr(value, L"vcenter") != nullptr)
      style = (style & ~(DT_BOTTOM | DT_WORDBREAK)) | DT_VCENTER | DT_SINGLELINE;
    if (wcsstr(value, L"bottom") != nullptr) style = (style & ~DT_VCENTER) | DT_BOTTOM;
  } else if (is(L"itemendellipsis")) {
    SetStyleBit(info.uTextStyle, DT_END_ELLIPSIS, IsTrueValue(value));
  } else if (is(L"itemtextpadding")) {
    long v[4];
    ReadNumberList(value, v, 4);
    info.rcTextPadding = RECT{v[0], v[1], v[2], v[3]};
    return ListInfoChange::kRelayout;
  } else if (is(L"itemshowhtml")) {
    bool show = IsTrueValue(value);
    if (info.bShowHtml == show) return ListInfoChange::kNone;
    info.bShowHtml = show;
    return ListInfoChange::kRelayout;
  } else {
    return ListInfoChange::kUnknown;
  }
  return ListInfoChange::kNone;
}

bool CListUI::SetInfoAttribute(const wchar_t* name, const wchar_t* value) {
  if (wcscmp(name, L"itemrselected") == 0) {
    bool selects = wcscmp(value, L"true") == 0;
    if (m_ListInfo.bRSelected != selects) NeedUpdate();
    m_ListInfo.bRSelected = selects;
    return true;
  }
  switch (SetListInfoAttribute(m_ListInfo, name, value)) {
    case ListInfoChange::kUnknown:
      return false;
    case ListInfoChange::kRepaint:
      Invalidate();
      break;
    case ListInfoChange::kRelayout:
      NeedUpdate();
      break;
    case ListInfoChange::kNone:
      break;
  }
  return true;
}

void CListUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr || SetInfoAttribute(pstrName, pstrValue)) return;
  auto is = [pstrName](const wchar_t* name) { return _wcsicmp(pstrName, name) == 0; };
  if (is(L"header")) {
    m_pHeader->SetVisible(_wcsicmp(pstrValue, L"hidden") != 0);
  } else if (is(L"headerbkimage")) {
    m_pHeader->SetBkImage(pstrValue);
  } else if (is(L"scrollselect")) {
    m_bScrollSelect = IsTrueValue(pstrValue);
  } else if (is(L"fixedscrollbar")) {
    m_bFixedScrollbar = IsTrueValue(pstrValue);
    Invalidate();
  } else if (is(L"multiexpanding")) {
    m_ListInfo.bMultiExpandable = IsTrueValue(pstrValue);
  } else if (wcscmp(pstrName, L"multiselect") == 0) {
    SetMultiSelect(wcscmp(pstrValue, L"true") == 0);
  } else if (is(L"vscrollbar") || is(L"hscrollbar") || is(L"vscrollbarstyle") || is(L"hscrollbarstyle")) {
    // The bars are the body's.
    m_pList->SetAttribute(pstrName, pstrValue);
  } else {
    CVerticalLayoutUI::SetAttribute(pstrName, pstrValue);
  }
}

}  // namespace SkinUI
