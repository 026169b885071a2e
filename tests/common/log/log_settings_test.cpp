// Settings: changes made while running take effect exactly between the lines around them;
// loggers are created up to the limit; setters refuse what they must; start, stop, restart.
#include <windows.h>

#include <string>

#include "common/log/log_format.h"
#include "log_test_support.h"

using namespace vemtal::vlog;
using vlogtest::FoundFile;
using vlogtest::readFiles;
using Lines = std::vector<std::string>;

namespace {

class LogSettings : public vlogtest::ManagerTest {
 protected:
  void line(int level, const std::string& text) { logToF(log(), 0, level, "set.cpp", 42, "%s", text.c_str()); }
  // Written lines from their level name on, of the files below `sub` whose name holds `part`.
  Lines linesOf(const std::string& sub, const std::string& part) {
    Lines lines = writtenLines(sub, part);
    for (std::string& text : lines) text = text.substr(text.find("LOG_"));
    return lines;
  }
};

}  // namespace

TEST_F(LogSettings, ChangesWhileRunningApplyInLineOrder) {
  ASSERT_TRUE(log().setLoggerPath(0, (folder() + "a").c_str()));
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(log().drain());
  const uint64_t popped = log().getTotalPopCount();
  const uint64_t written = log().getTotalWriteCount();

  // Everything below is queued at once; the writer meets it in this order.
  line(LOG_LEVEL_INFO, "L1 first name");
  ASSERT_TRUE(log().setLoggerName(0, "Renamed"));
  line(LOG_LEVEL_INFO, "L2 second name");
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_WARN));
  line(LOG_LEVEL_INFO, "L3 below the raised level");
  line(LOG_LEVEL_WARN, "L4 at the raised level");
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_DEBUG));
  line(LOG_LEVEL_INFO, "L5 level lowered again");
  ASSERT_TRUE(log().setLoggerFileLine(0, false));
  line(LOG_LEVEL_INFO, "L6 without suffix");
  ASSERT_TRUE(log().setLoggerFileLine(0, true));
  ASSERT_TRUE(log().setLoggerOutFile(0, false));
  line(LOG_LEVEL_INFO, "L7 not in a file");
  ASSERT_TRUE(log().setLoggerOutFile(0, true));
  ASSERT_TRUE(log().setLoggerPath(0, (folder() + "b").c_str()));
  line(LOG_LEVEL_INFO, "L8 second folder");
  ASSERT_TRUE(log().setLoggerMonthdir(0, true));
  line(LOG_LEVEL_INFO, "L9 month folder");
  ASSERT_TRUE(log().enableLogger(0, false));
  line(LOG_LEVEL_INFO, "L10 logger disabled");
  ASSERT_TRUE(log().enableLogger(0, true));
  line(LOG_LEVEL_INFO, "L11 enabled again");

  EXPECT_EQ(linesOf("a/", "_Main_"), Lines({"LOG_INFO L1 first name set.cpp:42"}));
  EXPECT_EQ(linesOf("a/", "_Renamed_"),
            Lines({"LOG_INFO L2 second name set.cpp:42", "LOG_WARN L4 at the raised level set.cpp:42",
                   "LOG_INFO L5 level lowered again set.cpp:42", "LOG_INFO L6 without suffix"}));
  std::vector<FoundFile> second = readFiles(folder() + "b/");
  ASSERT_EQ(second.size(), 2u);
  EXPECT_EQ(second[0].relativePath.find('/'), 7u) << "month folder first: " << second[0].relativePath;
  EXPECT_EQ(second[1].relativePath.find('/'), std::string::npos) << second[1].relativePath;
  EXPECT_EQ(linesOf("b/", "/"),
            Lines({"LOG_INFO L9 month folder set.cpp:42", "LOG_INFO L11 enabled again set.cpp:42"}));
  EXPECT_EQ(vlogtest::splitLines(second[1].content).size(), 2u);
  EXPECT_NE(second[1].content.find("LOG_INFO L8 second folder set.cpp:42\r\n"), std::string::npos);
  // Eleven lines popped; L3 and L10 dropped; L7 counts as written without a file.
  EXPECT_EQ(log().getTotalPopCount(), popped + 11);
  EXPECT_EQ(log().getTotalWriteCount(), written + 9);
}

// Enabling and lowering take effect at once and are queued too: an earlier queued disable or
// raise must not win over them.
TEST_F(LogSettings, LastOfRaiseAndLowerWinsWhileRunning) {
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_ERROR));
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_TRACE));
  ASSERT_TRUE(log().enableLogger(0, false));
  ASSERT_TRUE(log().enableLogger(0, true));
  ASSERT_TRUE(log().drain());
  EXPECT_TRUE(log().isLoggerEnable(0));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_TRACE));
  line(LOG_LEVEL_TRACE, "trace after all");
  EXPECT_EQ(linesOf("", ""), Lines({"LOG_TRACE trace after all set.cpp:42"}));
}

TEST_F(LogSettings, DisplayShowsTraceAndDebugOnStandardOutputInOrder) {
  ASSERT_TRUE(log().setLoggerDisplay(0, true));
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_TRACE));
  vlogtest::StdoutCapture capture;
  ASSERT_TRUE(log().start());
  line(LOG_LEVEL_TRACE, "shown trace");
  line(LOG_LEVEL_DEBUG, "shown debug");
  line(LOG_LEVEL_INFO, "info goes to a console only");
  ASSERT_TRUE(log().setLoggerDisplay(0, false));
  line(LOG_LEVEL_DEBUG, "hidden debug");
  ASSERT_TRUE(log().drain());
  std::string printed = capture.stop();
  Lines lines = vlogtest::splitLines(printed);
  ASSERT_EQ(lines.size(), 3u) << printed;
  EXPECT_TRUE(vlogtest::endsWith(lines[0], "LOG_TRACE shown trace set.cpp:42"));
  EXPECT_TRUE(vlogtest::endsWith(lines[1], "LOG_DEBUG shown debug set.cpp:42"));
  EXPECT_EQ(lines[2], "");
  EXPECT_EQ(writtenLines().size(), 4u) << "the file has every line";
}

TEST(LogLoggers, CreateUpToTheLimitFindByTrimmedKeyAndRefuseBadSettings) {
  LogerManager log;
  EXPECT_FALSE(log.setLoggerLevel(1, 2)) << "not created yet";
  EXPECT_FALSE(log.setLoggerPath(-1, "x"));
  EXPECT_FALSE(log.setLoggerName(0, ""));
  EXPECT_FALSE(log.setLoggerName(0, nullptr));
  EXPECT_FALSE(log.setLoggerPath(0, ""));
  EXPECT_FALSE(log.setLoggerPath(0, std::string(8191, 'p').c_str())) << "8191 + the appended /";
  EXPECT_TRUE(log.setLoggerPath(0, std::string(8190, 'p').c_str()));
  EXPECT_EQ(log.CreateLogger(nullptr), -1);
  EXPECT_EQ(log.findLogger("Main"), 0);
  EXPECT_EQ(log.CreateLogger(" Main\r\n"), 0);
  EXPECT_EQ(log.CreateLogger("\xEF\xBB\xBF\tNet "), 1);
  EXPECT_EQ(log.findLogger("Net"), 1);
  EXPECT_EQ(log.CreateLogger("Net"), 1);
  for (int id = 2; id < kLoggerMax; ++id) EXPECT_EQ(log.CreateLogger(("L" + std::to_string(id)).c_str()), id);
  EXPECT_EQ(log.CreateLogger("OneTooMany"), -1);
  EXPECT_EQ(log.findLogger("OneTooMany"), -1);
  EXPECT_EQ(log.getActiveLoggerCount(), kLoggerMax);
  EXPECT_TRUE(log.isLoggerEnable(kLoggerMax - 1));
  EXPECT_FALSE(log.isLoggerEnable(kLoggerMax));
  EXPECT_FALSE(log.isLoggerEnable(-1));
  EXPECT_FALSE(log.enableLogger(kLoggerMax, true));
  EXPECT_TRUE(log.enableLogger(kLoggerMax - 1, false));
  EXPECT_EQ(log.getActiveLoggerCount(), kLoggerMax - 1);
}

TEST(LogLifecycle, NothingBeforeStartThenStopAndStartAgain) {
  vlogtest::TempFolder folder;
  LogerManager log;
  ASSERT_TRUE(log.setLoggerPath(0, folder.path().c_str()));
  ASSERT_TRUE(log.setLoggerDisplay(0, false));
  EXPECT_FALSE(log.stop());
  EXPECT_FALSE(log.prePushLog(0, LOG_LEVEL_FATAL));
  EXPECT_FALSE(log.pushLog(log.makeLogData(0, LOG_LEVEL_FATAL), "f.cpp", 1));
  EXPECT_EQ(log.getTotalPushCount(), 0u);
  EXPECT_TRUE(log.drain());
  EXPECT_TRUE(readFiles(folder.path()).empty());
  ASSERT_TRUE(log.start());
  EXPECT_FALSE(log.start());
  logToF(log, 0, LOG_LEVEL_INFO, "f.cpp", 1, "before stop");
  ASSERT_TRUE(log.stop());
  EXPECT_FALSE(log.isLoggerEnable(0)) << "the writer disables its loggers as it ends";
  EXPECT_FALSE(log.prePushLog(0, LOG_LEVEL_FATAL));
  std::vector<FoundFile> files = readFiles(folder.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_NE(files[0].content.find("LOG_INFO before stop f.cpp:1\r\n"), std::string::npos);
  // A new start needs the logger enabled again.
  ASSERT_TRUE(log.start());
  ASSERT_TRUE(log.enableLogger(0, true));
  logToF(log, 0, LOG_LEVEL_INFO, "f.cpp", 2, "after restart");
  ASSERT_TRUE(log.drain());
  bool found = false;
  for (const FoundFile& file : readFiles(folder.path())) {
    found = found || file.content.find("LOG_INFO after restart f.cpp:2\r\n") != std::string::npos;
  }
  EXPECT_TRUE(found);
}
