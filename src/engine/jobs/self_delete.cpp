#include "engine/jobs/self_delete.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>


#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "engine/jobs/install_folder_guard.h"
#include "engine/jobs/uninstall_job.h"
#include "engine/reg_value.h"
#include "engine/zqpm/install_paths.h"

bool InstallPathRemoved(const std::wstring& keyPath) {
  std::wstring value;
  LONG error = ERROR_SUCCESS;
  return !ReadRegValue(keyPath, L"InstallPath", value, &error) && error == ERROR_FILE_NOT_FOUND;
}

int DelSelf(const OpePARAMEx& record, const JobServices& services) {
  if (!UninstallJobCompleted()) {
    VLOG_ERROR("DelSelf, no uninstall completed in this process, nothing deleted");
    return -1;
  }
  if (!InstallPathRemoved(record.regKeyPath)) {
    VLOG_ERROR("DelSelf, InstallPath under %S is still there or unreadable, nothing deleted", record.regKeyPath.c_str());
    return -1;
  }
  const std::wstring& self = services.selfPath;
  if (IsRemovableInstallFolder(record.installDir)) DeleteDirectoryTree(record.installDir, {FileNameOf(self)});
  // This process must be gone before "del" runs.
  SetPriorityClass(GetCurrentProcess(), REALTIME_PRIORITY_CLASS);
  SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
  SHChangeNotify(SHCNE_DELETE, SHCNF_PATHW, self.c_str(), nullptr);
  const std::wstring command = L"/c del /q \"" + self + L"\"";
  VLOG_INFO("DelSelf, cmdline %S", command.c_str());
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.lpVerb = L"runas";
  info.lpFile = L"cmd.exe";
  info.lpParameters = command.c_str();
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) VLOG_ERROR("DelSelf, ShellExecuteEx cmd.exe fail, err %lu", GetLastError());
  vemtal::vlog::IVlogManager::getInstance()->drain();
  ExitProcess(0);
}
