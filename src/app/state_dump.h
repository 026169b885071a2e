// Test hook: when the environment variable "TAMSEL_UI_STATE_DUMP" names a folder, a window
// answers the registered message "TamselUiStateDump" by writing the state of its named
// controls (and the file of the common controls the process runs with) to
// "<folder>\<window class>.json" (and, for a non-zero lParam, its picture to
// "<window class>.png" first). A driver program posts clicks and reads the state back.
// Without the variable the message is never registered and nothing is written.
#pragma once

#include <windows.h>

#include <string>

namespace SkinUI {
class CPaintManagerUI;
}

// The window's last painted picture (the manager's offscreen image) as a PNG file.
bool SaveWindowPicture(SkinUI::CPaintManagerUI& pm, const std::wstring& path);

// True when msg is the dump request (and the hook is enabled); writes the dump then.
bool HandleStateDump(SkinUI::CPaintManagerUI& pm, const wchar_t* windowClass, UINT msg, WPARAM seq, LPARAM withPicture);
