#include <windows.h>
#include <commctrl.h>

#include "ui/core/base/gdi_handles.h"
#include "ui/core/controls/edit.h"
#include "ui/extra/editors/hot_key_wnd_internal.h"

namespace SkinUI {

namespace {
constexpr UINT kReflectedCommand = 0x2000 + WM_COMMAND;
constexpr wchar_t kNoKey[] = L"\u65e0";  // "无"
constexpr wchar_t kJoin[] = L" + ";

// The platform's name of a key, with the extended bit for the keys that have a numeric-pad twin.
CUIString KeyName(WORD key) {
  LONG code = static_cast<LONG>(::MapVirtualKeyExW(key, MAPVK_VK_TO_VSC, ::GetKeyboardLayout(0)));
  switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
      code |= 0x100;
      break;
    default:
      break;
  }
  wchar_t name[260] = {};
  ::GetKeyNameTextW(code << 16, name, 260);
  return CUIString(name);
}
}  // namespace

const wchar_t* CHotKeyWnd::GetWindowClassName() const { return L"HotKeyClass"; }
const wchar_t* CHotKeyWnd::GetSuperClassName() const { return HOTKEY_CLASSW; }

// The modifiers take the names Windows gives them everywhere: some platforms name Ctrl "Control".
CUIString CHotKeyWnd::GetHotKeyName(WORD key, WORD modifiers) {
  CUIString name;
  if (key == 0 && modifiers == 0) return name;
  if ((modifiers & HOTKEYF_CONTROL) != 0) name += L"Ctrl + ";
  if ((modifiers & HOTKEYF_SHIFT) != 0) name += L"Shift + ";
  if ((modifiers & HOTKEYF_ALT) != 0) name += L"Alt + ";
  name += KeyName(key);
  return name;
}

void CHotKeyWnd::Init(CHotKeyUI* pOwner) {
  m_pOwner = pOwner;
  CPaintManagerUI* pm = pOwner->GetManager();
  LoadCommonClass(ICC_HOTKEY_CLASS);
  if (Create(pm->GetPaintWindow(), nullptr, WS_CHILD | ES_AUTOHSCROLL, 0, NativeTextRect(pOwner)) == nullptr) return;
  SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(EditorFont(pm, pOwner->GetFont())), TRUE);
  SendMessage(HKM_SETHOTKEY, MAKEWORD(pOwner->m_wVirtualKeyCode, pOwner->m_wModifiers));
  pOwner->SetText(GetHotKeyName(pOwner->m_wVirtualKeyCode, pOwner->m_wModifiers).GetData());
  ::EnableWindow(m_hWnd, pOwner->IsEnabled() ? TRUE : FALSE);
  ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
  ::SetFocus(m_hWnd);
  m_bInit = true;
}

void CHotKeyWnd::OnHotKeyChanged() {
  if (!m_bInit || m_pOwner == nullptr) return;
  const WORD hotKey = static_cast<WORD>(SendMessage(HKM_GETHOTKEY));
  m_pOwner->m_wVirtualKeyCode = LOBYTE(hotKey);
  m_pOwner->m_wModifiers = m_pOwner->m_wVirtualKeyCode == 0 ? 0 : HIBYTE(hotKey);
  if (m_pOwner->m_wVirtualKeyCode == 0)
    m_pOwner->SetText(kNoKey);
  else
    m_pOwner->SetText(GetHotKeyName(m_pOwner->m_wVirtualKeyCode, m_pOwner->m_wModifiers).GetData());
  NotifyOwner(L"textchanged");
}

void CHotKeyWnd::Paint() {
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  RECT client;
  ::GetClientRect(m_hWnd, &client);
  const WORD hotKey = static_cast<WORD>(SendMessage(HKM_GETHOTKEY));
  const CUIString name = GetHotKeyName(LOBYTE(hotKey), HIBYTE(hotKey));
  if (m_pOwner != nullptr) {
    GdiObject<HBRUSH> background(::CreateSolidBrush(ArgbToColorRef(m_pOwner->m_dwHotKeybkColor)));
    ::FillRect(dc, &client, background.get());
    DWORD color = m_pOwner->GetTextColor();
    if (color == 0) color = m_pOwner->GetManager()->GetDefaultFontColor();
    ::SetTextColor(dc, ArgbToColorRef(color));
  }
  SelectGuard font(dc, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
  ::SetBkMode(dc, TRANSPARENT);
  ::DrawTextW(dc, name.GetData(), -1, &client, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE);
  SIZE extent = {};
  ::GetTextExtentPoint32W(dc, name.GetData(), name.GetLength(), &extent);
  ::SetCaretPos(extent.cx, 0);
  ::EndPaint(m_hWnd, &ps);
}

LRESULT CHotKeyWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  switch (uMsg) {
    case WM_KILLFOCUS: {
      const LRESULT result = CWindowWnd::HandleMessage(uMsg, wParam, lParam);
      // A detached window closes through the message queue: not from inside this message.
      if (m_pOwner != nullptr) SendMessage(WM_CLOSE);
      return result;
    }
    case kReflectedCommand:
      if (HIWORD(wParam) == EN_CHANGE) OnHotKeyChanged();
      if (HIWORD(wParam) == EN_UPDATE) ::InvalidateRect(m_hWnd, nullptr, FALSE);
      return 0;
    case WM_KEYDOWN:
      if (wParam != VK_RETURN) break;
      NotifyOwner(L"return");
      return 0;
    case WM_CHAR:
      // Return was handled on key down; the editor would take its character for a key.
      if (wParam == VK_RETURN) return 0;
      break;
    case WM_NCACTIVATE:
    case WM_NCCALCSIZE:
      return 0;
    case WM_PAINT:
      Paint();
      return 0;
    default:
      break;
  }
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

}  // namespace SkinUI
