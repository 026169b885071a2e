#include "ui/core/controls/edit_wnd_internal.h"

#include <string>

#include "ui/core/controls/edit.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

namespace {
constexpr UINT kCaretTimer = 0x1999;
constexpr UINT kReflectedCommand = 0x2111;
constexpr UINT kReflectedColorEdit = 0x2133;
constexpr UINT kReflectedColorStatic = 0x2138;

COLORREF ToColorRef(DWORD argb) { return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF); }
}  // namespace

CEditWnd::CEditWnd() : m_pOwner(nullptr), m_hBkBrush(nullptr), m_bInit(false), m_bDrawCaret(false), m_bLayered(false) {}

const wchar_t* CEditWnd::GetWindowClassName() const { return L"EditWnd"; }
const wchar_t* CEditWnd::GetSuperClassName() const { return L"Edit"; }

bool CEditWnd::IsLayered() const { return m_bLayered; }

RECT NativeTextRect(const CLabelUI* pOwner) {
  RECT rc = pOwner->UnscaledTextRect();
  CPaintManagerUI* pm = pOwner->GetManager();
  FontInfo* font = pm != nullptr ? pm->GetFontInfo(pOwner->GetFont()) : nullptr;
  const LONG fontHeight = font != nullptr ? font->tm.tmHeight : 0;
  if (fontHeight < rc.bottom - rc.top) {
    rc.top += (rc.bottom - rc.top - fontHeight) / 2;
    rc.bottom = rc.top + fontHeight;
  }
  return rc;
}

RECT ClipByAncestors(const CControlUI* pControl, RECT rc) {
  for (CControlUI* parent = pControl->GetParent(); parent != nullptr; parent = parent->GetParent()) {
    if (!parent->IsVisible()) return RECT{0, 0, 0, 0};
    RECT client = parent->GetClientPos();
    if (!::IntersectRect(&rc, &rc, &client)) return RECT{0, 0, 0, 0};
  }
  return rc;
}

RECT CEditWnd::CalPos() { return ClipByAncestors(m_pOwner, NativeTextRect(m_pOwner)); }

void CEditWnd::Init(CEditUI* pOwner) {
  m_pOwner = pOwner;
  CPaintManagerUI* pm = pOwner->GetManager();
  RECT rc = CalPos();
  m_bLayered = pm->IsLayered();
  DWORD style = WS_CHILD | ES_AUTOHSCROLL;
  if (m_bLayered) {
    style = WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL;
    POINT origin = {0, 0};
    ::ClientToScreen(pm->GetPaintWindow(), &origin);
    ::OffsetRect(&rc, origin.x, origin.y - 1);
  }
  const UINT textStyle = pOwner->GetTextStyle();
  if ((textStyle & DT_CENTER) != 0)
    style |= ES_CENTER;
  else if ((textStyle & DT_RIGHT) != 0)
    style |= ES_RIGHT;
  if (pOwner->IsPasswordMode()) style |= ES_PASSWORD;
  // A refused window may have deleted itself already: only the result tells.
  if (Create(pm->GetPaintWindow(), nullptr, style, 0, rc) == nullptr) return;
  HFONT font = pOwner->GetFont() != -1 ? pm->GetFont(pOwner->GetFont()) : nullptr;
  if (font == nullptr) font = pm->GetDefaultFontInfo()->hFont;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  SendMessage(EM_LIMITTEXT, pOwner->GetMaxChar());
  if (pOwner->IsPasswordMode()) SendMessage(EM_SETPASSWORDCHAR, pOwner->GetPasswordChar());
  CUIString text = pOwner->GetText();
  ::SetWindowTextW(m_hWnd, text.GetData());
  SendMessage(EM_SETMODIFY, FALSE);
  SendMessage(EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
  ::EnableWindow(m_hWnd, pOwner->IsEnabled() ? TRUE : FALSE);
  SendMessage(EM_SETREADONLY, pOwner->IsReadOnly() ? TRUE : FALSE);
  ::SetWindowLongW(m_hWnd, GWL_STYLE, ::GetWindowLongW(m_hWnd, GWL_STYLE) | pOwner->m_iWindowStyls);
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  ::SetFocus(m_hWnd);
  int length = ::GetWindowTextLengthW(m_hWnd);
  SendMessage(EM_SETSEL, 0, length > 0 ? length : 1);
  m_bInit = true;
}

LRESULT CEditWnd::OnEditChanged() {
  if (!m_bInit || m_pOwner == nullptr) return 0;
  int length = ::GetWindowTextLengthW(m_hWnd) + 1;
  std::wstring text(static_cast<size_t>(length), L'\0');
  ::GetWindowTextW(m_hWnd, &text[0], length);
  m_pOwner->m_sText = text.c_str();
  // The receiver may delete the owner, which leaves this window without one.
  if (m_pOwner->GetManager() != nullptr) m_pOwner->GetManager()->SendNotify(m_pOwner, L"textchanged");
  if (m_bLayered && m_pOwner != nullptr) m_pOwner->Invalidate();
  return 0;
}

LRESULT CEditWnd::OnCtlColor(HDC hDC, bool& bHandled) {
  if (m_pOwner == nullptr) {
    bHandled = false;
    return 0;
  }
  const DWORD background = m_pOwner->GetNativeEditBkColor();
  if (background == 0xFFFFFFFF) return 0;
  ::SetBkMode(hDC, TRANSPARENT);
  DWORD text = m_pOwner->GetNativeEditTextColor();
  if (text == 0) text = m_pOwner->GetTextColor();
  ::SetTextColor(hDC, ToColorRef(text));
  if (m_hBkBrush == nullptr) m_hBkBrush = ::CreateSolidBrush(ToColorRef(background));
  return reinterpret_cast<LRESULT>(m_hBkBrush);
}

LRESULT CEditWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  bool handled = true;
  LRESULT result = 0;
  CPaintManagerUI* pm = m_pOwner != nullptr ? m_pOwner->GetManager() : nullptr;
  if (uMsg == WM_CREATE) {
    if (m_bLayered && pm != nullptr) {
      pm->AddNativeWindow(m_hWnd);
      ::SetTimer(m_hWnd, kCaretTimer, ::GetCaretBlinkTime(), nullptr);
    }
    handled = false;
  } else if (uMsg == WM_KILLFOCUS) {
    result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    PostMessage(WM_CLOSE);
    return result;
  } else if (uMsg == kReflectedCommand) {
    if (HIWORD(wParam) == EN_CHANGE)
      result = OnEditChanged();
    else if (HIWORD(wParam) == EN_UPDATE)
      ::InvalidateRect(m_hWnd, nullptr, FALSE);
    else
      handled = false;
  } else if (uMsg == WM_KEYDOWN && wParam == VK_RETURN) {
    if (pm != nullptr) pm->SendNotify(m_pOwner, L"return");
  } else if (uMsg == WM_KEYDOWN && wParam == VK_TAB) {
    if (m_bLayered && pm != nullptr) pm->SetNextTabControl();
  } else if (uMsg == WM_CHAR && (wParam == VK_RETURN || wParam == VK_TAB)) {
    // The key itself was handled on key down: no beep.
  } else if (uMsg == kReflectedColorEdit || uMsg == kReflectedColorStatic) {
    result = OnCtlColor(reinterpret_cast<HDC>(wParam), handled);
  } else if (uMsg == WM_PRINT && m_bLayered) {
    result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    if (m_pOwner != nullptr && m_pOwner->IsEnabled() && m_bDrawCaret) {
      POINT caret;
      ::GetCaretPos(&caret);
      RECT client;
      ::GetClientRect(m_hWnd, &client);
      RECT line = {caret.x, client.top, caret.x + 1, client.bottom};
      HBRUSH black = ::CreateSolidBrush(RGB(0, 0, 0));
      ::FillRect(reinterpret_cast<HDC>(wParam), &line, black);
      ::DeleteObject(black);
    }
    return result;
  } else if (uMsg == WM_TIMER && wParam == kCaretTimer) {
    m_bDrawCaret = !m_bDrawCaret;
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
  } else {
    handled = false;
  }
  if (handled) return result;
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void CEditWnd::OnFinalMessage(HWND hWnd) {
  if (m_hBkBrush != nullptr) ::DeleteObject(m_hBkBrush);
  if (m_pOwner != nullptr) {
    m_pOwner->Invalidate();
    if (m_bLayered && m_pOwner->GetManager() != nullptr) m_pOwner->GetManager()->RemoveNativeWindow(hWnd);
    m_pOwner->m_pWindow = nullptr;
  }
  delete this;
}

}  // namespace SkinUI
