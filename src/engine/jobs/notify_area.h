// Clearing the notification area of icons whose programs have ended: the shell drops such
// an icon when the mouse pointer passes over it.
#pragma once

// Sends WM_MOUSEMOVE at x = 1 .. width-1, y = height/2 to the icon toolbar found under
// "Shell_TrayWnd" > "TrayNotifyWnd" > ["SysPager" >] "ToolbarWindow32". Stops at the first
// level that is missing (so no window outside the shell's tray is ever addressed) and at the
// first move the toolbar does not take within a second. Gives the number of moves taken.
int CleanNotifyAreaIcons();
