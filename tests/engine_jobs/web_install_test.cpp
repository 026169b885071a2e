// The web-install job end to end: the search on the fake update service, the download in
// four ranges with its MD5 check into a download folder with Chinese characters, and the
// package (a test program recording its arguments) opened (mode 5) or run silently (mode 6).
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/jobs/web_install_job.h"
#include "engine/update/update_eng_ex.h"
#include "engine/zqpm/zqpm.h"
#include "jobs_test_support.h"
#include "update_test_support.h"

namespace {

using nettest::FakeUpdateService;
using nettest::steps::FileReply;
using nettest::steps::JsonReply;

class WebInstall : public ::testing::Test {
 protected:
  WebInstall() : download_(folder_ / L"\u4e0b\u8f7d ~ZQDownload"), record_(folder_ / L"package.record") {
    SetEnvironmentVariableW(L"JOBS_PACKAGE_RECORD", record_.c_str());
    package_ = updtest::ReadFileBytes(updtest::Helper(L"jobs_package.exe"));
    ZQPM::GetInstance()->SetUIPrompt(&window_);  // the download progress comes through the engine
  }
  ~WebInstall() override {
    ZQPM::GetInstance()->SetUIPrompt(nullptr);
    SetEnvironmentVariableW(L"JOBS_PACKAGE_RECORD", nullptr);
    SetEnvironmentVariableW(L"JOBS_PACKAGE_EXIT", nullptr);
  }

  // Serves the package under fileName with the given digest (default: its own) and runs the job.
  int Run(int mode, const std::string& fileName, std::string md5 = "") {
    if (md5.empty()) md5 = nettest::Md5Hex(package_);
    files_.reset(
        new FakeUpdateService({{"/pkg/setup", {FileReply(nettest::UnixPath(updtest::Helper(L"jobs_package.exe")))}}}));
    nlohmann::json block = {{"ver_range", "1-1"},
                            {"url", files_->Url("/pkg/setup")},
                            {"md5", md5},
                            {"size", package_.size()},
                            {"fileName", fileName}};
    FakeUpdateService search(
        {{"/soft/update/search", {JsonReply({{"code", 0}, {"data", {{"version", "1"}, {"blockurl", {block}}}}})}}});
    jobstest::ServiceHost host(search.Host());
    OpePARAMEx record;
    record.mode = mode;
    return RunWebInstallJob(record, jobstest::Services(engine_, &window_, L"C:\\d\\setup#abc#7.exe", download_));
  }

  std::vector<nlohmann::json> RangeRequests() const {
    std::vector<nlohmann::json> ranges;
    for (const nlohmann::json& request : files_->RequestsTo("/pkg/setup")) {
      if (request["headers"].contains("range")) ranges.push_back(request);
    }
    return ranges;
  }

  updtest::TempFolder folder_;
  const std::wstring download_;
  const std::wstring record_;
  std::string package_;
  std::unique_ptr<FakeUpdateService> files_;
  CUpdateEngEx engine_;
  jobstest::Prompt window_;
};

TEST_F(WebInstall, Mode6DownloadsInFourRangesRunsThePackageSilentlyAndFinishes) {
  updtest::LogCapture log;
  const std::string name = u8"安装 包.exe";
  ASSERT_EQ(Run(OpePARAMEx::CMD_WEB_SILENT_INSTALL, name), 0);
  EXPECT_EQ(updtest::ReadFileBytes(download_ + L"\\" + nettest::Wide(name)), package_);
  EXPECT_EQ(updtest::ReadFileBytes(record_), "/silent|/norestart\n");

  // Four ranges that together cover the package once.
  std::vector<std::string> ranges;
  for (const nlohmann::json& request : RangeRequests()) ranges.push_back(request["headers"]["range"]);
  std::sort(ranges.begin(), ranges.end());
  ASSERT_EQ(ranges.size(), 4u);
  const size_t quarter = package_.size() / 4;
  EXPECT_EQ(ranges[0], "bytes=0-" + std::to_string(quarter - 1));

  // Download reports with the speed text, then "installing the product" and the finish.
  const auto& events = window_.events;
  ASSERT_GE(events.size(), 3u);
  EXPECT_EQ(events[events.size() - 2], "X 29 0 100  100");
  EXPECT_EQ(events.back(), "F");
  const std::string last = events[events.size() - 3];
  const std::string size = std::to_string(package_.size());
  EXPECT_EQ(last.rfind("X 8 " + size + " " + size + u8" ，速度：", 0), 0u) << last;
  EXPECT_EQ(last.substr(last.size() - 3), " 90");
  for (size_t i = 0; i + 2 < events.size(); ++i) EXPECT_EQ(events[i].rfind("X 8 ", 0), 0u) << events[i];
}

TEST_F(WebInstall, Mode6ReportsAFailingPackageWithItsExitCode) {
  updtest::LogCapture log;
  SetEnvironmentVariableW(L"JOBS_PACKAGE_EXIT", L"7");
  EXPECT_EQ(Run(OpePARAMEx::CMD_WEB_SILENT_INSTALL, "setup.exe"), -4);
  EXPECT_EQ(updtest::ReadFileBytes(record_), "/silent|/norestart\n");
  EXPECT_EQ(window_.events.back(), u8"M 安装失败 0");
  EXPECT_EQ(std::count(window_.events.begin(), window_.events.end(), "F"), 0);
  EXPECT_NE(
      log.Text().find("In_WebInstall, setup failed, file " + nettest::Utf8(download_) + "\\setup.exe exit code 7"),
      std::string::npos);
}

TEST_F(WebInstall, Mode5OpensThePackageAndReportsNothingMore) {
  ASSERT_EQ(Run(OpePARAMEx::CMD_WEB_INSTALL, "setup.exe"), 0);
  for (int i = 0; i < 500 && !updtest::Exists(record_); ++i) Sleep(20);
  EXPECT_EQ(updtest::ReadFileBytes(record_), "\n");  // started by the shell, no arguments
  EXPECT_EQ(RangeRequests().size(), 4u);
  for (const std::string& event : window_.events) EXPECT_EQ(event.rfind("X 8 ", 0), 0u) << event;
}

TEST_F(WebInstall, ACorruptDownloadIsNeverRun) {
  EXPECT_EQ(Run(OpePARAMEx::CMD_WEB_SILENT_INSTALL, "setup.exe", "00112233445566778899aabbccddeeff"), -2);
  EXPECT_EQ(window_.events.back(), u8"M 下载失败 0");
  Sleep(200);
  EXPECT_FALSE(updtest::Exists(record_));
}

TEST_F(WebInstall, AFileNameOutsideTheDownloadFolderIsRefusedBeforeAnyDownload) {
  for (const char* name : {"..\\evil.exe", "C:evil.exe", "x/../../evil.exe"}) {
    window_.events.clear();
    EXPECT_EQ(Run(OpePARAMEx::CMD_WEB_SILENT_INSTALL, name), -1) << name;
    EXPECT_EQ(window_.events, std::vector<std::string>{u8"M 下载失败 0"});
    EXPECT_TRUE(files_->Requests().empty());
  }
  EXPECT_FALSE(updtest::Exists(download_));
  EXPECT_FALSE(updtest::Exists(folder_ / L"evil.exe"));
  EXPECT_FALSE(updtest::Exists(record_));
}

TEST(DownloadSpeed, TextScalesAboveOneKilobyteAndOneMegabyte) {
  EXPECT_EQ(DownloadSpeedText(2.5 * 1048576), L"\uff0c\u901f\u5ea6\uff1a2.50M");
  EXPECT_EQ(DownloadSpeedText(3000000), L"\uff0c\u901f\u5ea6\uff1a2.86M");
  EXPECT_EQ(DownloadSpeedText(1048576), L"\uff0c\u901f\u5ea6\uff1a1024.00kB");
  EXPECT_EQ(DownloadSpeedText(2048), L"\uff0c\u901f\u5ea6\uff1a2.00kB");
  EXPECT_EQ(DownloadSpeedText(1024), L"\uff0c\u901f\u5ea6\uff1a1024.00B");
}

}  // namespace
