// The uninstall job on a product installed through the update actions: feedback posted,
// running client stopped by its "OnStopApp" rule, COM server, registry values, shortcuts,
// notification area (a test-built tray), files, folders, uninstall record and product keys.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine/jobs/install_folder_guard.h"
#include "engine/jobs/notify_area.h"
#include "engine/jobs/uninstall_job.h"
#include "engine/update/uninstall_record.h"
#include "engine/update/update_eng_ex.h"
#include "engine/zqpm/zqpm.h"
#include "jobs_test_support.h"
#include "update_test_support.h"

namespace {

using namespace updtest;
using nettest::Utf8;

// A window chain of the tray's classes, each a child of the one before; a class given
// with a leading "!" is made top-level instead (a decoy of another program).
class TrayWindows {
 public:
  TrayWindows(std::initializer_list<const wchar_t*> chain, int width, int height) {
    HWND parent = nullptr;
    for (const wchar_t* name : chain) {
      const bool decoy = name[0] == L'!';
      const wchar_t* className = decoy ? name + 1 : name;
      WNDCLASSW windowClass = {};
      windowClass.lpfnWndProc = &TrayWindows::Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = className;
      RegisterClassW(&windowClass);
      HWND window = CreateWindowExW(0, className, L"", decoy || !parent ? WS_POPUP : WS_CHILD, 0, 0, width, height,
                                    decoy ? nullptr : parent, nullptr, GetModuleHandleW(nullptr), nullptr);
      EXPECT_TRUE(window) << "err " << GetLastError();
      windows_.push_back(window);
      if (!decoy) parent = window;
    }
  }
  ~TrayWindows() {
    for (auto at = windows_.rbegin(); at != windows_.rend(); ++at) DestroyWindow(*at);
    moves.clear();
  }
  HWND window(size_t index) const { return windows_[index]; }

  static std::map<HWND, std::vector<LPARAM>> moves;
  static std::function<void()> onFirstMove;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEMOVE) {
      if (moves.empty() && onFirstMove) onFirstMove();
      moves[window].push_back(lParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
  }
  std::vector<HWND> windows_;
};
std::map<HWND, std::vector<LPARAM>> TrayWindows::moves;
std::function<void()> TrayWindows::onFirstMove;

std::vector<LPARAM> Sweep(int width, int height) {
  std::vector<LPARAM> expected;
  for (int x = 1; x < width; ++x) expected.push_back(MAKELPARAM(x, height / 2));
  return expected;
}

TEST(NotifyArea, SweepsOnlyTheTrayToolbarAndStopsAtAMissingLevel) {
  {
    TrayWindows tray({L"Shell_TrayWnd", L"TrayNotifyWnd", L"ToolbarWindow32"}, 50, 11);
    ASSERT_EQ(FindWindowW(L"Shell_TrayWnd", nullptr), tray.window(0)) << "another tray window is in the way";
    EXPECT_EQ(CleanNotifyAreaIcons(), 49);
    EXPECT_EQ(TrayWindows::moves[tray.window(2)], Sweep(50, 11));
  }
  {  // With a pager, only a toolbar under the pager counts.
    TrayWindows tray({L"Shell_TrayWnd", L"TrayNotifyWnd", L"SysPager", L"!ToolbarWindow32"}, 30, 10);
    EXPECT_EQ(CleanNotifyAreaIcons(), 0);
  }
  {  // No notification window in the tray: the other program's windows get nothing.
    TrayWindows tray({L"Shell_TrayWnd", L"!TrayNotifyWnd", L"!ToolbarWindow32"}, 30, 10);
    EXPECT_EQ(CleanNotifyAreaIcons(), 0);
    EXPECT_TRUE(TrayWindows::moves.empty());
  }
  {
    TrayWindows decoys({L"!TrayNotifyWnd", L"!SysPager", L"!ToolbarWindow32"}, 30, 10);
    EXPECT_EQ(CleanNotifyAreaIcons(), 0);
    EXPECT_TRUE(TrayWindows::moves.empty());
  }
}

TEST(InstallFolderGuard, RefusesDrivesAndSystemFolders) {
  wchar_t windows[MAX_PATH] = {}, temp[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  GetTempPathW(MAX_PATH, temp);
  for (std::wstring folder :
       {std::wstring(), std::wstring(L"C:\\"), std::wstring(L"rel\\dir"), std::wstring(L"\\\\host\\share"),
        std::wstring(windows) + L"\\system32", std::wstring(L"C:\\Program Files (x86)\\"), std::wstring(L"c:/users"),
        std::wstring(temp), std::wstring(L"C:\\Orvenna\\..\\Windows")}) {
    EXPECT_FALSE(IsRemovableInstallFolder(folder)) << Utf8(folder);
  }
  EXPECT_TRUE(IsRemovableInstallFolder(L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2"));
  EXPECT_TRUE(IsRemovableInstallFolder(std::wstring(temp) + L"\u6e38\u620f x"));
}

TEST(InstallFolderGuard, OnlyTheVerifiedFolderWrittenAnyWayIsRemovable) {
  const std::wstring folder = L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2";
  EXPECT_TRUE(IsVerifiedInstallFolder(L"c:/program files (x86)/orvenna/pelluvov2\\", folder));
  EXPECT_FALSE(IsVerifiedInstallFolder(folder, L""));
  EXPECT_FALSE(IsVerifiedInstallFolder(folder + L"2", folder));
  EXPECT_FALSE(IsVerifiedInstallFolder(L"C:\\Program Files (x86)\\Orvenna", folder));
  EXPECT_FALSE(IsVerifiedInstallFolder(L"C:\\", L"C:\\")) << "a verified drive is still a drive";
}

// A copy of the uninstaller saved in a folder of the user's: the preparation verified no
// install folder, so the job touches nothing and says so.
TEST(UninstallJob, RefusesAFolderThePreparationDidNotVerify) {
  LogCapture log;
  TempFolder folder;
  const std::wstring saved = folder / L"\u4e0b\u8f7d";
  WriteFileBytes(saved + L"\\PackageManager.exe", "x");
  WriteFileBytes(saved + L"\\my notes.txt", "mine");
  CUpdateEngEx engine;
  jobstest::Prompt window;
  JobServices services = jobstest::Services(engine, &window, saved + L"\\PackageManager.exe");
  bool feedbackSent = false;
  services.commitInfo = [&](const OpePARAMEx&) { return feedbackSent = true, 0; };
  OpePARAMEx record;
  record.mode = OpePARAMEx::CMD_SILENT_UNINSTALL;
  record.installDir = saved;
  EXPECT_EQ(RunUninstallJob(record, services), kUninstallNotInstallFolder);
  services.verifiedInstallFolder = folder / L"other";
  EXPECT_EQ(RunUninstallJob(record, services), kUninstallNotInstallFolder);
  EXPECT_EQ(window.events, (std::vector<std::string>{"M 卸载失败 0", "M 卸载失败 0"}));
  EXPECT_FALSE(feedbackSent);
  EXPECT_FALSE(UninstallJobCompleted());
  EXPECT_EQ(ReadFileBytes(saved + L"\\my notes.txt"), "mine");
  EXPECT_TRUE(Exists(saved + L"\\PackageManager.exe"));
  EXPECT_NE(log.Text().find("In_Uninstall, " + Utf8(saved) + " is not the product's install folder, nothing removed"),
            std::string::npos);
}

TEST(UninstallJob, RemovesAnInstalledProductAndStopsItsRunningClient) {
  ComScope com;
  LogCapture log;
  TempFolder folder;
  const std::wstring id = UniqueName();
  const std::wstring install = folder / L"\u5b89\u88c5 \u76ee\u5f55";
  const std::wstring regKey = L"HKCU\\Software\\TamselJobs\\" + id;
  const std::wstring valuesKey = regKey + L" values";
  const std::wstring client = L"\u5ba2\u6237\u7aef " + id + L".exe";
  const std::wstring comDll = L"jobs com " + id + L".dll";
  const std::wstring menu = L"Jobs " + id;
  const std::string rules = "&quot;log=" + Utf8(folder / L"rules.log") + "&quot;";
  InstallHelper(L"update_child.exe", install + L"\\" + client);
  InstallHelper(L"update_com_server.dll", install + L"\\" + comDll);
  for (const wchar_t* file : {L"data\\readme.txt", L"data\\deep\\x.txt", L"logs\\user.log", L"PackageManager.exe"}) {
    WriteFileBytes(install + L"\\" + file, "x");
  }
  const std::string names =
      "name_0804=\"" + Utf8(menu) + "\" name_0404=\"" + Utf8(menu) + "\" name_0409=\"" + Utf8(menu) + "\"";
  jobstest::WriteInstalledProduct(install, regKey,
                                  "<Config><Files><file path=\"" + Utf8(client) + "\"/><file path=\"" + Utf8(comDll) +
                                      "\"/>"
                                      "<file path=\"data\\readme.txt\"/><file path=\"data\\deep\\x.txt\"/></Files>"
                                      "<RegModules><module path=\"" +
                                      Utf8(comDll) +
                                      "\" order=\"1\"/></RegModules>"
                                      "<RegUpdate><reg key=\"" +
                                      Utf8(valuesKey) +
                                      "\" name=\"A\" type=\"REG_SZ\" value=\"a\"/>"
                                      "<reg key=\"" +
                                      Utf8(regKey) +
                                      "\\Settings\" name=\"B\" type=\"REG_DWORD\" value=\"1\"/></RegUpdate>"
                                      "<ShortCut><StartMenu><Folder " +
                                      names + "><item link=\"" + Utf8(client) + "\" " + names +
                                      "/></Folder>"
                                      "</StartMenu></ShortCut></Config><RunRule>"
                                      "<rule executable=\"" +
                                      Utf8(client) +
                                      "\" cmd=\"KILL\" order=\"14\" when=\"OnStopApp\"/>"
                                      "<rule executable=\"" +
                                      Utf8(client) + "\" cmd=\"EXEC\" args=\"BeforeUpdate " + rules +
                                      "\" order=\"5\" when=\"BeforeUpdate\"/>"
                                      "<rule executable=\"" +
                                      Utf8(client) + "\" cmd=\"EXEC\" args=\"OnUnregister " + rules +
                                      "\" order=\"6\" when=\"OnUnregister\"/>"
                                      "</RunRule>");
  ASSERT_TRUE(CUpdateEngEx::UpdateRegistry(valuesKey, L"Other", L"REG_SZ", L"kept"));

  // Installed through the update actions, as the install job leaves it.
  CUpdateEngEx installer;
  const JobServices installServices = jobstest::Services(installer, nullptr, L"");
  OpePARAMEx installRecord;
  installRecord.mode = OpePARAMEx::CMD_INSTALL;
  installRecord.installDir = installRecord.tempDir = install;
  ASSERT_EQ(installServices.readProductConfig(installer.newProduct, install), 0);
  ASSERT_EQ(installServices.loadComponentConfigs(installRecord, installer.newProduct), 0);
  installer.CheckProductDifference(installer.deleteList, installer.addList, CCheckDiff::kInstall);
  installer.InstallDlls();
  installer.InstallRegs(false);
  installer.InstallShortcuts(false);
  ASSERT_EQ(CreateUninstallRegInfo({install, L"1.0", 4096}, nullptr), 0);
  const std::wstring comMarker = L"Software\\TamselUpdateTests\\Com";
  const std::wstring menuFolder = GetProgramsDir() + L"\\" + menu;
  ASSERT_EQ(ReadText(HKEY_CURRENT_USER, comMarker, comDll), L"registered");
  ASSERT_EQ(ReadText(HKEY_CURRENT_USER, valuesKey.substr(5), L"A"), L"a");
  ASSERT_TRUE(Exists(menuFolder + L"\\" + menu + L".lnk"));
  ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo"));

  RunningChild running(install + L"\\" + client, L"sleep=60000 \"log=" + folder / L"client.log" + L"\"");
  ASSERT_EQ(WaitForChildLog(folder / L"client.log", 1).size(), 1u);
  TrayWindows tray({L"Shell_TrayWnd", L"TrayNotifyWnd", L"SysPager", L"ToolbarWindow32"}, 200, 40);
  bool clientGoneAtSweep = false;
  TrayWindows::onFirstMove = [&] { clientGoneAtSweep = !running.running(); };

  nettest::FakeUpdateService service({{"/soft/uninstall/confirmForm", {nettest::steps::JsonReply({{"code", 0}})}}});
  jobstest::ServiceHost host(service.Host());
  CUpdateEngEx engine;
  jobstest::Prompt window;
  JobServices services = jobstest::Services(engine, &window, install + L"\\PackageManager.exe");
  ASSERT_EQ(services.readProductConfig(engine.installedProduct, install), 0);  // as Init does
  services.verifiedInstallFolder = install;
  ZQPM::GetInstance()->SetUIPrompt(&window);
  OpePARAMEx record;
  record.mode = OpePARAMEx::CMD_UNINSTALL;
  record.installDir = install;
  record.feedback = L"{\"content\":\"\",\"type\":1,\"mobile\":\"\"}";
  EXPECT_FALSE(UninstallJobCompleted());
  EXPECT_EQ(RunUninstallJob(record, services), 0);
  ZQPM::GetInstance()->SetUIPrompt(nullptr);
  TrayWindows::onFirstMove = nullptr;

  EXPECT_TRUE(UninstallJobCompleted());
  EXPECT_EQ(window.events, (std::vector<std::string>{"P 6 5 ", "F"}));
  EXPECT_EQ(service.RequestsTo("/soft/uninstall/confirmForm").size(), 1u);
  EXPECT_FALSE(running.running());
  EXPECT_TRUE(clientGoneAtSweep);
  EXPECT_EQ(TrayWindows::moves[tray.window(3)], Sweep(200, 40));
  const std::vector<std::wstring> rulesRun = ChildLog(folder / L"rules.log");
  ASSERT_EQ(rulesRun.size(), 4u);
  EXPECT_NE(rulesRun[0].find(L"BeforeUpdate"), std::wstring::npos);
  EXPECT_NE(rulesRun[2].find(L"OnUnregister"), std::wstring::npos);

  EXPECT_EQ(nettest::ListFolder(install), std::vector<std::wstring>{L"PackageManager.exe"});
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, comMarker, comDll), L"<missing>");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, valuesKey.substr(5), L"A"), L"<missing>");
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, valuesKey.substr(5), L"Other"), L"kept");
  EXPECT_FALSE(Exists(menuFolder));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, regKey.substr(5)));
  EXPECT_FALSE(
      KeyExists(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo"));
  const std::string text = log.Text();
  EXPECT_NE(text.find("In_Uninstall, DeleteRegInfo fail, path HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\"
                      "Uninstall\\Tamsel游戏Pelluvo, err: "),
            std::string::npos);
  EXPECT_NE(text.find("In_Uninstall, DeleteRegInfo fail, path " + Utf8(regKey) + ", err: "), std::string::npos);
  DeleteRegTree(HKEY_CURRENT_USER, valuesKey.substr(5));
}

}  // namespace
