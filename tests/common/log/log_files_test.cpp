// Log files: names, folders (Chinese ones too), month, day and size roll, appending to an
// existing file, reserve-time deletion and a file that cannot be opened.
#include <windows.h>

#include <cstdio>

#include "common/log/log_format.h"
#include "common/log/log_text.h"
#include "log_test_support.h"

using namespace vemtal::vlog;
using vlogtest::FoundFile;
using vlogtest::localSeconds;
using vlogtest::pushAt;
using vlogtest::readFiles;

namespace {

// "<process>_<name>_<YYYYMMDDhhmm>_<pid>_<index>.log" of this test program.
std::string fileName(const std::string& name, const std::string& stamp, unsigned index) {
  char text[256];
  std::snprintf(text, sizeof(text), "log_tests_%s_%s_%06lu_%03u.log", name.c_str(), stamp.c_str(),
                GetCurrentProcessId(), index);
  return text;
}

size_t lineCount(const std::string& content) { return vlogtest::splitLines(content).size() - 1; }

// A second logger "Roll" writing into <folder>roll/, away from logger 0's banner.
class LogFiles : public vlogtest::ManagerTest {
 protected:
  void SetUp() override {
    ManagerTest::SetUp();
    ASSERT_EQ(log().CreateLogger("Roll"), id_);
    ASSERT_TRUE(log().setLoggerPath(id_, (folder() + "roll").c_str()));
    ASSERT_TRUE(log().setLoggerDisplay(id_, false));
  }
  std::vector<FoundFile> rollFiles() {
    EXPECT_TRUE(log().drain());
    return readFiles(folder() + "roll/");
  }
  void makeRollFile(const std::string& name, const std::string& content) {
    CreateDirectoryW(utf8ToWide(folder() + "roll").c_str(), nullptr);
    vlogtest::writeFile(folder() + "roll/" + name, content);
  }
  const int id_ = 1;
};

}  // namespace

TEST_F(LogFiles, SizeRollThenDayRoll) {
  ASSERT_TRUE(log().setLoggerLimitsize(id_, 1));
  ASSERT_TRUE(log().start());
  const int64_t lateEvening = localSeconds(2031, 12, 31, 23, 59, 10);
  std::string message(7000, 'z');
  const int lines = 200;  // about 1.4 MB
  for (int i = 0; i < lines; ++i) {
    ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, lateEvening + i % 40, message, "roll.cpp", i));
  }
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, localSeconds(2032, 1, 1, 0, 0, 5), "new day", "roll.cpp", 999));
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
  std::string old(1048000, 'o');
  makeRollFile(fileName("Roll", "203302030405", 0), old);
  ASSERT_TRUE(log().start());
  int64_t at = localSeconds(2033, 2, 3, 4, 5, 6);
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, at, std::string(1000, 'n'), "a.cpp", i));
  std::vector<FoundFile> files = rollFiles();
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].content.substr(0, old.size()), old);
  EXPECT_EQ(lineCount(files[0].content.substr(old.size())), 1u);
  EXPECT_EQ(files[1].relativePath, fileName("Roll", "203302030405", 1));
  EXPECT_EQ(lineCount(files[1].content), 2u);
}

// Limit 0 rolls no file by size; without a reserve time no file is deleted.
TEST_F(LogFiles, LimitZeroAndNoReserveTimeKeepEverything) {
  ASSERT_TRUE(log().setLoggerLimitsize(id_, 1));
  ASSERT_TRUE(log().setLoggerLimitsize(id_, 0));
  ASSERT_TRUE(log().start());
  const int64_t first = localSeconds(2031, 3, 1, 12, 0, 0);
  for (int i = 0; i < 300; ++i) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first, std::string(7500, 'q')));
  for (int k = 1; k < 10; ++k) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + k * 86400, "d"));
  std::vector<FoundFile> files = rollFiles();
  ASSERT_EQ(files.size(), 10u);
  EXPECT_EQ(files[0].relativePath, fileName("Roll", "203103011200", 0));
  EXPECT_GT(files[0].content.size(), 2u * 1048576u);
}

TEST_F(LogFiles, ReserveTimeDeletesOnlyWhenMoreThanSevenFilesAreRemembered) {
  const int64_t day = 86400;
  ASSERT_TRUE(log().setLoggerReserveTime(id_, 3 * day));
  makeRollFile(fileName("Roll", "202001010000", 0), "from an earlier run\r\n");
  ASSERT_TRUE(log().start());
  const int64_t first = localSeconds(2031, 3, 1, 12, 0, 0);
  for (int k = 0; k < 8; ++k) ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + k * day, "d"));
  ASSERT_EQ(rollFiles().size(), 9u) << "seven remembered files: nothing deleted yet";
  // The ninth file finds eight remembered: those older than three days before it go.
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + 8 * day, "d8"));
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, first + 9 * day, "d9"));
  std::vector<std::string> names, expected = {fileName("Roll", "202001010000", 0)};
  for (const FoundFile& file : rollFiles()) names.push_back(file.relativePath);
  for (int day = 6; day <= 10; ++day) {
    char stamp[16];
    std::snprintf(stamp, sizeof(stamp), "203103%02d1200", day);
    expected.push_back(fileName("Roll", stamp, 0));
  }
  EXPECT_EQ(names, expected);
}

// A path ending in ".log" is a folder holding the files; both separators, Chinese names and
// month folders work.
TEST_F(LogFiles, ChinesePathsAndMonthFolders) {
  ASSERT_TRUE(log().setLoggerPath(id_, (folder() + "用户\\王小明/日志.log").c_str()));
  ASSERT_TRUE(log().setLoggerMonthdir(id_, true));
  ASSERT_TRUE(log().setLoggerName(id_, "安装"));
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, localSeconds(2031, 1, 31, 12, 0, 0), "january"));
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, localSeconds(2031, 2, 1, 7, 8, 9), "中文 line"));
  ASSERT_TRUE(log().drain());
  std::vector<FoundFile> files = readFiles(folder() + "用户/王小明/");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].relativePath, "日志.log/2031_01/" + fileName("安装", "203101311200", 0));
  EXPECT_EQ(files[1].relativePath, "日志.log/2031_02/" + fileName("安装", "203102010708", 0));
  EXPECT_NE(files[1].content.find("LOG_INFO 中文 line test.cpp:1\r\n"), std::string::npos);
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
  std::wstring blocker = utf8ToWide(folder() + "blocker");
  DeleteFileW(blocker.c_str());
  ASSERT_TRUE(pushAt(log(), id_, LOG_LEVEL_INFO, at, "console only"));
  ASSERT_TRUE(log().drain());
  EXPECT_EQ(log().getTotalWriteCount(), written + 1);
  EXPECT_EQ(GetFileAttributesW(blocker.c_str()), INVALID_FILE_ATTRIBUTES) << "no new attempt to open";
}
