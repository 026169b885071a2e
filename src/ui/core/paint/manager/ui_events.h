#pragma once
#include <windows.h>

#include "ui/core/base/ui_string.h"

namespace SkinUI {

class CControlUI;

// Event codes the paint manager sends to controls.
enum UIEventType {
  UIEVENT_KEYDOWN = 3,
  UIEVENT_KEYUP = 4,
  UIEVENT_CHAR = 5,
  UIEVENT_SYSKEY = 6,
  UIEVENT_MOUSEMOVE = 9,
  UIEVENT_MOUSELEAVE = 10,
  UIEVENT_MOUSEENTER = 11,
  UIEVENT_MOUSEHOVER = 12,
  UIEVENT_BUTTONDOWN = 13,
  UIEVENT_BUTTONUP = 14,
  UIEVENT_RBUTTONDOWN = 15,
  UIEVENT_RBUTTONUP = 16,
  UIEVENT_MBUTTONDOWN = 17,
  UIEVENT_MBUTTONUP = 18,
  UIEVENT_DBLCLICK = 19,
  UIEVENT_CONTEXTMENU = 20,
  UIEVENT_SCROLLWHEEL = 21,
  UIEVENT_KILLFOCUS = 23,
  UIEVENT_SETFOCUS = 24,
  UIEVENT_WINDOWSIZE = 25,
  UIEVENT_SETCURSOR = 26,
  UIEVENT_TIMER = 27,
  UIEVENT__MOUSEFIRST = UIEVENT_MOUSEMOVE,
  UIEVENT__MOUSELAST = UIEVENT_SCROLLWHEEL,
};

// Flags of a control's FindControl walk.
enum UIFindFlags : UINT {
  UIFIND_ALL = 0x00000000,
  UIFIND_VISIBLE = 0x00000001,
  UIFIND_ENABLED = 0x00000002,
  UIFIND_HITTEST = 0x00000004,
  UIFIND_UPDATETEST = 0x00000008,
  UIFIND_TOP_FIRST = 0x00000010,
  UIFIND_ME_FIRST = 0x80000000,
};

// Bits of a control's GetControlFlags.
enum UIControlFlags : UINT {
  UIFLAG_TABSTOP = 0x00000001,
  UIFLAG_SETCURSOR = 0x00000002,
};

// Bits of the key-state map the manager puts into events.
enum UIKeyState : WORD {
  MK_UI_RBUTTON = 0x0001,
  MK_UI_LBUTTON = 0x0002,
  MK_UI_SHIFT = 0x0004,
  MK_UI_CONTROL = 0x0008,
  MK_UI_ALT = 0x0020,
};

struct EventRecordUI {
  int Type;
  CControlUI* pSender;
  DWORD dwTimestamp;
  POINT ptMouse;
  wchar_t chKey;
  WORD wKeyState;
  WPARAM wParam;
  LPARAM lParam;
};

struct NotifyRecordUI {
  CUIString sType;
  CUIString sVirtualWnd;
  CControlUI* pSender;
  DWORD dwTimestamp;
  POINT ptMouse;
  WPARAM wParam;
  LPARAM lParam;
};

struct TimerInfo {
  CControlUI* pSender;
  UINT nLocalID;
  HWND hWnd;
  UINT uWinTimer;
  bool bKilled;
};

class INotifyUI {
 public:
  virtual ~INotifyUI() = default;
  virtual void Notify(NotifyRecordUI& msg) = 0;
};

class IMessageFilterUI {
 public:
  virtual ~IMessageFilterUI() = default;
  virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;
};

class ITranslateAccelerator {
 public:
  virtual ~ITranslateAccelerator() = default;
  virtual LRESULT TranslateAccelerator(MSG* pMsg) = 0;
};

typedef CControlUI*(CALLBACK* FINDCONTROLPROC)(CControlUI*, LPVOID);

}  // namespace SkinUI
