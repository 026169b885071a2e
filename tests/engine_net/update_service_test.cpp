// The update service's host and its three requests, sent through the HTTP client to the fake
// service, with the reply fields the engine relies on.
#include <windows.h>

#include <gtest/gtest.h>

#include "engine/net/http_client.h"
#include "engine/net/update_service.h"
#include "net_test_support.h"

using nettest::FakeUpdateService;
using namespace nettest::steps;
using nlohmann::json;

namespace {

// Sets TAMSEL_UPDATE_HOST (null removes it) and removes it at the end.
class HostVariable {
 public:
  explicit HostVariable(const wchar_t* value) { SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", value); }
  explicit HostVariable(const FakeUpdateService& service) : HostVariable(nettest::Wide(service.Host()).c_str()) {}
  ~HostVariable() { SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", nullptr); }
};

}  // namespace

// The built-in default, or the variable when it names a host (with its port); never anything
// that would reach another host or path.
TEST(UpdateServiceTest, HostAndUrls) {
  {
    HostVariable none(nullptr);
    EXPECT_EQ(TAMSEL_UPDATE_HOST_DEFAULT, UpdateServiceHost());
    EXPECT_EQ(std::string("http://") + TAMSEL_UPDATE_HOST_DEFAULT + "/soft/uninstall/getTypeList",
              UpdateServiceUrl(kUninstallTypeListPath));
  }
  for (const wchar_t* bad : {L"evil.example/steal?x=", L"user@evil.example", L"a b", L"主机.example", L""}) {
    HostVariable host(bad);
    EXPECT_EQ(TAMSEL_UPDATE_HOST_DEFAULT, UpdateServiceHost()) << nettest::Utf8(bad);
  }
  HostVariable host(L"127.0.0.1:8123");
  EXPECT_EQ("127.0.0.1:8123", UpdateServiceHost());
  EXPECT_EQ("http://127.0.0.1:8123/soft/uninstall/confirmForm", UpdateServiceUrl(kUninstallConfirmPath));
  EXPECT_EQ("http://127.0.0.1:8123/soft/update/search?channel=abc&product=setup&ver=1&type=7",
            UpdateSearchUrl("abc", "setup", 1, 7));
  EXPECT_EQ("http://127.0.0.1:8123/soft/update/search?channel=a%20b%26c%3D1&product=%E6%B8%B8&ver=1&type=2",
            UpdateSearchUrl("a b&c=1", u8"游", 1, 2));
}

TEST(UpdateServiceTest, PackageSearchReachesTheServiceWithItsQuery) {
  json block = {{"ver_range", "3-3"},
                {"url", "http://pkg/x.exe"},
                {"md5", "0123456789abcdef0123456789ABCDEF"},
                {"size", 1000003},
                {"fileName", u8"Tamsel游戏Pelluvo#官网#1.exe"}};
  json search = {{"code", 0}, {"msg", "ok"}, {"data", {{"version", "3"}, {"blockurl", json::array({block})}}}};
  FakeUpdateService service({{"/soft/update/search", {JsonReply(search)}}});
  ASSERT_TRUE(service.Started());
  HostVariable host(service);
  std::string reply;
  ASSERT_EQ(kHttpOk, HttpGetRequest(UpdateSearchUrl(u8"官网 渠道&1", u8"Tamsel游戏Pelluvo", 1, 2), reply));
  auto requests = service.RequestsTo("/soft/update/search");
  ASSERT_EQ(1u, requests.size());
  EXPECT_EQ("GET", requests[0]["method"]);
  json expected = {{"channel", u8"官网 渠道&1"}, {"product", u8"Tamsel游戏Pelluvo"}, {"ver", "1"}, {"type", "2"}};
  EXPECT_EQ(expected, requests[0]["params"]);
  EXPECT_EQ(search, json::parse(reply));
}

TEST(UpdateServiceTest, UninstallReasonsAndFeedback) {
  json reasons = {
      {"code", 0},
      {"msg", u8"成功"},
      {"data", {{"type_list", json::array({{{"id", 1}, {"name", u8"不好用"}}, {{"id", 2}, {"name", u8"速度太慢"}}})}}}};
  FakeUpdateService service({{"/soft/uninstall/getTypeList", {JsonReply(reasons)}},
                             {"/soft/uninstall/confirmForm", {JsonReply({{"code", 0}, {"msg", "ok"}})}}});
  ASSERT_TRUE(service.Started());
  HostVariable host(service);
  std::string reply;
  ASSERT_EQ(kHttpOk, HttpGetRequest(UpdateServiceUrl(kUninstallTypeListPath), reply));
  EXPECT_EQ(reasons, json::parse(reply)) << "the whole reply";
  json feedback = {{"content", u8"太卡了，换别的软件"}, {"type", "1,3"}, {"mobile", "13912345678"}};
  ASSERT_EQ(kHttpOk, HttpPostRequest(UpdateServiceUrl(kUninstallConfirmPath), feedback.dump(), reply));
  EXPECT_EQ(0, json::parse(reply)["code"].get<int>());
  auto requests = service.Requests();
  ASSERT_EQ(2u, requests.size());
  EXPECT_EQ("/soft/uninstall/getTypeList", requests[0]["path"]);
  EXPECT_EQ("", requests[0]["query"]);
  EXPECT_EQ("/soft/uninstall/confirmForm", requests[1]["path"]);
  EXPECT_EQ("POST", requests[1]["method"]);
  std::string body, hex = requests[1]["body_hex"];
  for (size_t i = 0; i + 1 < hex.size(); i += 2) body += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  EXPECT_EQ(feedback.dump(), body) << "UTF-8 JSON, byte-exact";
}
