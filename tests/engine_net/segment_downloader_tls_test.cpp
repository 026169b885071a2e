// The segmented downloader against a real nginx with TLS and HTTP/2: the four ranges ride
// one multiplexed connection.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include "engine/net/segment_downloader.h"
#include "net_test_support.h"

namespace {

struct AccessLine {
  std::string connection, requests, protocol, method, uri, range, status, bytes;
  double seconds = 0, end = 0;
  bool IsRange() const { return range != "\"-\"" && range != "\"\""; }
};

AccessLine ParseLine(const std::string& line) {
  std::istringstream in(line);
  AccessLine a;
  in >> a.connection >> a.requests >> a.protocol >> a.method >> a.uri >> a.range >> a.status >> a.bytes >>
      a.seconds >> a.end;
  return a;
}

std::string UniqueName(const char* stem) {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(stem) + "-" + info->name() + "-" + std::to_string(GetTickCount()) + ".bin";
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
  int rangeLines = 0;
  for (const std::string& line : nginx.AccessLines(name)) {
    AccessLine a = ParseLine(line);
    if (!a.IsRange()) continue;  // the length probe
    ++rangeLines;
    EXPECT_EQ("HTTP/2.0", a.protocol) << line;
    EXPECT_EQ("206", a.status) << line;
    connections.insert(a.connection);
    requestNumbers.insert(a.requests);
    ranges.insert(a.range);
  }
  EXPECT_EQ(4, rangeLines);
  EXPECT_EQ(1u, connections.size()) << "the ranges used more than one connection";
  EXPECT_EQ(4u, requestNumbers.size());
  std::set<std::string> expected = {"\"bytes=0-1000008\"", "\"bytes=1000009-2000017\"",
                                    "\"bytes=2000018-3000026\"", "\"bytes=3000027-4000036\""};
  EXPECT_EQ(expected, ranges);
}

TEST(SegmentDownloaderTlsTest, CapitalSchemeKeepsCertificateChecksOnForTheProbe) {
  nettest::NginxService nginx;
  ASSERT_TRUE(nginx.Started());
  std::string bytes = nettest::PatternBytes(1000, 22);
  std::string name = UniqueName("checked");
  std::string url = nginx.Put(name, bytes);
  std::string capital = "HTTPS" + url.substr(5);
  std::wstring target = nettest::TestWorkDir() + L"\\p.bin";
  CSegmentDownloader downloader(capital, capital, target, "", nullptr, nullptr, 4);
  // The self-signed test certificate is trusted by nothing: the probe stops the download.
  EXPECT_FALSE(downloader.Download());
  EXPECT_TRUE(nginx.AccessLines(name).empty());
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

  // Each range takes about half a second at the server's rate: all four must have
  // started before the first one ended, each on a connection of its own.
  std::set<std::string> connections;
  double lastStart = 0, firstEnd = 1e18;
  int rangeLines = 0;
  for (const std::string& line : nginx.AccessLines(name)) {
    AccessLine a = ParseLine(line);
    if (!a.IsRange()) continue;
    ++rangeLines;
    EXPECT_EQ("HTTP/1.1", a.protocol) << line;
    EXPECT_EQ("206", a.status) << line;
    connections.insert(a.connection);
    lastStart = std::max(lastStart, a.end - a.seconds);
    firstEnd = std::min(firstEnd, a.end);
  }
  EXPECT_EQ(4, rangeLines);
  EXPECT_EQ(4u, connections.size());
  EXPECT_LT(lastStart, firstEnd) << "a range waited for another one to end";
}
