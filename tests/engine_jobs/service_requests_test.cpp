// The uninstall feedback POST and the uninstall-reason list, against the fake update service.
#include <gtest/gtest.h>

#include "engine/jobs/service_requests.h"
#include "engine/zqpm/zqpm.h"
#include "jobs_test_support.h"
#include "update_test_support.h"

namespace {

using nettest::FakeUpdateService;
using nettest::steps::JsonReply;
using nettest::steps::TextReply;

const wchar_t kFeedback[] = L"{\"content\":\"\u592a\u6162\u4e86 \\\"\u5361\",\"type\":2,\"mobile\":\"13800000000\"}";

int Commit(const nlohmann::json& step) {
  FakeUpdateService service({{"/soft/uninstall/confirmForm", {step}}});
  jobstest::ServiceHost host(service.Host());
  OpePARAMEx record;
  record.feedback = kFeedback;
  return ZQPM::GetInstance()->CommitInfo(&record);
}

TEST(UninstallFeedback, PostsTheFeedbackAsUtf8JsonByteForByte) {
  FakeUpdateService service({{"/soft/uninstall/confirmForm", {JsonReply({{"code", 0}})}}});
  jobstest::ServiceHost host(service.Host());
  OpePARAMEx record;
  EXPECT_EQ(ZQPM::GetInstance()->CommitInfo(&record), 0);  // no feedback: nothing sent
  EXPECT_TRUE(service.Requests().empty());
  record.feedback = kFeedback;
  EXPECT_EQ(ZQPM::GetInstance()->CommitInfo(&record), 0);
  const auto requests = service.RequestsTo("/soft/uninstall/confirmForm");
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0]["method"], "POST");
  const std::string expected = nettest::Utf8(kFeedback);
  EXPECT_EQ(expected, u8"{\"content\":\"太慢了 \\\"卡\",\"type\":2,\"mobile\":\"13800000000\"}");
  std::string hex;
  for (unsigned char c : expected) hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
  EXPECT_EQ(requests[0]["body_hex"], hex);
}

TEST(UninstallFeedback, EveryFailureIsLoggedWithItsCode) {
  updtest::LogCapture log;
  {
    jobstest::ServiceHost host("127.0.0.1:1");  // nothing listens there
    OpePARAMEx record;
    record.feedback = kFeedback;
    EXPECT_EQ(ZQPM::GetInstance()->CommitInfo(&record), -1);
  }
  EXPECT_EQ(Commit(TextReply("busy", 503)), -1);
  EXPECT_EQ(Commit(TextReply("null")), -2);
  EXPECT_EQ(Commit(JsonReply({{"code", 7}})), -3);
  EXPECT_EQ(Commit(TextReply("not json")), -4);
  EXPECT_EQ(Commit(JsonReply({{"msg", "no code"}})), -4);
  EXPECT_EQ(Commit(JsonReply({{"code", "0"}})), -4);
  EXPECT_EQ(Commit(JsonReply(nlohmann::json::array({0}))), -4);
  const std::string text = log.Text();
  for (const char* line :
       {"CommitInfo, HttpPostRequest fail, url http://127.0.0.1:1/soft/uninstall/confirmForm, nRet: 22",
        "CommitInfo, json::parse fail, url http://127.0.0.1:",
        "CommitInfo, post return data code is 7, url http://127.0.0.1:", "CommitInfo: json exception, errmsg "}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
}

TEST(UninstallReasons, HandsTheWholeReplyToTheWindow) {
  const std::string reply = u8R"({"code":0,"msg":"ok","data":{"type_list":[{"id":1,"name":"不好用"}]}})";
  FakeUpdateService service({{"/soft/uninstall/getTypeList", {TextReply(reply), TextReply("", 500)}}});
  jobstest::ServiceHost host(service.Host());
  jobstest::Prompt window;
  EXPECT_EQ(GetUninstallTypeList(&window), 0);
  EXPECT_EQ(window.events, std::vector<std::string>{"N " + reply});
  EXPECT_EQ(GetUninstallTypeList(&window), -2);  // the window keeps its built-in reasons
  EXPECT_EQ(window.events.size(), 1u);
  const auto requests = service.RequestsTo("/soft/uninstall/getTypeList");
  ASSERT_EQ(requests.size(), 5u);  // one answered, then two calls of two attempts each
  EXPECT_EQ(requests[0]["method"], "GET");
  EXPECT_EQ(requests[0]["query"], "");
}

}  // namespace
