#include "engine/jobs/notify_area.h"

#include <windows.h>

#include "common/log/vlog.h"

namespace {

constexpr UINT kMoveTimeoutMs = 1000;

// A child of parent; never a top-level window (FindWindowEx searches those for a null parent).
HWND ChildOfClass(HWND parent, const wchar_t* className) {
  return parent ? FindWindowExW(parent, nullptr, className, nullptr) : nullptr;
}

}  // namespace

int CleanNotifyAreaIcons() {
  HWND notify = ChildOfClass(FindWindowW(L"Shell_TrayWnd", nullptr), L"TrayNotifyWnd");
  HWND pager = ChildOfClass(notify, L"SysPager");
  HWND toolbar = ChildOfClass(pager ? pager : notify, L"ToolbarWindow32");
  if (!toolbar) return 0;
  RECT rect = {};
  if (!GetWindowRect(toolbar, &rect)) return 0;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  int moves = 0;
  for (int x = 1; x < width; ++x) {
    DWORD_PTR result = 0;
    // A hung shell must not hold the uninstall.
    if (!SendMessageTimeoutW(toolbar, WM_MOUSEMOVE, 0, MAKELPARAM(x, height / 2), SMTO_ABORTIFHUNG, kMoveTimeoutMs,
                             &result)) {
      VLOG_WARN("CleanNotifyAreaIcons, the toolbar took no move at x %d, err %lu", x, GetLastError());
      break;
    }
    ++moves;
  }
  return moves;
}
