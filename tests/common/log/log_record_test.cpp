// The caller's side of a line: header, message, suffix, room and the queue's counters.
#include <windows.h>

#include <cstdio>
#include <regex>

#include "common/log/log_format.h"
#include "log_manager_fixture.h"

using namespace vemtal::vlog;

namespace {

std::string localNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  char text[32];
  std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                t.wSecond);
  return text;
}

std::string threadTag() {
  char text[16];
  std::snprintf(text, sizeof(text), "[%04lu]", GetCurrentThreadId());
  return text;
}

class LogRecord : public vlogtest::ManagerTest {
 protected:
  void SetUp() override {
    ManagerTest::SetUp();
    ASSERT_TRUE(log().start());
    ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_TRACE));
  }
};

}  // namespace

TEST_F(LogRecord, HeaderOfEveryLevelIsExact) {
  const char* names[] = {"LOG_TRACE", "LOG_DEBUG", "LOG_INFO", "LOG_WARN", "LOG_ERROR", "LOG_ALARM", "LOG_FATAL"};
  std::string before = localNow();
  for (int level = 0; level <= 6; ++level) logToF(log(), 0, level, "dir/unit.cpp", 100 + level, "message %d", level);
  std::string after = localNow();
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 7u);
  std::regex header(R"(^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})\.\d{3} (\[\d{4,}\]) (\S+) (.*)$)");
  for (int level = 0; level <= 6; ++level) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(lines[level], m, header)) << lines[level];
    EXPECT_GE(m[1].str(), before);
    EXPECT_LE(m[1].str(), after);
    EXPECT_EQ(m[2].str(), threadTag());
    EXPECT_EQ(m[3].str(), names[level]);
    // Exactly one blank after the level name, for the short names too.
    EXPECT_EQ(m[4].str(), "message " + std::to_string(level) + " unit.cpp:" + std::to_string(100 + level));
  }
}

TEST_F(LogRecord, SuffixTakesTheBaseNameOfAnyPath) {
  logToF(log(), 0, LOG_LEVEL_INFO, "C:\\src\\engine\\job.cpp", 7, "a");
  logToF(log(), 0, LOG_LEVEL_INFO, "/work/src/x/y.cpp", 8, "b");
  logToF(log(), 0, LOG_LEVEL_INFO, "plain.cpp", 9, "c");
  logToF(log(), 0, LOG_LEVEL_INFO, "mixed/dir\\last.h", -3, "d");
  logToF(log(), 0, LOG_LEVEL_INFO, nullptr, 10, "e");
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_NE(lines[0].find("LOG_INFO a job.cpp:7"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("LOG_INFO b y.cpp:8"), std::string::npos) << lines[1];
  EXPECT_NE(lines[2].find("LOG_INFO c plain.cpp:9"), std::string::npos) << lines[2];
  EXPECT_NE(lines[3].find("LOG_INFO d last.h:-3"), std::string::npos) << lines[3];
  EXPECT_EQ(lines[4].substr(lines[4].size() - 2), " e") << lines[4];
}

TEST_F(LogRecord, LongMessageKeepsItsFirst8189BytesAndNoSuffix) {
  std::string message(9000, 'a');
  logToF(log(), 0, LOG_LEVEL_INFO, "long.cpp", 1, "%s", message.c_str());
  logToF(log(), 0, LOG_LEVEL_INFO, "next.cpp", 2, "after");
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 8189u);
  EXPECT_EQ(lines[0].find("long.cpp"), std::string::npos);
  EXPECT_EQ(lines[0].back(), 'a');
  EXPECT_NE(lines[1].find("LOG_INFO after next.cpp:2"), std::string::npos);
}

TEST_F(LogRecord, LineNumberIsLeftOutWhenLessThan65BytesRemain) {
  logToF(log(), 0, LOG_LEVEL_INFO, "f.cpp", 1, "probe");
  std::vector<std::string> probe = writtenLines();
  ASSERT_EQ(probe.size(), 1u);
  size_t header = probe[0].find("probe");
  // Leave 30 bytes of room after " f.cpp:".
  std::string message(kLogContentSize - header - 7 - 30, 'm');
  logToF(log(), 0, LOG_LEVEL_INFO, "f.cpp", 12345, "%s", message.c_str());
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(lines[1].size() - 7), " f.cpp:");
}

TEST_F(LogRecord, NoBytesOfAnEarlierRecordReachALaterLine) {
  // Fill pooled records with X, then make lines whose formatting is cut or meets text the
  // runtime's own formatter would refuse.
  for (int i = 0; i < 3; ++i) logToF(log(), 0, LOG_LEVEL_INFO, "x.cpp", 1, "%s", std::string(8150, 'X').c_str());
  ASSERT_TRUE(log().drain());
  std::string longer(9000, 'Y');
  logToF(log(), 0, LOG_LEVEL_INFO, "y.cpp", 2, "%s", longer.c_str());
  logToF(log(), 0, LOG_LEVEL_INFO, "y.cpp", 3, "bad %S end", L"a\xD800z");
  logToF(log(), 0, LOG_LEVEL_INFO, "y.cpp", 4, "%s%S", std::string(8100, 'Y').c_str(), L"游戏游戏游戏游戏游戏游戏游戏游戏");
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 6u);
  for (size_t i = 3; i < 6; ++i) EXPECT_EQ(lines[i].find('X'), std::string::npos) << "line " << i;
  EXPECT_NE(lines[4].find("LOG_INFO bad a\xEF\xBF\xBDz end y.cpp:3"), std::string::npos) << lines[4];
  // Cut at 8189 bytes, backing off to the start of a character.
  EXPECT_GE(lines[5].size(), 8187u);
  EXPECT_LE(lines[5].size(), 8189u);
  EXPECT_TRUE(vlogtest::validUtf8(lines[5]));
}

TEST_F(LogRecord, ChineseWideArgumentsReachTheFileWhole) {
  logToF(log(), 0, LOG_LEVEL_ERROR, "job.cpp", 5, "DeleteFile, %S in %ls failed, err %lu", L"Tamsel游戏Pelluvo.exe",
         L"C:\\Users\\王小明\\AppData", 5ul);
  std::vector<std::string> lines = writtenLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("LOG_ERROR DeleteFile, Tamsel游戏Pelluvo.exe in C:\\Users\\王小明\\AppData failed, err 5 "
                          "job.cpp:5"),
            std::string::npos)
      << lines[0];
}

TEST_F(LogRecord, LevelBelowTheLoggersIsNeitherFormattedNorQueued) {
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_WARN));
  ASSERT_TRUE(log().drain());
  uint64_t pushed = log().getTotalPushCount();
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_INFO));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_WARN));
  logToF(log(), 0, LOG_LEVEL_INFO, "f.cpp", 1, "hidden");
  logToF(log(), 0, LOG_LEVEL_WARN, "f.cpp", 2, "shown");
  std::vector<std::string> lines = writtenLines();
  EXPECT_EQ(log().getTotalPushCount(), pushed + 1);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("LOG_WARN shown"), std::string::npos);
}

TEST_F(LogRecord, RecordOfAnUnknownOrDisabledLoggerIsRefused) {
  uint64_t pushed = log().getTotalPushCount();
  EXPECT_FALSE(log().prePushLog(1, LOG_LEVEL_INFO));
  EXPECT_FALSE(log().prePushLog(-1, LOG_LEVEL_INFO));
  EXPECT_FALSE(log().pushLog(log().makeLogData(3, LOG_LEVEL_INFO), "f.cpp", 1));
  ASSERT_TRUE(log().enableLogger(0, false));
  ASSERT_TRUE(log().drain());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_FATAL));
  EXPECT_FALSE(log().pushLog(log().makeLogData(0, LOG_LEVEL_FATAL), "f.cpp", 1));
  EXPECT_EQ(log().getTotalPushCount(), pushed);
}

TEST(LogRecordStopped, NothingIsTakenBeforeStart) {
  vlogtest::TempFolder folder;
  LogerManager log;
  log.setLoggerPath(0, folder.path().c_str());
  EXPECT_FALSE(log.prePushLog(0, LOG_LEVEL_FATAL));
  LogData* record = log.makeLogData(0, LOG_LEVEL_FATAL);
  ASSERT_NE(record, nullptr);
  EXPECT_FALSE(log.pushLog(record, "f.cpp", 1));
  EXPECT_EQ(log.getTotalPushCount(), 0u);
  EXPECT_TRUE(log.drain());
  EXPECT_TRUE(vlogtest::readFiles(folder.path()).empty());
}
