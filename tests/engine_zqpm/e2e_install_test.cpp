// Whole installs of the sample product from the packages appended to this test program
// (made by the package maker at build time), checked through the plain Windows API. These
// tests share the product's fixed keys and shortcuts and run one at a time.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <future>
#include <cstdio>
#include <string>
#include <vector>

#include "e2e_support.h"
#include "engine/job/command_line.h"
#include "engine/zqpm/zqpm.h"
#include "zqpm_test_support.h"

using namespace zqtest;
using Events = std::vector<std::string>;

namespace {

const wchar_t kUninstallRecordPath[] = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo";

std::wstring AnsiRoundTrip(const std::wstring& text) {
  char narrow[MAX_PATH * 2] = {};
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, narrow, sizeof(narrow), nullptr, nullptr);
  wchar_t wide[MAX_PATH * 2] = {};
  MultiByteToWideChar(CP_ACP, 0, narrow, -1, wide, MAX_PATH * 2);
  return wide;
}

int64_t WholeSeconds(int64_t ms) { return ms / 1000 * 1000; }

std::string Today() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  snprintf(text, sizeof(text), "%4d%02d%02d", now.wYear, now.wMonth, now.wDay);
  return text;
}

size_t LineCount(const std::wstring& path) {
  const std::string text = ReadFileBytes(path);
  if (text == "<missing>") return 0;
  size_t lines = 0;
  for (char c : text) lines += c == '\n';
  return lines;
}

class InstallE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    CleanInstalledTraces();
  }
  void TearDown() override {
    ZQPM::GetInstance()->SetUIPrompt(nullptr);
    CleanInstalledTraces();
  }

  // The record as start-up and Init leave it for a command line, with the folder the user picked.
  OpePARAMEx Prepared(const wchar_t* commandLine, const std::wstring& folder) {
    OpePARAMEx record;
    EXPECT_EQ(ParseCommandLine(commandLine, record), 0);
    EXPECT_EQ(ZQPM::GetInstance()->Init(&record), 0);
    record.installDir = folder;
    return record;
  }

  // Notes which run-rule markers exist at the reports that open and close the rule phases.
  void WatchMarkers(RecordingPrompt& window, const std::wstring& folder) {
    window.onEvent = [&window, folder](const std::string& line) {
      if (line.rfind("P 20 ", 0) == 0 || line.rfind("P 22 ", 0) == 0 || line.rfind("X 11 ", 0) == 0) {
        window.Note("markers post " + std::to_string(LineCount(folder + L"\\tools\\postinstall.log")) + " dll " +
                    std::to_string(LineCount(folder + L"\\dllcall.log")));
      }
    };
  }

  // The reports of a first install of the sample into folder, in order.
  Events ExpectedReports(const std::wstring& folder) {
    Events events = {"P 6 5 ", "P 3 5 ", "P 1 5 ", "P 4 5 "};
    const std::vector<ExpectedFile> files = ExpectedProductFiles();
    int placed = 0;
    for (const ExpectedFile& file : files) {
      if (file.timeMs < 0) continue;  // configurations come later
      events.push_back("X 9 " + std::to_string(++placed) + "/" + std::to_string(SampleFileRecordCount()) + " 50 " +
                       Utf8(file.installed));
    }
    const std::string root = Utf8(folder);
    Events rest = {"P 0 50 ",
                   "P 9 1 Product.config",
                   "P 9 1 ",
                   "P 9 1 ",
                   "P 20 5 ",
                   "markers post 0 dll 0",
                   "P 22 5 ",
                   "markers post 2 dll 0",
                   "X 11 0/1 5 " + root + "\\PelluvoHelper.dll",
                   "markers post 2 dll 1",
                   "P 11 5 "};
    events.insert(events.end(), rest.begin(), rest.end());
    return events;
  }

  // The reports after the COM servers: registry values, shortcuts, uninstall record, end.
  // With the record's Run-key flag the value under the Run key is written too; without its
  // desktop flag the desktop shortcut stays out.
  Events ExpectedTailReports(bool runKey, bool desktop) {
    Events events;
    const std::string total = "/" + std::to_string(SampleRegistryRecordCount()) + " 5 ";
    // Without the flag the keys are compared with the Run key, and reported, upper-cased.
    const std::string key = runKey ? "HKLM\\Software\\TamselPLVV2" : "HKLM\\SOFTWARE\\TAMSELPLVV2";
    const std::string settings = runKey ? "\\Settings" : "\\SETTINGS";
    for (int i = 1; i <= 14; ++i) events.push_back("X 13 " + std::to_string(i) + total + key + (i > 2 ? settings : ""));
    if (runKey) events.push_back("X 13 15" + total + "HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN");
    const std::string name = Utf8(ProductName());
    const std::string menu = Utf8(ShellFolder(CSIDL_PROGRAMS)) + "\\" + name + "\\";
    Events rest = {"P 13 5 ", "X 12 1/4 5 " + menu + name, "X 12 2/4 5 " + Utf8(QuickLaunchPinDir()) + "\\" + name,
                   "X 12 3/4 5 " + menu + Utf8(UninstallLinkName())};
    if (desktop) rest.push_back("X 12 4/4 5 " + Utf8(ShellFolder(CSIDL_DESKTOP)) + "\\" + name);
    rest.push_back("P 0 5 ");
    rest.push_back("P 14 5 HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo");
    rest.push_back("F text 0");
    events.insert(events.end(), rest.begin(), rest.end());
    return events;
  }

  void CheckInstalledProduct(const std::wstring& folder, bool runKey = false, bool desktop = true) {
    // The file tree: every product file with the staged bytes and the record's time, the
    // configurations, the product list and the rules' markers; no work folder left.
    std::vector<std::wstring> expectedTree = {L"dllcall.log", L"package\\productlist.ini", L"tools\\postinstall.log"};
    for (const ExpectedFile& file : ExpectedProductFiles()) {
      expectedTree.push_back(file.installed);
      const std::wstring installed = folder + L"\\" + file.installed;
      EXPECT_EQ(ReadFileBytes(installed), ReadFileBytes(StageDir() + L"\\" + file.staged)) << Utf8(file.installed);
      if (file.timeMs >= 0) {
        EXPECT_EQ(WriteTimeMs(installed), WholeSeconds(file.timeMs)) << Utf8(file.installed);
      }
    }
    std::sort(expectedTree.begin(), expectedTree.end());
    EXPECT_EQ(ListFiles(folder), expectedTree);
    const std::wstring list = folder + L"\\package\\productlist.ini";
    wchar_t name[64] = {};
    GetPrivateProfileStringW(L"products", L"product1", L"", name, 64, list.c_str());
    EXPECT_EQ(GetPrivateProfileIntW(L"products", L"count", 0, list.c_str()), 1u);
    EXPECT_EQ(std::wstring(name), L"Product.config");

    // Registry values in the 32-bit view; the one under the Run key only with its flag.
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kProductKey, L"InstallPath"), folder);
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kProductKey, L"version"), L"16.2.261206");
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kProductKey, L"ProductName"), ProductName());
    const std::wstring settings = std::wstring(kProductKey) + L"\\Settings";
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, settings, L"AutoLogin"), L"1");
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kRunKey, L"TamselPelluvo"),
              runKey ? L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2\\Tamsel\u6e38\u620fPelluvo.exe -autostart"
                     : L"<missing>");
    HKEY native = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProductKey, 0, KEY_READ | KEY_WOW64_64KEY, &native), ERROR_SUCCESS);
    if (native) RegCloseKey(native);

    // The uninstall record's seven values.
    const std::wstring uninstaller = folder + L"\\PackageManager.exe";
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), L"TamselPelluvo");
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion"), L"16.2.261206");
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize"),
              std::to_wstring(ProgramPackageBytes() / 1024));
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallDate"), Wide(Today()));
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"Orvenna");
    // Quoted: the folder may hold blanks.
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"),
              L"\"" + uninstaller + L"\" /uninstall");
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon"), uninstaller);

    // Shortcuts, read back through IShellLinkW.
    const std::wstring client = folder + L"\\Tamsel\u6e38\u620fPelluvo.exe";
    struct Link {
      std::wstring path, target, args;
    } links[] = {
        {ShellFolder(CSIDL_DESKTOP) + L"\\" + ProductName() + L".lnk", client, L""},
        {QuickLaunchPinDir() + L"\\" + ProductName() + L".lnk", client, L""},
        {ShellFolder(CSIDL_PROGRAMS) + L"\\" + ProductName() + L"\\" + ProductName() + L".lnk", client, L""},
        {ShellFolder(CSIDL_PROGRAMS) + L"\\" + ProductName() + L"\\" + UninstallLinkName() + L".lnk", uninstaller,
         L"-uninstall"},
    };
    EXPECT_EQ(Exists(links[0].path), desktop);
    for (const Link& link : links) {
      if (!desktop && link.path == links[0].path) continue;
      std::wstring target, args;
      ASSERT_TRUE(ReadShortcut(link.path, &target, &args)) << Utf8(link.path);
      // Wine keeps a link's target in the ANSI code page only.
      EXPECT_EQ(target, AnsiRoundTrip(link.target)) << Utf8(link.path);
      EXPECT_EQ(args, link.args) << Utf8(link.path);
    }

    // The COM server registered itself; the rules ran once each, AfterCopy before OnRegister.
    EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kComMarkerKey, L"Registered"), folder + L"\\PelluvoHelper.dll");
    EXPECT_EQ(ReadFileBytes(folder + L"\\tools\\postinstall.log"), "--phase AfterCopy\r\n--phase AfterCopy --user\r\n");
    EXPECT_EQ(LineCount(folder + L"\\dllcall.log"), 1u);
    EXPECT_FALSE(Exists(folder + L"\\~ZQSetup"));
    EXPECT_FALSE(Exists(ZQPM::GetInstance()->TempInstallDir()));
  }
};

}  // namespace

TEST_F(InstallE2E, SilentInstallInPlace) {
  TempFolder folder;
  const std::wstring target = folder / L"Pelluvo 游戏";
  OpePARAMEx record = Prepared(L"/silent /norestart", target);
  ASSERT_EQ(record.mode, OpePARAMEx::CMD_SILENT_INSTALL);
  EXPECT_EQ(record.regKeyPath, L"HKLM\\Software\\TamselPLVV2");
  EXPECT_EQ(record.installSubDir, L"\\Orvenna\\PelluvoV2");
  EXPECT_EQ(record.resourceDir, record.tempDir + L"\\Setup");
  EXPECT_TRUE(Exists(record.resourceDir + L"\\PackageManager.zip"));
  record.useWorkerThread = false;  // what the silent window does

  RecordingPrompt window;
  WatchMarkers(window, target);
  ZQPM::GetInstance()->SetUIPrompt(&window);
  EXPECT_EQ(ZQPM::GetInstance()->Install(&record), 0);
  const Events events = window.Events();
  Events expected = ExpectedReports(target);
  // The registry values, shortcuts and uninstall record follow; compared in full below.
  ASSERT_GE(events.size(), expected.size());
  EXPECT_EQ(Events(events.begin(), events.begin() + expected.size()), expected);
  Events tail(events.begin() + expected.size(), events.end());
  EXPECT_EQ(tail, ExpectedTailReports(false, true));
  CheckInstalledProduct(target);
}

TEST_F(InstallE2E, InstallOnAWorkerThreadWithTheWindowReplacedMidway) {
  TempFolder folder;
  const std::wstring target = folder / L"worker";
  OpePARAMEx record = Prepared(L"", target);
  ASSERT_EQ(record.mode, OpePARAMEx::CMD_INSTALL);
  ASSERT_TRUE(record.useWorkerThread);
  record.runKeyFlag = true;
  record.desktopShortcut = false;

  // The first window holds the job in its "AfterCopy" report until the second one has asked
  // to take over; the second then receives everything after it, the end included.
  RecordingPrompt first, second;
  HANDLE held = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  DWORD jobThread = 0;
  first.onEvent = [&](const std::string& line) {
    jobThread = GetCurrentThreadId();
    if (line.rfind("P 20 ", 0) != 0) return;
    SetEvent(held);
    WaitForSingleObject(release, 60000);
  };
  second.onEvent = [&](const std::string& line) {
    if (line.rfind("F ", 0) == 0) SetEvent(finished);
  };
  ZQPM::GetInstance()->SetUIPrompt(&first);
  EXPECT_EQ(ZQPM::GetInstance()->Install(&record), 0);
  record.installDir = L"C:\\nowhere";  // the window's record changes: the job has its own
  record.mode = OpePARAMEx::CMD_NONE;
  ASSERT_EQ(WaitForSingleObject(held, 120000), WAIT_OBJECT_0);
  EXPECT_NE(jobThread, GetCurrentThreadId());
  std::future<void> swap = std::async(std::launch::async, [&] { ZQPM::GetInstance()->SetUIPrompt(&second); });
  // The report to the first window is still running: the swap waits for it.
  EXPECT_EQ(swap.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  SetEvent(release);
  swap.get();
  ASSERT_EQ(WaitForSingleObject(finished, 120000), WAIT_OBJECT_0);

  Events events = first.Events();
  const Events later = second.Events();
  EXPECT_EQ(events.back(), "P 20 5 ");
  events.insert(events.end(), later.begin(), later.end());
  Events expected = ExpectedReports(target);
  expected.erase(std::remove_if(expected.begin(), expected.end(),
                                [](const std::string& line) { return line.rfind("markers", 0) == 0; }),
                 expected.end());
  const Events tail = ExpectedTailReports(true, false);
  expected.insert(expected.end(), tail.begin(), tail.end());
  EXPECT_EQ(events, expected);
  CheckInstalledProduct(target, true, false);
  CloseHandle(held);
  CloseHandle(release);
  CloseHandle(finished);
}

TEST_F(InstallE2E, ReinstallLeavesAFileInUseWaitingForTheRestart) {
  TempFolder folder;
  const std::wstring target = folder / L"again";
  OpePARAMEx record = Prepared(L"/silent", target);
  record.useWorkerThread = false;
  ASSERT_EQ(ZQPM::GetInstance()->Install(&record), 0);  // no window registered: runs all the same
  ASSERT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kProductKey, L"InstallPath"), target);

  // The user changed a file and holds it open (no sharing of delete or write); the product
  // list names another description.
  const std::wstring readme = target + L"\\docs\\readme.txt";
  WriteFileBytes(readme, "changed by the user");
  HANDLE open = CreateFileW(readme.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(open, INVALID_HANDLE_VALUE);
  const std::wstring list = target + L"\\package\\productlist.ini";
  WritePrivateProfileStringW(L"products", L"product1", L"Kept.config", list.c_str());

  OpePARAMEx again = Prepared(L"/silent", target);
  again.useWorkerThread = false;
  RecordingPrompt window;
  ZQPM::GetInstance()->SetUIPrompt(&window);
  EXPECT_EQ(ZQPM::GetInstance()->Install(&again), 0);
  CloseHandle(open);

  // Only the changed file was copied again; it waits beside the one in use.
  Events copies;
  for (const std::string& line : window.Events()) {
    if (line.rfind("X 9 ", 0) == 0) copies.push_back(line);
  }
  EXPECT_EQ(copies, (Events{"X 9 1/" + std::to_string(SampleFileRecordCount()) + " 50 docs\\readme.txt"}));
  EXPECT_EQ(window.Events().back(), "F text 0");
  EXPECT_EQ(ReadFileBytes(readme), "changed by the user");
  EXPECT_EQ(ReadFileBytes(readme + L".new"), ReadFileBytes(StageDir() + L"\\data\\readme.txt"));
  const std::wstring prefix = L"\\??\\" + target;
  bool pending = false;
  for (const auto& pair : PendingRenames()) {
    if (pair.first == prefix + L"\\docs\\readme.txt.new") {
      pending = true;
      EXPECT_EQ(pair.second, L"!" + prefix + L"\\docs\\readme.txt");
    }
  }
  EXPECT_TRUE(pending);
  DropPendingRenames(prefix);

  // The list of an earlier install stays.
  wchar_t name[64] = {};
  GetPrivateProfileStringW(L"products", L"product1", L"", name, 64, list.c_str());
  EXPECT_EQ(std::wstring(name), L"Kept.config");
}

TEST_F(InstallE2E, AFileThatCannotBePutInPlaceFailsTheInstall) {
  TempFolder folder;
  const std::wstring target = folder / L"blocked";
  WriteFileBytes(target + L"\\docs", "a file where the docs folder belongs");
  OpePARAMEx record = Prepared(L"/silent", target);
  record.useWorkerThread = false;
  RecordingPrompt window;
  ZQPM::GetInstance()->SetUIPrompt(&window);
  EXPECT_EQ(ZQPM::GetInstance()->Install(&record), kJobFilesNotPlaced);
  const Events events = window.Events();
  EXPECT_EQ(events.back(), "M 安装失败 0");
  EXPECT_EQ(std::count(events.begin(), events.end(), "F text 0"), 0);
  EXPECT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_EQ(ReadValue32(HKEY_LOCAL_MACHINE, kProductKey, L"InstallPath"), L"<missing>");
  EXPECT_FALSE(Exists(target + L"\\~ZQSetup"));
  EXPECT_FALSE(Exists(target + L"\\package\\productlist.ini"));
}

TEST_F(InstallE2E, UnusableInputRefusesTheInstallBeforeWriting) {
  TempFolder folder;
  const std::wstring target = folder / L"refused";
  OpePARAMEx record = Prepared(L"/silent", L"refused");
  record.useWorkerThread = false;
  RecordingPrompt window;
  ZQPM::GetInstance()->SetUIPrompt(&window);

  // A relative install folder (the user emptied or shortened the path field).
  EXPECT_EQ(ZQPM::GetInstance()->Install(&record), kJobNoWorkFolder);
  EXPECT_EQ(window.Events(), (Events{"M 安装失败 0"}));
  record.installDir = target;

  // "_setup.ini" naming no description: refused before anything is written.
  const std::wstring setupIni = record.tempDir + L"\\_setup.ini";
  const std::string original = ReadFileBytes(setupIni);
  WriteFileBytes(setupIni, "[Product]\r\nProduct=\r\n");
  EXPECT_EQ(ZQPM::GetInstance()->Install(&record), kJobNoWorkFolder);
  EXPECT_EQ(window.Events(), (Events{"M 安装失败 0", "M 安装失败 0"}));
  WriteFileBytes(setupIni, original);

  // A component configuration that cannot be read: its load error reaches the window, then
  // the refusal.
  WriteFileBytes(record.tempDir + L"\\package\\PLV.config", "<ComponentRoot><Config>");
  EXPECT_EQ(ZQPM::GetInstance()->Install(&record), kJobProductNotRead);
  const Events events = window.Events();
  ASSERT_EQ(events.size(), 5u);
  EXPECT_EQ(events[2], "P 6 5 ");
  EXPECT_EQ(events[3].rfind("A ", 0), 0u) << events[3];
  EXPECT_EQ(events[4], "M 安装失败 0");
  EXPECT_FALSE(Exists(target));
  EXPECT_FALSE(Exists(L"refused"));
  EXPECT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, kProductKey));
  EXPECT_FALSE(KeyExists32(HKEY_LOCAL_MACHINE, kUninstallKey));
}

// Run on this program without packages and on a copy whose packages fail their check.
TEST_F(InstallE2E, UnusablePackagesRefuseTheInstall) {
  TempFolder folder;
  const std::wstring target = folder / L"none";
  OpePARAMEx record;
  ASSERT_EQ(ParseCommandLine(L"/silent", record), 0);
  EXPECT_EQ(ZQPM::GetInstance()->Init(&record), -2);
  record.installDir = target;
  record.useWorkerThread = false;
  RecordingPrompt window;
  ZQPM::GetInstance()->SetUIPrompt(&window);
  EXPECT_EQ(ZQPM::GetInstance()->Install(&record), kJobProductNotRead);
  EXPECT_EQ(window.Events(), (Events{"M 安装失败 0"}));
  EXPECT_FALSE(Exists(target));
}
