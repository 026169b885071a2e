// The install engine: one object per process that prepares a job and runs it, on a worker
// thread or in place, reporting to the window registered with SetUIPrompt.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdarg>
#include <string>
#include <vector>

#include "engine/job/job_record.h"
#include "engine/jobs/file_size_text.h"
#include "engine/jobs/job_services.h"
#include "engine/zqpm/prompt_relay.h"
#include "engine/zqpm/step_text.h"

class CUpdateEngEx;
class ProductConfig;
class SetupPkg;
struct PackageInfo;
struct UpdateInfo;

// Results of the jobs and of the dispatcher.
enum JobResult {
  kJobDone = 0,
  kJobNoWorkFolder = -1,      // also: no absolute install folder, or "_setup.ini" names no description
  kJobNoProgramPackage = -2,  // the program package, or the setup package's program copy, cannot be extracted
  kJobProductNotRead = -3,    // the description or a component configuration was not read
  kJobFilesNotPlaced = -4,    // a product or configuration file cannot be put in place
  kJobNotStarted = -5,        // no record, a job is running already, or no worker thread
};

class IZQPM {
 public:
  virtual int Init(OpePARAMEx* record) = 0;
  virtual int Install(OpePARAMEx* record) = 0;
  virtual int RestartApp(OpePARAMEx* record) = 0;
  virtual int StartByOther(OpePARAMEx* record) = 0;
  virtual int GetFileSizeText(FileSizeInfo* info, std::wstring path) = 0;
  virtual int GetUninstallTypeList(void* unused) = 0;
  virtual int Uninstall(OpePARAMEx* record) = 0;
  virtual int DelSelf(OpePARAMEx* record) = 0;
  virtual int WebInstall(OpePARAMEx* record) = 0;
  virtual void SetUIPrompt(IInstallUIPromptEx* prompt) = 0;
  virtual void Log(int level, const char* format, va_list args) = 0;
  virtual ~IZQPM() = default;
};

class ZQPM final : public IZQPM {
 public:
  // The process-wide engine, made on first use (COM is initialised on that thread).
  static ZQPM* GetInstance();

  // Prepares the job that record->mode names and completes the record: log, work folder
  // "~ZQSetup" under %TEMP%, setup package, product description, folders and registry key
  // path. 0; -1 work folder not made; -2 description not read (an install then refuses).
  int Init(OpePARAMEx* record) override;

  // The job entries: all three run the job that the record's mode names (0 and 3 install);
  // a mode without a job returns 0. With the record's worker flag the job runs on a thread
  // of its own with a copy of the record and 0 is returned at once (kJobNotStarted when no
  // thread can be started); otherwise the job runs in place and its result is returned.
  // One job at a time: a second one is refused with kJobNotStarted while the first runs.
  int Install(OpePARAMEx* record) override;
  int Uninstall(OpePARAMEx* record) override;
  int WebInstall(OpePARAMEx* record) override;

  // The install window's quick start: the new product's "OnRestartApp" rules when the record
  // allows a restart. 0.
  int RestartApp(OpePARAMEx* record) override;
  // The web-install window's quick start of the installed client. 0; -1 no install folder
  // registered; -2 the installed description cannot be read.
  int StartByOther(OpePARAMEx* record) override;
  // Size and size text of the file at path (the program's own when empty). 0; -1 not queried.
  int GetFileSizeText(FileSizeInfo* info, std::wstring path) override;
  // Hands the update service's uninstall reasons to the registered window. 0; -2 no reply.
  int GetUninstallTypeList(void* unused) override;
  // After this process's completed uninstall: deletes the install folder and the program's
  // own file and ends the process. Otherwise deletes nothing and returns -1.
  int DelSelf(OpePARAMEx* record) override;

  // Registers the window that receives the reports of later and running jobs (null: none).
  // Waits for a report in flight to the previous window; none reaches it afterwards.
  void SetUIPrompt(IInstallUIPromptEx* prompt) override;

  // One log line on the main logger at level 0 (trace) to 6 (fatal); other levels write
  // nothing.
  void Log(int level, const char* format, va_list args) override;

  // The program's own file name, without its folder.
  std::wstring GetSelfFileName();

  // Thread procedure of a job's worker: takes ownership of the record copy it is given.
  static unsigned __stdcall InstallProc(void* record);

  // --- Preparation shared by the jobs ---
  // 0, -1 token not opened, -2 privilege not looked up, -3 not adjusted.
  int EnableDebugPrivilege();
  // Recreates %TEMP% + name empty (m_TempInstallDir): 0 or the Win32 error.
  int CreateTempInstallDir(std::wstring name);
  // The running program's folder, without a trailing backslash.
  void GetModuleDir(std::wstring& out);
  // "InstallPath" under keyPath into out; out unchanged when it cannot be read. 0.
  int GetRegInstallPath(std::wstring& out, std::wstring keyPath);
  // The description names of a "productlist.ini", empty ones skipped.
  std::vector<std::wstring> ReadProductList(std::wstring path);
  // Reads folder\package\<name> for each name (none: m_ProductConfigPath) into product.
  // 0, or -1 at the first description that cannot be read.
  int GetProductConfigInfo(ProductConfig& product, const std::wstring& folder, std::vector<std::wstring> names);
  // Sets the product's folders from the record, loads its component configurations and
  // filters them for the running system; reports step 6. 0, or -1 when a component
  // configuration cannot be read (the product must not be installed as it stands).
  int LoadComponentConfigs(OpePARAMEx* record, ProductConfig& product);

  // --- Install job ---
  // Installs into the record's install folder (an absolute path). 0 done; a negative
  // JobResult. Every stop reports "安装失败" through OnMessage; the checks of the description,
  // its components and the folder come before anything is written.
  int In_Install(OpePARAMEx* request);
  // The product description and every component configuration into <product>\package.
  // 0, or the first failure of CUpdateEngEx::UpdateFile.
  int CopyAllConfigFiles();
  int CopyProductConfigFiles();
  // "productlist.ini" in <install folder>\package, unless it already counts a description.
  void WriteProductList(OpePARAMEx* record);
  // The entry in the list of installed programs. 0, or the registry error.
  int CreateUninstallRegInfo();

  // --- Uninstall and web-install jobs (modes 1 and 4, 5 and 6) ---
  int In_Uninstall(OpePARAMEx* request);
  int In_WebInstall(OpePARAMEx* request);
  // The search query of the program's own file name ("<product>#<channel>#<type digit>...").
  // 0; -1 its path holds neither "\" nor "/"; -2 no first "#" token; -3 no second one.
  int ParseFileName(UpdateInfo& info);
  // The newest full setup package of the program's product on the update service. 0 found;
  // -1 the file name cannot be parsed; -2 empty reply; -3 JSON null; -4 "code" not 0 or the
  // fields missing; -6 no complete entry for the version (or one that is not a plain file name).
  int GetDownloadUrl(PackageInfo& package);
  // The downloader's progress callback: OnProgressEx(8, received, total, speed text, 90) to
  // the window registered with the engine.
  static void OnDownloadProgress(unsigned int total, unsigned int received, double speed);
  // Posts the record's feedback (a JSON object, sent as UTF-8) to "/soft/uninstall/confirmForm".
  // 0 no feedback or accepted ("code" 0); -1 the POST failed twice; -2 the reply is JSON null;
  // -3 "code" is not 0; -4 the reply is not JSON or has no numeric "code".
  int CommitInfo(const OpePARAMEx* record);
  // Deletes the key that the registry path text names, with its values and subkeys. 0 when
  // deleted, 1 when not.
  int DeleteRegInfo(std::wstring keyPath);

  const std::wstring& TempInstallDir() const { return m_TempInstallDir; }
  // Init leaves the setup package's program copy being written into the work folder: every
  // user of that folder's files waits for it first. 0 once it is in place (or none was
  // started), else the code of its failed extraction.
  int WaitForSetupFiles();
  // Init found the packages of the program's own file damaged (they failed their check).
  bool PackagesRefused() const { return m_PackagesRefused; }

 private:
  ZQPM();
  ~ZQPM() override = default;

  // What the jobs outside this object need of it: the relay, the update engine, the
  // program's path and its preparation steps.
  JobServices Services();
  int Dispatch(OpePARAMEx* record, const char* failedText);
  int RunJob(OpePARAMEx& record);
  void StartLog();
  void ExtractSetupPackage(int mode);
  int PrepareInstall(OpePARAMEx& record);
  int PrepareUninstall(OpePARAMEx& record);
  int PrepareInstallJob(OpePARAMEx& job);
  int PutProductInPlace(OpePARAMEx& job);
  void RegisterProduct(const OpePARAMEx& job);
  void FinishInstall();
  int GetProductConfigName(const OpePARAMEx& record);
  bool WriteInstallReg();
  int InstallFailed(int result);
  void Report(int step, int percentDelta, const std::wstring& detail = std::wstring());

  PromptRelay m_UIPrompt;
  CUpdateEngEx* m_pUpdateEng = nullptr;
  std::wstring m_TempInstallDir;
  std::wstring m_ProductConfigPath = L"Product.config";
  std::wstring m_SelfFileName;
  bool m_NewProductRead = false;         // Init read the new product's description
  std::wstring m_VerifiedInstallFolder;  // JobServices::verifiedInstallFolder
  bool m_PackagesRefused = false;
  SetupPkg* m_SetupPkg = nullptr;  // the package reader once Init opened it
  bool m_LogStarted = false;
  std::atomic<bool> m_JobRunning{false};
};
