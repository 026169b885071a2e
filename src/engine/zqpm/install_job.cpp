// The install job: puts the new product in place from the program package and the setup
// package, in a fixed order of steps, reporting each to the window.
#include <windows.h>
#include <shlobj.h>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/reg_editor.h"
#include "engine/job/install_paths.h"
#include "engine/package/setup_pkg.h"
#include "engine/update/uninstall_record.h"
#include "engine/update/update_eng_ex.h"
#include "engine/zqpm/zqpm.h"

namespace {

const wchar_t kInstallFailedText[] = L"安装失败";

std::wstring PackageFolderOf(const std::wstring& folder) { return folder + L"\\package\\"; }

// The program package into the work folder, its files with their records' times: 0, or the
// reader's failure (a package that fails its check gives its negative code or -1).
int ExtractProgramPackage(const std::wstring& folder, RecordFileTimesByPath times) {
  try {
    SetupPkg& package = SetupPkg::GetInstance();
    package.SetProgramFileTimes(std::move(times));
    return package.ExtractAllProgramFiles(folder);
  } catch (const KvException& e) {
    VLOG_ERROR("Run, the program's packages failed their check, code %d", e.code());
    return e.code() < 0 ? e.code() : -1;
  }
}

}  // namespace

int ZQPM::InstallFailed(int result) {
  m_UIPrompt.OnMessage(kInstallFailedText, 0);
  return result;
}

int ZQPM::In_Install(OpePARAMEx* request) {
  OpePARAMEx job = *request;
  int result = PrepareInstallJob(job);
  if (result == kJobDone) result = PutProductInPlace(job);
  if (result != kJobDone) return InstallFailed(result);
  RegisterProduct(job);
  FinishInstall();
  return kJobDone;
}

// Everything that can refuse the job comes before anything is written: the description read
// by Init, the setup package's files all in place, an absolute install folder, the
// description's name, its components. Then the difference fills the lists.
int ZQPM::PrepareInstallJob(OpePARAMEx& job) {
  if (!m_NewProductRead) {
    VLOG_ERROR("Run, the product description was not read, nothing is installed");
    return kJobProductNotRead;
  }
  const int setupFiles = WaitForSetupFiles();
  if (setupFiles != 0) {
    VLOG_ERROR("Run, the setup package's program copy was not extracted, code %d, nothing is installed", setupFiles);
    return kJobNoProgramPackage;
  }
  const std::wstring requested = job.installDir;
  job.installDir = InstallFolderOf(requested);
  if (job.installDir.empty()) {
    VLOG_ERROR("Run, install folder %S is not an absolute path", requested.c_str());
    return kJobNoWorkFolder;
  }
  if (GetProductConfigName(job) != 0) return kJobNoWorkFolder;
  if (LoadComponentConfigs(&job, m_pUpdateEng->newProduct) != 0) {
    VLOG_ERROR("Run, the component configurations were not read, nothing is installed");
    return kJobProductNotRead;
  }
  Report(ProgressStep::kCheckEnvironment, 5);
  // Each job starts from empty lists: the difference appends to them.
  m_pUpdateEng->deleteList = ComponentConfig();
  m_pUpdateEng->addList = ComponentConfig();
  m_pUpdateEng->CheckProductDifference(m_pUpdateEng->deleteList, m_pUpdateEng->addList, CCheckDiff::kInstall);
  VLOG_INFO("In_Install, CheckProductDifference complete, DeletefileSize %d, AddfileSize %d",
            static_cast<int>(m_pUpdateEng->deleteList.files.size()),
            static_cast<int>(m_pUpdateEng->addList.files.size()));
  Report(ProgressStep::kInitEnvironment, 5);
  return kJobDone;
}

// The install folder, the program package in its work folder, the "BeforeCopy" rules, the
// product files, the configuration files and the product list. A failure removes the work
// folder.
int ZQPM::PutProductInPlace(OpePARAMEx& job) {
  const ProductConfig& product = m_pUpdateEng->newProduct;
  int created = SHCreateDirectoryExW(nullptr, product.productFolder.c_str(), nullptr);
  if (created != ERROR_SUCCESS) {
    VLOG_ERROR("Run, SHCreateDirectoryEx failed path %S err %d", product.productFolder.c_str(), created);
  }
  DeleteDirectoryTree(product.sourceFolder, {});
  created = SHCreateDirectoryExW(nullptr, product.sourceFolder.c_str(), nullptr);
  if (created != ERROR_SUCCESS) {
    VLOG_ERROR("Run, SHCreateDirectoryEx failed path %S err %d", product.sourceFolder.c_str(), created);
    return kJobNoWorkFolder;
  }
  Report(ProgressStep::kExtractPackage, 5);
  const int extracted = ExtractProgramPackage(product.sourceFolder, m_pUpdateEng->AddListFileTimes());
  if (extracted != 0) {
    VLOG_ERROR("Run, pPkgParser->ExtractAllProgramFiles failed, nRet: %d ", extracted);
    DeleteDirectoryTree(product.sourceFolder, {});
    return kJobNoProgramPackage;
  }
  m_pUpdateEng->DoRunruleInAddList("BeforeCopy", 0);
  const int placed = m_pUpdateEng->ApplyFileChanges();
  const int configured = placed == 0 ? CopyAllConfigFiles() : 0;
  if (placed != 0 || configured != 0) {
    VLOG_ERROR("Run, product files not in place, ApplyFileChanges %d, CopyAllConfigFiles %d", placed, configured);
    DeleteDirectoryTree(product.sourceFolder, {});
    return kJobFilesNotPlaced;
  }
  WriteProductList(&job);
  return kJobDone;
}

// The rules of "AfterCopy" and "OnRegister", COM servers, registry values, shortcuts and the
// uninstall record; their failures are logged by their steps and stop nothing.
void ZQPM::RegisterProduct(const OpePARAMEx& job) {
  Report(ProgressStep::kAfterCopy, 5);
  m_pUpdateEng->DoRunruleInAddList("AfterCopy", 0);
  Report(ProgressStep::kOnRegister, 5);
  m_pUpdateEng->DoRunruleInAddList("OnRegister", 0);
  m_pUpdateEng->InstallDlls();
  m_pUpdateEng->InstallRegs(job.runKeyFlag);
  m_pUpdateEng->InstallShortcuts(job.desktopShortcut);
  const int recorded = CreateUninstallRegInfo();
  if (recorded != 0) VLOG_ERROR("Run, CreateUninstallRegInfo, nRet: %d", recorded);
  VLOG_INFO("In_Install, CreateUninstallRegInfo complete");
}

// Both work folders go, "InstallPath" marks the product installed, the window hears the end.
void ZQPM::FinishInstall() {
  DeleteDirectoryTree(m_TempInstallDir, {});
  DeleteDirectoryTree(m_pUpdateEng->newProduct.sourceFolder, {});
  if (!WriteInstallReg()) VLOG_ERROR("Run, WriteInstallReg fail, err: %d", static_cast<int>(GetLastError()));
  VLOG_INFO("In_Install, Install complete");
  m_UIPrompt.OnFinish("", 0);
}

int ZQPM::GetProductConfigName(const OpePARAMEx& record) {
  const std::wstring path = record.tempDir + L"\\_setup.ini";
  wchar_t name[MAX_PATH] = {};
  GetPrivateProfileStringW(L"Product", L"Product", L"Product.config", name, MAX_PATH, path.c_str());
  if (!name[0]) {
    VLOG_ERROR("Run, GetProductConfigName fail, path %S, err %d", path.c_str(), static_cast<int>(GetLastError()));
    return -1;
  }
  m_ProductConfigPath = name;
  return 0;
}

int ZQPM::CopyAllConfigFiles() {
  int result = CopyProductConfigFiles();
  const ProductConfig& product = m_pUpdateEng->newProduct;
  const std::wstring targetFolder = PackageFolderOf(product.productFolder);
  for (const ComponentRef& component : product.componentRefs) {
    const std::wstring source = PackageFolderOf(product.sourceFolder) + component.config;
    SHCreateDirectoryExW(nullptr, targetFolder.c_str(), nullptr);
    const std::wstring target = targetFolder + component.config;
    Report(ProgressStep::kCopyFile, 1);
    std::wstring waiting;
    const int updated = m_pUpdateEng->UpdateFile(source, target, waiting);
    VLOG_INFO("CopyAllConfigFiles, UpdateFile FileSrc %S FileDst %S", source.c_str(), target.c_str());
    if (updated < 0 && result == 0) result = updated;
  }
  return result;
}

int ZQPM::CopyProductConfigFiles() {
  const ProductConfig& product = m_pUpdateEng->newProduct;
  const std::wstring source = PackageFolderOf(product.sourceFolder) + m_ProductConfigPath;
  const std::wstring targetFolder = PackageFolderOf(product.productFolder);
  SHCreateDirectoryExW(nullptr, targetFolder.c_str(), nullptr);
  const std::wstring target = targetFolder + m_ProductConfigPath;
  std::wstring waiting;
  const int updated = m_pUpdateEng->UpdateFile(source, target, waiting);
  VLOG_INFO("CopyProductConfigFiles, UpdateFile FileSrc %S FileDst %S", source.c_str(), target.c_str());
  Report(ProgressStep::kCopyFile, 1, m_ProductConfigPath);
  return updated < 0 ? updated : 0;
}

void ZQPM::WriteProductList(OpePARAMEx* record) {
  if (record->mode == OpePARAMEx::CMD_UPDATE) return;
  const std::wstring path = PackageFolderOf(record->installDir) + L"productlist.ini";
  if (GetPrivateProfileIntW(L"products", L"count", 0, path.c_str()) != 0) return;
  if (!WritePrivateProfileStringW(L"products", L"count", L"1", path.c_str()) ||
      !WritePrivateProfileStringW(L"products", L"product1", m_ProductConfigPath.c_str(), path.c_str())) {
    VLOG_ERROR("WriteProductList, WritePrivateProfileString %S failed, err %lu", path.c_str(), GetLastError());
  }
}

int ZQPM::CreateUninstallRegInfo() {
  const ProductConfig& product = m_pUpdateEng->newProduct;
  UninstallRecordInfo info;
  info.installFolder = product.productFolder;
  info.displayVersion = product.productVersion;
  info.unpackedBytes = ProgramPackageUnpackedSize;
  return ::CreateUninstallRegInfo(info, &m_UIPrompt);
}

bool ZQPM::WriteInstallReg() {
  const ProductConfig& product = m_pUpdateEng->newProduct;
  return CRegEditor::SetValue(RegKeyPathOf(product.regKey), L"InstallPath", REG_SZ, product.productFolder);
}
