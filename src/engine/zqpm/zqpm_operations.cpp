// The engine object's operations that run the jobs outside it: uninstall, web install,
// client start, size text, uninstall reasons and self-deletion, each given the services
// the engine object owns.
#include "common/sys/reg_editor.h"
#include "common/sys/self_path.h"
#include "engine/jobs/client_start.h"
#include "engine/jobs/self_delete.h"
#include "engine/jobs/service_requests.h"
#include "engine/jobs/uninstall_job.h"
#include "engine/jobs/web_install_job.h"
#include "engine/parser/product_config.h"
#include "engine/zqpm/zqpm.h"

JobServices ZQPM::Services() {
  JobServices services;
  services.prompt = &m_UIPrompt;
  services.updateEng = m_pUpdateEng;
  services.selfPath = SelfPath();
  services.verifiedInstallFolder = m_VerifiedInstallFolder;
  services.loadComponentConfigs = [this](OpePARAMEx& record, ProductConfig& product) {
    return LoadComponentConfigs(&record, product);
  };
  services.readProductConfig = [this](ProductConfig& product, const std::wstring& folder) {
    return GetProductConfigInfo(product, folder, ReadProductList(folder + L"\\package\\productlist.ini"));
  };
  services.createTempInstallDir = [this](const std::wstring& name) {
    CreateTempInstallDir(name);
    return m_TempInstallDir;
  };
  services.getRegInstallPath = [this](std::wstring& out, const std::wstring& keyPath) {
    return GetRegInstallPath(out, keyPath);
  };
  services.getDownloadUrl = [this](PackageInfo& package) { return GetDownloadUrl(package); };
  services.downloadProgress = &ZQPM::OnDownloadProgress;
  services.commitInfo = [this](const OpePARAMEx& record) { return CommitInfo(&record); };
  services.deleteRegInfo = [this](const std::wstring& keyPath) { return DeleteRegInfo(keyPath); };
  return services;
}

int ZQPM::DeleteRegInfo(std::wstring keyPath) { return CRegEditor::Clean(keyPath, L"") ? 0 : 1; }

int ZQPM::In_Uninstall(OpePARAMEx* request) { return RunUninstallJob(*request, Services()); }

int ZQPM::In_WebInstall(OpePARAMEx* request) { return RunWebInstallJob(*request, Services()); }

int ZQPM::RestartApp(OpePARAMEx* record) { return record ? ::RestartApp(*record, *m_pUpdateEng) : 0; }

int ZQPM::StartByOther(OpePARAMEx* record) { return record ? ::StartByOther(*record, Services()) : -1; }

int ZQPM::GetFileSizeText(FileSizeInfo* info, std::wstring path) { return info ? ::GetFileSizeText(info, path) : -1; }

int ZQPM::GetUninstallTypeList(void*) { return ::GetUninstallTypeList(&m_UIPrompt); }

int ZQPM::DelSelf(OpePARAMEx* record) {
  if (!record) return -1;
  // It may end the process: nothing is left half written in the work folder.
  WaitForSetupFiles();
  return ::DelSelf(*record, Services());
}
