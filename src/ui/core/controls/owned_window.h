// The native window a control lays over itself while it is edited (the edit field, the extra
// editors): how it goes when its control goes.
#pragma once
#include <windows.h>

#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace SkinUI {

// Closes an owner's native window as the owner goes. The owner leaves the manager's records first:
// hiding the window gives the focus back to the manager's window, which must not hand it to the
// dying owner (it would open a new window for it). The window forgets its owner, so nothing it
// receives afterwards reaches the deleted control, and it is destroyed from the message queue,
// because the owner may be deleted while the platform's control is inside a message of its own
// (a notification it sent), which it would finish on freed memory.
template <class Window>
void CloseDetached(CControlUI* owner, Window*& window) {
  if (window == nullptr) return;
  Window* closing = window;
  window = nullptr;
  CPaintManagerUI* pm = owner->GetManager();
  HWND hwnd = closing->GetHWND();
  if (pm != nullptr) {
    pm->ReapObjects(owner);
    if (hwnd != nullptr) pm->RemoveNativeWindow(hwnd);
  }
  closing->Detach();
  if (::IsWindow(hwnd)) {
    ::ShowWindow(hwnd, SW_HIDE);
    ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
  } else {
    delete closing;
  }
}

}  // namespace SkinUI
