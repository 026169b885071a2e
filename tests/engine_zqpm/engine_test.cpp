// The engine object without packages: the dispatcher, the refusal of an unprepared
// install, the log operation, and the preparation steps that need no setup package.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "common/log/vlog.h"
#include "engine/job/install_paths.h"
#include "engine/parser/product_config.h"
#include "engine/zqpm/zqpm.h"
#include "zqpm_test_support.h"

using zqtest::RecordingPrompt;
using zqtest::TempFolder;
using Events = std::vector<std::string>;

namespace {

// Detaches the window when the test ends, whatever happened.
struct Registered {
  explicit Registered(IInstallUIPromptEx* window) { ZQPM::GetInstance()->SetUIPrompt(window); }
  ~Registered() { ZQPM::GetInstance()->SetUIPrompt(nullptr); }
};

OpePARAMEx Record(int mode, const std::wstring& folder, bool worker) {
  OpePARAMEx record;
  record.mode = mode;
  record.installDir = folder;
  record.useWorkerThread = worker;
  return record;
}

void CallLog(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  ZQPM::GetInstance()->Log(level, format, args);
  va_end(args);
}

}  // namespace

TEST(Dispatcher, TheModeChoosesTheJobAndAnUnpreparedInstallIsRefused) {
  TempFolder folder;
  const std::wstring target = folder / L"product";
  RecordingPrompt window;
  Registered registered(&window);
  ZQPM* engine = ZQPM::GetInstance();
  // Modes without a job: nothing runs, nothing is reported.
  for (int mode : {OpePARAMEx::CMD_UPDATE, OpePARAMEx::CMD_NONE}) {
    OpePARAMEx record = Record(mode, target, false);
    EXPECT_EQ(engine->Install(&record), 0);
    EXPECT_EQ(engine->Uninstall(&record), 0);
    EXPECT_EQ(engine->WebInstall(&record), 0);
  }
  EXPECT_TRUE(window.Events().empty());
  // Without Init no description was read: every entry refuses the install job of mode 0 or
  // 3 with the job's result and a message, and writes nothing.
  OpePARAMEx install = Record(OpePARAMEx::CMD_SILENT_INSTALL, target, false);
  EXPECT_EQ(engine->Install(&install), kJobProductNotRead);
  install.mode = OpePARAMEx::CMD_INSTALL;
  EXPECT_EQ(engine->Uninstall(&install), kJobProductNotRead);
  EXPECT_EQ(engine->WebInstall(&install), kJobProductNotRead);
  EXPECT_EQ(engine->Install(nullptr), kJobNotStarted);
  EXPECT_EQ(window.Events(), (Events{"M 安装失败 0", "M 安装失败 0", "M 安装失败 0"}));
  EXPECT_FALSE(zqtest::Exists(target));
}

TEST(Dispatcher, AWorkerRunsOnItsOwnCopyAndOneJobRunsAtATime) {
  TempFolder folder;
  RecordingPrompt window;
  HANDLE reported = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD reportingThread = 0;
  window.onEvent = [&](const std::string&) {
    reportingThread = GetCurrentThreadId();
    SetEvent(reported);
    WaitForSingleObject(release, 30000);
  };
  Registered registered(&window);
  ZQPM* engine = ZQPM::GetInstance();
  {
    auto record = std::make_unique<OpePARAMEx>(Record(OpePARAMEx::CMD_INSTALL, folder / L"product", true));
    EXPECT_EQ(engine->Install(record.get()), 0);
    record->mode = OpePARAMEx::CMD_NONE;  // the window changes and drops its record at once
  }
  ASSERT_EQ(WaitForSingleObject(reported, 30000), WAIT_OBJECT_0);
  EXPECT_NE(reportingThread, GetCurrentThreadId());
  // The first job still runs (its report is in the window): a second one is refused.
  OpePARAMEx second = Record(OpePARAMEx::CMD_SILENT_INSTALL, folder / L"product", false);
  EXPECT_EQ(engine->Install(&second), kJobNotStarted);
  SetEvent(release);
  // Once the worker has ended, jobs run again.
  window.onEvent = nullptr;
  int result = kJobNotStarted;
  for (int i = 0; i < 300 && result == kJobNotStarted; ++i) {
    Sleep(20);
    result = engine->Install(&second);
  }
  EXPECT_EQ(result, kJobProductNotRead);
  EXPECT_EQ(window.Events(), (Events{"M 安装失败 0", "M 安装失败 0"}));
  CloseHandle(reported);
  CloseHandle(release);
}

TEST(EngineLog, WritesLevelsZeroToSixTextUnchangedAndNothingElse) {
  TempFolder folder;
  vemtal::vlog::IVlogManager* log = vemtal::vlog::IVlogManager::getInstance();
  ASSERT_TRUE(log->setLoggerPath(0, zqtest::Utf8(folder / L"logs").c_str()));
  log->start();
  log->setLoggerLevel(0, 0);
  CallLog(2, "Window, %s and %d", "100%d %s", 5);
  CallLog(0, "Window, trace %S", L"游戏");
  CallLog(6, "Window, fatal");
  CallLog(7, "Window, level seven");
  CallLog(-1, "Window, level minus one");
  ASSERT_TRUE(log->drain());
  std::string text;
  for (const std::wstring& file : zqtest::ListFiles(folder / L"logs"))
    text += zqtest::ReadFileBytes(folder / L"logs\\" + file);
  EXPECT_NE(text.find("Window, 100%d %s and 5"), std::string::npos) << text;
  EXPECT_NE(text.find("Window, trace 游戏"), std::string::npos) << text;
  EXPECT_NE(text.find("Window, fatal"), std::string::npos) << text;
  EXPECT_EQ(text.find("level seven"), std::string::npos);
  EXPECT_EQ(text.find("level minus one"), std::string::npos);
  log->stop();
}

TEST(EnginePreparation, ProductListIsReadInKeyOrderAndBounded) {
  TempFolder folder;
  ZQPM* engine = ZQPM::GetInstance();
  const std::wstring list = folder / L"productlist.ini";
  zqtest::WriteFileBytes(list, "[products]\r\ncount=3\r\nproduct1=a.config\r\nproduct2=\r\nproduct3=c.config\r\n");
  EXPECT_EQ(engine->ReadProductList(list), (std::vector<std::wstring>{L"a.config", L"c.config"}));
  zqtest::WriteFileBytes(list, "[PRODUCTS]\r\nCount=2\r\nproduct1=\r\nproduct2=b.config\r\n");
  EXPECT_EQ(engine->ReadProductList(list), (std::vector<std::wstring>{L"b.config"}));
  // A damaged count neither loops for billions of keys nor loses the names present.
  zqtest::WriteFileBytes(list, "[products]\r\ncount=-1\r\nproduct1=a.config\r\n");
  EXPECT_EQ(engine->ReadProductList(list), (std::vector<std::wstring>{L"a.config"}));
  zqtest::WriteFileBytes(list, "[products]\r\ncount=4000000000\r\nproduct1=a.config\r\nproduct64=z.config\r\n");
  EXPECT_EQ(engine->ReadProductList(list), (std::vector<std::wstring>{L"a.config", L"z.config"}));
  EXPECT_TRUE(engine->ReadProductList(folder / L"missing.ini").empty());
}

TEST(EnginePreparation, DescriptionsFoldersAndKeys) {
  TempFolder folder;
  ZQPM* engine = ZQPM::GetInstance();
  RecordingPrompt window;
  Registered registered(&window);
  zqtest::WriteFileBytes(
      folder / L"package\\a.config",
      "<ProductRoot type=\"OffLine\"><ProductInfo><Components><Component name=\"A\" config=\"a.config\"/>"
      "</Components></ProductInfo><InstallInfo Path=\"Games\"/></ProductRoot>");
  zqtest::WriteFileBytes(
      folder / L"package\\b.config",
      "<ProductRoot type=\"web\"><ProductInfo><Components><Component name=\"B\" config=\"b.config\"/>"
      "</Components></ProductInfo><InstallInfo RegKey=\"HKCU\\Software\\B\"/></ProductRoot>");
  // Every listed description reads into the same product; the list text ends with a comma.
  ProductConfig product;
  ASSERT_EQ(engine->GetProductConfigInfo(product, folder.path(), {L"a.config", L"b.config"}), 0);
  EXPECT_EQ(product.ComponentListText(), L"a.config,b.config,");
  EXPECT_EQ(RegKeyPathOf(product.regKey), L"HKCU\\Software\\B");
  EXPECT_EQ(JobModeFor(product.type, OpePARAMEx::CMD_SILENT_INSTALL), OpePARAMEx::CMD_WEB_SILENT_INSTALL);
  EXPECT_EQ(JobModeFor(product.type, OpePARAMEx::CMD_UNINSTALL), OpePARAMEx::CMD_WEB_SILENT_INSTALL);
  EXPECT_EQ(JobModeFor(product.type, OpePARAMEx::CMD_UPDATE), OpePARAMEx::CMD_UPDATE);
  ProductConfig offline;
  EXPECT_EQ(engine->GetProductConfigInfo(offline, folder.path(), {L"a.config"}), 0);
  EXPECT_EQ(RegKeyPathOf(offline.regKey), L"HKLM\\Software\\TamselPLVV2");
  EXPECT_EQ(JobModeFor(offline.type, OpePARAMEx::CMD_INSTALL), OpePARAMEx::CMD_INSTALL);
  EXPECT_EQ(engine->GetProductConfigInfo(offline, folder.path(), {L"a.config", L"missing.config"}), -1);
  EXPECT_EQ(engine->GetProductConfigInfo(offline, folder.path(), {}), -1);  // no "Product.config" here

  // A component configuration that cannot be read makes the load fail.
  OpePARAMEx record = Record(OpePARAMEx::CMD_INSTALL, folder / L"product", false);
  record.tempDir = folder.path();
  zqtest::WriteFileBytes(folder / L"package\\b.config", "<ComponentRoot");
  EXPECT_EQ(engine->LoadComponentConfigs(&record, product), -1);
  EXPECT_EQ(product.configFolder, folder.path() + L"\\");
  EXPECT_EQ(product.sourceFolder, folder / L"product\\~ZQSetup");
  EXPECT_EQ(window.Events(), (Events{"P 6 5 "}));

  // Install folder and sub-folder from the description's Path.
  struct Case {
    const wchar_t* path;
    const wchar_t* folder;
    const wchar_t* subFolder;
  } cases[] = {
      {L"\\Games\\App", L"C:\\Program Files (x86)\\Games\\App", L"\\Games\\App"},
      {L"/Games", L"C:\\Program Files (x86)\\Games", L"/Games"},
      {L"Games", L"C:\\Program Files (x86)\\Games", L"\\Games"},
      {L"", L"D:\\Chosen", L"\\Orvenna\\PelluvoV2"},
  };
  for (const Case& c : cases) {
    OpePARAMEx paths = Record(OpePARAMEx::CMD_INSTALL, L"D:\\Chosen", false);
    ApplyInstallPath(c.path, paths);
    EXPECT_EQ(paths.installDir, c.folder);
    EXPECT_EQ(paths.installSubDir, c.subFolder);
  }
  EXPECT_EQ(InstallFolderOf(L"D:\\Games\\\\"), L"D:\\Games");
  EXPECT_EQ(InstallFolderOf(L"d:\\"), L"d:");
  EXPECT_EQ(InstallFolderOf(L"\\\\server\\share\\app"), L"\\\\server\\share\\app");
  for (const wchar_t* refused : {L"", L"Games\\App", L"\\Games", L"D:Games", L"\\\\\\x"}) {
    EXPECT_EQ(InstallFolderOf(refused), L"") << testing::PrintToString(std::wstring(refused));
  }
  EXPECT_EQ(FileNameOf(L"setup.exe"), L"setup.exe");
  EXPECT_EQ(FileNameOf(L"C:\\a b\\游戏 setup.exe"), L"游戏 setup.exe");
  EXPECT_EQ(FolderOf(L"setup.exe"), L"");
  EXPECT_EQ(engine->GetSelfFileName(), L"engine_zqpm_tests.exe");
}
