#include "engine/jobs/uninstall_job.h"

#include <windows.h>

#include <atomic>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "engine/job/install_paths.h"
#include "engine/job/prompt.h"
#include "engine/jobs/install_folder_guard.h"
#include "engine/jobs/notify_area.h"
#include "engine/update/update_eng_ex.h"

namespace {

std::atomic<bool> g_uninstallCompleted{false};

// The uninstall record, a second record name, and the product's keys (the description's
// RegKey, else the two default product keys).
std::vector<std::wstring> ProductKeys(const ProductConfig& product) {
  const std::wstring& regKey = product.regKey;
  return {
      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo",
      L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tamsel\u6e38\u620fPelluvo",
      regKey.empty() ? std::wstring(L"HKLM\\Software\\TamselPLVV2") : regKey,
      regKey.empty() ? std::wstring(L"HKLM\\Software\\TamselPLV") : regKey,
  };
}

void DeleteProductFiles(CUpdateEngEx& engine, const std::wstring& folder, const std::wstring& selfFileName) {
  const std::vector<std::wstring> exclusions = {selfFileName};
  engine.DeleteProductFile(exclusions);
  DeleteDirectoryTree(folder, exclusions);
}

void DeleteProductKeys(const ProductConfig& product, const JobServices& services) {
  for (const std::wstring& key : ProductKeys(product)) {
    if (services.deleteRegInfo(key) != 0) {
      VLOG_ERROR("In_Uninstall, DeleteRegInfo fail, path %S, err: %d", key.c_str(), static_cast<int>(GetLastError()));
    }
  }
}

}  // namespace

int RunUninstallJob(OpePARAMEx& record, const JobServices& services) {
  // A copy of the uninstaller saved elsewhere must not empty the folder it runs from.
  if (!IsVerifiedInstallFolder(record.installDir, services.verifiedInstallFolder)) {
    VLOG_ERROR("In_Uninstall, %S is not the product's install folder, nothing removed", record.installDir.c_str());
    if (services.prompt) services.prompt->OnMessage(L"卸载失败", 0);
    return kUninstallNotInstallFolder;
  }
  CUpdateEngEx& engine = *services.updateEng;
  services.commitInfo(record);
  if (services.loadComponentConfigs(record, engine.installedProduct) != 0) {
    VLOG_ERROR("In_Uninstall, LoadComponentConfigs fail, what was read is removed");
  }
  engine.CheckProductDifference(engine.deleteList, engine.addList, CCheckDiff::kUninstall);
  engine.DoRunruleInDeleteList("BeforeUpdate");
  engine.DoRunruleInDeleteList("OnStopApp");
  engine.UninstallDlls();
  engine.UninstallRegs();
  engine.UninstallShortcuts();
  CleanNotifyAreaIcons();
  engine.DoRunruleInDeleteList("OnUnregister");
  DeleteProductFiles(engine, record.installDir, FileNameOf(services.selfPath));
  DeleteProductKeys(engine.installedProduct, services);
  g_uninstallCompleted = true;
  VLOG_INFO("In_Uninstall, Uninstall complete");
  if (services.prompt) services.prompt->OnFinish("", 0);
  return 0;
}

bool UninstallJobCompleted() { return g_uninstallCompleted; }
