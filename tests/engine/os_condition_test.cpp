// The "os" grammar ("6.1", "6.x", "6.1+", "5.1-6.3") and matching against a running version.
#include <gtest/gtest.h>

#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "engine/parser/os_condition.h"

TEST(OsCondition, TokensAndConditions) {
  int major = 0;
  std::string minor, low, high;
  for (const char* valid : {"10.0", "6.x", "6.X", "06.1", "5.3", "10.x"}) {
    EXPECT_TRUE(IsValidOsToken(valid, major, minor, false)) << valid;
  }
  for (const char* invalid : {"6.4", "7.0", "6", "6.1.7600", ".1", "", "6.", "6.1+"}) {
    EXPECT_FALSE(IsValidOsToken(invalid, major, minor, false)) << invalid;
  }
  for (const char* plus : {"6.1+", "10.3+"}) EXPECT_TRUE(IsValidOsToken(plus, major, minor, true)) << plus;
  for (const char* bad : {"6.4+", "6.x+"}) EXPECT_FALSE(IsValidOsToken(bad, major, minor, true)) << bad;
  // The outputs are set as far as the check got.
  major = -1, minor = "unset";
  EXPECT_FALSE(IsValidOsToken("7.1", major, minor, true));
  EXPECT_EQ(std::make_pair(major, minor), std::make_pair(7, std::string("unset")));
  EXPECT_TRUE(IsValidOsToken("10.2+", major, minor, true));
  EXPECT_EQ(std::make_pair(major, minor), std::make_pair(10, std::string("2+")));

  for (const char* valid : {"6.1", "6.x", "6.1+", "5.1-6.3", "6.x-10.x"}) {
    EXPECT_TRUE(IsValidOsCondition(valid, low, high)) << valid;
  }
  for (const char* invalid : {"6.0+-10.0", "-6.1", "6.1-", "5.1-6.1-10.0", "6.1-10.0+"}) {
    EXPECT_FALSE(IsValidOsCondition(invalid, low, high)) << invalid;
  }
  high = "kept";
  EXPECT_TRUE(IsValidOsCondition("6.1+", low, high));
  EXPECT_EQ(std::make_pair(low, high), std::make_pair(std::string("6.1+"), std::string("kept")));
  EXPECT_TRUE(IsValidOsCondition("5.1-6.3", low, high));
  EXPECT_EQ(std::make_pair(low, high), std::make_pair(std::string("5.1"), std::string("6.3")));
}

TEST(OsCondition, Matches) {
  const struct {
    const char* running;
    std::vector<const char*> match, miss;
  } cases[] = {
      {"6.1",
       {"6.1", "6.x", "6.0+", "5.2+", "6.1+", "5.1-6.3", "6.x-6.x", "5.x-10.0", "5.2-10.0", ""},
       {"6.2", "6.2+", "10.x", "6.2-10.0", "5.0-6.0", "6.4", "garbage"}},
      {"10.0", {"6.0+", "6.x-10.x", "10.0", "5.1+"}, {"6.x", "5.1-6.3", "10.1"}},
      {"5.1", {"5.1", "5.0-5.2"}, {"6.0+"}},
      {"6.3", {"6.2-6.3"}, {}},
      // A running version outside the grammar matches only the empty condition.
      {"6.4", {""}, {"6.x"}},
      {"11.0", {""}, {"10.0+"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.running);
    for (const char* condition : c.match) EXPECT_TRUE(MatchOsCondition(condition, c.running)) << condition;
    for (const char* condition : c.miss) EXPECT_FALSE(MatchOsCondition(condition, c.running)) << condition;
  }
  const std::string running = WideToUtf8(SystemInfo::GetInstance().VersionText());
  ASSERT_FALSE(running.empty());
  EXPECT_TRUE(MatchOsCondition(running, running)) << "the running system";
  EXPECT_TRUE(MatchOsCondition("5.0+", running));
}
