// The HTTP client against the fake update service: bodies byte-exact, the cookie store, the
// retry schedule and what a failed attempt leaves behind.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/net/http_client.h"
#include "net_test_support.h"

using nettest::FakeUpdateService;
using namespace nettest::steps;
using nlohmann::json;
using Pauses = std::vector<std::pair<unsigned long, size_t>>;

namespace {

// Every pause of the client, with the number of requests the service had seen by then.
Pauses pauses;
const FakeUpdateService* watched = nullptr;
void RecordPause(unsigned long milliseconds) {
  pauses.emplace_back(milliseconds, watched ? watched->Requests().size() : 0);
}

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    pauses.clear();
    previous_ = SetHttpPauseFunction(&RecordPause);
  }
  void TearDown() override {
    SetHttpPauseFunction(previous_);
    watched = nullptr;
  }
  HttpPauseFunction previous_ = nullptr;
};

std::string HexOf(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) hex += std::string{kHex[c >> 4], kHex[c & 15]};
  return hex;
}

const char kChineseJson[] =
    u8"{\"content\":\"卸载原因：速度太慢，界面「不好看」\",\"type\":\"2\",\"mobile\":\"13800000000\"}";

}  // namespace

TEST_F(HttpClientTest, BodiesTravelByteExact) {
  json reply = {{"code", 0}, {"msg", u8"成功"}, {"data", {{"version", "7"}, {"text", u8"Tamsel游戏Pelluvo ✓"}}}};
  FakeUpdateService service({{"/get", {JsonReply(reply)}}, {"/post", {JsonReply({{"code", 0}})}}});
  ASSERT_TRUE(service.Started());
  std::string text = "left over";
  EXPECT_EQ(kHttpOk, HttpGetRequest(service.Url("/get"), text));
  EXPECT_EQ(reply, json::parse(text));
  // The service sends json.dumps(ensure_ascii=False): the UTF-8 bytes arrive untouched.
  EXPECT_NE(std::string::npos, text.find(u8"Tamsel游戏Pelluvo ✓"));
  EXPECT_EQ(kHttpOk, HttpPostRequest(service.Url("/post"), kChineseJson, text));
  EXPECT_EQ(0, json::parse(text)["code"].get<int>());
  EXPECT_EQ(kHttpOk, HttpPostRequest(service.Url("/post"), std::string("{\"a\":1}\0{\"b\":2}", 15), text));
  auto requests = service.Requests();
  ASSERT_EQ(3u, requests.size());
  EXPECT_EQ("GET", requests[0]["method"]);
  EXPECT_EQ("POST", requests[1]["method"]);
  EXPECT_EQ(HexOf(kChineseJson), requests[1]["body_hex"]);
  EXPECT_EQ(HexOf("{\"a\":1}"), requests[2]["body_hex"]) << "a body ends at its first zero byte";
  EXPECT_TRUE(pauses.empty());
}

// One store for every request, POST and GET alike; a later Set-Cookie replaces a value.
TEST_F(HttpClientTest, CookiesSurviveFromRequestToRequest) {
  json setSid = With(TextReply("a"), "headers", Headers({{"Set-Cookie", "sid=abc123; Path=/"}}));
  json replace = With(TextReply("d"), "headers",
                      Headers({{"Set-Cookie", "sid=xyz789; Path=/"}, {"Set-Cookie", "theme=dark; Path=/"}}));
  FakeUpdateService service({{"/a", {setSid}},
                             {"/b", {TextReply("b")}},
                             {"/c", {TextReply("c")}},
                             {"/d", {replace}},
                             {"/e", {TextReply("e")}}});
  ASSERT_TRUE(service.Started());
  std::string text;
  ASSERT_EQ(kHttpOk, HttpPostRequest(service.Url("/a"), kChineseJson, text));
  for (const char* path : {"/b", "/c", "/d", "/e"}) {
    ASSERT_EQ(kHttpOk, HttpGetRequest(service.Url(path), text)) << path;
    EXPECT_EQ(std::string(path + 1), text);
  }
  auto requests = service.Requests();
  ASSERT_EQ(5u, requests.size());
  EXPECT_FALSE(requests[0]["headers"].contains("cookie")) << "the store starts empty";
  for (int i : {1, 2, 3}) EXPECT_EQ("sid=abc123", requests[i]["headers"]["cookie"]) << i;
  std::string last = requests[4]["headers"]["cookie"];
  EXPECT_NE(std::string::npos, last.find("sid=xyz789")) << last;
  EXPECT_NE(std::string::npos, last.find("theme=dark")) << last;
  EXPECT_EQ(std::string::npos, last.find("abc123")) << last;
}

// Up to four attempts: GET pauses 50 ms after each failure and 3 s after every second one,
// POST only 50 ms. A failed attempt leaves nothing in the reply.
TEST_F(HttpClientTest, RetriesWithTheirPausesAndCleanReplies) {
  const json errorPage = TextReply("<html>error</html>", 500);
  const struct {
    const char* what;
    bool post;
    std::vector<json> steps;
    int result;
    const char* text;
    size_t requests;
    Pauses pauses;
  } cases[] = {
      {"failing GET",
       false,
       {TextReply("server error page", 500)},
       kHttpFailed,
       "",
       4,
       {{50, 1}, {50, 2}, {3000, 2}, {50, 3}, {50, 4}, {3000, 4}}},
      {"failing POST", true, {TextReply("busy", 503)}, kHttpFailed, "", 4, {{50, 1}, {50, 2}, {50, 3}, {50, 4}}},
      {"second attempt", false, {errorPage, JsonReply({{"code", 0}})}, kHttpOk, "{\"code\": 0}", 2, {{50, 1}}},
      {"short body",
       false,
       {With(TextReply("{\"code\": 0, \"partial\": 1}"), "short", 5), TextReply("{\"code\": 0}")},
       kHttpOk,
       "{\"code\": 0}",
       2,
       {{50, 1}}},
      {"third attempt",
       false,
       {TextReply("", 500), TextReply("", 502), TextReply("third")},
       kHttpOk,
       "third",
       3,
       {{50, 1}, {50, 2}, {3000, 2}}},
      {"redirect",
       false,
       {With(TextReply("", 302), "headers", Headers({{"Location", "/target"}}))},
       kHttpFailed,
       "",
       4,
       {{50, 1}, {50, 2}, {3000, 2}, {50, 3}, {50, 4}, {3000, 4}}},
      {"no content",
       false,
       {TextReply("", 204)},
       kHttpFailed,
       "",
       4,
       {{50, 1}, {50, 2}, {3000, 2}, {50, 3}, {50, 4}, {3000, 4}}},
      {"slow reply", false, {With(TextReply(u8"慢"), "delay_ms", 1500)}, kHttpOk, u8"慢", 1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    pauses.clear();
    FakeUpdateService service({{"/s", c.steps}, {"/target", {TextReply("target")}}});
    ASSERT_TRUE(service.Started());
    watched = &service;
    std::string text = "stale";
    EXPECT_EQ(c.result, c.post ? HttpPostRequest(service.Url("/s"), kChineseJson, text)
                               : HttpGetRequest(service.Url("/s"), text));
    EXPECT_EQ(c.text, text);
    auto requests = service.RequestsTo("/s");
    EXPECT_EQ(c.requests, requests.size());
    if (c.post) {
      for (auto& request : requests) EXPECT_EQ(HexOf(kChineseJson), request["body_hex"]);
    }
    EXPECT_TRUE(service.RequestsTo("/target").empty()) << "redirects are not followed";
    EXPECT_EQ(c.pauses, pauses);
    watched = nullptr;
  }
  // Port 1 on loopback: nothing listens there, every connection is refused.
  std::string text;
  pauses.clear();
  EXPECT_EQ(kHttpFailed, HttpGetRequest("http://127.0.0.1:1/soft/uninstall/getTypeList", text));
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(6u, pauses.size());
}

TEST_F(HttpClientTest, OneVerboseClientGetsAfterPosting) {
  FakeUpdateService service({{"/x", {TextReply(u8"详细")}}});
  ASSERT_TRUE(service.Started());
  CHttpClient client;
  client.SetVerbose(true);
  std::string text;
  ASSERT_EQ(kHttpOk, client.Post(service.Url("/x"), "{}", text));
  ASSERT_EQ(kHttpOk, client.Get(service.Url("/x"), text));
  EXPECT_EQ(u8"详细", text);
  auto requests = service.Requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("POST", requests[0]["method"]);
  EXPECT_EQ("GET", requests[1]["method"]);
  EXPECT_EQ("", requests[1]["body_hex"]);
}

TEST(HttpWriteCallbackTest, RefusesNothingToStore) {
  std::string text = "x";
  char data[] = "abc";
  EXPECT_EQ(3u, HttpWriteCallback(data, 1, 3, &text));
  EXPECT_EQ("xabc", text);
  EXPECT_EQ(static_cast<size_t>(-1), HttpWriteCallback(data, 1, 3, nullptr));
  EXPECT_EQ(static_cast<size_t>(-1), HttpWriteCallback(nullptr, 1, 3, &text));
  EXPECT_EQ(static_cast<size_t>(-1), HttpWriteCallback(data, 1, 0, &text));
}
