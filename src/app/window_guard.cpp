#include "app/window_guard.h"

#include <windows.h>

#include "app/app_log.h"
#include "app/job_outcome.h"
#include "engine/zqpm/zqpm.h"

namespace {

// Nothing is left half written in the work folder (the setup package's last file may still be
// on its way), and the log is written out.
[[noreturn]] void EndProcess(int code) {
  ZQPM::GetInstance()->WaitForSetupFiles();
  AppLogFlush();
  ExitProcess(static_cast<UINT>(code));
}

}  // namespace

void WindowOperationFailed(const char* text) {
  AppLog(4, "%s", text);
  EndProcess(kExitNoWindow);
}

void SilentSkinLoadFailed(const wchar_t* skinFile) {
  AppLog(4, "OnCreate, 加载资源文件失败：%S", skinFile);
  EndProcess(kExitSkinNotLoaded);
}
