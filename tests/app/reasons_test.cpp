// The uninstall form's reply reading and feedback text, without a window.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/uninstall_reasons.h"
#include "common/sys/text_convert.h"

namespace {

std::string ReplyWith(const std::string& typeList) {
  return R"({"code":0,"msg":"success","data":{"type_list":)" + typeList + "}}";
}

const char kEightReasons[] = R"([{"id":11,"name":"经常卡顿"},{"id":12,"name":"占用内存"},{"id":13,"name":"不会用"},)"
                             R"({"id":14,"name":"弹窗多"},{"id":15,"name":"换电脑"},{"id":16,"name":"账号问题"},)"
                             R"({"id":17,"name":"第七"},{"id":18,"name":"第八"}])";

TEST(ReasonReply, EightReasonsGiveTheFirstSix) {
  std::vector<UninstallReason> reasons;
  std::string error;
  ASSERT_TRUE(ParseReasonReply(ReplyWith(kEightReasons), reasons, error)) << error;
  ASSERT_EQ(6u, reasons.size());
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(11 + i, reasons[i].id);
    EXPECT_EQ(L"Opt" + std::to_wstring(11 + i), reasons[i].optionName);
  }
  EXPECT_EQ(L"经常卡顿", reasons[0].text);
  EXPECT_EQ(L"账号问题", reasons[5].text);
}

TEST(ReasonReply, PositionsFormTwoColumnsOfThreeRows) {
  const wchar_t* expected[6] = {L"89, 63, 0, 0",  L"376, 63, 0, 0", L"89, 99, 0, 0",
                                L"376, 99, 0, 0", L"89, 135, 0, 0", L"376, 135, 0, 0"};
  for (size_t n = 0; n < 6; ++n) EXPECT_EQ(expected[n], ReasonOptionPos(n, 0)) << n;
  // A taller first page moves the rows with it.
  EXPECT_EQ(L"376, 109, 0, 0", ReasonOptionPos(3, 10));
}

TEST(ReasonReply, EmptyOrMissingListIsUsableAndEmpty) {
  for (const std::string& reply :
       {ReplyWith("[]"), ReplyWith("null"), std::string(R"({"code":0,"msg":"ok"})"),
        std::string(R"({"code":0,"msg":"ok","data":{}})"), std::string(R"({"code":0,"msg":"ok","data":null})")}) {
    std::vector<UninstallReason> reasons;
    std::string error;
    EXPECT_TRUE(ParseReasonReply(reply, reasons, error)) << reply << ": " << error;
    EXPECT_TRUE(reasons.empty()) << reply;
  }
}

TEST(ReasonReply, ListBrokenHalfWayGivesNoReasons) {
  const std::string broken[] = {
      ReplyWith(R"([{"id":1,"name":"a"},{"id":2,"name":"b"},{"id":"3","name":"c"}])"),
      ReplyWith(R"([{"id":1,"name":"a"},{"id":2,"name":"b"},{"id":3}])"),
      ReplyWith(R"([{"id":1,"name":"a"},{"id":2,"name":5}])"),
      ReplyWith(R"([{"id":1,"name":"a"},"second"])"),
      ReplyWith(R"({"id":1,"name":"a"})"),
      R"({"code":0,"msg":"ok","data":"none"})",
      R"({"code":0,"msg":"ok","data":{"type_list":[{"id":1,"name":"a"},)",  // cut off
      R"({"code":"0","msg":"ok","data":{"type_list":[{"id":1,"name":"a"}]}})",
      R"({"msg":"ok","data":{"type_list":[{"id":1,"name":"a"}]}})",
      R"({"code":0,"msg":1,"data":{"type_list":[{"id":1,"name":"a"}]}})",
      R"({"code":true,"msg":"ok","data":{"type_list":[]}})",
      "<html>502 Bad Gateway</html>",
      "[]",
  };
  for (const std::string& reply : broken) {
    std::vector<UninstallReason> reasons;
    std::string error;
    EXPECT_FALSE(ParseReasonReply(reply, reasons, error)) << reply;
    EXPECT_TRUE(reasons.empty()) << reply;
    EXPECT_FALSE(error.empty()) << reply;
  }
}

TEST(ReasonReply, ElementsPastTheSixthAreNotRead) {
  std::vector<UninstallReason> reasons;
  std::string error;
  const std::string list = R"([{"id":1,"name":"a"},{"id":2,"name":"b"},{"id":3,"name":"c"},)"
                           R"({"id":4,"name":"d"},{"id":5,"name":"e"},{"id":6,"name":"f"},{"id":"x"}])";
  EXPECT_TRUE(ParseReasonReply(ReplyWith(list), reasons, error)) << error;
  EXPECT_EQ(6u, reasons.size());
}

TEST(Feedback, ServiceReasonWithContactNumber) {
  EXPECT_EQ(L"{\"content\":\"\",\"mobile\":\"13800001111\",\"type\":7}", BuildFeedbackText(7, L"", L"13800001111"));
}

TEST(Feedback, OtherReasonWithTextAndNoContact) {
  EXPECT_EQ(L"{\"content\":\"太卡了\",\"mobile\":\"\",\"type\":0}", BuildFeedbackText(0, L"太卡了", L""));
}

TEST(Feedback, NothingChosenGivesNoFeedback) {
  EXPECT_TRUE(BuildFeedbackText(kNoFeedbackType, L"text", L"123").empty());
}

TEST(Feedback, TypedQuotesAndBackslashesStayValidJson) {
  const std::wstring typed = L"say \"no\" \\ to\nads";
  const std::wstring text = BuildFeedbackText(0, typed, L"+86 138");
  const nlohmann::json parsed = nlohmann::json::parse(WideToUtf8(text));
  EXPECT_EQ(WideToUtf8(typed), parsed.at("content").get<std::string>());
  EXPECT_EQ("+86 138", parsed.at("mobile").get<std::string>());
  EXPECT_EQ(0, parsed.at("type").get<int>());
}

}  // namespace
