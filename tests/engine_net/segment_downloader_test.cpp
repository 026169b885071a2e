// The segmented downloader against the fake update service: exact ranges, the joined file and
// its digest, and every way a download must fail without leaving segments.
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

std::vector<std::pair<unsigned int, unsigned int>> reports;
void RecordProgress(unsigned int total, unsigned int received, double speed) {
  EXPECT_GE(speed, 0.0);
  reports.emplace_back(total, received);
}

class SegmentDownloaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    reports.clear();
    work_ = nettest::TestWorkDir();
  }
  // A step serving `bytes` from a host file.
  json FileStep(const std::string& bytes) {
    std::wstring source = work_ + L"\\source-" + std::to_wstring(++sources_);
    EXPECT_TRUE(nettest::WriteFileBytes(source, bytes));
    return FileReply(nettest::UnixPath(source));
  }
  // A target in a fresh folder of its own.
  std::wstring Target(const std::wstring& name = L"p.bin") {
    std::wstring folder = work_ + L"\\download" + std::to_wstring(++targets_);
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder + L"\\" + name;
  }
  static bool Download(const FakeUpdateService& service, const std::string& path, const std::wstring& target,
                       const std::string& md5, unsigned int segments = 4) {
    CSegmentDownloader downloader(service.Url(path), service.Url(path), target, md5, &RecordProgress, nullptr,
                                  segments);
    return downloader.Download();
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
  // Only the target is left in its folder: no segment file survives.
  static void ExpectOnlyTarget(const std::wstring& target) {
    const size_t slash = target.find_last_of(L'\\');
    EXPECT_EQ(std::vector<std::wstring>{target.substr(slash + 1)}, nettest::ListFolder(target.substr(0, slash)));
  }
  std::wstring work_;
  int sources_ = 0, targets_ = 0;
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
  FakeUpdateService service({{"/pkg/setup.exe", {FileStep(bytes)}}});
  ASSERT_TRUE(service.Started());
  std::wstring target = Target(L"setup.exe");
  EXPECT_TRUE(Download(service, "/pkg/setup.exe", target, nettest::Md5Hex(bytes)));
  EXPECT_EQ(c.ranges, RangesAsked(service, "/pkg/setup.exe"));
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes) << "joined file differs";
  ExpectOnlyTarget(target);
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(std::make_pair(static_cast<unsigned int>(c.size), static_cast<unsigned int>(c.size)), reports.back());
  for (size_t i = 1; i < reports.size(); ++i) EXPECT_LT(reports[i - 1].second, reports[i].second);
}

INSTANTIATE_TEST_SUITE_P(
    OddSizes, SegmentRangesTest,
    ::testing::Values(
        SizeCase{1, {"bytes=0-0"}}, SizeCase{3, {"bytes=0-0", "bytes=1-1", "bytes=2-2"}},
        SizeCase{4, {"bytes=0-0", "bytes=1-1", "bytes=2-2", "bytes=3-3"}},
        SizeCase{5, {"bytes=0-0", "bytes=1-1", "bytes=2-2", "bytes=3-4"}},
        SizeCase{10, {"bytes=0-1", "bytes=2-3", "bytes=4-5", "bytes=6-9"}},
        SizeCase{1000003, {"bytes=0-249999", "bytes=250000-499999", "bytes=500000-749999", "bytes=750000-1000002"}}),
    [](const ::testing::TestParamInfo<SizeCase>& info) { return "Bytes" + std::to_string(info.param.size); });

// The digest in any letter case or none; an empty file, Chinese and long names (whose four
// segment names must stay apart), a redirect, one segment.
TEST_F(SegmentDownloaderTest, Succeeds) {
  const std::string bytes = nettest::PatternBytes(70001, 3);
  std::string md5 = nettest::Md5Hex(bytes), mixed = md5;
  for (size_t i = 0; i < mixed.size(); i += 2) mixed[i] = nettest::ToUpper(mixed.substr(i, 1))[0];
  const json file = FileStep(bytes);
  FakeUpdateService service({{"/p", {file}},
                             {"/empty", {FileStep("")}},
                             {"/moved", {With(TextReply("", 302), "headers", Headers({{"Location", "/cdn/p"}}))}},
                             {"/cdn/p", {file}}});
  ASSERT_TRUE(service.Started());
  const std::wstring chinese = work_ + L"\\下载目录～游戏";
  const std::wstring deep = work_ + L"\\" + std::wstring(60, L'd');
  ASSERT_TRUE(CreateDirectoryW(chinese.c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr));
  const struct {
    const char* what;
    const char* path;
    std::wstring target;
    std::string md5;
    unsigned int segments;
    size_t ranges;  // asked of `path`
  } cases[] = {
      {"lower case", "/p", Target(), md5, 4, 4},
      {"upper case", "/p", Target(), nettest::ToUpper(md5), 4, 4},
      {"mixed case", "/p", Target(), mixed, 4, 4},
      {"no digest", "/p", Target(), "", 4, 4},
      {"Chinese names", "/p", chinese + L"\\Tamsel游戏Pelluvo#官网#1.exe", md5, 4, 4},
      {"long path", "/p", deep + L"\\" + std::wstring(230 - deep.size() - 5, L'n') + L".exe", md5, 4, 4},
      {"one segment", "/p", Target(), md5, 1, 1},
      {"empty file", "/empty", Target(), "D41D8CD98F00B204E9800998ECF8427E", 4, 0},
      {"redirect", "/moved", Target(), md5, 4, 4},  // asked here, then followed
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<std::string> before = RangesAsked(service, c.path);
    EXPECT_TRUE(Download(service, c.path, c.target, c.md5, c.segments));
    EXPECT_TRUE(nettest::ReadFileBytes(c.target) == (std::string(c.path) == "/empty" ? "" : bytes));
    EXPECT_TRUE(nettest::FileExists(c.target));
    ExpectOnlyTarget(c.target);
    const std::vector<std::string> after = RangesAsked(service, c.path);
    EXPECT_EQ(before.size() + c.ranges, after.size());
    if (c.segments == 1) {
      EXPECT_EQ(1, std::count(after.begin(), after.end(), "bytes=0-70000"));
    }
  }
  EXPECT_GT(cases[5].target.size(), 200u);
  EXPECT_EQ(4u, RangesAsked(service, "/cdn/p").size()) << "the probe and the ranges follow the redirect";
}

// Ranges of several blocks each are joined and digested while later ones arrive; a range that
// ends short after blocks of every range were joined still leaves the target empty.
TEST_F(SegmentDownloaderTest, RangesOfManyBlocksJoinWholeOrNotAtAll) {
  const std::string bytes = nettest::PatternBytes(9 * 1024 * 1024 + 5, 11);
  const json file = FileStep(bytes);
  FakeUpdateService service({{"/p", {file}}, {"/short", {file, With(file, "short", 1)}}});
  ASSERT_TRUE(service.Started());
  for (unsigned int segments : {4u, 1u}) {
    SCOPED_TRACE(segments);
    const std::wstring target = Target();
    EXPECT_TRUE(Download(service, "/p", target, nettest::Md5Hex(bytes), segments));
    EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
    ExpectOnlyTarget(target);
  }
  const std::wstring target = Target();
  EXPECT_FALSE(Download(service, "/short", target, ""));
  EXPECT_EQ(nettest::ReadFileBytes(target), "");
  ExpectOnlyTarget(target);
}

// A wrong digest, a missing file, short or whole-file answers to ranges, an unknown length,
// error pages: the download fails and leaves no segment; what reached the server is exact.
TEST_F(SegmentDownloaderTest, FailuresLeaveNoSegment) {
  const std::string bytes = nettest::PatternBytes(400000, 7);
  const json file = FileStep(bytes);
  const struct {
    const char* what;
    std::vector<json> steps;
    std::string md5;
    bool targetHoldsTheBytes;
    int rangesAsked;  // -1: some
  } cases[] = {
      {"wrong digest", {file}, nettest::Md5Hex(bytes + "x"), true, 4},
      {"missing file", {TextReply("not found", 404)}, nettest::Md5Hex(""), false, 0},
      {"short range body", {With(file, "short", 1000)}, "", false, -1},  // even without a digest
      {"no range support", {With(file, "ranges", false)}, "", false, -1},
      {"unknown length", {With(file, "length", false)}, "", false, 0},
      {"error page for the ranges", {file, TextReply("<html>busy</html>", 500)}, "", false, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    FakeUpdateService service({{"/p", c.steps}});
    ASSERT_TRUE(service.Started());
    std::wstring target = Target();
    EXPECT_FALSE(Download(service, "/p", target, c.md5));
    EXPECT_TRUE(nettest::ReadFileBytes(target) == (c.targetHoldsTheBytes ? bytes : std::string()));
    ExpectOnlyTarget(target);
    const size_t ranges = RangesAsked(service, "/p").size();
    if (c.rangesAsked >= 0) {
      EXPECT_EQ(static_cast<size_t>(c.rangesAsked), ranges);
    } else {
      EXPECT_GT(ranges, 0u);
    }
    if (c.rangesAsked == 0) {
      EXPECT_EQ(1u, service.Requests().size()) << "the probe only";
    }
  }
  FakeUpdateService service({{"/p", {file}}});
  ASSERT_TRUE(service.Started());
  EXPECT_FALSE(Download(service, "/p", work_ + L"\\no-such-folder\\p.bin", ""));
  EXPECT_TRUE(service.Requests().empty()) << "a target that cannot be created sends nothing";
}

TEST_F(SegmentDownloaderTest, PlainHttpRangesRunSideBySide) {
  std::string bytes = nettest::PatternBytes(40000, 15);
  // Every answer waits a second: ranges that run side by side all arrive meanwhile.
  FakeUpdateService service({{"/p", {With(FileStep(bytes), "delay_ms", 1000)}}});
  ASSERT_TRUE(service.Started());
  EXPECT_TRUE(Download(service, "/p", Target(), nettest::Md5Hex(bytes)));
  int mostAtOnce = 0;
  for (auto& request : service.RequestsTo("/p")) {
    if (request["headers"].contains("range")) mostAtOnce = std::max(mostAtOnce, request["in_flight"].get<int>());
  }
  EXPECT_EQ(4, mostAtOnce);
}
