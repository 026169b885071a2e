// Log files: names, folders (also Chinese ones), day and size roll, appending to an
// existing file, reserve-time deletion and a file that cannot be opened.
#include <windows.h>

#include <cstdio>

#include "common/log/log_format.h"
#include "common/log/log_text.h"
#include "log_manager_fixture.h"

using namespace vemtal::vlog;
using vlogtest::FoundFile;
using vlogtest::localSeconds;
using vlogtest::pushAt;
using vlogtest::readFiles;

namespace {

std::string pidText() {
  char text[16];
  std::snprintf(text, sizeof(text), "%06lu", GetCurrentProcessId());
  return text;
}

// "<process>_<name>_<YYYYMMDDhhmm>_<pid>_<index>.log" of this test program.
std::string fileName(const std::string& name, const char* stamp, unsigned index) {
  char text[256];
  std::snprintf(text, sizeof(text), "log_tests_%s_%s_%s_%03u.log", name.c_str(), stamp, pidText().c_str(), index);
  return text;
}

size_t lineCount(const std::string& content) {
  size_t n = 0;
  for (size_t at = content.find("\r\n"); at != std::string::npos; at = content.find("\r\n", at + 2)) ++n;
  return n;
}

// A second logger "Roll" with its files in <folder>roll/ while the banner stays in logger 0's folder.
class LogFiles : public vlogtest::ManagerTest {
 protected:
  void SetUp() override {
    ManagerTest::SetUp();
    id_ = log().CreateLogger("Roll");
    ASSERT_EQ(id_, 1);
    ASSERT_TRUE(log().setLoggerPath(id_, (folder() + "roll").c_str()));
    ASSERT_TRUE(log().setLoggerDisplay(id_, false));
  }
  std::vector<FoundFile> rollFiles() {
    EXPECT_TRUE(log().drain());
    return readFiles(folder() + "roll/");
  }
  int id_ = -1;
};

}  // namespace

TEST_F(LogFiles, PathEndingInDotLogBecomesAFolderHoldingTheFiles) {
  ASSERT_TRUE(log().setLoggerPath(id_, (folder() + "deep\\er/engine.log").c_str()));
  ASSERT_TRUE(log().start());
  int64_t at = localSeconds(2031, 4, 5, 6, 7, 8);
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, at, "first"));
  ASSERT_TRUE(log().drain());
  std::vector<FoundFile> files = readFiles(folder() + "deep/er/");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].relativePath, "engine.log/" + fileName("Roll", "203104050607", 0));
  EXPECT_NE(files[0].content.find("LOG_INFO first test.cpp:1\r\n"), std::string::npos);
}

TEST_F(LogFiles, SizeRollThenDayRoll) {
  ASSERT_TRUE(log().setLoggerLimitsize(id_, 1));
  ASSERT_TRUE(log().start());
  const int64_t lateEvening = localSeconds(2031, 12, 31, 23, 59, 10);
  const int64_t nextDay = localSeconds(2032, 1, 1, 0, 0, 5);
  std::string message(7000, 'z');
  const int lines = 200;  // about 1.4 MB
  for (int i = 0; i < lines; ++i) {
    ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, lateEvening + i % 40, message, "roll.cpp", i));
  }
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, nextDay, "new day", "roll.cpp", 999));
  std::vector<FoundFile> files = rollFiles();
  ASSERT_EQ(files.size(), 3u);
  EXPECT_EQ(files[0].relativePath, fileName("Roll", "203112312359", 0));
  EXPECT_EQ(files[1].relativePath, fileName("Roll", "203112312359", 1));
  EXPECT_EQ(files[2].relativePath, fileName("Roll", "203201010000", 0));
  // The first file passed 1 MB with its last line, not before.
  size_t lineLength = files[0].content.size() / lineCount(files[0].content);
  EXPECT_GT(files[0].content.size(), 1048576u);
  EXPECT_LE(files[0].content.size() - lineLength, 1048576u);
  EXPECT_EQ(lineCount(files[0].content) + lineCount(files[1].content), static_cast<size_t>(lines));
  EXPECT_NE(files[1].content.find("roll.cpp:199\r\n"), std::string::npos);
  EXPECT_EQ(lineCount(files[2].content), 1u);
  EXPECT_NE(files[2].content.find("LOG_INFO new day roll.cpp:999"), std::string::npos);
}

TEST_F(LogFiles, ExistingFileIsAppendedAndCountsTowardsTheLimit) {
  ASSERT_TRUE(log().setLoggerLimitsize(id_, 1));
  int64_t at = localSeconds(2033, 2, 3, 4, 5, 6);
  CreateDirectoryW(vemtal::vlog::utf8ToWide(folder() + "roll").c_str(), nullptr);
  std::string old(1048000, 'o');
  vlogtest::writeFile(folder() + "roll/" + fileName("Roll", "203302030405", 0), old);
  ASSERT_TRUE(log().start());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, at, std::string(1000, 'n'), "a.cpp", i));
  std::vector<FoundFile> files = rollFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].content.substr(0, old.size()), old);
  EXPECT_EQ(lineCount(files[0].content.substr(old.size())), 1u);
  EXPECT_EQ(files[1].relativePath, fileName("Roll", "203302030405", 1));
  EXPECT_EQ(lineCount(files[1].content), 2u);
}

TEST_F(LogFiles, LimitZeroMeansPracticallyUnlimited) {
  ASSERT_TRUE(log().setLoggerLimitsize(id_, 1));
  ASSERT_TRUE(log().setLoggerLimitsize(id_, 0));
  ASSERT_TRUE(log().start());
  int64_t at = localSeconds(2031, 1, 2, 3, 4, 5);
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, at, std::string(7500, 'q')));
  std::vector<FoundFile> files = rollFiles();
  ASSERT_EQ(files.size(), 1u);
  EXPECT_GT(files[0].content.size(), 2u * 1048576u);
}

TEST_F(LogFiles, MonthFolders) {
  ASSERT_TRUE(log().setLoggerMonthdir(id_, true));
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, localSeconds(2031, 1, 31, 12, 0, 0), "january"));
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, localSeconds(2031, 2, 1, 12, 0, 0), "february"));
  std::vector<FoundFile> files = rollFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].relativePath, "2031_01/" + fileName("Roll", "203101311200", 0));
  EXPECT_EQ(files[1].relativePath, "2031_02/" + fileName("Roll", "203102011200", 0));
}

TEST_F(LogFiles, ReserveTimeDeletesOnlyWhenMoreThanSevenFilesAreRemembered) {
  const int64_t day = 86400;
  ASSERT_TRUE(log().setLoggerReserveTime(id_, 3 * day));
  CreateDirectoryW(vemtal::vlog::utf8ToWide(folder() + "roll").c_str(), nullptr);
  std::string foreign = folder() + "roll/" + fileName("Roll", "202001010000", 0);
  vlogtest::writeFile(foreign, "from an earlier run\r\n");
  ASSERT_TRUE(log().start());
  const int64_t first = localSeconds(2031, 3, 1, 12, 0, 0);
  auto name = [](int k) {
    char stamp[16];
    std::snprintf(stamp, sizeof(stamp), "203103%02d1200", k + 1);
    return fileName("Roll", stamp, 0);
  };
  for (int k = 0; k < 8; ++k) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + k * day, "d" + std::to_string(k)));
  ASSERT_EQ(rollFiles().size(), 9u) << "seven remembered files: nothing deleted yet";

  // The ninth file finds eight remembered: those older than three days before it go.
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + 8 * day, "d8"));
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + 9 * day, "d9"));
  std::vector<FoundFile> files = rollFiles();
  std::vector<std::string> names;
  for (const FoundFile& file : files) names.push_back(file.relativePath);
  std::vector<std::string> expected = {fileName("Roll", "202001010000", 0)};
  for (int k = 5; k <= 9; ++k) expected.push_back(name(k));
  EXPECT_EQ(names, expected);
}

TEST_F(LogFiles, NoReserveTimeKeepsEveryFile) {
  ASSERT_TRUE(log().start());
  const int64_t first = localSeconds(2031, 3, 1, 12, 0, 0);
  for (int k = 0; k < 10; ++k) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + k * 86400, "d"));
  EXPECT_EQ(rollFiles().size(), 10u);
}

TEST_F(LogFiles, ChinesePathsWork) {
  std::string chinese = folder() + "用户\\王小明/日志.log";
  ASSERT_TRUE(log().setLoggerPath(id_, chinese.c_str()));
  ASSERT_TRUE(log().setLoggerMonthdir(id_, true));
  ASSERT_TRUE(log().setLoggerName(id_, "安装"));
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, localSeconds(2031, 5, 6, 7, 8, 9), "中文 line"));
  ASSERT_TRUE(log().drain());
  std::vector<FoundFile> files = readFiles(folder());
  std::string expected = "用户/王小明/日志.log/2031_05/" + fileName("安装", "203105060708", 0);
  bool found = false;
  for (const FoundFile& file : files) {
    if (file.relativePath != expected) continue;
    found = true;
    EXPECT_NE(file.content.find("LOG_INFO 中文 line test.cpp:1"), std::string::npos);
  }
  EXPECT_TRUE(found) << expected;
}

TEST_F(LogFiles, FileThatCannotBeOpenedTurnsFileOutputOff) {
  vlogtest::writeFile(folder() + "blocker", "a file where a folder should be");
  ASSERT_TRUE(log().setLoggerPath(id_, (folder() + "blocker/sub").c_str()));
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(log().drain());
  uint64_t written = log().getTotalWriteCount();
  int64_t at = localSeconds(2031, 6, 1, 0, 0, 0);
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, at, "lost"));
  ASSERT_TRUE(log().drain());
  EXPECT_EQ(log().getTotalWriteCount(), written) << "a line whose file cannot open is not counted";
  DeleteFileW(vemtal::vlog::utf8ToWide(folder() + "blocker").c_str());
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, at, "console only"));
  ASSERT_TRUE(log().drain());
  EXPECT_EQ(log().getTotalWriteCount(), written + 1);
  EXPECT_FALSE(vlogtest::fileExists(folder() + "blocker"));
}
