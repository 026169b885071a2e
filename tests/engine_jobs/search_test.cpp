// The package search: the query made from the program's file name, the reply fields the
// engine relies on, and every failure code, against the fake update service.
#include <gtest/gtest.h>

#include "engine/jobs/update_search.h"
#include "engine/zqpm/zqpm.h"
#include "jobs_test_support.h"
#include "update_test_support.h"

namespace {

using nettest::FakeUpdateService;
using nettest::steps::JsonReply;
using nettest::steps::TextReply;
using nlohmann::json;

json Block(const std::string& range, const std::string& url, const std::string& md5 = "0123abcd", json size = 10,
           const std::string& name = "setup.exe") {
  return {{"ver_range", range}, {"url", url}, {"md5", md5}, {"size", size}, {"fileName", name}};
}

json Reply(const std::string& version, json blocks, int code = 0) {
  return {{"code", code}, {"msg", "ok"}, {"data", {{"version", version}, {"blockurl", blocks}}}};
}

int SearchFor(const wchar_t* program, PackageInfo& package) {
  UpdateInfo info;
  EXPECT_EQ(ParseProgramFileName(program, info), 0);
  return SearchPackage(info, package);
}

int Search(const json& step, PackageInfo* out = nullptr) {
  FakeUpdateService service({{"/soft/update/search", {step}}});
  jobstest::ServiceHost host(service.Host());
  PackageInfo package;
  const int result = SearchFor(L"C:\\d\\setup#abc#7x.exe", package);
  if (out) *out = package;
  return result;
}

TEST(PackageSearch, FileNameGivesProductChannelAndType) {
  struct Case {
    const wchar_t* path;
    int result;
    const char* product;
    const char* channel;
    int type;
  } cases[] = {
      {L"C:\\d\\setup#abc#7x.exe", 0, "setup", "abc", 7},
      {L"/d/##\u6e38\u620f#\u6e20\u9053##zz.exe", 0, "游戏", "渠道", 2},
      {L"C:\\d\\PackageManager.exe", -3, "PackageManager.exe", "", 2},
      {L"C:\\d\\###", -2, "", "", 2},
      {L"setup#abc#7.exe", -1, "", "", 2},
  };
  for (const Case& c : cases) {
    UpdateInfo info;
    EXPECT_EQ(ParseProgramFileName(c.path, info), c.result) << nettest::Utf8(c.path);
    EXPECT_EQ(info.product, c.product);
    EXPECT_EQ(info.channel, c.channel);
    EXPECT_EQ(info.type, c.type);
    EXPECT_EQ(info.ver, 1);
  }
}

TEST(PackageSearch, SendsTheExactQueryAndTakesTheFirstEntryOfTheVersion) {
  const json reply = Reply("2", {Block("1-1", "http://h/one"), Block("2-2", "http://h/two", "ABCDEF", 4096, "新版.exe"),
                                 Block("2-2", "http://h/late")});
  FakeUpdateService service({{"/soft/update/search", {JsonReply(reply)}}});
  jobstest::ServiceHost host(service.Host());
  PackageInfo package;
  ASSERT_EQ(SearchFor(L"C:\\d\\setup#abc#7x.exe", package), 0);
  EXPECT_EQ(package.url, "http://h/two");
  EXPECT_EQ(package.md5, "ABCDEF");
  EXPECT_EQ(package.size, 4096);
  EXPECT_EQ(package.fileName, "新版.exe");
  const auto requests = service.RequestsTo("/soft/update/search");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["method"], "GET");
  EXPECT_EQ(requests[0]["query"], "channel=abc&product=setup&ver=1&type=7");
}

TEST(PackageSearch, EveryFailureHasItsCode) {
  updtest::LogCapture log;
  PackageInfo none;
  EXPECT_EQ(ZQPM::GetInstance()->GetDownloadUrl(none), -1);  // this program's name holds no "#"
  EXPECT_EQ(Search(TextReply("", 200)), -2);
  EXPECT_EQ(Search(TextReply("gone", 404)), -2);
  EXPECT_EQ(Search(TextReply("null")), -3);
  EXPECT_EQ(Search(TextReply("<html>")), -4);
  EXPECT_EQ(Search(JsonReply(Reply("1", {Block("1-1", "u")}, 5))), -4);
  EXPECT_EQ(Search(JsonReply({{"code", 0}, {"data", {{"version", 1}, {"blockurl", json::array()}}}})), -4);
  EXPECT_EQ(Search(JsonReply({{"code", 0}, {"data", {{"version", "1"}}}})), -4);
  EXPECT_EQ(Search(JsonReply(Reply("1", {Block("1-1", "u", "m", "10")}))), -4);
  EXPECT_EQ(Search(JsonReply(Reply("3", {Block("1-1", "u"), Block("2-2", "u")}))), -6);
  EXPECT_EQ(Search(JsonReply(Reply("1", {Block("1-1", "u", "")}))), -6);
  EXPECT_EQ(Search(JsonReply(Reply("1", {Block("1-1", "u", "m", 0)}))), -6);
  PackageInfo package;
  EXPECT_EQ(Search(JsonReply(Reply("1", {Block("1-1", "u", "m", true)})), &package), 0);
  EXPECT_EQ(package.size, 1);
  const std::string text = log.Text();
  for (const char* line :
       {"GetDownloadUrl, ParseFileName fail", "GetDownloadUrl, HttpGetRequest fail, nret 22",
        "GetDownloadUrl, json::parse fail, url http://127.0.0.1:", "GetDownloadUrl: json exception, errmsg ",
        "GetDownloadUrl, code or version exception, code 5 version 1",
        "GetDownloadUrl, not find new package, url http://127.0.0.1:",
        "GetDownloadUrl, downloadurl http://127.0.0.1:"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

// The name is joined to the download folder and then run: it must stay a plain name.
TEST(PackageSearch, RefusesAFileNameThatLeavesTheDownloadFolder) {
  updtest::LogCapture log;
  for (const char* name : {"..\\setup.exe", "../setup.exe", "sub\\setup.exe", "C:setup.exe", "..", "a\tb.exe"}) {
    EXPECT_EQ(Search(JsonReply(Reply("1", {Block("1-1", "http://h/p", "m", 10, name)}))), -6) << name;
  }
  EXPECT_NE(log.Text().find("GetDownloadUrl, fileName ../setup.exe is not a plain file name"), std::string::npos);
  for (const wchar_t* name : {L"setup.exe", L"安装 包 (1).exe", L".setup"}) EXPECT_TRUE(IsPlainFileName(name));
}

}  // namespace
