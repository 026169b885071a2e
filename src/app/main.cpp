// The setup program's entry: one job per run, from the command line to the window that
// serves it.
#include <windows.h>

#include <ole2.h>

#include <initializer_list>
#include <memory>

#include "app/app_log.h"
#include "app/delay_load_failure.h"
#include "app/install_wnd.h"
#include "app/job_outcome.h"
#include "app/uninstall_wnd.h"
#include "app/web_install_wnd.h"
#include "common/sys/text_convert.h"
#include "engine/job/command_line.h"
#include "engine/job/reg_value.h"
#include "engine/package/setup_pkg.h"
#include "engine/zqpm/zqpm.h"
#include "ui/core/base/ui_log.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/resources/resource_table.h"
#include "ui/extra/extra_controls.h"

// The DLLs loaded at their first use say in the log which one failed before the program ends.
PfnDliHook __pfnDliFailureHook2 = DelayLoadFailure;

namespace {

// An error a person must see; a silent run logs it instead, so nothing waits unattended.
void ReportStartupError(const OpePARAMEx& record, const wchar_t* text) {
  if (IsSilentMode(record.mode)) {
    AppLog(4, "wWinMain, %S", text);
  } else {
    MessageBoxW(nullptr, text, L"错误", MB_OK);
  }
}

}  // namespace

void SetupSkin(const OpePARAMEx& record) {
  SkinUI::CPaintManagerUI::SetResourceType(2);
  SkinUI::CPaintManagerUI::SetResourcePath(record.resourceDir.c_str());
  SkinUI::CPaintManagerUI::SetResourceZip(L"PackageManager.zip", true);
  SkinUI::CResourceTableUI::GetInstance()->LoadResource(L"res.xml");
}

// Creates the job's window and runs the message loop until it closes. 0; -1 for a mode
// above 6; -2 for the update mode or a window that cannot be made.
int GeneralWindow(const OpePARAMEx& record, JobOutcome& outcome) {
  AppLog(2, "GeneralWindow, ********************Current Process ID: %d, CmdLine: %d ", GetCurrentProcessId(),
         record.mode);
  if (record.mode > OpePARAMEx::CMD_WEB_SILENT_INSTALL) return -1;
  std::unique_ptr<SkinUI::WindowImplBase> window;
  switch (record.mode) {
    case OpePARAMEx::CMD_INSTALL:
    case OpePARAMEx::CMD_SILENT_INSTALL:
      window = std::make_unique<CInstallWnd>(record, outcome);
      break;
    case OpePARAMEx::CMD_UNINSTALL:
    case OpePARAMEx::CMD_SILENT_UNINSTALL:
      window = std::make_unique<CUninstallWnd>(record, outcome);
      break;
    case OpePARAMEx::CMD_WEB_INSTALL:
    case OpePARAMEx::CMD_WEB_SILENT_INSTALL:
      window = std::make_unique<CWebInstallWnd>(record, outcome);
      break;
    default:
      return -2;
  }
  // From here the window frees itself when its native window is destroyed (a window whose
  // creation failed half-way may already have done so).
  SkinUI::WindowImplBase* shown = window.release();
  if (shown->Create(nullptr, L"TamselPelluvo", 0x10CF0000, 0, 0, 0, 900, 600) == nullptr) {
    AppLog(4, "GeneralWindow, Create failed, err %lu", GetLastError());
    return -2;
  }
  shown->CenterWindow();
  ShowWindow(shown->GetHWND(), SW_SHOW);
  SkinUI::CPaintManagerUI::MessageLoop();
  SkinUI::CPaintManagerUI::CloseResourceZip();
  return 0;
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
  // The setup package's digests and files are ready sooner when the engine asks for them.
  SetupPkg::ReadOwnFileAhead();
  // OLE, not only COM: the framework registers its windows for drag and drop.
  if (FAILED(OleInitialize(nullptr))) return 0;
  SkinUI::CPaintManagerUI::SetInstance(instance);
  // What the framework refuses of the skin goes to the program's log.
  SkinUI::SetUILogSink([](const wchar_t* line) { AppLog(4, "%s", WideToUtf8(line).c_str()); });
  SkinUI::RegisterExtraControls();
  OpePARAMEx record;
  if (ParseCommandLine(commandLine, record) < 0) {
    ReportStartupError(record, L"参数解析异常");
    AppLogFlush();
    return kExitBadCommandLine;
  }
  ZQPM* engine = ZQPM::GetInstance();
  if (engine->Init(&record) != 0) AppLog(4, "GeneralWindow, Init failed err %d ", GetLastError());
  // Nothing of a damaged setup can be installed, its skin included. A person sees the
  // framework's box about the skin; a script must see the failure as the job's.
  if (record.mode == OpePARAMEx::CMD_SILENT_INSTALL && engine->PackagesRefused()) {
    AppLog(4, "wWinMain, the setup program's packages failed their check, nothing installed");
    AppLogFlush();
    return kExitJobFailed;
  }
  AppLog(2, "wWinmain, init success");
  SetupSkin(record);
  JobOutcome outcome;
  if (GeneralWindow(record, outcome) < 0) {
    ReportStartupError(record, L"构建窗口异常");
    AppLogFlush();
    return kExitNoWindow;
  }
  OleUninitialize();
  std::wstring installPath;
  const bool registered = ReadRegValue(record.regKeyPath, L"InstallPath", installPath, nullptr) && !installPath.empty();
  const bool uninstalled = record.mode == OpePARAMEx::CMD_UNINSTALL || record.mode == OpePARAMEx::CMD_SILENT_UNINSTALL;
  // A window closed at once: the setup package's last file is written, and a failure logged.
  engine->WaitForSetupFiles();
  AppLogFlush();
  // Removes what is left of the product and this program; returns only when this process
  // completed no uninstall.
  if (uninstalled && !registered) engine->DelSelf(&record);
  return outcome.ExitCode();
}
