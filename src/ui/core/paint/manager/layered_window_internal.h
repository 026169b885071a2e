#pragma once
#include <windows.h>

namespace SkinUI {

// Layered-window functions, looked up in user32 once per process; null where the system lacks one.
typedef BOOL(WINAPI* PFN_UpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD);
typedef BOOL(WINAPI* PFN_SetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD);
PFN_UpdateLayeredWindow LookUpUpdateLayeredWindow();
PFN_SetLayeredWindowAttributes LookUpSetLayeredWindowAttributes();

}  // namespace SkinUI
