// The uninstall and web-install jobs through the engine object, end to end: each job runs in
// a child copy of this program placed where the real one runs (the installed
// "PackageManager.exe"; a setup named with product and channel tokens), the way start-up
// runs it: command line, ZQPM::Init, then the entry operation. The parent checks the system.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "e2e_support.h"
#include "engine/job/command_line.h"
#include "engine/job/install_paths.h"
#include "engine/zqpm/zqpm.h"
#include "net_test_support.h"
#include "zqpm_test_support.h"

using namespace zqtest;
using nettest::FakeUpdateService;
using nettest::steps::FileReply;
using nettest::steps::JsonReply;

namespace {

const wchar_t kChildVariable[] = L"ZQ_E2E_CHILD";
const wchar_t kClientName[] = L"Tamsel\u6e38\u620fPelluvo.exe";
const char kPackageName[] = "TamselPelluvo_full.exe";

std::wstring Variable(const wchar_t* name) {
  wchar_t value[256] = {};
  const DWORD n = GetEnvironmentVariableW(name, value, 256);
  return n < 256 ? value : L"";
}

std::wstring SelfPath() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return path;
}

// Runs program with a gtest filter (its output joins ours) and gives its exit code, -1 when
// it cannot be started, does not end within two minutes or does not run to its end.
int RunChild(const std::wstring& program, const std::wstring& test) {
  testsupport::ChildEndFile end;
  std::wstring line = L"\"" + program + L"\" --gtest_filter=" + test;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
    ADD_FAILURE() << "CreateProcess " << Utf8(program) << " failed, err " << GetLastError();
    return -1;
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!end.Reached()) ADD_FAILURE() << Utf8(program) << " did not run to its end";
  return end.Reached() ? static_cast<int>(code) : -1;
}

// Sets an environment variable for the child processes started while it lives.
class ChildVariable {
 public:
  ChildVariable(const wchar_t* name, const std::wstring& value) : name_(name) {
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~ChildVariable() { SetEnvironmentVariableW(name_, nullptr); }

 private:
  const wchar_t* name_;
};

// A child test runs only when its parent asked for it.
#define REQUIRE_CHILD(role) \
  if (Variable(kChildVariable) != role) GTEST_SKIP() << "run by its parent test only"

// The record as start-up leaves it for a command line, the silent job run in place.
OpePARAMEx Started(const wchar_t* commandLine) {
  OpePARAMEx record;
  EXPECT_EQ(ParseCommandLine(commandLine, record), 0);
  EXPECT_EQ(ZQPM::GetInstance()->Init(&record), 0);
  record.useWorkerThread = false;
  return record;
}

class JobsE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    if (Variable(kChildVariable).empty()) CleanInstalledTraces();
  }
  void TearDown() override {
    ZQPM::GetInstance()->SetUIPrompt(nullptr);
    if (Variable(kChildVariable).empty()) CleanInstalledTraces();
  }
};

}  // namespace

TEST_F(JobsE2E, SilentUninstallRemovesTheProductAndStopsItsClient) {
  TempFolder folder;
  const std::wstring target = folder / L"Pelluvo \u6e38\u620f";
  OpePARAMEx install = Started(L"/silent /norestart");
  install.installDir = target;
  ASSERT_EQ(ZQPM::GetInstance()->Install(&install), 0);
  const std::wstring desktopLink = ShellFolder(CSIDL_DESKTOP) + L"\\" + ProductName() + L".lnk";
  const std::wstring menuFolder = ShellFolder(CSIDL_PROGRAMS) + L"\\" + ProductName();
  ASSERT_TRUE(Exists(desktopLink));
  ASSERT_TRUE(KeyExists32(HKEY_LOCAL_MACHINE, kComMarkerKey));
  ASSERT_TRUE(KeyExists32(HKEY_LOCAL_MACHINE, kUninstallKey));

  // The client runs while the installed uninstaller is started.
  std::wstring clientLine = L"\"" + target + L"\\" + kClientName + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION client = {};
  ASSERT_TRUE(CreateProcessW(nullptr, &clientLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &client));
  CloseHandle(client.hThread);
  for (int i = 0; i < 200 && !FindWindowW(L"TamselPelluvoClient", nullptr); ++i) Sleep(50);
  ASSERT_TRUE(FindWindowW(L"TamselPelluvoClient", nullptr));

  {
    ChildVariable role(kChildVariable, L"uninstall");
    EXPECT_EQ(RunChild(target + L"\\PackageManager.exe", L"JobsE2E.UninstallChild"), 0);
  }
  // Stopped by its "OnStopApp" rule.
  EXPECT_EQ(WaitForSingleObject(client.hProcess, 10000), WAIT_OBJECT_0);
  CloseHandle(client.hProcess);

  // Only the running uninstaller's own file stays.
  EXPECT_EQ(ListFiles(target), (std::vector<std::wstring>{L"PackageManager.exe"}));
  EXPECT_FALSE(Exists(target + L"\\package"));
  EXPECT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, kComMarkerKey));  // the helper's DllUnregisterServer ran
  EXPECT_FALSE(Exists(desktopLink));
  EXPECT_FALSE(Exists(QuickLaunchPinDir() + L"\\" + ProductName() + L".lnk"));
  EXPECT_FALSE(Exists(menuFolder + L"\\" + ProductName() + L".lnk"));
  EXPECT_FALSE(Exists(menuFolder + L"\\" + UninstallLinkName() + L".lnk"));
}

// The installed "PackageManager.exe" started with "/unsilent".
TEST_F(JobsE2E, UninstallChild) {
  REQUIRE_CHILD(L"uninstall");
  OpePARAMEx record = Started(L"/unsilent");
  ASSERT_EQ(record.mode, OpePARAMEx::CMD_SILENT_UNINSTALL);
  EXPECT_EQ(record.installDir, FolderOf(SelfPath()));
  EXPECT_EQ(record.regKeyPath, L"HKLM\\Software\\TamselPLVV2");
  RecordingPrompt window;
  ZQPM::GetInstance()->SetUIPrompt(&window);
  EXPECT_EQ(ZQPM::GetInstance()->Uninstall(&record), 0);
  const std::vector<std::string> events = window.Events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "P 6 5 ");
  EXPECT_EQ(events.back(), "F text 0");
}

TEST_F(JobsE2E, SilentWebInstallRunsTheFoundPackageAndReportsItsExitCode) {
  TempFolder folder;
  const std::wstring packagePath = nettest::BuildDir() + L"\\bin\\jobs_package.exe";
  const std::string package = ReadFileBytes(packagePath);
  ASSERT_GT(package.size(), 0u);
  FakeUpdateService files({{"/pkg/setup", {FileReply(nettest::UnixPath(packagePath))}}});
  const nlohmann::json block = {{"ver_range", "1-1"},
                                {"url", files.Url("/pkg/setup")},
                                {"md5", nettest::Md5Hex(package)},
                                {"size", package.size()},
                                {"fileName", kPackageName}};
  FakeUpdateService search(
      {{"/soft/update/search", {JsonReply({{"code", 0}, {"data", {{"version", "1"}, {"blockurl", {block}}}}})}}});
  ASSERT_TRUE(files.Started() && search.Started());

  // The setup as the product's site names it: "<product>#<channel>#<type>.exe".
  const std::wstring setup = folder / L"TamselPelluvo#orvenna__sample#1.exe";
  ASSERT_TRUE(CopyFileW(SelfPath().c_str(), setup.c_str(), FALSE));
  const std::wstring record = folder / L"package.record";
  ChildVariable host(L"TAMSEL_UPDATE_HOST", nettest::Wide(search.Host()));
  ChildVariable role(kChildVariable, L"websilent");
  ChildVariable recordFile(L"JOBS_PACKAGE_RECORD", record);
  for (const wchar_t* exitCode : {L"0", L"7"}) {
    ChildVariable packageExit(L"JOBS_PACKAGE_EXIT", exitCode);
    EXPECT_EQ(RunChild(setup, L"JobsE2E.WebInstallChild"), 0) << "package exit code " << Utf8(exitCode);
  }

  const auto requests = search.RequestsTo("/soft/update/search");
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0]["query"], "channel=orvenna__sample&product=TamselPelluvo&ver=1&type=1");
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  EXPECT_EQ(ReadFileBytes(std::wstring(temp) + L"~ZQDownload\\" + Wide(kPackageName)), package);
  EXPECT_EQ(ReadFileBytes(record), "/silent|/norestart\n/silent|/norestart\n");
}

// The token-named setup started with "/websilent"; the package exits with JOBS_PACKAGE_EXIT.
TEST_F(JobsE2E, WebInstallChild) {
  REQUIRE_CHILD(L"websilent");
  OpePARAMEx record = Started(L"/websilent");
  ASSERT_EQ(record.mode, OpePARAMEx::CMD_WEB_SILENT_INSTALL);
  RecordingPrompt window;
  ZQPM::GetInstance()->SetUIPrompt(&window);
  const bool succeeds = Variable(L"JOBS_PACKAGE_EXIT") == L"0";
  EXPECT_EQ(ZQPM::GetInstance()->WebInstall(&record), succeeds ? 0 : -4);
  const std::vector<std::string> events = window.Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events[events.size() - 2], "X 29 0/100 100 ");
  EXPECT_EQ(events.back(), succeeds ? "F null 0" : "M 安装失败 0");
}
