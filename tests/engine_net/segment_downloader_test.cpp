// The segmented downloader against the fake update service: exact ranges, the joined
// file and its digest, and every way a download must fail without leaving segments.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/net/segment_downloader.h"
#include "net_test_support.h"

using nettest::FakeUpdateService;
using namespace nettest::steps;
using nlohmann::json;

namespace {

struct Progress {
  static std::vector<std::pair<unsigned int, unsigned int>> reports;
  static void Record(unsigned int total, unsigned int received, double speed) {
    EXPECT_GE(speed, 0.0);
    reports.emplace_back(total, received);
  }
};
std::vector<std::pair<unsigned int, unsigned int>> Progress::reports;

class SegmentDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Progress::reports.clear();
    work_ = nettest::TestWorkDir();
  }

  // Serves `bytes` at /pkg/<name> with the given step options.
  json FileStep(const std::string& name, const std::string& bytes) {
    std::wstring source = work_ + L"\\source-" + nettest::Wide(name);
    EXPECT_TRUE(nettest::WriteFileBytes(source, bytes));
    return FileReply(nettest::UnixPath(source));
  }

  std::wstring Target(const std::wstring& name) {
    std::wstring folder = work_ + L"\\download";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
  }

  static std::vector<std::string> RangesAsked(const FakeUpdateService& service, const std::string& path) {
    std::vector<std::string> ranges;
    for (auto& request : service.RequestsTo(path)) {
      if (request["headers"].contains("range")) ranges.push_back(request["headers"]["range"]);
    }
    std::sort(ranges.begin(), ranges.end(), [](const std::string& a, const std::string& b) {
      return std::stoll(a.substr(6)) < std::stoll(b.substr(6));
    });
    return ranges;
  }

  // Only the target is left in the download folder: no segment file survives.
  void ExpectOnlyTarget(const std::wstring& target) {
    std::wstring folder = target.substr(0, target.find_last_of(L'\\'));
    std::wstring name = target.substr(target.find_last_of(L'\\') + 1);
    EXPECT_EQ(std::vector<std::wstring>{name}, nettest::ListFolder(folder));
  }

  std::wstring work_;
};

struct SizeCase {
  size_t size;
  std::vector<std::string> ranges;
};

void PrintTo(const SizeCase& c, std::ostream* out) { *out << c.size << " bytes"; }

class SegmentRangesTest : public SegmentDownloaderTest, public ::testing::WithParamInterface<SizeCase> {};

}  // namespace

TEST_P(SegmentRangesTest, FourRangesCoverEveryByteExactlyOnce) {
  const SizeCase& c = GetParam();
  std::string bytes = nettest::PatternBytes(c.size, static_cast<uint32_t>(c.size));
  FakeUpdateService service({{"/pkg/setup.exe", {FileStep("setup.exe", bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"setup.exe");
  CSegmentDownloader downloader(service.Url("/pkg/setup.exe"), service.Url("/pkg/setup.exe"), target,
                                nettest::Md5Hex(bytes), &Progress::Record, nullptr, 4);
  EXPECT_TRUE(downloader.Download());
  EXPECT_EQ(c.ranges, RangesAsked(service, "/pkg/setup.exe"));
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes) << "joined file differs";
  ExpectOnlyTarget(target);
  ASSERT_FALSE(Progress::reports.empty());
  EXPECT_EQ(std::make_pair(static_cast<unsigned int>(c.size), static_cast<unsigned int>(c.size)),
            Progress::reports.back());
  for (size_t i = 1; i < Progress::reports.size(); ++i) {
    EXPECT_LT(Progress::reports[i - 1].second, Progress::reports[i].second);
  }
}

INSTANTIATE_TEST_SUITE_P(
    OddSizes, SegmentRangesTest,
    ::testing::Values(SizeCase{1, {"bytes=0-0"}},
                      SizeCase{3, {"bytes=0-0", "bytes=1-1", "bytes=2-2"}},
                      SizeCase{4, {"bytes=0-0", "bytes=1-1", "bytes=2-2", "bytes=3-3"}},
                      SizeCase{5, {"bytes=0-0", "bytes=1-1", "bytes=2-2", "bytes=3-4"}},
                      SizeCase{10, {"bytes=0-1", "bytes=2-3", "bytes=4-5", "bytes=6-9"}},
                      SizeCase{1000003,
                               {"bytes=0-249999", "bytes=250000-499999", "bytes=500000-749999",
                                "bytes=750000-1000002"}}),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return "Bytes" + std::to_string(info.param.size); });

TEST_F(SegmentDownloaderTest, ExpectedMd5MatchesInAnyLetterCase) {
  std::string bytes = nettest::PatternBytes(70001, 3);
  std::string md5 = nettest::Md5Hex(bytes);
  std::string mixed = md5;
  for (size_t i = 0; i < mixed.size(); i += 2) mixed[i] = nettest::ToUpper(mixed.substr(i, 1))[0];
  FakeUpdateService service({{"/p", {FileStep("p", bytes)}}});
  ASSERT_TRUE(service.Started());
  for (const std::string& expected : {md5, nettest::ToUpper(md5), mixed}) {
    std::wstring target = Target(L"p.bin");
    CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, expected, nullptr, nullptr, 4);
    EXPECT_TRUE(downloader.Download()) << expected;
    EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
  }
}

TEST_F(SegmentDownloaderTest, WrongMd5FailsAndKeepsTheJoinedBytes) {
  std::string bytes = nettest::PatternBytes(4099, 5);
  FakeUpdateService service({{"/p", {FileStep("p", bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  std::string wrong = nettest::Md5Hex(bytes + "x");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, wrong, nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
  ExpectOnlyTarget(target);
}

TEST_F(SegmentDownloaderTest, WithoutExpectedMd5TheJoinedFileIsAccepted) {
  std::string bytes = nettest::PatternBytes(999, 6);
  FakeUpdateService service({{"/p", {FileStep("p", bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, "", nullptr, nullptr, 4);
  EXPECT_TRUE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
}

TEST_F(SegmentDownloaderTest, MissingFileFailsBeforeAnyRange) {
  FakeUpdateService service({{"/other", {TextReply("x")}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/missing.exe"), service.Url("/missing.exe"), target,
                                nettest::Md5Hex(""), nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());
  EXPECT_EQ(1u, service.Requests().size());  // the probe only
  EXPECT_TRUE(RangesAsked(service, "/missing.exe").empty());
  ExpectOnlyTarget(target);
}

TEST_F(SegmentDownloaderTest, ShortRangeBodyFails) {
  std::string bytes = nettest::PatternBytes(400000, 7);
  FakeUpdateService service({{"/p", {With(FileStep("p", bytes), "short", 1000)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, "", nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());  // even without a digest to compare
  EXPECT_TRUE(nettest::ReadFileBytes(target).empty());
  ExpectOnlyTarget(target);
}

TEST_F(SegmentDownloaderTest, ServerWithoutRangeSupportFails) {
  std::string bytes = nettest::PatternBytes(300000, 8);
  FakeUpdateService service({{"/p", {With(FileStep("p", bytes), "ranges", false)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, "", nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());
  EXPECT_FALSE(RangesAsked(service, "/p").empty());  // asked, but answered with the whole file
  EXPECT_TRUE(nettest::ReadFileBytes(target).empty());
  ExpectOnlyTarget(target);
}

TEST_F(SegmentDownloaderTest, UnknownLengthFailsWithoutRanges) {
  std::string bytes = nettest::PatternBytes(5000, 9);
  FakeUpdateService service({{"/p", {With(FileStep("p", bytes), "length", false)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, "", nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());
  EXPECT_EQ(1u, service.Requests().size());
  EXPECT_TRUE(RangesAsked(service, "/p").empty());
  ExpectOnlyTarget(target);
}

TEST_F(SegmentDownloaderTest, EmptyFileNeedsNoRange) {
  FakeUpdateService service({{"/p", {FileStep("p", "")}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, "D41D8CD98F00B204E9800998ECF8427E",
                                nullptr, nullptr, 4);
  EXPECT_TRUE(downloader.Download());
  EXPECT_TRUE(RangesAsked(service, "/p").empty());
  EXPECT_TRUE(nettest::FileExists(target));
  EXPECT_TRUE(nettest::ReadFileBytes(target).empty());
}

TEST_F(SegmentDownloaderTest, ChineseFolderAndFileName) {
  std::string bytes = nettest::PatternBytes(123457, 10);
  FakeUpdateService service({{"/p", {FileStep("p", bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring folder = work_ + L"\\下载目录～游戏";
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  std::wstring target = folder + L"\\Tamsel游戏Pelluvo#官网#1.exe";
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, nettest::Md5Hex(bytes), nullptr,
                                nullptr, 4);
  EXPECT_TRUE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
  ExpectOnlyTarget(target);
}

TEST_F(SegmentDownloaderTest, LongTargetPathKeepsFourSegmentsApart) {
  std::string bytes = nettest::PatternBytes(200003, 11);
  FakeUpdateService service({{"/p", {FileStep("p", bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring folder = work_ + L"\\" + std::wstring(60, L'd');
  ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
  std::wstring target = folder + L"\\" + std::wstring(230 - folder.size() - 5, L'n') + L".exe";
  ASSERT_GT(target.size(), 200u);
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, nettest::Md5Hex(bytes), nullptr,
                                nullptr, 4);
  EXPECT_TRUE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
  ExpectOnlyTarget(target);
}

TEST_F(SegmentDownloaderTest, TargetThatCannotBeCreatedSendsNothing) {
  FakeUpdateService service({{"/p", {FileStep("p", "abc")}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = work_ + L"\\no-such-folder\\p.bin";
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, "", nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());
  EXPECT_TRUE(service.Requests().empty());
}

TEST_F(SegmentDownloaderTest, RedirectedUrlIsFollowedByProbeAndRanges) {
  std::string bytes = nettest::PatternBytes(10007, 12);
  json moved = With(TextReply("", 302), "headers", Headers({{"Location", "/cdn/p"}}));
  FakeUpdateService service({{"/p", {moved}}, {"/cdn/p", {FileStep("p", bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, nettest::Md5Hex(bytes), nullptr,
                                nullptr, 4);
  EXPECT_TRUE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
  EXPECT_EQ(4u, RangesAsked(service, "/cdn/p").size());
}

TEST_F(SegmentDownloaderTest, OneSegmentAsksForTheWholeFile) {
  std::string bytes = nettest::PatternBytes(77777, 13);
  FakeUpdateService service({{"/p", {FileStep("p", bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, nettest::Md5Hex(bytes), nullptr,
                                nullptr, 1);
  EXPECT_TRUE(downloader.Download());
  EXPECT_EQ(std::vector<std::string>{"bytes=0-77776"}, RangesAsked(service, "/p"));
}

TEST_F(SegmentDownloaderTest, PlainHttpRangesRunSideBySide) {
  std::string bytes = nettest::PatternBytes(40000, 15);
  // Every answer waits a second: ranges that run side by side all arrive meanwhile.
  FakeUpdateService service({{"/p", {With(FileStep("p", bytes), "delay_ms", 1000)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, nettest::Md5Hex(bytes), nullptr,
                                nullptr, 4);
  EXPECT_TRUE(downloader.Download());
  int mostAtOnce = 0;
  for (auto& request : service.RequestsTo("/p")) {
    if (request["headers"].contains("range")) mostAtOnce = std::max(mostAtOnce, request["in_flight"].get<int>());
  }
  EXPECT_EQ(4, mostAtOnce);
}

TEST_F(SegmentDownloaderTest, ErrorPageForARangeFails) {
  std::string bytes = nettest::PatternBytes(20000, 14);
  // The probe sees the file; every range request then gets an error page.
  json error = TextReply("<html>busy</html>", 500);
  FakeUpdateService service({{"/p", {FileStep("p", bytes), error}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"p.bin");
  CSegmentDownloader downloader(service.Url("/p"), service.Url("/p"), target, "", nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target).empty());
  ExpectOnlyTarget(target);
}
