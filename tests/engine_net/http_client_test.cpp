// The HTTP client against the fake update service: bodies byte-exact, the cookie store,
// the retry schedule and what a failed attempt leaves behind.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "engine/net/http_client.h"
#include "net_test_support.h"

using nettest::FakeUpdateService;
using namespace nettest::steps;
using nlohmann::json;

namespace {

// Every pause of the client, with the number of requests the service had seen by then.
struct PauseLog {
  static std::vector<std::pair<unsigned long, size_t>> entries;
  static const FakeUpdateService* service;
  static void Record(unsigned long milliseconds) {
    entries.emplace_back(milliseconds, service ? service->Requests().size() : 0);
  }
};
std::vector<std::pair<unsigned long, size_t>> PauseLog::entries;
const FakeUpdateService* PauseLog::service = nullptr;

class HttpClientTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PauseLog::entries.clear();
    previous_ = SetHttpPauseFunction(&PauseLog::Record);
  }
  void TearDown() override {
    SetHttpPauseFunction(previous_);
    PauseLog::service = nullptr;
  }
  void Watch(const FakeUpdateService& service) { PauseLog::service = &service; }

  HttpPauseFunction previous_ = nullptr;
};

std::string HexOf(const std::string& bytes) {
  static const char kHex[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  return hex;
}

const char kChineseJson[] = u8"{\"content\":\"卸载原因：速度太慢，界面「不好看」\",\"type\":\"2\",\"mobile\":\"13800000000\"}";

}  // namespace

TEST_F(HttpClientTest, GetReturnsTheReplyByteExact) {
  json reply = {{"code", 0}, {"msg", u8"成功"}, {"data", {{"version", "7"}, {"text", u8"Tamsel游戏Pelluvo ✓"}}}};
  FakeUpdateService service({{"/soft/uninstall/getTypeList", {JsonReply(reply)}}});
  ASSERT_TRUE(service.Started());
  std::string text = "left over";
  EXPECT_EQ(kHttpOk, HttpGetRequest(service.Url("/soft/uninstall/getTypeList"), text));
  EXPECT_EQ(reply, json::parse(text));
  // The service sends json.dumps(ensure_ascii=False): the UTF-8 bytes arrive untouched.
  EXPECT_NE(std::string::npos, text.find(u8"Tamsel游戏Pelluvo ✓"));
  ASSERT_EQ(1u, service.Requests().size());
  EXPECT_EQ("GET", service.Requests()[0]["method"]);
  EXPECT_TRUE(PauseLog::entries.empty());
}

TEST_F(HttpClientTest, PostSendsTheBodyByteExact) {
  FakeUpdateService service({{"/soft/uninstall/confirmForm", {JsonReply({{"code", 0}})}}});
  ASSERT_TRUE(service.Started());
  std::string text;
  EXPECT_EQ(kHttpOk, HttpPostRequest(service.Url("/soft/uninstall/confirmForm"), kChineseJson, text));
  EXPECT_EQ(0, json::parse(text)["code"].get<int>());
  auto requests = service.Requests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("POST", requests[0]["method"]);
  EXPECT_EQ(HexOf(kChineseJson), requests[0]["body_hex"]);
}

TEST_F(HttpClientTest, PostBodyEndsAtItsFirstZeroByte) {
  FakeUpdateService service({{"/p", {TextReply("ok")}}});
  ASSERT_TRUE(service.Started());
  std::string body("{\"a\":1}\0{\"b\":2}", 15);
  std::string text;
  EXPECT_EQ(kHttpOk, HttpPostRequest(service.Url("/p"), body, text));
  EXPECT_EQ(HexOf("{\"a\":1}"), service.Requests().at(0)["body_hex"]);
}

TEST_F(HttpClientTest, CookiesSurviveFromRequestToRequest) {
  json setSid = With(TextReply("a"), "headers", Headers({{"Set-Cookie", "sid=abc123; Path=/"}}));
  json replace =
      With(TextReply("d"), "headers", Headers({{"Set-Cookie", "sid=xyz789; Path=/"}, {"Set-Cookie", "theme=dark; Path=/"}}));
  FakeUpdateService service({{"/a", {setSid}},
                             {"/b", {TextReply("b")}},
                             {"/c", {TextReply("c")}},
                             {"/d", {replace}},
                             {"/e", {TextReply("e")}}});
  ASSERT_TRUE(service.Started());
  std::string text;
  for (const char* path : {"/a", "/b", "/c", "/d", "/e"}) {
    ASSERT_EQ(kHttpOk, HttpGetRequest(service.Url(path), text)) << path;
    EXPECT_EQ(std::string(path + 1), text);
  }
  auto requests = service.Requests();
  ASSERT_EQ(5u, requests.size());
  EXPECT_FALSE(requests[0]["headers"].contains("cookie"));  // the store starts empty
  EXPECT_EQ("sid=abc123", requests[1]["headers"]["cookie"]);
  // /b set no cookie: the store keeps what /a set.
  EXPECT_EQ("sid=abc123", requests[2]["headers"]["cookie"]);
  EXPECT_EQ("sid=abc123", requests[3]["headers"]["cookie"]);
  std::string last = requests[4]["headers"]["cookie"];
  EXPECT_NE(std::string::npos, last.find("sid=xyz789")) << last;
  EXPECT_NE(std::string::npos, last.find("theme=dark")) << last;
  EXPECT_EQ(std::string::npos, last.find("abc123")) << last;
}

TEST_F(HttpClientTest, CookiesAreSharedByPostAndGet) {
  json login = With(JsonReply({{"code", 0}}), "headers", Headers({{"Set-Cookie", "user=alpha; Path=/"}}));
  FakeUpdateService service(
      {{"/soft/uninstall/confirmForm", {login}}, {"/soft/uninstall/getTypeList", {JsonReply({{"code", 0}})}}});
  ASSERT_TRUE(service.Started());
  std::string text;
  ASSERT_EQ(kHttpOk, HttpPostRequest(service.Url("/soft/uninstall/confirmForm"), kChineseJson, text));
  ASSERT_EQ(kHttpOk, HttpGetRequest(service.Url("/soft/uninstall/getTypeList"), text));
  EXPECT_EQ("user=alpha", service.RequestsTo("/soft/uninstall/getTypeList").at(0)["headers"]["cookie"]);
}

TEST_F(HttpClientTest, FailingGetMakesFourAttemptsWithItsPauses) {
  FakeUpdateService service({{"/s", {TextReply("server error page", 500)}}});
  ASSERT_TRUE(service.Started());
  Watch(service);
  std::string text = "stale";
  EXPECT_EQ(kHttpFailed, HttpGetRequest(service.Url("/s"), text));
  EXPECT_TRUE(text.empty()) << text;  // no error page reaches the caller
  EXPECT_EQ(4u, service.Requests().size());
  std::vector<std::pair<unsigned long, size_t>> expected = {{50, 1}, {50, 2}, {3000, 2}, {50, 3}, {50, 4}, {3000, 4}};
  EXPECT_EQ(expected, PauseLog::entries);
}

TEST_F(HttpClientTest, FailingPostMakesFourAttemptsWithShortPausesOnly) {
  FakeUpdateService service({{"/p", {TextReply("busy", 503)}}});
  ASSERT_TRUE(service.Started());
  Watch(service);
  std::string text;
  EXPECT_EQ(kHttpFailed, HttpPostRequest(service.Url("/p"), kChineseJson, text));
  EXPECT_TRUE(text.empty());
  auto requests = service.Requests();
  ASSERT_EQ(4u, requests.size());
  for (auto& request : requests) EXPECT_EQ(HexOf(kChineseJson), request["body_hex"]);
  std::vector<std::pair<unsigned long, size_t>> expected = {{50, 1}, {50, 2}, {50, 3}, {50, 4}};
  EXPECT_EQ(expected, PauseLog::entries);
}

TEST_F(HttpClientTest, SecondAttemptReplyIsNotPrefixedByTheFirst) {
  FakeUpdateService service({{"/s", {TextReply("<html>error</html>", 500), JsonReply({{"code", 0}})}}});
  ASSERT_TRUE(service.Started());
  Watch(service);
  std::string text;
  EXPECT_EQ(kHttpOk, HttpGetRequest(service.Url("/s"), text));
  EXPECT_EQ("{\"code\": 0}", text);
  EXPECT_EQ(2u, service.Requests().size());
  std::vector<std::pair<unsigned long, size_t>> expected = {{50, 1}};
  EXPECT_EQ(expected, PauseLog::entries);
}

TEST_F(HttpClientTest, ShortBodyCountsAsAFailedAttempt) {
  FakeUpdateService service({{"/s", {With(TextReply("{\"code\": 0, \"partial\": true}"), "short", 5), TextReply("{\"code\": 0}")}}});
  ASSERT_TRUE(service.Started());
  Watch(service);
  std::string text;
  EXPECT_EQ(kHttpOk, HttpGetRequest(service.Url("/s"), text));
  EXPECT_EQ("{\"code\": 0}", text);
  EXPECT_EQ(2u, service.Requests().size());
}

TEST_F(HttpClientTest, SecondCallFollowsTwoFailedAttempts) {
  FakeUpdateService service({{"/s", {TextReply("", 500), TextReply("", 502), TextReply("third")}}});
  ASSERT_TRUE(service.Started());
  Watch(service);
  std::string text;
  EXPECT_EQ(kHttpOk, HttpGetRequest(service.Url("/s"), text));
  EXPECT_EQ("third", text);
  EXPECT_EQ(3u, service.Requests().size());
  std::vector<std::pair<unsigned long, size_t>> expected = {{50, 1}, {50, 2}, {3000, 2}};
  EXPECT_EQ(expected, PauseLog::entries);
}

TEST_F(HttpClientTest, RedirectsAndNoContentAreFailures) {
  FakeUpdateService service({{"/moved", {With(TextReply("", 302), "headers", Headers({{"Location", "/target"}}))}},
                             {"/target", {TextReply("target")}},
                             {"/empty", {TextReply("", 204)}}});
  ASSERT_TRUE(service.Started());
  std::string text;
  EXPECT_EQ(kHttpFailed, HttpGetRequest(service.Url("/moved"), text));
  EXPECT_EQ(4u, service.RequestsTo("/moved").size());
  EXPECT_TRUE(service.RequestsTo("/target").empty());
  EXPECT_EQ(kHttpFailed, HttpGetRequest(service.Url("/empty"), text));
  EXPECT_EQ(4u, service.RequestsTo("/empty").size());
}

TEST_F(HttpClientTest, SlowReplyStillArrives) {
  FakeUpdateService service({{"/slow", {With(TextReply(u8"慢"), "delay_ms", 1500)}}});
  ASSERT_TRUE(service.Started());
  std::string text;
  EXPECT_EQ(kHttpOk, HttpGetRequest(service.Url("/slow"), text));
  EXPECT_EQ(u8"慢", text);
  EXPECT_EQ(1u, service.Requests().size());
}

TEST_F(HttpClientTest, UnreachableServerFailsAfterFourTries) {
  std::string text;
  // Port 1 on loopback: nothing listens there, every connection is refused.
  EXPECT_EQ(kHttpFailed, HttpGetRequest("http://127.0.0.1:1/soft/uninstall/getTypeList", text));
  EXPECT_TRUE(text.empty());
  EXPECT_EQ(6u, PauseLog::entries.size());
}

TEST_F(HttpClientTest, OneClientGetsAfterPosting) {
  FakeUpdateService service({{"/x", {TextReply("x")}}});
  ASSERT_TRUE(service.Started());
  CHttpClient client;
  std::string text;
  ASSERT_EQ(kHttpOk, client.Post(service.Url("/x"), "{}", text));
  ASSERT_EQ(kHttpOk, client.Get(service.Url("/x"), text));
  auto requests = service.Requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("POST", requests[0]["method"]);
  EXPECT_EQ("GET", requests[1]["method"]);
  EXPECT_EQ("", requests[1]["body_hex"]);
}

TEST_F(HttpClientTest, VerboseClientStillDeliversTheReply) {
  FakeUpdateService service({{"/v", {TextReply(u8"详细")}}});
  ASSERT_TRUE(service.Started());
  CHttpClient client;
  client.SetVerbose(true);
  std::string text;
  EXPECT_EQ(kHttpOk, client.Get(service.Url("/v"), text));
  EXPECT_EQ(u8"详细", text);
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
