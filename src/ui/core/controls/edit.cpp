#include "ui/core/controls/edit.h"

#include <cwchar>

#include "ui/core/base/system_cursor.h"
#include "ui/core/resources/attribute_values.h"
#include "ui/core/controls/button.h"
#include "ui/core/controls/edit_wnd_internal.h"
#include "ui/core/controls/owned_window.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/core/resources/resource_table.h"

namespace SkinUI {

CEditUI::CEditUI()
    : m_pWindow(nullptr),
      m_uMaxChar(255),
      m_bReadOnly(false),
      m_bPasswordMode(false),
      m_cPasswordChar(L'*'),
      m_uEditState(0),
      m_dwTipValueColor(0xFFBAC0C5),
      m_dwEditbkColor(0xFFFFFFFF),
      m_dwEditTextColor(0),
      m_iWindowStyls(0) {
  SetTextPadding(CUIRect(4, 3, 4, 3));
  SetBkColor(0xFFFFFFFF);
}

// The native window may outlive this control only detached: it then closes without an owner. The
// receiver of its "textchanged" may delete this control while the platform's edit is inside the
// change.
CEditUI::~CEditUI() { CloseDetached(this, m_pWindow); }

const wchar_t* CEditUI::GetClass() const { return L"EditUI"; }

LPVOID CEditUI::GetInterface(const wchar_t* pstrName) {
  if (pstrName != nullptr && _wcsicmp(pstrName, L"Edit") == 0) return static_cast<CEditUI*>(this);
  return CLabelUI::GetInterface(pstrName);
}

UINT CEditUI::GetControlFlags() const { return IsEnabled() ? UINT{UIFLAG_TABSTOP | UIFLAG_SETCURSOR} : 0u; }

HWND CEditUI::GetNativeWindow() const { return m_pWindow != nullptr ? m_pWindow->GetHWND() : nullptr; }

void CEditUI::SetText(const wchar_t* pstrText) {
  m_sText = pstrText;
  if (m_pWindow != nullptr) ::SetWindowTextW(m_pWindow->GetHWND(), m_sText.GetData());
  Invalidate();
}

void CEditUI::SetMaxChar(UINT uMax) {
  m_uMaxChar = uMax;
  if (m_pWindow != nullptr) m_pWindow->SendMessage(EM_LIMITTEXT, m_uMaxChar);
}

void CEditUI::SetReadOnly(bool bReadOnly) {
  if (m_bReadOnly == bReadOnly) return;
  m_bReadOnly = bReadOnly;
  if (m_pWindow != nullptr) m_pWindow->SendMessage(EM_SETREADONLY, m_bReadOnly ? TRUE : FALSE);
  Invalidate();
}

void CEditUI::SetPasswordMode(bool bPasswordMode) {
  if (m_bPasswordMode == bPasswordMode) return;
  m_bPasswordMode = bPasswordMode;
  Invalidate();
  if (m_pWindow == nullptr) return;
  HWND hwnd = m_pWindow->GetHWND();
  LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
  ::SetWindowLongW(hwnd, GWL_STYLE, m_bPasswordMode ? (style | ES_PASSWORD) : (style & ~ES_PASSWORD));
  // The style alone does not change what an open EDIT window shows: its password char does.
  m_pWindow->SendMessage(EM_SETPASSWORDCHAR, m_bPasswordMode ? m_cPasswordChar : 0);
  ::InvalidateRect(hwnd, nullptr, TRUE);
}

void CEditUI::SetPasswordChar(wchar_t cPasswordChar) {
  if (m_cPasswordChar == cPasswordChar) return;
  m_cPasswordChar = cPasswordChar;
  if (m_pWindow != nullptr) m_pWindow->SendMessage(EM_SETPASSWORDCHAR, m_cPasswordChar);
  Invalidate();
}

void CEditUI::SetNumberOnly(bool bNumberOnly) {
  if (bNumberOnly)
    m_iWindowStyls |= ES_NUMBER;
  else
    m_iWindowStyls &= ~ES_NUMBER;
}

void CEditUI::SetTipValue(const wchar_t* pStrTipValue) { m_sTipValue = pStrTipValue; }

CUIString CEditUI::GetTipValue() const {
  if (IsResourceText()) return CResourceTableUI::GetInstance()->GetText(m_sTipValue.GetData());
  return m_sTipValue;
}

void CEditUI::SetNormalImage(const wchar_t* pStrImage) {
  m_sNormalImage = pStrImage;
  Invalidate();
}
void CEditUI::SetHotImage(const wchar_t* pStrImage) {
  m_sHotImage = pStrImage;
  Invalidate();
}
void CEditUI::SetFocusedImage(const wchar_t* pStrImage) {
  m_sFocusedImage = pStrImage;
  Invalidate();
}
void CEditUI::SetDisabledImage(const wchar_t* pStrImage) {
  m_sDisabledImage = pStrImage;
  Invalidate();
}

void CEditUI::SetEnabled(bool bEnable) {
  CControlUI::SetEnabled(bEnable);
  if (!IsEnabled()) m_uEditState = 0;
}

void CEditUI::DropFocusIfHidden() {
  if (!IsVisible() && m_pWindow != nullptr && m_pManager != nullptr) m_pManager->SetFocus(nullptr);
}

// Hiding this control while it has the focus moves the focus: the receiver of "killfocus" may
// delete it.
void CEditUI::SetVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetVisible(bVisible);
  if (alive) DropFocusIfHidden();
}

void CEditUI::SetInternalVisible(bool bVisible) {
  CControlWatch alive(this);
  CControlUI::SetInternalVisible(bVisible);
  if (alive) DropFocusIfHidden();
}

void CEditUI::SetPos(RECT rc, bool bNeedInvalidate) {
  CControlWatch alive(this);  // the program's size delegates may delete this control
  CControlUI::SetPos(rc, bNeedInvalidate);
  if (!alive || m_pWindow == nullptr) return;
  RECT pos = m_pWindow->CalPos();
  ::SetWindowPos(m_pWindow->GetHWND(), nullptr, pos.left, pos.top, pos.right - pos.left, pos.bottom - pos.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void CEditUI::Move(SIZE szOffset, bool bNeedInvalidate) {
  CControlUI::Move(szOffset, bNeedInvalidate);
  if (m_pWindow == nullptr) return;
  RECT pos = m_pWindow->CalPos();
  ::SetWindowPos(m_pWindow->GetHWND(), nullptr, pos.left, pos.top, 0, 0, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSIZE);
}

SIZE CEditUI::EstimateSize(SIZE szAvailable) {
  if (m_cyFixed == 0 && m_pManager != nullptr) {
    FontInfo* info = m_pManager->GetFontInfo(m_iFont);
    return SIZE{m_cxFixed, (info != nullptr ? info->tm.tmHeight : 0) + 6};
  }
  return CControlUI::EstimateSize(szAvailable);
}

void CEditUI::OpenNativeWindow() {
  m_pWindow = new CEditWnd();
  m_pWindow->Init(this);
  if (m_pWindow != nullptr && m_pWindow->GetHWND() == nullptr) {
    delete m_pWindow;
    m_pWindow = nullptr;
  }
}

void CEditUI::SelectAllText() {
  if (m_pWindow == nullptr) return;
  int length = ::GetWindowTextLengthW(m_pWindow->GetHWND());
  m_pWindow->SendMessage(EM_SETSEL, 0, length > 0 ? length : 1);
}

void CEditUI::DoEvent(EventRecordUI& event) {
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    if (m_pParent != nullptr)
      m_pParent->DoEvent(event);
    else
      CLabelUI::DoEvent(event);
    return;
  }
  switch (event.Type) {
    case UIEVENT_SETCURSOR:
      if (IsEnabled()) {
        ShowSystemCursor(32513);
        return;
      }
      break;
    case UIEVENT_WINDOWSIZE:
      if (m_pWindow != nullptr && m_pManager != nullptr) {
        // The receiver of "killfocus" may delete this edit.
        CControlWatch alive(this);
        m_pManager->SetFocusNeeded(this);
        if (!alive) return;
      }
      break;
    case UIEVENT_SCROLLWHEEL:
      if (m_pWindow != nullptr) return;
      break;
    case UIEVENT_SETFOCUS:
      if (IsEnabled()) {
        if (m_pWindow != nullptr) return;
        OpenNativeWindow();
        Invalidate();
      }
      break;
    case UIEVENT_KILLFOCUS:
      if (IsEnabled()) Invalidate();
      break;
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_RBUTTONDOWN:
      if (IsEnabled()) {
        if (m_pManager != nullptr) m_pManager->ReleaseCapture();
        if (IsFocused() && m_pWindow == nullptr) {
          OpenNativeWindow();
          if (::PtInRect(&m_rcItem, event.ptMouse)) SelectAllText();
        } else if (m_pWindow != nullptr) {
          SelectAllText();
        }
        return;
      }
      break;
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_CONTEXTMENU:
      return;
    case UIEVENT_MOUSEENTER:
      if (IsEnabled()) {
        m_uEditState |= UISTATE_HOT;
        Invalidate();
      }
      return;
    case UIEVENT_MOUSELEAVE:
      if (IsEnabled()) {
        m_uEditState &= ~UISTATE_HOT;
        Invalidate();
      }
      return;
    default:
      break;
  }
  CLabelUI::DoEvent(event);
}

void CEditUI::SetAttribute(const wchar_t* pstrName, const wchar_t* pstrValue) {
  if (pstrName == nullptr || pstrValue == nullptr) return;
  const wchar_t* n = pstrName;
  const wchar_t* v = pstrValue;
  if (_wcsicmp(n, L"readonly") == 0)
    SetReadOnly(IsTrueValue(v));
  else if (_wcsicmp(n, L"numberonly") == 0)
    SetNumberOnly(IsTrueValue(v));
  else if (_wcsicmp(n, L"password") == 0)
    SetPasswordMode(IsTrueValue(v));
  else if (_wcsicmp(n, L"passwordchar") == 0)
    SetPasswordChar(*v);
  else if (_wcsicmp(n, L"maxchar") == 0)
    SetMaxChar(_wtoi(v));
  else if (_wcsicmp(n, L"normalimage") == 0)
    SetNormalImage(v);
  else if (_wcsicmp(n, L"hotimage") == 0)
    SetHotImage(v);
  else if (_wcsicmp(n, L"focusedimage") == 0)
    SetFocusedImage(v);
  else if (_wcsicmp(n, L"disabledimage") == 0)
    SetDisabledImage(v);
  else if (_wcsicmp(n, L"tipvalue") == 0)
    SetTipValue(v);
  else if (_wcsicmp(n, L"tipvaluecolor") == 0)
    SetTipValueColor(ReadColorValue(v));
  else if (_wcsicmp(n, L"nativetextcolor") == 0)
    SetNativeEditTextColor(ReadColorValue(v));
  else if (_wcsicmp(n, L"nativebkcolor") == 0)
    SetNativeEditBkColor(ReadColorValue(v));
  else
    CLabelUI::SetAttribute(pstrName, pstrValue);
}

void CEditUI::PaintStatusImage(HDC hDC) {
  if (IsFocused())
    m_uEditState |= UISTATE_FOCUSED;
  else
    m_uEditState &= ~UISTATE_FOCUSED;
  if (!IsEnabled())
    m_uEditState |= UISTATE_DISABLED;
  else
    m_uEditState &= ~UISTATE_DISABLED;
  const CUIString* chosen = nullptr;
  if ((m_uEditState & UISTATE_DISABLED) != 0)
    chosen = &m_sDisabledImage;
  else if ((m_uEditState & UISTATE_FOCUSED) != 0)
    chosen = &m_sFocusedImage;
  else if ((m_uEditState & UISTATE_HOT) != 0)
    chosen = &m_sHotImage;
  if (chosen != nullptr && !chosen->IsEmpty() && DrawImage(hDC, chosen->GetData())) return;
  if (!m_sNormalImage.IsEmpty()) DrawImage(hDC, m_sNormalImage.GetData());
}

void CEditUI::PaintText(HDC hDC) {
  TakeDefaultColors();
  CUIString shown = GetText();
  CUIString tip = GetTipValue();
  DWORD color = IsEnabled() ? m_dwTextColor : m_dwDisabledTextColor;
  if (shown.IsEmpty() || shown == tip.GetData()) {
    shown = tip;
    color = m_dwTipValueColor;
  } else if (m_bPasswordMode) {
    CUIString masked;
    for (int i = 0; i < shown.GetLength(); ++i) masked += m_cPasswordChar;
    shown = masked;
  }
  RECT rc = UnscaledTextRect();
  if (shown.IsEmpty()) return;
  CRenderEngine::DrawText(hDC, m_pManager, rc, shown.GetData(), color, m_iFont, m_uTextStyle | DT_SINGLELINE);
}

}  // namespace SkinUI
