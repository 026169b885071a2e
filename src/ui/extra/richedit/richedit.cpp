#include "ui/extra/richedit/richedit.h"

#include <cwchar>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/extra/richedit/text_host.h"

namespace SkinUI {

namespace {

const UINT kDefaultTipAlign = DT_SINGLELINE;
const DWORD kDefaultTipColor = 0xFFBAC0C5;

}  // namespace

CRichEditUI::CRichEditUI()
    : m_pTwh(nullptr),
      m_bVScrollBarFixing(false),
      m_bWantTab(true),
      m_bWantReturn(true),
      m_bWantCtrlReturn(true),
      m_bRich(true),
      m_bReadOnly(false),
      m_dwTextColor(0),
      m_iFont(-1),
      m_iLimitText(32767),
      m_lTwhStyle(ES_MULTILINE),
      m_bInited(false),
      m_uButtonState(0),
      m_dwTipValueColor(kDefaultTipColor),
      m_uTipValueAlign(kDefaultTipAlign),
      m_iServicesCalls(0),
      m_bTextChanged(false) {
  SetKeepsTabKey(m_bWantTab);
}

CRichEditUI::~CRichEditUI() {
  if (m_pTwh == nullptr) return;
  m_pTwh->LeaveOwner();
  m_pTwh = nullptr;
  if (m_pManager != nullptr) m_pManager->RemoveMessageFilter(this);
}

const wchar_t* CRichEditUI::GetClass() const { return L"RichEditUI"; }

LPVOID CRichEditUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"RichEdit") == 0) return static_cast<CRichEditUI*>(this);
  return CContainerUI::GetInterface(pstrName);
}

UINT CRichEditUI::GetControlFlags() const { return IsEnabled() ? (UIFLAG_TABSTOP | UIFLAG_SETCURSOR) : 0; }

void CRichEditUI::SetWantTab(bool want) {
  m_bWantTab = want;
  SetKeepsTabKey(want);
}

void CRichEditUI::SetRich(bool rich) {
  m_bRich = rich;
  if (m_pTwh != nullptr) m_pTwh->SetRichTextMode(rich);
}

void CRichEditUI::SetFont(int index) {
  m_iFont = index;
  if (m_pTwh != nullptr && m_pManager != nullptr) m_pTwh->SetFont(m_pManager->GetFont(index));
}

void CRichEditUI::SetTextColor(DWORD color) {
  m_dwTextColor = color;
  SetCaretColor(color);
  if (m_pTwh != nullptr) m_pTwh->SetColor(color);
}

void CRichEditUI::SetLimitText(int limit) {
  m_iLimitText = limit;
  if (m_pTwh != nullptr) m_pTwh->SetMaxLength(limit);
}

RECT CRichEditUI::GetTextPadding() const {
  CUIRect padding = m_rcTextPadding;
  if (m_pManager != nullptr) m_pManager->GetDPIObject()->Scale(&padding);
  return padding;
}

void CRichEditUI::SetTextPadding(RECT rc) {
  m_rcTextPadding = rc;
  Invalidate();
}

void CRichEditUI::SetTipValue(const wchar_t* text) { m_sTipValue = text != nullptr ? text : L""; }

void CRichEditUI::SetTipValueColor(const wchar_t* color) { m_dwTipValueColor = ReadColorValue(color); }

void CRichEditUI::SetEnabled(bool bEnable) {
  if (IsEnabled() == bEnable) return;
  if (m_pTwh != nullptr && m_pManager != nullptr) {
    m_pTwh->SetColor(bEnable ? m_dwTextColor : m_pManager->GetDefaultDisabledColor());
  }
  CContainerUI::SetEnabled(bEnable);
}

void CRichEditUI::DoInit() {
  if (m_bInited) return;
  CREATESTRUCTW cs = {};
  cs.style = m_lTwhStyle;
  cs.lpszName = m_sText.GetData();
  CTxtWinHost::CreateTextHost(this, &cs, &m_pTwh);
  if (m_pTwh != nullptr) {
    m_pTwh->SetTransparent(true);
    SendToServices(EM_SETLANGOPTIONS, 0, 0);
    SendToServices(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_DROPFILES | ENM_LINK);
    m_pTwh->ActivateInPlace(nullptr);
    m_pManager->AddMessageFilter(this);
    if (!IsEnabled()) m_pTwh->SetColor(m_pManager->GetDefaultDisabledColor());
  }
  m_bInited = true;
}

void CRichEditUI::SetStyleBits(unsigned bits, bool on) {
  m_lTwhStyle = on ? (m_lTwhStyle | bits) : (m_lTwhStyle & ~bits);
}

// The text-host style is read once, when the host is made: these only count before DoInit.
bool CRichEditUI::SetStyleAttribute(const wchar_t* name, const wchar_t* value) {
  auto is = [name](const wchar_t* which) { return _wcsicmp(name, which) == 0; };
  const bool isTrue = IsTrueValue(value);
  if (is(L"vscrollbar")) {
    if (isTrue) SetStyleBits(WS_VSCROLL | ES_DISABLENOSCROLL, true);
  } else if (is(L"autovscroll")) {
    if (isTrue) SetStyleBits(ES_AUTOVSCROLL, true);
  } else if (is(L"hscrollbar")) {
    if (isTrue) SetStyleBits(WS_HSCROLL | ES_DISABLENOSCROLL, true);
  } else if (is(L"autohscroll")) {
    if (isTrue) SetStyleBits(ES_AUTOHSCROLL, true);
  } else if (is(L"multiline")) {
    if (_wcsicmp(value, L"false") == 0) SetStyleBits(ES_MULTILINE, false);
  } else if (is(L"readonly")) {
    if (isTrue) SetStyleBits(ES_READONLY, true);
    m_bReadOnly = m_bReadOnly || isTrue;
  } else if (is(L"password")) {
    if (isTrue) SetStyleBits(ES_PASSWORD, true);
  } else if (is(L"align")) {
    // All three run, in this order: the last one found wins.
    auto align = [this](unsigned bit) {
      SetStyleBits(ES_CENTER | ES_RIGHT, false);
      SetStyleBits(bit, true);
    };
    if (wcsstr(value, L"left") != nullptr) align(0);
    if (wcsstr(value, L"center") != nullptr) align(ES_CENTER);
    if (wcsstr(value, L"right") != nullptr) align(ES_RIGHT);
  } else {
    return false;
  }
  return true;
}

CUIString* CRichEditUI::StateImageNamed(const wchar_t* name) {
  const struct {
    const wchar_t* name;
    CUIString* image;
  } images[] = {{L"normalimage", &m_sNormalImage},
                {L"hotimage", &m_sHotImage},
                {L"focusedimage", &m_sFocusedImage},
                {L"disabledimage", &m_sDisabledImage}};
  for (const auto& entry : images) {
    if (_wcsicmp(name, entry.name) == 0) return entry.image;
  }
  return nullptr;
}

void CRichEditUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr || SetStyleAttribute(pstrName, pstrValue)) return;
  if (CUIString* image = StateImageNamed(pstrName)) {
    *image = pstrValue;
    Invalidate();
    return;
  }
  auto is = [pstrName](const wchar_t* name) { return _wcsicmp(pstrName, name) == 0; };
  if (is(L"wanttab")) {
    SetWantTab(IsTrueValue(pstrValue));
  } else if (is(L"wantreturn")) {
    SetWantReturn(IsTrueValue(pstrValue));
  } else if (is(L"wantctrlreturn")) {
    SetWantCtrlReturn(IsTrueValue(pstrValue));
  } else if (is(L"rich")) {
    SetRich(IsTrueValue(pstrValue));
  } else if (is(L"font")) {
    SetFont(_wtoi(pstrValue));
  } else if (is(L"textcolor")) {
    while (*pstrValue > L'\0' && *pstrValue <= L' ') ++pstrValue;
    SetTextColor(ReadColorValue(pstrValue));
  } else if (is(L"maxchar")) {
    SetLimitText(_wtoi(pstrValue));
  } else if (is(L"textpadding")) {
    long v[4];
    ReadNumberList(pstrValue, v, 4);
    SetTextPadding(RECT{v[0], v[1], v[2], v[3]});
  } else if (is(L"tipvalue")) {
    SetTipValue(pstrValue);
  } else if (is(L"tipvaluecolor")) {
    SetTipValueColor(pstrValue);
  } else if (is(L"tipvaluealign")) {
    if (wcsstr(pstrValue, L"left") != nullptr) m_uTipValueAlign = DT_SINGLELINE | DT_LEFT;
    if (wcsstr(pstrValue, L"center") != nullptr) m_uTipValueAlign = DT_SINGLELINE | DT_CENTER;
    if (wcsstr(pstrValue, L"right") != nullptr) m_uTipValueAlign = DT_SINGLELINE | DT_RIGHT;
  } else {
    CContainerUI::SetAttribute(pstrName, pstrValue);
  }
}

}  // namespace SkinUI
