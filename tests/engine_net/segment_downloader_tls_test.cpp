// The segmented downloader against a real nginx over TLS: with HTTP/2 the four ranges ride one
// multiplexed connection; with HTTP/1.1 they run side by side on four.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "engine/net/segment_downloader.h"
#include "net_test_support.h"

namespace {

// An access-log line of a range request (the length probe has none).
struct RangeLine {
  std::string connection, requests, protocol, method, uri, range, status, bytes;
  double seconds = 0, end = 0;
};

std::vector<RangeLine> RangeLines(const nettest::NginxService& nginx, const std::string& name) {
  std::vector<RangeLine> lines;
  for (const std::string& text : nginx.AccessLines(name)) {
    std::istringstream in(text);
    RangeLine a;
    in >> a.connection >> a.requests >> a.protocol >> a.method >> a.uri >> a.range >> a.status >> a.bytes >>
        a.seconds >> a.end;
    if (a.range != "\"-\"" && a.range != "\"\"") lines.push_back(a);
  }
  return lines;
}

std::string UniqueName(const char* stem) {
  return std::string(stem) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
         std::to_string(GetTickCount()) + ".bin";
}

}  // namespace

TEST(SegmentDownloaderTlsTest, FourRangesShareOneHttp2Connection) {
  nettest::NginxService nginx;
  ASSERT_TRUE(nginx.Started());
  std::string bytes = nettest::PatternBytes(4000037, 21);
  std::string name = UniqueName("pkg");
  std::string url = nginx.Put(name, bytes);
  std::wstring target = nettest::TestWorkDir() + L"\\安装包.exe";
  CSegmentDownloader downloader(url, url, target, nettest::Md5Hex(bytes), nullptr, nullptr, 4);
  ASSERT_TRUE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
  std::set<std::string> connections, ranges, requestNumbers;
  std::vector<RangeLine> lines = RangeLines(nginx, name);
  for (const RangeLine& a : lines) {
    EXPECT_EQ("HTTP/2.0", a.protocol);
    EXPECT_EQ("206", a.status);
    connections.insert(a.connection);
    requestNumbers.insert(a.requests);
    ranges.insert(a.range);
  }
  EXPECT_EQ(4u, lines.size());
  EXPECT_EQ(1u, connections.size()) << "the ranges used more than one connection";
  EXPECT_EQ(4u, requestNumbers.size());
  EXPECT_EQ((std::set<std::string>{"\"bytes=0-1000008\"", "\"bytes=1000009-2000017\"", "\"bytes=2000018-3000026\"",
                                   "\"bytes=3000027-4000036\""}),
            ranges);
}

TEST(SegmentDownloaderTlsTest, RangesFromAnHttp1ServerRunSideBySide) {
  nettest::NginxService nginx;
  ASSERT_TRUE(nginx.Started());
  std::string bytes = nettest::PatternBytes(400009, 23);
  std::string name = UniqueName("h1");
  nginx.Put(name, bytes);
  std::string url = nginx.Http1Url(name);
  std::wstring target = nettest::TestWorkDir() + L"\\p.bin";
  CSegmentDownloader downloader(url, url, target, nettest::Md5Hex(bytes), nullptr, nullptr, 4);
  ASSERT_TRUE(downloader.Download());
  EXPECT_TRUE(nettest::ReadFileBytes(target) == bytes);
  // Each range takes about half a second at the server's rate: all four must have started
  // before the first one ended, each on a connection of its own.
  std::set<std::string> connections;
  double lastStart = 0, firstEnd = 1e18;
  std::vector<RangeLine> lines = RangeLines(nginx, name);
  for (const RangeLine& a : lines) {
    EXPECT_EQ("HTTP/1.1", a.protocol);
    EXPECT_EQ("206", a.status);
    connections.insert(a.connection);
    lastStart = std::max(lastStart, a.end - a.seconds);
    firstEnd = std::min(firstEnd, a.end);
  }
  EXPECT_EQ(4u, lines.size());
  EXPECT_EQ(4u, connections.size());
  EXPECT_LT(lastStart, firstEnd) << "a range waited for another one to end";
}

// The self-signed test certificate is trusted by nothing: "HTTPS" in capitals must not turn
// the probe's checks off, and the probe stops the download.
TEST(SegmentDownloaderTlsTest, CapitalSchemeKeepsCertificateChecksOnForTheProbe) {
  nettest::NginxService nginx;
  ASSERT_TRUE(nginx.Started());
  std::string name = UniqueName("checked");
  std::string capital = "HTTPS" + nginx.Put(name, nettest::PatternBytes(1000, 22)).substr(5);
  CSegmentDownloader downloader(capital, capital, nettest::TestWorkDir() + L"\\p.bin", "", nullptr, nullptr, 4);
  EXPECT_FALSE(downloader.Download());
  EXPECT_TRUE(nginx.AccessLines(name).empty());
}
