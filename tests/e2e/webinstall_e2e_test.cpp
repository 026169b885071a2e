// A web install ("/websilent", "/webinstall") run against the fake update service and the
// TLS nginx of the network tests: the download page with sizes, speed and percentage, the
// engine's failure texts, and the after page with its quick start.
#include <windows.h>

#include <cstdio>

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
using nettest::NginxService;
using nettest::steps::JsonReply;

namespace {

const wchar_t kFolder[] = L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2";
const wchar_t kClient[] = L"Tamsel游戏Pelluvo.exe";
const wchar_t kWindow[] = L"WebInstallWnd";

// A control of a state read while polling: a lost dump is no failure, the poll reads again.
const ControlState& Get(const UiState& state, const std::string& name) {
  static const ControlState none;
  auto it = state.controls_.find(name);
  return it == state.controls_.end() ? none : it->second;
}

bool StartsWith(const std::string& text, const std::string& head) { return text.compare(0, head.size(), head) == 0; }

// "13.60M": a size as the download page writes it.
std::string Megabytes(size_t bytes) {
  char text[32] = {};
  snprintf(text, sizeof text, "%.2fM", static_cast<double>(static_cast<float>(bytes)) / 1000 / 1000);
  return text;
}

class Variable {
 public:
  Variable(const wchar_t* name, const std::wstring& value) : name_(name) {
    SetEnvironmentVariableW(name, value.c_str());
  }
  ~Variable() { SetEnvironmentVariableW(name_, nullptr); }

 private:
  const wchar_t* name_;
};

class WebInstallE2E : public ::testing::Test {
 protected:
  void SetUp() override {
    Clean();
    ASSERT_TRUE(nginx_.Started());
    // A web installer: the bare setup program under a name with product and channel, its
    // skin beside it in the folder it starts in.
    work_ = TempRoot() + L"\\web-" + UniqueName();
    MakeFolder(work_);
    const std::wstring build = nettest::BuildDir();
    installer_ = work_ + L"\\TamselPelluvo#orvenna__web#1.exe";
    ASSERT_TRUE(CopyFileW((build + L"\\bin\\PackageManager.exe").c_str(), installer_.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((build + L"\\sample\\skin\\PackageManager.zip").c_str(),
                          (work_ + L"\\PackageManager.zip").c_str(), FALSE));
  }
  void TearDown() override {
    KillProcessesNamed(kClient);
    Clean();
    RemoveTree(work_);
  }
  static void Clean() {
    zqtest::CleanInstalledTraces();
    SetFileAttributesW((std::wstring(kFolder) + L"\\Setup\\PackageManager.zip").c_str(), FILE_ATTRIBUTE_NORMAL);
    RemoveTree(L"C:\\Program Files (x86)\\Orvenna");
  }

  // The search answers with one package at url.
  void Serve(const std::string& url, const std::string& bytes) {
    nlohmann::json block = {{"ver_range", "1-1"},
                            {"url", url},
                            {"md5", nettest::Md5Hex(bytes)},
                            {"size", bytes.size()},
                            {"fileName", "TamselPelluvo#orvenna__sample#1.exe"}};
    search_.reset(new FakeUpdateService(
        {{"/soft/update/search",
          {JsonReply({{"code", 0}, {"msg", "ok"}, {"data", {{"version", "1"}, {"blockurl", {block}}}}})}}}));
    ASSERT_TRUE(search_->Started());
    host_.reset(new Variable(L"TAMSEL_UPDATE_HOST", Wide(search_->Host())));
  }

  HWND Start(const std::wstring& args) {
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(work_.c_str());
    EXPECT_TRUE(app_.Launch(installer_, args));
    SetCurrentDirectoryW(previous);
    HWND window = app_.WaitWindow(kWindow);
    EXPECT_NE(window, nullptr);
    return window;
  }

  // Waits for the engine's failure text and closes the window: the run reports a failure.
  void ExpectFailure(HWND window, const std::string& text, const wchar_t* picture) {
    UiState state = app_.WaitState(
        window, kWindow, [&](const UiState& s) { return Get(s, "LabelAction").text == text; }, 120000);
    EXPECT_EQ(state["LabelAction"].text, text);
    EXPECT_EQ(state["LabelTips"].text, "");
    EXPECT_TRUE(state["VerDownload"].shown);
    EXPECT_FALSE(state["VerAfterInstall"].shown);
    app_.Dump(window, kWindow, picture);
    app_.Click(window, state, "BtnWebInstallClose");
    const DWORD code = app_.WaitExit();
    EXPECT_NE(code, 0u);
    EXPECT_NE(code, STILL_ACTIVE);
    EXPECT_EQ(zqtest::ReadValue32(HKEY_LOCAL_MACHINE, zqtest::kProductKey, L"InstallPath"), L"<missing>");
  }

  NginxService nginx_;
  std::unique_ptr<FakeUpdateService> search_;
  std::unique_ptr<Variable> host_;
  std::wstring work_;
  std::wstring installer_;
  AppDriver app_;
};

TEST_F(WebInstallE2E, SilentWebInstallDownloadsInstallsAndQuickStarts) {
  const std::string package = ReadFileBytes(SampleSetupPath());
  ASSERT_FALSE(package.empty());
  // The slow HTTP/1.1 server keeps the download page on screen for a while.
  // A name of this run: nginx's access log outlives it, and Wine reuses process ids.
  const std::string name =
      "full-setup-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount64()) + ".exe";
  const std::string url = nginx_.Put(name, package);
  Serve(nginx_.Http1Url(name), package);
  ASSERT_FALSE(url.empty());
  HWND window = Start(L"/websilent");
  ASSERT_NE(window, nullptr);

  // The first picture of a process loads the image encoders; under Wine that stalls the
  // window for long while the download threads run, so it is taken at once.
  app_.Dump(window, kWindow, L"webinstall-0-start.png");
  const std::string sizes = "总大小：" + Megabytes(package.size()) + "，已下载：";
  int last = 0;
  bool pictured = false, installing = false;
  std::vector<std::string> tips;
  UiState state = app_.WaitState(
      window, kWindow,
      [&](const UiState& s) {
        if (Get(s, "VerDownload").shown) {
          const int value = Get(s, "ProWebInstall").value;
          EXPECT_GE(value, last) << "the bar went back";
          EXPECT_LE(value, 90) << "a download reaches at most 90";
          EXPECT_EQ(Get(s, "ProWebInstall").text, std::to_string(value) + "%");
          last = value;
          if (!Get(s, "LabelTips").text.empty()) tips.push_back(Get(s, "LabelTips").text);
          if (!pictured && value > 0 && value < 90) {
            pictured = !app_.Dump(window, kWindow, L"webinstall-1-download.png").controls_.empty();
          }
          if (Get(s, "LabelAction").text == "正在安装TamselPelluvo... ...") {
            if (!installing) app_.Dump(window, kWindow, L"webinstall-2-installing.png");
            installing = true;
          }
        }
        return Get(s, "VerAfterInstall").shown;
      },
      280000);
  ASSERT_TRUE(state["VerAfterInstall"].shown);
  EXPECT_TRUE(pictured) << "the download was never seen under way";
  EXPECT_TRUE(installing) << "the silent run of the package was never shown";
  ASSERT_FALSE(tips.empty());
  for (const std::string& tip : tips) {
    EXPECT_TRUE(StartsWith(tip, sizes)) << tip;
    EXPECT_NE(tip.find("，速度："), std::string::npos) << tip;
  }
  EXPECT_EQ(state["ProWebInstall"].value, 100);
  EXPECT_EQ(state["ProWebInstall"].text, "100%");
  EXPECT_FALSE(state["VerDownload"].shown);
  EXPECT_TRUE(state["BtnQuickStart"].shown);
  app_.Dump(window, kWindow, L"webinstall-3-after.png");
  EXPECT_EQ(zqtest::ReadValue32(HKEY_LOCAL_MACHINE, zqtest::kProductKey, L"InstallPath"), kFolder);
  // Four byte ranges from nginx.
  int ranges = 0;
  for (const std::string& line : nginx_.AccessLines(name)) ranges += line.find("\"bytes=") != std::string::npos;
  EXPECT_EQ(ranges, 4);

  // The icons swing on the after page.
  const RECT before = state["CtrlGame"].pos;
  state = app_.WaitState(
      window, kWindow, [&](const UiState& s) { return Get(s, "CtrlGame").pos.top != before.top; }, 5000);
  EXPECT_NE(state["CtrlGame"].pos.top, before.top);

  app_.Click(window, state, "BtnQuickStart");
  EXPECT_EQ(app_.WaitExit(), 0u);
  const std::wstring starts = std::wstring(kFolder) + L"\\starts.log";
  for (int i = 0; i < 200 && !Exists(starts); ++i) Sleep(50);
  EXPECT_TRUE(Exists(starts)) << "the quick start did not start the client";
}

TEST_F(WebInstallE2E, AMissingPackageShowsDownloadFailed) {
  Serve(nginx_.Url("no-such-package.exe"), std::string(4096, 'x'));
  HWND window = Start(L"/websilent");
  ASSERT_NE(window, nullptr);
  ExpectFailure(window, "下载失败", L"webinstall-failed-download.png");
}

TEST_F(WebInstallE2E, APackageEndingWithAnErrorShowsInstallFailed) {
  const std::string package = ReadFileBytes(Wide(JOBS_PACKAGE_EXE));
  ASSERT_FALSE(package.empty());
  Serve(nginx_.Put("failing-setup.exe", package), package);
  const std::wstring record = work_ + L"\\package.record";
  Variable exitCode(L"JOBS_PACKAGE_EXIT", L"7");
  Variable recordFile(L"JOBS_PACKAGE_RECORD", record);
  HWND window = Start(L"/websilent");
  ASSERT_NE(window, nullptr);
  ExpectFailure(window, "安装失败", L"webinstall-failed-install.png");
  EXPECT_EQ(ReadFileBytes(record), "/silent|/norestart\n");
}

TEST_F(WebInstallE2E, AWebInstallOpensThePackageAndStaysOnTheDownloadPage) {
  const std::string package = ReadFileBytes(Wide(JOBS_PACKAGE_EXE));
  Serve(nginx_.Put("opened-setup.exe", package), package);
  const std::wstring record = work_ + L"\\package.record";
  Variable recordFile(L"JOBS_PACKAGE_RECORD", record);
  // The interactive web install names its folder on the command line.
  HWND window = Start(L"/webinstall:" + work_);
  ASSERT_NE(window, nullptr);
  for (int i = 0; i < 1200 && !Exists(record); ++i) Sleep(50);
  EXPECT_EQ(ReadFileBytes(record), "\n") << "the package was not opened";
  UiState state = app_.WaitState(window, kWindow, [](const UiState& s) { return Get(s, "ProWebInstall").value == 90; });
  EXPECT_EQ(state["ProWebInstall"].text, "90%");
  EXPECT_TRUE(StartsWith(state["LabelTips"].text,
                         "总大小：" + Megabytes(package.size()) + "，已下载：" + Megabytes(package.size())))
      << state["LabelTips"].text;
  EXPECT_TRUE(state["VerDownload"].shown);
  EXPECT_FALSE(state["VerAfterInstall"].shown);
  app_.Click(window, state, "BtnWebInstallClose");
  EXPECT_EQ(app_.WaitExit(), 0u);
}

}  // namespace
