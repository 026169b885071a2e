#include "engine/jobs/client_start.h"

#include <windows.h>

#include "common/log/vlog.h"
#include "engine/job/install_paths.h"
#include "engine/update/update_eng_ex.h"

namespace {

const char kRestartAppPhase[] = "OnRestartApp";

// A second start reads the product again rather than adding its components and rules twice.
void ForgetInstalledProduct(CUpdateEngEx& engine) {
  IInstallUIPromptEx* sink = engine.installedProduct.errorSink;
  engine.installedProduct = ProductConfig();
  engine.installedProduct.errorSink = sink;
  engine.deleteList = ComponentConfig();
  engine.addList = ComponentConfig();
}

}  // namespace

int RestartApp(const OpePARAMEx& record, CUpdateEngEx& engine) {
  if (record.restartAllowed) engine.DoRunruleInAddList(kRestartAppPhase, 0);
  return 0;
}

int StartByOther(OpePARAMEx& record, const JobServices& services) {
  CUpdateEngEx& engine = *services.updateEng;
  const std::wstring keyPath = RegKeyPathOf(engine.installedProduct.regKey);
  services.getRegInstallPath(record.installDir, keyPath);
  if (record.installDir.empty()) {
    VLOG_ERROR("StartByOther, GetRegInstallPath fail, key %S", keyPath.c_str());
    return -1;
  }
  ForgetInstalledProduct(engine);
  if (services.readProductConfig(engine.installedProduct, record.installDir) != 0) {
    VLOG_ERROR("StartByOther, GetProductConfigInfo fail, folder %S, err %lu", record.installDir.c_str(),
               GetLastError());
    return -2;
  }
  services.loadComponentConfigs(record, engine.installedProduct);
  engine.CheckProductDifference(engine.deleteList, engine.addList, CCheckDiff::kUninstall);
  engine.DoRunruleInDeleteList(kRestartAppPhase);
  return 0;
}
