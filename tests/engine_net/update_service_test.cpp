// The update service's host and its three requests, sent through the HTTP client to the
// fake service, with the reply fields the engine relies on.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/net/http_client.h"
#include "engine/net/update_service.h"
#include "net_test_support.h"

using nettest::FakeUpdateService;
using namespace nettest::steps;
using nlohmann::json;

namespace {

// Sets TAMSEL_UPDATE_HOST for one test and removes it afterwards.
class HostVariable {
 public:
  explicit HostVariable(const wchar_t* value) { SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", value); }
  ~HostVariable() { SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", nullptr); }
};

json SearchReply(const std::string& packageUrl) {
  return {{"code", 0},
          {"msg", "ok"},
          {"data",
           {{"version", "3"},
            {"blockurl", json::array({{{"ver_range", "2-2"}, {"url", "http://old/x.exe"}, {"md5", "00"},
                                       {"size", 1}, {"fileName", "old.exe"}},
                                      {{"ver_range", "3-3"}, {"url", packageUrl},
                                       {"md5", "0123456789abcdef0123456789ABCDEF"}, {"size", 1000003},
                                       {"fileName", u8"Tamsel游戏Pelluvo#官网#1.exe"}}})}}}};
}

}  // namespace

TEST(UpdateServiceTest, HostIsTheBuiltInDefaultWithoutTheVariable) {
  SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", nullptr);
  EXPECT_EQ(TAMSEL_UPDATE_HOST_DEFAULT, UpdateServiceHost());
  EXPECT_EQ(std::string("http://") + TAMSEL_UPDATE_HOST_DEFAULT + "/soft/uninstall/getTypeList",
            UpdateServiceUrl(kUninstallTypeListPath));
}

TEST(UpdateServiceTest, VariableOverridesTheHostWithItsPort) {
  HostVariable host(L"127.0.0.1:8123");
  EXPECT_EQ("127.0.0.1:8123", UpdateServiceHost());
  EXPECT_EQ("http://127.0.0.1:8123/soft/uninstall/confirmForm", UpdateServiceUrl(kUninstallConfirmPath));
}

TEST(UpdateServiceTest, VariableThatIsNoHostIsIgnored) {
  for (const wchar_t* bad : {L"evil.example/steal?x=", L"user@evil.example", L"a b", L"主机.example", L""}) {
    HostVariable host(bad);
    EXPECT_EQ(TAMSEL_UPDATE_HOST_DEFAULT, UpdateServiceHost()) << nettest::Utf8(bad);
  }
}

TEST(UpdateServiceTest, SearchUrlKeepsEveryValueIntact) {
  HostVariable host(L"update.test:81");
  EXPECT_EQ("http://update.test:81/soft/update/search?channel=abc&product=setup&ver=1&type=7",
            UpdateSearchUrl("abc", "setup", 1, 7));
  EXPECT_EQ("http://update.test:81/soft/update/search?channel=a%20b%26c%3D1&product=%E6%B8%B8&ver=1&type=2",
            UpdateSearchUrl("a b&c=1", u8"游", 1, 2));
}

TEST(UpdateServiceTest, PackageSearchReachesTheServiceWithItsQuery) {
  FakeUpdateService service({{"/soft/update/search", {JsonReply(SearchReply("http://pkg/x.exe"))}}});
  ASSERT_TRUE(service.Started());
  HostVariable host(nettest::Wide(service.Host()).c_str());
  std::string reply;
  ASSERT_EQ(kHttpOk, HttpGetRequest(UpdateSearchUrl(u8"官网 渠道&1", u8"Tamsel游戏Pelluvo", 1, 2), reply));

  auto requests = service.RequestsTo("/soft/update/search");
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET", requests[0]["method"]);
  json expected = {{"channel", u8"官网 渠道&1"}, {"product", u8"Tamsel游戏Pelluvo"}, {"ver", "1"}, {"type", "2"}};
  EXPECT_EQ(expected, requests[0]["params"]);

  json parsed = json::parse(reply);
  EXPECT_EQ(0, parsed["code"].get<int>());
  EXPECT_EQ("3", parsed["data"]["version"].get<std::string>());
  const json& block = parsed["data"]["blockurl"][1];
  EXPECT_EQ("3-3", block["ver_range"].get<std::string>());
  EXPECT_EQ("http://pkg/x.exe", block["url"].get<std::string>());
  EXPECT_EQ(1000003, block["size"].get<int>());
  EXPECT_EQ(u8"Tamsel游戏Pelluvo#官网#1.exe", block["fileName"].get<std::string>());
}

TEST(UpdateServiceTest, UninstallReasonsComeAsTheWholeReply) {
  json reasons = {{"code", 0},
                  {"msg", u8"成功"},
                  {"data", {{"type_list", json::array({{{"id", 1}, {"name", u8"不好用"}},
                                                       {{"id", 2}, {"name", u8"速度太慢"}}})}}}};
  FakeUpdateService service({{"/soft/uninstall/getTypeList", {JsonReply(reasons)}}});
  ASSERT_TRUE(service.Started());
  HostVariable host(nettest::Wide(service.Host()).c_str());
  std::string reply;
  ASSERT_EQ(kHttpOk, HttpGetRequest(UpdateServiceUrl(kUninstallTypeListPath), reply));
  EXPECT_EQ(reasons, json::parse(reply));
  auto requests = service.Requests();
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("/soft/uninstall/getTypeList", requests[0]["path"]);
  EXPECT_EQ("", requests[0]["query"]);
}

TEST(UpdateServiceTest, FeedbackIsPostedAsUtf8Json) {
  FakeUpdateService service({{"/soft/uninstall/confirmForm", {JsonReply({{"code", 0}, {"msg", "ok"}})}}});
  ASSERT_TRUE(service.Started());
  HostVariable host(nettest::Wide(service.Host()).c_str());
  json feedback = {{"content", u8"太卡了，换别的软件"}, {"type", "1,3"}, {"mobile", "13912345678"}};
  std::string reply;
  ASSERT_EQ(kHttpOk, HttpPostRequest(UpdateServiceUrl(kUninstallConfirmPath), feedback.dump(), reply));
  EXPECT_EQ(0, json::parse(reply)["code"].get<int>());
  auto requests = service.RequestsTo("/soft/uninstall/confirmForm");
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("POST", requests[0]["method"]);
  std::string body;
  std::string hex = requests[0]["body_hex"];
  for (size_t i = 0; i + 1 < hex.size(); i += 2) body += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  EXPECT_EQ(feedback.dump(), body);
  EXPECT_EQ(feedback, json::parse(body));
}
