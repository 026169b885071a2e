// Input of the rich edit: framework events, and the window's messages handed to the text services
// through the control's message filter, with its context menu.
#include <windows.h>

#include <imm.h>
#include <windowsx.h>

#include <memory>

#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/richedit/richedit.h"
#include "ui/extra/richedit/text_host.h"

namespace SkinUI {

namespace {

enum MenuCommand : UINT {
  kUndo = 101,
  kCut = 102,
  kCopy = 103,
  kPaste = 104,
  kClear = 105,
  kSelectAll = 106,
  kRedo = 107,
};

const UINT kHotState = 8;
const UINT kLastMouseMessage = 0x20D;
const UINT kLastKeyMessage = 0x109;

struct MenuDestroyer {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using UniqueMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroyer>;

bool IsMouseMessage(UINT msg) { return msg >= WM_MOUSEFIRST && msg <= kLastMouseMessage; }
bool IsKeyMessage(UINT msg) { return msg >= WM_KEYFIRST && msg <= kLastKeyMessage; }
bool IsSystemKey(UINT msg) { return msg >= WM_SYSKEYDOWN && msg <= WM_SYSDEADCHAR; }

bool NeedsHitOnMe(UINT msg) {
  return msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN ||
         msg == WM_RBUTTONUP;
}

bool TakesFocus(UINT msg) { return msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK || msg == WM_RBUTTONDOWN; }

}  // namespace

void CRichEditUI::DoEvent(EventRecordUI& event) {
  // The container passes a mouse-disabled control's mouse events on to its parent.
  if (!IsMouseEnabled() && event.Type >= UIEVENT__MOUSEFIRST && event.Type <= UIEVENT__MOUSELAST) {
    CContainerUI::DoEvent(event);
    return;
  }
  switch (event.Type) {
    case UIEVENT_SETCURSOR:
      if (IsEnabled() && m_pTwh != nullptr && m_pTwh->DoSetCursor(nullptr, &event.ptMouse)) return;
      break;
    case UIEVENT_SETFOCUS:
    case UIEVENT_KILLFOCUS: {
      m_bFocused = event.Type == UIEVENT_SETFOCUS;
      CControlWatch alive(this);  // the text services' callbacks may reach the program
      if (m_pTwh != nullptr) {
        m_pTwh->ActivateInPlace(nullptr);
        if (alive) SendToServices(m_bFocused ? WM_SETFOCUS : WM_KILLFOCUS, 0, 0);
      }
      if (alive) Invalidate();
      return;
    }
    case UIEVENT_TIMER:
      if (m_pTwh != nullptr) SendToServices(WM_TIMER, event.wParam, event.lParam);
      return;
    case UIEVENT_SCROLLWHEEL:
      if ((event.wKeyState & MK_UI_CONTROL) != 0) return;
      break;
    // Buttons, moves and keys reach the text services through the message filter.
    case UIEVENT_BUTTONDOWN:
    case UIEVENT_DBLCLICK:
    case UIEVENT_MOUSEMOVE:
    case UIEVENT_BUTTONUP:
    case UIEVENT_KEYDOWN:
    case UIEVENT_KEYUP:
    case UIEVENT_CHAR:
    case UIEVENT_SYSKEY:
      return;
    case UIEVENT_MOUSEENTER:
    case UIEVENT_MOUSELEAVE:
      if (!IsEnabled()) break;
      m_uButtonState = event.Type == UIEVENT_MOUSEENTER ? (m_uButtonState | kHotState) : (m_uButtonState & ~kHotState);
      Invalidate();
      return;
    default:
      break;
  }
  CContainerUI::DoEvent(event);
}

// Mouse messages reach the text services only over the text area of this control, or while the
// text services hold the mouse.
bool CRichEditUI::MouseMessageForMe(UINT uMsg, LPARAM lParam) {
  if (m_pTwh->IsCaptured()) return true;
  HWND hwnd = m_pManager->GetPaintWindow();
  POINT pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  // WM_SETCURSOR's lParam holds a hit-test code and a message number, not a point.
  if (uMsg == WM_SETCURSOR) ::GetCursorPos(&pt);
  if (uMsg == WM_SETCURSOR || uMsg == WM_MOUSEWHEEL) ::ScreenToClient(hwnd, &pt);
  if (NeedsHitOnMe(uMsg) && m_pManager->FindControlAt(pt) != this) return false;
  RECT client;
  m_pTwh->GetControlRect(&client);
  return ::PtInRect(&client, pt) && !m_pManager->IsCaptured();
}

// Whether a window message goes on to the text services; a click gives this control the focus.
bool CRichEditUI::ForTextServices(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (IsMouseMessage(uMsg) || uMsg == WM_SETCURSOR) {
    if (IsMouseMessage(uMsg) && !IsMouseEnabled()) return false;
    // The plain wheel scrolls through the framework's bar; Ctrl+wheel is the text services' zoom.
    if (uMsg == WM_MOUSEWHEEL && (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) == 0) return false;
    if (!MouseMessageForMe(uMsg, lParam)) return false;
    if (!TakesFocus(uMsg)) return true;
    // The receiver of "setfocus" may delete this control.
    CControlWatch alive(this);
    SetFocus();
    return static_cast<bool>(alive);
  }
  if (IsKeyMessage(uMsg) || uMsg == WM_IME_CHAR) return IsFocused();
  if (uMsg == WM_CONTEXTMENU) {
    // The menu's own message loop may run the program's code, which may delete this control.
    CControlWatch alive(this);
    const bool shown = ShowContextMenu(lParam);
    return shown && static_cast<bool>(alive);
  }
  // Only the menu's own commands: a child window's notification may carry the same numbers.
  if (uMsg == WM_COMMAND) return IsFocused() && lParam == 0;
  return uMsg == WM_HELP;
}

void CRichEditUI::PlaceCompositionWindow() {
  HWND hwnd = m_pManager->GetPaintWindow();
  HIMC context = ::ImmGetContext(hwnd);
  if (context == nullptr) return;
  COMPOSITIONFORM form = {CFS_POINT, {0, 0}, {0, 0, 0, 0}};
  ::GetCaretPos(&form.ptCurrentPos);
  ::ImmSetCompositionWindow(context, &form);
  ::ImmReleaseContext(hwnd, context);
}

LRESULT CRichEditUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if (m_pTwh == nullptr || !IsVisible() || !IsEnabled()) return 0;
  if (uMsg == WM_IME_COMPOSITION) {
    PlaceCompositionWindow();
    return 0;
  }
  if (uMsg == WM_COMMAND) bHandled = false;
  if (!ForTextServices(uMsg, wParam, lParam)) return 0;
  // A change is sent once this message is handled, as the last thing done with it.
  ServicesCall call(this);
  if (uMsg == WM_COMMAND) RunMenuCommand(wParam);
  LRESULT result = 0;
  const HRESULT hr = TxSendMessage(uMsg, wParam, lParam, &result);
  // What the text services refuse goes on to the window (a key such as Escape, a key's release;
  // WM_IME_CHAR becomes WM_CHAR there), and so do system keys (Alt+F4), cursor and help questions.
  // A mouse move goes on to the manager's hover tracking too, unless the text services hold the
  // mouse: the control the mouse left must get its mouse-leave. The receiver of a kept Return's
  // "return" may have deleted this control.
  const bool captured = IsMouseMessage(uMsg) && call && m_pTwh->IsCaptured();
  const bool taken = captured || (hr == S_OK && uMsg != WM_MOUSEMOVE);
  if (taken && !IsSystemKey(uMsg) && uMsg != WM_SETCURSOR && uMsg != WM_HELP) bHandled = true;
  return result;
}

bool CRichEditUI::ShowContextMenu(LPARAM lParam) {
  HWND hwnd = m_pManager->GetPaintWindow();
  POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  POINT client = screen;
  ::ScreenToClient(hwnd, &client);
  if (m_pManager->FindControlAt(client) != this) return false;
  UniqueMenu menu(::CreatePopupMenu());
  if (menu == nullptr) return true;
  const bool noSelection = GetSelectionType() == SEL_EMPTY;
  struct Item {
    UINT command;
    const wchar_t* text;
    bool greyed;
  } const items[] = {
      {kUndo, L"撤销(&U)", !CanUndo()},
      {kRedo, L"重做(&R)", !CanRedo()},
      {0, nullptr, false},
      {kCut, L"剪切(&X)", m_bReadOnly || noSelection},
      {kCopy, L"复制(&C)", noSelection},
      {kPaste, L"粘帖(&V)", m_bReadOnly},
      {kClear, L"清空(&L)", m_bReadOnly || noSelection},
      {0, nullptr, false},
      {kSelectAll, L"全选(&A)", false},
  };
  for (const Item& item : items) {
    if (item.text == nullptr)
      ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    else
      ::AppendMenuW(menu.get(), MF_STRING | (item.greyed ? MF_GRAYED : 0), item.command, item.text);
  }
  ::TrackPopupMenu(menu.get(), TPM_RIGHTBUTTON, screen.x, screen.y, 0, hwnd, nullptr);
  return true;
}

void CRichEditUI::RunMenuCommand(WPARAM command) {
  switch (command) {
    case kUndo:
      Undo();
      break;
    case kCut:
      Cut();
      break;
    case kCopy:
      Copy();
      break;
    case kPaste:
      Paste();
      break;
    case kClear:
      Clear();
      break;
    case kSelectAll:
      SetSelAll();
      break;
    case kRedo:
      Redo();
      break;
    default:
      break;
  }
}

}  // namespace SkinUI
