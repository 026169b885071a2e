#include <gtest/gtest.h>

#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "engine/parser/os_condition.h"

namespace {

bool Token(const std::string& token, bool allowPlus) {
  int major = 0;
  std::string minor;
  return IsValidOsToken(token, major, minor, allowPlus);
}

bool Condition(const std::string& condition) {
  std::string low, high;
  return IsValidOsCondition(condition, low, high);
}

}  // namespace

TEST(OsCondition, Tokens) {
  for (const char* valid : {"10.0", "6.x", "6.X", "06.1", "5.3", "10.x"}) EXPECT_TRUE(Token(valid, false)) << valid;
  for (const char* invalid : {"6.4", "7.0", "6", "6.1.7600", ".1", "", "6.", "6.1+"}) {
    EXPECT_FALSE(Token(invalid, false)) << invalid;
  }
  EXPECT_TRUE(Token("6.1+", true));
  EXPECT_TRUE(Token("10.3+", true));
  EXPECT_FALSE(Token("6.4+", true));
  EXPECT_FALSE(Token("6.x+", true));
}

TEST(OsCondition, TokenOutputsAreSetAsFarAsTheCheckGot) {
  int major = -1;
  std::string minor = "unset";
  EXPECT_FALSE(IsValidOsToken("7.1", major, minor, true));
  EXPECT_EQ(major, 7);
  EXPECT_EQ(minor, "unset");
  EXPECT_TRUE(IsValidOsToken("10.2+", major, minor, true));
  EXPECT_EQ(major, 10);
  EXPECT_EQ(minor, "2+");
}

TEST(OsCondition, Conditions) {
  for (const char* valid : {"6.1", "6.x", "6.1+", "5.1-6.3", "6.x-10.x"}) EXPECT_TRUE(Condition(valid)) << valid;
  for (const char* invalid : {"6.0+-10.0", "-6.1", "6.1-", "5.1-6.1-10.0", "6.1-10.0+"}) {
    EXPECT_FALSE(Condition(invalid)) << invalid;
  }
  std::string low, high = "kept";
  EXPECT_TRUE(IsValidOsCondition("5.1-6.3", low, high));
  EXPECT_EQ(low, "5.1");
  EXPECT_EQ(high, "6.3");
  high = "kept";
  EXPECT_TRUE(IsValidOsCondition("6.1+", low, high));
  EXPECT_EQ(low, "6.1+");
  EXPECT_EQ(high, "kept");
}

TEST(OsCondition, MatchesOnSixOne) {
  for (const char* match : {"6.1", "6.x", "6.0+", "5.2+", "6.1+", "5.1-6.3", "6.x-6.x", "5.x-10.0", "5.2-10.0", ""}) {
    EXPECT_TRUE(MatchOsCondition(match, "6.1")) << match;
  }
  for (const char* miss : {"6.2", "6.2+", "10.x", "6.2-10.0", "5.0-6.0", "6.4", "garbage"}) {
    EXPECT_FALSE(MatchOsCondition(miss, "6.1")) << miss;
  }
}

TEST(OsCondition, MatchesOnTenZero) {
  for (const char* match : {"6.0+", "6.x-10.x", "10.0", "5.1+"}) EXPECT_TRUE(MatchOsCondition(match, "10.0")) << match;
  for (const char* miss : {"6.x", "5.1-6.3", "10.1"}) EXPECT_FALSE(MatchOsCondition(miss, "10.0")) << miss;
}

TEST(OsCondition, OtherRunningVersions) {
  EXPECT_TRUE(MatchOsCondition("5.1", "5.1"));
  EXPECT_TRUE(MatchOsCondition("5.0-5.2", "5.1"));
  EXPECT_FALSE(MatchOsCondition("6.0+", "5.1"));
  EXPECT_TRUE(MatchOsCondition("6.2-6.3", "6.3"));
  // A running version outside the grammar matches only the empty condition.
  EXPECT_FALSE(MatchOsCondition("6.x", "6.4"));
  EXPECT_FALSE(MatchOsCondition("10.0+", "11.0"));
  EXPECT_TRUE(MatchOsCondition("", "11.0"));
}

// The test prefix reports Windows 6.1 unless it was switched.
TEST(OsCondition, MatchesTheRunningVersion) {
  std::string running = WideToUtf8(SystemInfo::GetInstance().VersionText());
  ASSERT_FALSE(running.empty());
  EXPECT_TRUE(MatchOsCondition(running, running));
  EXPECT_TRUE(MatchOsCondition("5.0+", running));
  if (running == "6.1") {
    EXPECT_TRUE(MatchOsCondition("6.x", running));
    EXPECT_TRUE(MatchOsCondition("5.1-6.3", running));
    EXPECT_FALSE(MatchOsCondition("6.2+", running));
  }
}
