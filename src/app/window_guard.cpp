#include "app/window_guard.h"

#include <windows.h>

#include "app/app_log.h"
#include "app/job_outcome.h"

void WindowOperationFailed(const char* text) {
  AppLog(4, "%s", text);
  AppLogFlush();
  ExitProcess(static_cast<UINT>(kExitNoWindow));
}

void SilentSkinLoadFailed(const wchar_t* skinFile) {
  AppLog(4, "OnCreate, 加载资源文件失败：%S", skinFile);
  AppLogFlush();
  ExitProcess(static_cast<UINT>(kExitSkinNotLoaded));
}
