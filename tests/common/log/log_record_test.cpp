// The caller's side of a line: suffix, room, pooled records, refusals and the push counter.
#include <windows.h>

#include "common/log/log_format.h"
#include "log_test_support.h"

using namespace vemtal::vlog;
using vlogtest::endsWith;

namespace {

class LogRecord : public vlogtest::ManagerTest {
 protected:
  void SetUp() override {
    ManagerTest::SetUp();
    ASSERT_TRUE(log().start());
    ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_TRACE));
  }
};

}  // namespace

TEST_F(LogRecord, SuffixTakesTheBaseNameOfAnyPath) {
  struct Case {
    const char* file;
    int line;
    const char* tail;
  } cases[] = {{"C:\\src\\engine\\job.cpp", 7, "LOG_INFO m job.cpp:7"},
               {"/work/src/x/y.cpp", 8, "LOG_INFO m y.cpp:8"},
               {"mixed/dir\\last.h", -3, "LOG_INFO m last.h:-3"},
               {nullptr, 10, "LOG_INFO m"}};
  for (const Case& c : cases) logToF(log(), 0, LOG_LEVEL_INFO, c.file, c.line, "m");
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 4u);
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(endsWith(lines[i], cases[i].tail)) << lines[i];
}

// Records are pooled: a long, cut or badly encoded line carries no byte of an earlier one. A
// line keeps its first 8189 bytes (backing off to a character start) and then has no suffix.
TEST_F(LogRecord, LongAndBadLinesAreCutCleanly) {
  for (int i = 0; i < 3; ++i) logToF(log(), 0, LOG_LEVEL_INFO, "x.cpp", 1, "%s", std::string(8150, 'X').c_str());
  ASSERT_TRUE(log().drain());
  logToF(log(), 0, LOG_LEVEL_INFO, "y.cpp", 2, "%s", std::string(9000, 'Y').c_str());
  logToF(log(), 0, LOG_LEVEL_INFO, "y.cpp", 3, "bad %S end", L"a\xD800z");
  logToF(log(), 0, LOG_LEVEL_INFO, "y.cpp", 4, "%s%S", std::string(8100, 'Y').c_str(),
         L"游戏游戏游戏游戏游戏游戏游戏游戏");
  logToF(log(), 0, LOG_LEVEL_INFO, "next.cpp", 5, "after");
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 7u);
  for (size_t i = 3; i < 7; ++i) EXPECT_EQ(lines[i].find('X'), std::string::npos) << "line " << i;
  EXPECT_EQ(lines[3].size(), 8189u);
  EXPECT_EQ(lines[3].back(), 'Y');
  EXPECT_TRUE(endsWith(lines[4], "LOG_INFO bad a\xEF\xBF\xBDz end y.cpp:3")) << lines[4];
  EXPECT_GE(lines[5].size(), 8187u);
  EXPECT_LE(lines[5].size(), 8189u);
  EXPECT_TRUE(vlogtest::validUtf8(lines[5]));
  EXPECT_TRUE(endsWith(lines[6], "LOG_INFO after next.cpp:5")) << "the next line is whole";
}

TEST_F(LogRecord, LineNumberIsLeftOutWhenLessThan65BytesRemain) {
  logToF(log(), 0, LOG_LEVEL_INFO, "f.cpp", 1, "probe");
  std::vector<std::string> probe = writtenLines();
  ASSERT_EQ(probe.size(), 1u);
  // Leave 30 bytes of room after " f.cpp:".
  std::string message(kLogContentSize - probe[0].find("probe") - 7 - 30, 'm');
  logToF(log(), 0, LOG_LEVEL_INFO, "f.cpp", 12345, "%s", message.c_str());
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_TRUE(endsWith(lines[1], "m f.cpp:"));
}

TEST_F(LogRecord, RefusedRecordsAreNeitherFormattedNorQueued) {
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_WARN));
  ASSERT_TRUE(log().drain());
  uint64_t pushed = log().getTotalPushCount();
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_INFO));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_WARN));
  EXPECT_FALSE(log().prePushLog(1, LOG_LEVEL_INFO)) << "unknown logger";
  EXPECT_FALSE(log().prePushLog(-1, LOG_LEVEL_INFO));
  EXPECT_FALSE(log().pushLog(log().makeLogData(3, LOG_LEVEL_INFO), "f.cpp", 1));
  logToF(log(), 0, LOG_LEVEL_INFO, "f.cpp", 1, "hidden");
  logToF(log(), 0, LOG_LEVEL_WARN, "f.cpp", 2, "shown");
  ASSERT_TRUE(log().enableLogger(0, false));
  ASSERT_TRUE(log().drain());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_FATAL)) << "disabled logger";
  EXPECT_FALSE(log().pushLog(log().makeLogData(0, LOG_LEVEL_FATAL), "f.cpp", 1));
  std::vector<std::string> lines = writtenLines();
  EXPECT_EQ(log().getTotalPushCount(), pushed + 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_TRUE(endsWith(lines[0], "LOG_WARN shown f.cpp:2"));
}
