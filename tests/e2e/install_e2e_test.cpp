// The finished sample setup program run as a person (or a script) would run it: the install
// window driven by posted clicks, its state read back from the window's own dump.
#include <windows.h>

#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "driver.h"
#include "e2e_support.h"
#include "support_files.h"
#include "support_registry.h"
#include "support_text.h"

using namespace e2e;
using namespace testsupport;

namespace {

const wchar_t kDefaultFolder[] = L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2";
const wchar_t kClient[] = L"Tamsel游戏Pelluvo.exe";

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

// A text value of the product's key; empty when missing.
std::wstring InstalledValue(const wchar_t* name) {
  std::vector<BYTE> data;
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, zqtest::kProductKey, name, nullptr, &data)) return std::wstring();
  std::wstring value(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  return value.substr(0, value.find(L'\0'));
}

class SetupWindowE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    setup_ = SampleSetupPath();
    ASSERT_FALSE(setup_.empty()) << "no finished setup program in build/out";
  }
  void TearDown() override {
    KillProcessesNamed(kClient);
    Clean();
  }
  static void Clean() {
    zqtest::CleanInstalledTraces();
    RemoveTree(L"C:\\Program Files (x86)\\Orvenna");
  }

  // Starts the setup program and waits for its first page.
  HWND Start(const std::wstring& args = L"") {
    EXPECT_TRUE(app_.Launch(setup_, args));
    HWND window = app_.WaitWindow(L"InstallWnd");
    EXPECT_NE(window, nullptr);
    return window;
  }

  void ExpectProductInstalled(const std::wstring& folder) {
    EXPECT_EQ(InstalledValue(L"InstallPath"), folder);
    for (const zqtest::ExpectedFile& file : zqtest::ExpectedProductFiles()) {
      EXPECT_TRUE(Exists(folder + L"\\" + file.installed)) << Utf8(file.installed);
    }
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, zqtest::kUninstallKey));
    EXPECT_TRUE(Exists(zqtest::ShellFolder(CSIDL_DESKTOP) + L"\\" + zqtest::ProductName() + L".lnk"));
    EXPECT_TRUE(Exists(folder + L"\\Setup\\PackageManager.zip"));
    // The uninstaller is the bare setup program, whole.
    EXPECT_EQ(ReadFileBytes(folder + L"\\PackageManager.exe"),
              ReadFileBytes(zqtest::StageDir() + L"\\PackageManager.exe"));
  }

  std::wstring setup_;
  AppDriver app_;
};

// The file names of the modules loaded in a process, lower case.
std::vector<std::wstring> LoadedModules(DWORD processId) {
  std::vector<std::wstring> names;
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE | TH32CS_SNAPMODULE32, processId);
  if (snapshot == INVALID_HANDLE_VALUE) return names;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
    std::wstring name = entry.szModule;
    for (wchar_t& c : name) c = towlower(c);
    names.push_back(name);
  }
  CloseHandle(snapshot);
  return names;
}

// The text of a message box's static controls.
std::wstring MessageBoxText(HWND box) {
  std::wstring text;
  for (HWND child = GetWindow(box, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t cls[32] = {}, part[512] = {};
    GetClassNameW(child, cls, 32);
    if (_wcsicmp(cls, L"Static") == 0 && GetWindowTextW(child, part, 512) > 0) text += part;
  }
  return text;
}

std::wstring ProfileText(const std::wstring& file, const wchar_t* section, const wchar_t* key) {
  wchar_t value[1024] = {};
  GetPrivateProfileStringW(section, key, L"", value, 1024, file.c_str());
  return value;
}

// A dialog owned by owner (the folder dialog), or null after a while.
HWND WaitOwnedDialog(HWND owner) {
  for (int i = 0; i < 400; ++i) {
    HWND found = nullptr;
    while ((found = FindWindowExW(nullptr, found, L"#32770", nullptr)) != nullptr) {
      if (GetWindow(found, GW_OWNER) == owner && IsWindowVisible(found)) return found;
    }
    Sleep(50);
  }
  return nullptr;
}

// The manifest that the loader reads (id 1): the highest available elevation and version 6 of
// the common controls, and nothing else.
TEST(ProgramManifest, AsksForTheHighestAvailableElevationAndCommonControls6Only) {
  HMODULE program =
      LoadLibraryExW(SampleSetupPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(program, nullptr) << GetLastError();
  HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const std::string manifest(static_cast<const char*>(LockResource(LoadResource(program, found))),
                             SizeofResource(program, found));
  EXPECT_EQ(FindResourceW(program, MAKEINTRESOURCEW(2), MAKEINTRESOURCEW(24)), nullptr);
  FreeLibrary(program);
  std::string elements;
  for (size_t at = manifest.find('<'); at != std::string::npos; at = manifest.find('<', at + 1)) {
    const size_t end = manifest.find_first_of(" />", at + 1);
    if (manifest[at + 1] != '/' && manifest[at + 1] != '?') elements += manifest.substr(at + 1, end - at - 1) + " ";
  }
  EXPECT_EQ(elements,
            "assembly trustInfo security requestedPrivileges requestedExecutionLevel dependency dependentAssembly "
            "assemblyIdentity ");
  for (const char* entry :
       {"<requestedExecutionLevel level=\"highestAvailable\" uiAccess=\"false\"/>",
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "publicKeyToken=\"6595b64144ccf1df\""}) {
    EXPECT_NE(manifest.find(entry), std::string::npos) << entry;
  }
}

// The network libraries' system DLLs load at the first transfer, and an install makes none.
TEST_F(SetupWindowE2E, TheInstallWindowRunsWithoutTheNetworkDlls) {
  HWND window = Start();
  ASSERT_NE(window, nullptr);
  const std::vector<std::wstring> modules = LoadedModules(app_.ProcessId());
  const auto loaded = [&](const wchar_t* name) {
    return std::find(modules.begin(), modules.end(), name) != modules.end();
  };
  EXPECT_TRUE(loaded(L"gdiplus.dll")) << "the module list of the running program is incomplete";
  for (const wchar_t* dll : {L"ws2_32.dll", L"crypt32.dll", L"bcrypt.dll"}) EXPECT_FALSE(loaded(dll)) << Utf8(dll);
}

TEST_F(SetupWindowE2E, FirstPageTogglesTheInstallButtonAndClosesAtOnce) {
  HWND window = Start();
  UiState state = app_.Dump(window, L"InstallWnd", L"install-1-before.png");
  // Version 6, as the program's manifest asks: the side-by-side assembly, not system32's file.
  std::string file = state.commonControls;
  for (char& c : file) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
  EXPECT_NE(file.find("\\winsxs\\x86_microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::string::npos)
      << state.commonControls;
  EXPECT_TRUE(state["VerBeforInstall"].shown);
  EXPECT_FALSE(state["VerInstall"].shown);
  EXPECT_FALSE(state["VerAfterInstall"].shown);
  EXPECT_FALSE(state["BtnQuickStart"].visible);
  EXPECT_TRUE(state["BtnInstall"].shown);
  EXPECT_EQ(state["OptLicence"].selected, 1);
  EXPECT_EQ(state["EditPath"].text, Utf8(kDefaultFolder));
  EXPECT_EQ(state["ProInstall"].value, 0);

  // The toggle follows clicks, whatever the option's state.
  app_.Click(window, state, "OptLicence");
  state = app_.WaitState(window, L"InstallWnd", [](const UiState& s) { return !s["BtnInstall"].visible; });
  EXPECT_FALSE(state["BtnInstall"].visible);
  EXPECT_EQ(state["OptLicence"].selected, 0);
  app_.Click(window, state, "OptLicence");
  state = app_.WaitState(window, L"InstallWnd", [](const UiState& s) { return s["BtnInstall"].visible; });
  EXPECT_TRUE(state["BtnInstall"].visible);

  // Nothing runs yet: closing does not ask, and nothing was installed.
  app_.Click(window, state, "BtnInstallClose");
  EXPECT_EQ(app_.WaitExit(), 0u);
  EXPECT_FALSE(Exists(kDefaultFolder));
  EXPECT_TRUE(InstalledValue(L"InstallPath").empty());
}

TEST_F(SetupWindowE2E, TheFolderDialogIsOwnedByTheWindowAndOnlyItsChoiceCounts) {
  HWND window = Start();
  UiState state = app_.Dump(window, L"InstallWnd");
  app_.Click(window, state, "BtnCustom");
  HWND dialog = WaitOwnedDialog(window);
  ASSERT_NE(dialog, nullptr) << "no folder dialog owned by the install window";
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  state = app_.WaitState(window, L"InstallWnd", [&](const UiState&) { return !IsWindow(dialog); });
  EXPECT_EQ(state["EditPath"].text, Utf8(kDefaultFolder));

  const std::wstring chosen = TempRoot() + L"\\folder-" + UniqueName();
  MakeFolder(chosen);
  app_.Click(window, state, "BtnCustom");
  dialog = WaitOwnedDialog(window);
  ASSERT_NE(dialog, nullptr);
  ASSERT_TRUE(app_.SelectFolder(dialog, chosen));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  const std::string expected = Utf8(chosen + L"\\Orvenna\\PelluvoV2");
  state = app_.WaitState(
      window, L"InstallWnd", [&](const UiState& s) { return s["EditPath"].text == expected; }, 20000);
  EXPECT_EQ(state["EditPath"].text, expected);
  app_.Click(window, state, "BtnInstallClose");
  EXPECT_EQ(app_.WaitExit(), 0u);
  RemoveTree(chosen);
}

TEST_F(SetupWindowE2E, InstallShowsRisingProgressThenQuickStartsTheClient) {
  HWND window = Start();
  UiState state = app_.Dump(window, L"InstallWnd");
  app_.Click(window, state, "BtnInstall");

  int last = -1;
  bool pictured = false;
  std::vector<std::string> tips;
  state = app_.WaitState(window, L"InstallWnd", [&](const UiState& s) {
    if (s["VerInstall"].shown) {
      EXPECT_GE(s["ProInstall"].value, last) << "the bar went back";
      last = s["ProInstall"].value;
      tips.push_back(s["LabelTips"].text);
      if (!pictured && last > 0 && last < 100)
        pictured = !app_.Dump(window, L"InstallWnd", L"install-2-during.png").controls_.empty();
    }
    return s["VerAfterInstall"].shown;
  });
  ASSERT_TRUE(state["VerAfterInstall"].shown);
  // Every report's status line gives the total size first (the skin's own text shows until then).
  const std::string initial = tips.empty() ? "" : tips.front();
  for (const std::string& tip : tips) {
    if (tip != initial) {
      EXPECT_TRUE(StartsWith(tip, "总大小：")) << tip;
    }
  }
  EXPECT_EQ(state["ProInstall"].value, 100);
  EXPECT_EQ(state["ProInstall"].text, "100%");
  EXPECT_TRUE(StartsWith(state["LabelTips"].text, "总大小：")) << state["LabelTips"].text;
  EXPECT_NE(state["LabelTips"].text.find("安装完成"), std::string::npos) << state["LabelTips"].text;
  EXPECT_TRUE(state["BtnQuickStart"].shown);
  app_.Dump(window, L"InstallWnd", L"install-3-after.png");
  ExpectProductInstalled(kDefaultFolder);
  // The finished install marks its skin read-only; the uninstall clears it again.
  EXPECT_NE(GetFileAttributesW((std::wstring(kDefaultFolder) + L"\\Setup\\PackageManager.zip").c_str()) &
                FILE_ATTRIBUTE_READONLY,
            0u);

  // The floating icons swing after the install.
  const RECT before = state["CtrlGame"].pos;
  state = app_.WaitState(
      window, L"InstallWnd", [&](const UiState& s) { return s["CtrlGame"].pos.top != before.top; }, 5000);
  EXPECT_NE(state["CtrlGame"].pos.top, before.top);
  EXPECT_LE(abs(state["CtrlGame"].pos.top - before.top), 6);

  app_.Click(window, state, "BtnQuickStart");
  EXPECT_EQ(app_.WaitExit(), 0u);
  const std::wstring starts = std::wstring(kDefaultFolder) + L"\\starts.log";
  for (int i = 0; i < 200 && !Exists(starts); ++i) Sleep(50);
  EXPECT_TRUE(Exists(starts)) << "the client was not started";
}

TEST_F(SetupWindowE2E, ClosingDuringTheJobAsksAndQuitReportsNoSuccess) {
  // The sample's post-install helper waits while this event exists: the job stops midway.
  HANDLE hold = CreateEventW(nullptr, TRUE, FALSE, L"TamselPelluvoHold");
  ASSERT_NE(hold, nullptr);
  HWND window = Start();
  UiState state = app_.Dump(window, L"InstallWnd");
  app_.Click(window, state, "BtnInstall");
  state = app_.WaitState(window, L"InstallWnd", [](const UiState& s) { return s["VerInstall"].shown; });
  ASSERT_TRUE(state["VerInstall"].shown);

  app_.Click(window, state, "BtnInstallClose");
  HWND box = app_.WaitWindow(L"MsgWnd", 20000);
  ASSERT_NE(box, nullptr) << "closing during the job did not ask";
  UiState boxState = app_.Dump(box, L"MsgWnd", L"install-confirm.png");
  app_.Click(box, boxState, "BtnMsgCancel");
  EXPECT_TRUE(app_.WaitWindowGone(L"MsgWnd"));
  state = app_.Dump(window, L"InstallWnd");
  EXPECT_TRUE(state["VerInstall"].shown) << "continue must leave the install running";

  // Each request makes a fresh box; "quit" ends the program without claiming success.
  app_.Click(window, state, "BtnInstallClose");
  box = app_.WaitWindow(L"MsgWnd", 20000);
  ASSERT_NE(box, nullptr);
  boxState = app_.Dump(box, L"MsgWnd");
  app_.Click(box, boxState, "BtnMsgOK");
  const DWORD code = app_.WaitExit();
  SetEvent(hold);
  CloseHandle(hold);
  EXPECT_NE(code, 0u);
  EXPECT_NE(code, STILL_ACTIVE);
}

TEST_F(SetupWindowE2E, SilentInstallClicksItselfThroughAndExitsZero) {
  ASSERT_TRUE(app_.Launch(setup_, L"/silent"));
  EXPECT_EQ(app_.WaitExit(120000), 0u);
  ExpectProductInstalled(kDefaultFolder);
  // The quick start ran: the client was started and the work folder removed.
  const std::wstring starts = std::wstring(kDefaultFolder) + L"\\starts.log";
  for (int i = 0; i < 200 && !Exists(starts); ++i) Sleep(50);
  EXPECT_TRUE(Exists(starts));
  const std::string config = ReadFileBytes(std::wstring(kDefaultFolder) + L"\\config.ini");
  EXPECT_NE(config.find("?id=TamselPelluvo#orvenna__sample#1"), std::string::npos) << config;
}

TEST_F(SetupWindowE2E, AnUnknownSwitchIsRefusedWithAMessageAndMinusOne) {
  ASSERT_TRUE(app_.Launch(setup_, L"/bogus"));
  HWND box = app_.WaitWindow(L"#32770", 30000, false);
  ASSERT_NE(box, nullptr);
  wchar_t caption[64] = {};
  GetWindowTextW(box, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"错误");
  EXPECT_EQ(MessageBoxText(box), L"参数解析异常");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(app_.WaitExit(), static_cast<DWORD>(-1));
}

// A copy of the setup program with one byte of its first package flipped.
std::wstring DamagedCopy(const std::wstring& setup) {
  std::string bytes = ReadFileBytes(setup);
  uint32_t head = 0;
  memcpy(&head, bytes.data() + 0x30, 4);
  EXPECT_GT(head, 0u);
  EXPECT_LT(head + 512, bytes.size());
  bytes[head + 512] ^= 0xFF;
  const std::wstring copy = TempRoot() + L"\\damaged-" + UniqueName() + L".exe";
  WriteFileBytes(copy, bytes);
  return copy;
}

TEST_F(SetupWindowE2E, ADamagedPackageEndsASilentRunAsAFailedJobAndSaysWhy) {
  const std::wstring copy = DamagedCopy(setup_);
  FILETIME start;
  GetSystemTimeAsFileTime(&start);
  ASSERT_TRUE(app_.Launch(copy, L"/silent"));
  EXPECT_EQ(app_.WaitExit(120000), 3u);
  EXPECT_FALSE(Exists(std::wstring(kDefaultFolder) + L"\\" + kClient));
  EXPECT_TRUE(InstalledValue(L"InstallPath").empty());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, zqtest::kUninstallKey));
  const std::string log = LogTextSince(start);
  EXPECT_NE(log.find("Init, the program's packages failed their check, code -2"), std::string::npos) << log;
  EXPECT_NE(log.find("wWinMain, the setup program's packages failed their check, nothing installed"), std::string::npos)
      << log;
  EXPECT_EQ(log.find("加载资源文件失败"), std::string::npos) << "the skin is not the cause";
  DeleteFileW(copy.c_str());
}

// The setup package passes its check, but its program copy does not unzip: the copy is written
// while the window comes up, and its failure fails the job instead of a reported success.
TEST_F(SetupWindowE2E, ADamagedProgramCopyFailsTheSilentInstall) {
  FILETIME start;
  GetSystemTimeAsFileTime(&start);
  ASSERT_TRUE(app_.Launch(Wide(DAMAGED_COPY_SETUP), L"/silent"));
  EXPECT_EQ(app_.WaitExit(120000), 3u);
  EXPECT_FALSE(Exists(std::wstring(kDefaultFolder) + L"\\" + kClient));
  EXPECT_TRUE(InstalledValue(L"InstallPath").empty());
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, zqtest::kUninstallKey));
  EXPECT_FALSE(Exists(TempRoot() + L"\\~ZQSetup\\PackageManager.exe")) << "no half-written copy";
  const std::string log = LogTextSince(start);
  EXPECT_NE(log.find("ExtractAllSetupFiles, the program copy (item 2 of package 1) failed, code -1"), std::string::npos)
      << log;
  EXPECT_NE(log.find("Run, the setup package's program copy was not extracted, code -1, nothing is installed"),
            std::string::npos)
      << log;
}

// The client's settings file stays on a reinstall; its start address carries one channel query
// however often the setup runs, and the user's own values stay.
TEST_F(SetupWindowE2E, ThreeReinstallsLeaveOneChannelQueryAndTheUsersSettings) {
  const std::wstring config = std::wstring(kDefaultFolder) + L"\\config.ini";
  ASSERT_EQ(RunToEnd(setup_, L"/silent /norestart"), 0u);
  const std::wstring url = ProfileText(config, L"app", L"main_url");
  ASSERT_EQ(url, L"https://pelluvo.orvenna.example/start?id=TamselPelluvo#orvenna__sample#1");
  ASSERT_TRUE(WritePrivateProfileStringW(L"app", L"volume", L"7", config.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(L"player", L"skin", L"dark", config.c_str()));
  for (int run = 2; run <= 3; ++run) ASSERT_EQ(RunToEnd(setup_, L"/silent /norestart"), 0u) << "run " << run;
  EXPECT_EQ(ProfileText(config, L"app", L"main_url"), url);
  const std::string text = ReadFileBytes(config);
  EXPECT_EQ(text.find("?id="), text.rfind("?id=")) << text;
  EXPECT_EQ(ProfileText(config, L"app", L"volume"), L"7");
  EXPECT_EQ(ProfileText(config, L"player", L"skin"), L"dark");
}

class BrokenSkinE2E : public SetupWindowE2E {
 protected:
  void SetUp() override {
    Clean();
    setup_ = Wide(BROKEN_SKIN_SETUP);
  }
};

TEST_F(BrokenSkinE2E, ASkinWithoutTheLayoutIsReportedInteractively) {
  ASSERT_TRUE(app_.Launch(setup_, L""));
  HWND box = app_.WaitWindow(L"#32770", 60000, false);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), L"加载资源文件失败：install.xml");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(app_.WaitExit(), 1u);
}

TEST_F(BrokenSkinE2E, ASilentRunLogsTheBrokenSkinAndExitsWithoutWaiting) {
  ASSERT_TRUE(app_.Launch(setup_, L"/silent"));
  EXPECT_EQ(app_.WaitExit(120000), 1u);
  EXPECT_FALSE(Exists(std::wstring(kDefaultFolder) + L"\\" + kClient));
}

}  // namespace
