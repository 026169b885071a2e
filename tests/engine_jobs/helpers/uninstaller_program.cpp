// An installed copy of the setup program at the end of its run, for the self-deletion
// tests: "<case> <log folder> <registry key path>". It logs into the folder, runs an
// uninstall of its own folder (cases "uninstalled" and "unreadable") and asks DelSelf to
// remove it; "unreadable" first leaves "InstallPath" under the key as a value that cannot be
// read as text. Exits with 3 when DelSelf refuses.
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/job/install_paths.h"
#include "engine/jobs/self_delete.h"
#include "engine/jobs/uninstall_job.h"
#include "engine/update/update_eng_ex.h"
#include "engine/zqpm/zqpm.h"

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc != 4) return 2;
  const std::wstring mode = argv[1];
  auto* log = vemtal::vlog::IVlogManager::getInstance();
  log->setLoggerPath(0, (WideToUtf8(argv[2]) + "\\uninstaller.log").c_str());
  log->start();
  log->setLoggerLevel(0, 0);

  wchar_t self[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH * 2);
  OpePARAMEx record;
  record.mode = OpePARAMEx::CMD_SILENT_UNINSTALL;
  record.installDir = FolderOf(self);
  record.regKeyPath = argv[3];
  CUpdateEngEx engine;
  engine.installedProduct.regKey = argv[3];
  JobServices services;
  services.updateEng = &engine;
  services.selfPath = self;
  services.verifiedInstallFolder = record.installDir;
  services.loadComponentConfigs = [](OpePARAMEx& job, ProductConfig& product) {
    product.productFolder = job.installDir;
    return 0;
  };
  ZQPM* zqpm = ZQPM::GetInstance();
  services.commitInfo = [zqpm](const OpePARAMEx& job) { return zqpm->CommitInfo(&job); };
  services.deleteRegInfo = [zqpm](const std::wstring& keyPath) { return zqpm->DeleteRegInfo(keyPath); };
  if (mode != L"nojob") RunUninstallJob(record, services);
  if (mode == L"unreadable") {
    const BYTE bytes[] = {1, 2, 3};
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, record.regKeyPath.substr(5).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                    nullptr);
    RegSetValueExW(key, L"InstallPath", 0, REG_BINARY, bytes, sizeof bytes);
    RegCloseKey(key);
  }
  DelSelf(record, services);
  log->drain();
  return 3;
}
