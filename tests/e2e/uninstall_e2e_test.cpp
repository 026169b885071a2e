// The installed uninstaller ("PackageManager.exe /uninstall") run as a person runs it: the
// confirmation page, the feedback form with the reasons of the (fake) update service, the
// feedback it posts, the farewell page and the removal of everything, the program included.
#include <windows.h>

#include <shlobj.h>

#include <gtest/gtest.h>

#include "driver.h"
#include "e2e_support.h"
#include "net_test_support.h"
#include "support_files.h"
#include "support_text.h"
#include "zqpm_test_support.h"

using namespace e2e;
using namespace testsupport;
using nettest::FakeUpdateService;
using nettest::steps::JsonReply;

namespace {

const wchar_t kFolder[] = L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2";
const wchar_t kClient[] = L"Tamsel游戏Pelluvo.exe";
const wchar_t kWindow[] = L"UninstallWnd";
const char kTypeListPath[] = "/soft/uninstall/getTypeList";
const char kConfirmPath[] = "/soft/uninstall/confirmForm";

const wchar_t* const kBuiltin[6] = {L"OptQuestion", L"OptMuch", L"OptUgly", L"OptFlow", L"OptUninstSelf", L"OptSale"};
const int kColumnX[2] = {89, 376};
const int kRowY[3] = {63, 99, 135};

std::wstring InFolder(const wchar_t* name) { return std::wstring(kFolder) + L"\\" + name; }
std::wstring DesktopLink() { return zqtest::ShellFolder(CSIDL_DESKTOP) + L"\\" + zqtest::ProductName() + L".lnk"; }
std::wstring MenuFolder() { return zqtest::ShellFolder(CSIDL_PROGRAMS) + L"\\" + zqtest::ProductName(); }

// Points the launched programs at a service (host "127.0.0.1:port") while it lives.
class ServiceVariable {
 public:
  explicit ServiceVariable(const std::string& host) {
    SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", Wide(host).c_str());
  }
  ~ServiceVariable() { SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", nullptr); }
};

nlohmann::json ReasonList(int count) {
  nlohmann::json list = nlohmann::json::array();
  for (int i = 0; i < count; ++i) list.push_back({{"id", 31 + i}, {"name", "服务原因" + std::to_string(i + 1)}});
  return {{"code", 0}, {"msg", "success"}, {"data", {{"type_list", list}}}};
}

std::string BodyOf(const nlohmann::json& request) {
  const std::string hex = request.at("body_hex").get<std::string>();
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

// A control of a state read while polling: a lost dump is no failure, the poll reads again.
const ControlState& Get(const UiState& state, const std::string& name) {
  static const ControlState none;
  auto it = state.controls_.find(name);
  return it == state.controls_.end() ? none : it->second;
}

// Every named control on screen has been laid out: positions may be clicked.
bool Settled(const UiState& state) {
  for (const auto& named : state.controls_) {
    const ControlState& control = named.second;
    if (control.shown && (control.pos.right <= control.pos.left || control.pos.bottom <= control.pos.top)) return false;
  }
  return !state.controls_.empty();
}

// The files left in a folder tree.
int FilesUnder(const std::wstring& folder) {
  int files = 0;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return 0;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    files += (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? FilesUnder(folder + L"\\" + name) : 1;
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return files;
}

bool DeletionPending(const std::wstring& path) {
  for (const auto& rename : zqtest::PendingRenames()) {
    if (rename.second.empty() && SameIgnoringCase(rename.first, L"\\??\\" + path)) return true;
  }
  return false;
}

// The native edit window the framework puts over an edit control while it has the focus.
HWND NativeEditOver(HWND window, const RECT& place) {
  const POINT centre = {(place.left + place.right) / 2, (place.top + place.bottom) / 2};
  for (HWND child = FindWindowExW(window, nullptr, L"EditWnd", nullptr); child != nullptr;
       child = FindWindowExW(window, child, L"EditWnd", nullptr)) {
    RECT rc;
    GetWindowRect(child, &rc);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
    if (IsWindowVisible(child) && PtInRect(&rc, centre)) return child;
  }
  return nullptr;
}

class UninstallE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    // The product to remove, put in place by the sample setup program itself.
    ASSERT_EQ(RunToEnd(SampleSetupPath(), L"/silent /norestart"), 0u);
    ASSERT_TRUE(Exists(InFolder(L"PackageManager.exe")));
    ASSERT_NE(GetFileAttributesW(InFolder(L"Setup\\PackageManager.zip").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
  }
  void TearDown() override {
    KillProcessesNamed(kClient);
    Clean();
  }
  static void Clean() {
    zqtest::CleanInstalledTraces();
    SetFileAttributesW(InFolder(L"Setup\\PackageManager.zip").c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(L"C:\\Program Files (x86)\\Orvenna");
    zqtest::DropPendingRenames(L"\\??\\C:\\Program Files (x86)\\Orvenna");
  }

  // The window's state; a dump lost on the way (the file replaced while read) is asked again.
  UiState Read(HWND window, const std::wstring& picture = L"") {
    UiState state;
    for (int i = 0; i < 3 && state.controls_.empty() && IsWindow(window); ++i)
      state = app_.Dump(window, kWindow, picture);
    return state;
  }

  HWND StartUninstaller() {
    EXPECT_TRUE(app_.Launch(InFolder(L"PackageManager.exe"), L"/uninstall"));
    HWND window = app_.WaitWindow(kWindow);
    EXPECT_NE(window, nullptr);
    // Clicks go to laid-out controls only: a click on a stale place may start a window drag.
    if (window != nullptr) app_.WaitState(window, kWindow, Settled);
    return window;
  }

  // Page 1 to page 2 through "BtnUninst".
  UiState OpenForm(HWND window) {
    UiState state = Read(window);
    EXPECT_TRUE(state["VerUninstPage1"].shown);
    EXPECT_FALSE(state["VerUninstPage2"].shown);
    EXPECT_FALSE(state["VerUninstPage3"].shown);
    app_.Click(window, state, "BtnUninst");
    return app_.WaitState(window, kWindow,
                          [](const UiState& s) { return Get(s, "VerUninstPage2").shown && Settled(s); });
  }

  // Types text into a form edit: the click gives it its native edit window.
  void Type(HWND window, const std::string& edit, const std::wstring& text) {
    UiState state = Read(window);
    app_.Click(window, state, edit);
    const RECT& place = state[edit].pos;
    HWND native = nullptr;
    for (int i = 0; i < 200 && native == nullptr; ++i) {
      native = NativeEditOver(window, place);
      if (native == nullptr) Sleep(25);
    }
    ASSERT_NE(native, nullptr) << "no edit window for " << edit;
    SendMessageW(native, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    const std::string expected = Utf8(text);
    state = app_.WaitState(
        window, kWindow, [&](const UiState& s) { return Get(s, edit).text == expected; }, 10000);
    EXPECT_EQ(state[edit].text, expected);
  }

  static void ExpectProductIntact() {
    EXPECT_EQ(zqtest::ReadValue32(HKEY_LOCAL_MACHINE, zqtest::kProductKey, L"InstallPath"), kFolder);
    EXPECT_TRUE(Exists(InFolder(L"PackageManager.exe")));
    EXPECT_TRUE(Exists(InFolder(kClient)));
    EXPECT_TRUE(Exists(InFolder(L"Setup\\PackageManager.zip")));
    EXPECT_TRUE(zqtest::KeyExists32(HKEY_LOCAL_MACHINE, zqtest::kUninstallKey));
    EXPECT_TRUE(zqtest::KeyExists32(HKEY_LOCAL_MACHINE, zqtest::kComMarkerKey));
    EXPECT_TRUE(Exists(DesktopLink()));
  }

  static void ExpectProductGone() {
    // The program's own file goes last, deleted by "cmd.exe" once the process has ended; the
    // emptied folder that held it goes at the next restart.
    for (int i = 0; i < 600 && Exists(InFolder(L"PackageManager.exe")); ++i) Sleep(50);
    EXPECT_FALSE(Exists(InFolder(L"PackageManager.exe")));
    EXPECT_EQ(FilesUnder(kFolder), 0);
    EXPECT_FALSE(Exists(InFolder(L"Setup")));
    if (Exists(kFolder)) {
      EXPECT_TRUE(DeletionPending(kFolder)) << "the emptied install folder is left for good";
    }
    EXPECT_FALSE(zqtest::KeyExists32(HKEY_LOCAL_MACHINE, zqtest::kProductKey));
    EXPECT_FALSE(zqtest::KeyExists32(HKEY_LOCAL_MACHINE, zqtest::kUninstallKey));
    EXPECT_FALSE(zqtest::KeyExists32(HKEY_LOCAL_MACHINE, zqtest::kComMarkerKey));
    EXPECT_EQ(zqtest::ReadValue32(HKEY_LOCAL_MACHINE, zqtest::kRunKey, L"TamselPelluvo"), L"<missing>");
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(Exists(zqtest::QuickLaunchPinDir() + L"\\" + zqtest::ProductName() + L".lnk"));
    EXPECT_FALSE(Exists(MenuFolder() + L"\\" + zqtest::ProductName() + L".lnk"));
    EXPECT_FALSE(Exists(MenuFolder() + L"\\" + zqtest::UninstallLinkName() + L".lnk"));
  }

  AppDriver app_;
};

TEST_F(UninstallE2E, ServiceReasonsFormFeedbackFarewellAndEverythingRemoved) {
  FakeUpdateService service(
      {{kTypeListPath, {JsonReply(ReasonList(8))}}, {kConfirmPath, {JsonReply({{"code", 0}, {"msg", "ok"}})}}});
  ASSERT_TRUE(service.Started());
  ServiceVariable host(service.Host());
  HWND window = StartUninstaller();
  ASSERT_NE(window, nullptr);
  Read(window, L"uninstall-1-confirm.png");
  UiState state = OpenForm(window);
  ASSERT_TRUE(state["VerUninstPage2"].shown);
  Read(window, L"uninstall-2-form-service.png");
  EXPECT_EQ(service.RequestsTo(kTypeListPath).size(), 1u);
  // The skin archive may be removed now.
  EXPECT_EQ(GetFileAttributesW(InFolder(L"Setup\\PackageManager.zip").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

  // Six of the eight reasons, in two columns of three rows, on the places of the built-in ones.
  const RECT page = state["VerUninstPage2"].pos;
  for (int n = 0; n < 6; ++n) {
    const std::string name = "Opt" + std::to_string(31 + n);
    ASSERT_TRUE(state.Has(name)) << name;
    EXPECT_TRUE(state[name].shown) << name;
    EXPECT_EQ(state[name].text, "服务原因" + std::to_string(n + 1));
    EXPECT_EQ(state[name].pos.left - page.left, kColumnX[n % 2]) << name;
    EXPECT_EQ(state[name].pos.top - page.top, kRowY[n / 2]) << name;
    EXPECT_EQ(state[name].pos.right - state[name].pos.left, 200) << name;
  }
  EXPECT_FALSE(state.Has("Opt37"));
  EXPECT_FALSE(state.Has("Opt38"));
  for (const wchar_t* builtin : kBuiltin) EXPECT_FALSE(state[Utf8(builtin)].shown) << Utf8(builtin);
  EXPECT_FALSE(state["EditOther"].enabled);

  // A service reason, then the other reason with its text, and a contact number.
  app_.Click(window, state, "Opt33");
  state = app_.WaitState(window, kWindow, [](const UiState& s) { return Get(s, "Opt33").selected == 1; });
  app_.Click(window, state, "OptOther");
  state = app_.WaitState(window, kWindow, [](const UiState& s) { return Get(s, "EditOther").enabled; });
  EXPECT_EQ(state["Opt33"].selected, 0);
  Type(window, "EditOther", L"广告太多 \"真的\"");
  Type(window, "EditNumber", L"13800001111");
  state = Read(window, L"uninstall-2-form-filled.png");
  app_.Click(window, state, "BtnCommit");
  state = app_.WaitState(
      window, kWindow, [](const UiState& s) { return Get(s, "VerUninstPage3").shown && Settled(s); }, 120000);
  ASSERT_TRUE(state["VerUninstPage3"].shown);
  EXPECT_FALSE(state["VerUninstPage2"].shown);
  Read(window, L"uninstall-3-farewell.png");

  const auto posts = service.RequestsTo(kConfirmPath);
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0]["method"], "POST");
  EXPECT_EQ(BodyOf(posts[0]), u8R"({"content":"广告太多 \"真的\"","mobile":"13800001111","type":0})");

  app_.Click(window, state, "BtnBye");
  EXPECT_EQ(app_.WaitExit(), 0u);
  ExpectProductGone();
}

TEST_F(UninstallE2E, ServiceDownShowsTheBuiltinReasonsAndKeepLeavesTheProduct) {
  ServiceVariable host("127.0.0.1:1");  // nothing listens there
  HWND window = StartUninstaller();
  ASSERT_NE(window, nullptr);
  UiState state = OpenForm(window);
  ASSERT_TRUE(state["VerUninstPage2"].shown);
  Read(window, L"uninstall-2-form-builtin.png");
  const RECT page = state["VerUninstPage2"].pos;
  for (int n = 0; n < 6; ++n) {
    const std::string name = Utf8(kBuiltin[n]);
    EXPECT_TRUE(state[name].shown) << name;
    EXPECT_EQ(state[name].pos.left - page.left, kColumnX[n % 2]) << name;
    EXPECT_EQ(state[name].pos.top - page.top, kRowY[n / 2]) << name;
  }
  app_.Click(window, state, "OptUgly");
  state = app_.WaitState(window, kWindow, [](const UiState& s) { return Get(s, "OptUgly").selected == 1; });
  app_.Click(window, state, "BtnNotUninst");
  EXPECT_EQ(app_.WaitExit(), 0u);
  Sleep(1000);  // a deletion would have been started by now
  ExpectProductIntact();
}

TEST_F(UninstallE2E, KeepOnTheFirstPageTouchesNothing) {
  FakeUpdateService service({{kTypeListPath, {JsonReply(ReasonList(3))}}});
  ServiceVariable host(service.Host());
  HWND window = StartUninstaller();
  ASSERT_NE(window, nullptr);
  UiState state = Read(window);
  app_.Click(window, state, "BtnUse");
  EXPECT_EQ(app_.WaitExit(), 0u);
  Sleep(1000);
  ExpectProductIntact();
  EXPECT_TRUE(service.Requests().empty());
  EXPECT_NE(GetFileAttributesW(InFolder(L"Setup\\PackageManager.zip").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(UninstallE2E, SilentUninstallRemovesEverythingWithoutInputOrFeedback) {
  FakeUpdateService service(
      {{kTypeListPath, {JsonReply(ReasonList(3))}}, {kConfirmPath, {JsonReply({{"code", 0}, {"msg", "ok"}})}}});
  ServiceVariable host(service.Host());
  ASSERT_TRUE(app_.Launch(InFolder(L"PackageManager.exe"), L"/unsilent"));
  EXPECT_EQ(app_.WaitExit(120000), 0u);
  ExpectProductGone();
  EXPECT_TRUE(service.Requests().empty()) << "a silent uninstall asks and sends nothing";
}

// A copy of the installed uninstaller saved into a folder of the user's, beside the user's own
// file: run from there it must delete nothing, neither there nor of the installed product.
class SavedUninstallerE2E : public UninstallE2E {
 protected:
  void SetUp() override {
    UninstallE2E::SetUp();
    saved_ = TempRoot() + L"\\\u6211\u7684\u4e0b\u8f7d " + UniqueName();
    const std::wstring skin = saved_ + L"\\Setup\\PackageManager.zip";
    WriteFileBytes(saved_ + L"\\PackageManager.exe", ReadFileBytes(InFolder(L"PackageManager.exe")));
    WriteFileBytes(skin, ReadFileBytes(InFolder(L"Setup\\PackageManager.zip")));
    WriteFileBytes(UserFile(), "mine");
    GetSystemTimeAsFileTime(&start_);
  }
  void TearDown() override {
    RemoveTree(saved_);
    UninstallE2E::TearDown();
  }
  std::wstring UserFile() const { return saved_ + L"\\\u5b58\u6863.txt"; }
  std::wstring Saved() const { return saved_ + L"\\PackageManager.exe"; }

  void ExpectNothingDeleted() {
    EXPECT_EQ(ReadFileBytes(UserFile()), "mine");
    EXPECT_TRUE(Exists(Saved()));
    EXPECT_TRUE(Exists(saved_ + L"\\Setup\\PackageManager.zip"));
    ExpectProductIntact();
  }

  std::wstring saved_;
  FILETIME start_ = {};
};

TEST_F(SavedUninstallerE2E, SilentlyRunItDeletesNothingAndEndsAsAFailedJob) {
  EXPECT_EQ(RunToEnd(Saved(), L"/unsilent"), 3u);
  Sleep(3000);  // a self-deletion would have run by now
  ExpectNothingDeleted();
  const std::string log = LogTextSince(start_);
  EXPECT_NE(log.find("In_Uninstall, " + Utf8(saved_) + " is not the product's install folder, nothing removed"),
            std::string::npos)
      << log;
}

TEST_F(SavedUninstallerE2E, WithTheProductListBesideItTheWindowReportsTheRefusal) {
  // Its description and product list read there, yet "InstallPath" names the real folder.
  for (const std::wstring& file : zqtest::ListFiles(InFolder(L"package"))) {
    WriteFileBytes(saved_ + L"\\package\\" + file, ReadFileBytes(InFolder(L"package\\") + file));
  }
  ServiceVariable host("127.0.0.1:1");
  ASSERT_TRUE(app_.Launch(Saved(), L"/uninstall"));
  HWND window = app_.WaitWindow(kWindow);
  ASSERT_NE(window, nullptr);
  app_.WaitState(window, kWindow, Settled);
  UiState state = OpenForm(window);
  ASSERT_TRUE(state["VerUninstPage2"].shown);
  app_.Click(window, state, "BtnCommit");
  HWND box = app_.WaitWindow(L"#32770", 60000, false);
  ASSERT_NE(box, nullptr) << "no report of the refused uninstall";
  wchar_t caption[64] = {};
  GetWindowTextW(box, caption, 64);
  EXPECT_EQ(std::wstring(caption), L"\u9519\u8bef");
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(app_.WaitExit(), 3u);
  Sleep(3000);
  ExpectNothingDeleted();
  const std::string log = LogTextSince(start_);
  EXPECT_NE(log.find("Init, InstallPath names " + Utf8(kFolder) + ", not the program's folder " + Utf8(saved_)),
            std::string::npos)
      << log;
}

}  // namespace
