#include "engine/jobs/self_delete.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/file_delete.h"
#include "engine/job/install_paths.h"
#include "engine/job/reg_value.h"
#include "engine/jobs/install_folder_guard.h"
#include "engine/jobs/uninstall_job.h"

bool InstallPathRemoved(const std::wstring& keyPath) {
  std::wstring value;
  LONG error = ERROR_SUCCESS;
  return !ReadRegValue(keyPath, L"InstallPath", value, &error) && error == ERROR_FILE_NOT_FOUND;
}

std::wstring SelfDeleteCommand(const std::wstring& self, const std::wstring& folder) {
  // A program cannot delete its own file while it runs, and cmd may start before this process
  // has ended: it first waits about two seconds (ping pauses a second between its echoes).
  const std::wstring command = L"/c ping -n 3 127.0.0.1 >nul & del /q \"" + self + L"\"";
  // The folder is left empty by then; "rd" without "/s" removes nothing else.
  return command + L" & rd \"" + folder + L"\"";
}

int DelSelf(const OpePARAMEx& record, const JobServices& services) {
  if (!UninstallJobCompleted()) {
    VLOG_ERROR("DelSelf, no uninstall completed in this process, nothing deleted");
    return -1;
  }
  if (!InstallPathRemoved(record.regKeyPath)) {
    VLOG_ERROR("DelSelf, InstallPath under %S is still there or unreadable, nothing deleted",
               record.regKeyPath.c_str());
    return -1;
  }
  if (!IsVerifiedInstallFolder(record.installDir, services.verifiedInstallFolder)) {
    VLOG_ERROR("DelSelf, %S is not the product's install folder, nothing deleted", record.installDir.c_str());
    return -1;
  }
  const std::wstring& self = services.selfPath;
  DeleteDirectoryTree(record.installDir, {FileNameOf(self)});
  // This process must be gone before "del" runs.
  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, self.c_str(), nullptr);
  const std::wstring command = SelfDeleteCommand(self, record.installDir);
  VLOG_INFO("DelSelf, cmdline %S", command.c_str());
  // cmd must not stand in the folder it removes.
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = L"runas";
  info.lpFile = L"cmd.exe";
  info.lpParameters = command.c_str();
  info.lpDirectory = temp;
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) {
    VLOG_ERROR("DelSelf, ShellExecuteEx cmd.exe fail, err %lu", GetLastError());
    ScheduleDeleteAtRestart(self);
  }
  vemtal::vlog::IVlogManager::getInstance()->drain();
  ExitProcess(0);
}
