// Preparing a job: log, work folder, setup package, product description and the record's
// folders; and the preparation steps that the jobs share.
#include <windows.h>
#include <shlobj.h>

#include <cwchar>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/self_path.h"
#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "engine/job/install_paths.h"
#include "engine/job/reg_value.h"
#include "engine/jobs/install_folder_guard.h"
#include "engine/package/setup_pkg.h"
#include "engine/parser/product_reader.h"
#include "engine/update/update_eng_ex.h"
#include "engine/zqpm/zqpm.h"

namespace {

// A product list names one description per product; a damaged count must not make the
// reader walk billions of keys.
constexpr UINT kMaxProductListCount = 64;

std::wstring TempPath() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH, buffer);
  return std::wstring(buffer, n <= MAX_PATH ? n : 0);
}

// A description is read again from scratch: the reader appends to what it is given.
void ResetProduct(ProductConfig& product) {
  IInstallUIPromptEx* sink = product.errorSink;
  product = ProductConfig();
  product.errorSink = sink;
}

bool IsInstallMode(int mode) { return mode == OpePARAMEx::CMD_INSTALL || mode == OpePARAMEx::CMD_SILENT_INSTALL; }

bool IsUninstallMode(int mode) { return mode == OpePARAMEx::CMD_UNINSTALL || mode == OpePARAMEx::CMD_SILENT_UNINSTALL; }

}  // namespace

int ZQPM::Init(OpePARAMEx* record) {
  if (!record) return kJobNoWorkFolder;
  StartLog();
  if (EnableDebugPrivilege() != 0) VLOG_ERROR("Init, EnableDebugPrivilege failed ");
  m_NewProductRead = false;
  m_VerifiedInstallFolder.clear();
  m_PackagesRefused = false;
  // The folder is made anew: an earlier Init's program copy must not be written into it meanwhile.
  WaitForSetupFiles();
  const int created = CreateTempInstallDir(kWorkFolderName);
  if (created != 0) {
    VLOG_ERROR("Init, CreateTempInstallDir failed %d", created);
    return -1;
  }
  VLOG_INFO("Init, CreateTempInstallDir success, path %S", m_TempInstallDir.c_str());
  record->tempDir = m_TempInstallDir;
  ExtractSetupPackage(record->mode);

  ProductConfig* product = nullptr;
  if (IsInstallMode(record->mode)) {
    if (PrepareInstall(*record) != 0) return -2;
    product = &m_pUpdateEng->newProduct;
  } else if (IsUninstallMode(record->mode)) {
    if (PrepareUninstall(*record) != 0) return -2;
    product = &m_pUpdateEng->installedProduct;
  }
  if (product && JobModeFor(product->type, record->mode) != record->mode) {
    VLOG_INFO("Init, the product is of the web type, mode %d becomes a silent web install", record->mode);
    record->mode = JobModeFor(product->type, record->mode);
  }
  return 0;
}

void ZQPM::StartLog() {
  SYSTEMTIME now = {};
  GetLocalTime(&now);
  std::wstring folder = TempPath();
  if (folder.empty() || folder.back() != L'\\') folder += L"\\";
  folder += L"WJInstallLog\\";
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  wchar_t path[MAX_PATH] = {};
  swprintf(path, MAX_PATH, L"%lsWJInstall_%4d%02d%02d_%02d%02d%02d.log", folder.c_str(), now.wYear, now.wMonth,
           now.wDay, now.wHour, now.wMinute, now.wSecond);
  vemtal::vlog::IVlogManager* log = vemtal::vlog::IVlogManager::getInstance();
  log->setLoggerPath(0, WideToUtf8(path).c_str());
  if (!m_LogStarted) m_LogStarted = log->start();
  log->setLoggerLevel(0, vemtal::vlog::LOG_LEVEL_TRACE);
}

void ZQPM::ExtractSetupPackage(int mode) {
  int result = 0;
  try {
    m_SetupPkg = &SetupPkg::GetInstance();
    // The window comes up while the program copy is written; WaitForSetupFiles waits for it.
    result = m_SetupPkg->ExtractSetupFilesProgramCopyBehind(m_TempInstallDir, m_ProductConfigPath);
  } catch (const KvException& e) {
    m_PackagesRefused = true;
    VLOG_ERROR("Init, the program's packages failed their check, code %d", e.code());
    result = e.code() < 0 ? e.code() : -1;
  }
  // An installed copy of the program carries no packages: an uninstall expects the failure.
  if (result != 0 && !IsUninstallMode(mode)) {
    VLOG_ERROR("Init, Test ExtractAllSetupFiles fail, nret %d err %d", result, static_cast<int>(GetLastError()));
  }
}

int ZQPM::WaitForSetupFiles() { return m_SetupPkg ? m_SetupPkg->WaitForProgramCopy() : 0; }

int ZQPM::PrepareInstall(OpePARAMEx& record) {
  record.resourceDir = record.tempDir + L"\\Setup";
  ProductConfig& product = m_pUpdateEng->newProduct;
  ResetProduct(product);
  if (GetProductConfigInfo(product, record.tempDir, {}) != 0) {
    VLOG_ERROR("Init, GetProductConfigInfo failed %d", static_cast<int>(GetLastError()));
    return -2;
  }
  record.regKeyPath = RegKeyPathOf(product.regKey);
  ApplyInstallPath(product.installPath, record);
  m_NewProductRead = true;
  VLOG_INFO("Init, OpePARAMEx::CMD_INSTALL ExtractAllSetupFiles success");
  return 0;
}

int ZQPM::PrepareUninstall(OpePARAMEx& record) {
  std::wstring programFolder;
  GetModuleDir(programFolder);
  record.installDir = programFolder;
  record.resourceDir = programFolder + L"\\Setup";
  const std::vector<std::wstring> names = ReadProductList(programFolder + L"\\package\\productlist.ini");
  ProductConfig& product = m_pUpdateEng->installedProduct;
  ResetProduct(product);
  if (GetProductConfigInfo(product, programFolder, names) != 0) {
    VLOG_ERROR("Init, GetProductConfigInfo failed %d", static_cast<int>(GetLastError()));
    return -2;
  }
  record.regKeyPath = RegKeyPathOf(product.regKey);
  GetRegInstallPath(record.installDir, record.regKeyPath);
  VLOG_INFO("Init, OpePARAMEx::CMD_UNINSTALL GetProductConfigName success");
  if (names.empty()) {
    VLOG_ERROR("Init, no product list in %S, the folder is not removed", programFolder.c_str());
  } else if (!IsSameFolder(record.installDir, programFolder)) {
    VLOG_ERROR("Init, InstallPath names %S, not the program's folder %S, the folder is not removed",
               record.installDir.c_str(), programFolder.c_str());
  } else {
    m_VerifiedInstallFolder = programFolder;
  }
  return 0;
}

int ZQPM::EnableDebugPrivilege() {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) return -1;
  UniqueHandle token(raw);
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, L"SeDebugPrivilege", &privileges.Privileges[0].Luid)) return -2;
  // ERROR_NOT_ALL_ASSIGNED still counts as done.
  if (!AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) return -3;
  return 0;
}

int ZQPM::CreateTempInstallDir(std::wstring name) {
  m_TempInstallDir = TempPath() + name;
  DeleteDirectoryTree(m_TempInstallDir, {});
  return static_cast<int>(CreateDirectoryTree(m_TempInstallDir));
}

void ZQPM::GetModuleDir(std::wstring& out) { out = SelfFolder(); }

int ZQPM::GetRegInstallPath(std::wstring& out, std::wstring keyPath) {
  ReadRegValue(keyPath, L"InstallPath", out);
  return 0;
}

std::vector<std::wstring> ZQPM::ReadProductList(std::wstring path) {
  std::vector<std::wstring> names;
  UINT count = GetPrivateProfileIntW(L"products", L"count", 0, path.c_str());
  if (count > kMaxProductListCount) {
    VLOG_WARN("ReadProductList, count %u out of range in %S, reading %u keys", count, path.c_str(),
              kMaxProductListCount);
    count = kMaxProductListCount;
  }
  for (UINT i = 1; i <= count; ++i) {
    const std::wstring key = L"product" + std::to_wstring(i);
    wchar_t value[128] = {};
    GetPrivateProfileStringW(L"products", key.c_str(), L"", value, 128, path.c_str());
    if (value[0]) names.emplace_back(value);
  }
  return names;
}

int ZQPM::GetProductConfigInfo(ProductConfig& product, const std::wstring& folder, std::vector<std::wstring> names) {
  if (names.empty()) {
    const std::wstring path = folder + L"\\package\\" + m_ProductConfigPath;
    if (ParseProductConfig(&m_UIPrompt, path, product) != 1) {
      VLOG_ERROR("GetProductConfigInfo, ParseProductConfig fail, m_ProductConfigPath %S", m_ProductConfigPath.c_str());
      return -1;
    }
    VLOG_INFO("GetProductConfigInfo, ParseProductConfig complete, m_ProductConfigPath %S", m_ProductConfigPath.c_str());
    return 0;
  }
  for (const std::wstring& name : names) {
    const std::wstring path = folder + L"\\package\\" + name;
    if (ParseProductConfig(&m_UIPrompt, path, product) != 1) {
      VLOG_ERROR("GetProductConfigInfo, ParseProductConfig fail, ProductConfigPath %S", path.c_str());
      return -1;
    }
    VLOG_INFO("GetProductConfigInfo, ParseProductConfig complete, ProductConfigPath %S", path.c_str());
  }
  return 0;
}

int ZQPM::LoadComponentConfigs(OpePARAMEx* record, ProductConfig& product) {
  product.productFolder = record->installDir;
  product.sourceFolder = product.productFolder + L"\\" + kWorkFolderName;
  const std::wstring list = product.ComponentListText();
  Report(ProgressStep::kParsePackage, 5);
  const int mode = record->mode;
  std::wstring base;
  if (IsInstallMode(mode)) {
    base = record->tempDir;
  } else if (IsUninstallMode(mode) || mode == OpePARAMEx::CMD_WEB_INSTALL ||
             mode == OpePARAMEx::CMD_WEB_SILENT_INSTALL) {
    base = record->installDir;
  }
  if (!base.empty()) {
    const DWORD attributes = GetFileAttributesW((base + L"\\").c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && attributes != 0) product.configFolder = base + L"\\";
  }
  if (product.ParseComponentConfigs(list) != 0) {
    VLOG_ERROR("LoadComponentConfigs, a component configuration cannot be read, list %S", list.c_str());
    return -1;
  }
  const SystemInfo& system = SystemInfo::GetInstance();
  product.FilterByOsPlatform(WideToAnsi(system.VersionText()), WideToAnsi(system.Architecture()));
  return 0;
}
