// The configuration text: parsing, the warnings word for word, first configuration and update,
// the file name kept only once read, and "unchanged" meaning the same text.
#include <windows.h>

#include <string>

#include "common/log/log_config.h"
#include "common/log/log_format.h"
#include "common/log/log_text.h"
#include "log_test_support.h"

using namespace vemtal::vlog;

namespace {

LoggerConfigs parseQuietly(const std::string& text, std::string* printed = nullptr) {
  vlogtest::StdoutCapture capture;
  LoggerConfigs configs = parseLogConfig(text);
  std::string out = capture.stop();
  if (printed) *printed = out;
  return configs;
}

const std::string kStars = " !!! !!! !!! !!!\r\n";

std::string loadError(const std::string& file) {
  return kStars + " !!! !!! vlog load config file error. filename=" + file + "  !!! !!! \r\n" + kStars;
}

}  // namespace

TEST(LogConfigText, SectionsKeysAndValues) {
  std::string printed;
  LoggerConfigs c = parseQuietly(
      "\xEF\xBB\xBF# comment\r\n[main]\r\n  LEVEL = Warning \r\nPath = D:\\Logs\\Setup\r\ndisplay=0\n"
      "[[Net]]\rname = Network Log\nlevel=alarm\noutfile=FALSE\nmonthdir=no\nfileline=false\n"
      "limitsize=12MB\nreserve= 86400s\nunknown=1\n\n"
      "[Quiet]\nenable=0\nlevel=loud\nlimitsize=none\ndisplay\n",
      &printed);
  EXPECT_EQ(printed, "");
  ASSERT_EQ(c.size(), 3u);
  const LoggerInfo& main = c.at("Main");
  EXPECT_EQ(main.key, "Main");
  EXPECT_EQ(main.name, "Main");
  EXPECT_EQ(main.level.load(), LOG_LEVEL_WARN);
  EXPECT_EQ(main.path, "D:\\Logs\\Setup");
  EXPECT_FALSE(main.display);
  EXPECT_TRUE(main.enable.load());
  const LoggerInfo& net = c.at("Net");
  EXPECT_EQ(net.name, "Network Log");
  EXPECT_EQ(net.level.load(), LOG_LEVEL_ALARM);
  EXPECT_FALSE(net.outfile);
  EXPECT_TRUE(net.monthdir) << "any value but false and 0 is true";
  EXPECT_FALSE(net.fileline.load());
  EXPECT_EQ(net.limitsize, 12u);
  EXPECT_EQ(net.reserveTime, 86400);
  EXPECT_EQ(net.path, "./log/");
  const LoggerInfo& quiet = c.at("Quiet");
  EXPECT_FALSE(quiet.enable.load());
  EXPECT_EQ(quiet.level.load(), LOG_LEVEL_DEBUG) << "an unknown level word leaves the level";
  EXPECT_EQ(quiet.limitsize, 0u);
  EXPECT_TRUE(quiet.display) << "an empty value is not false";
}

TEST(LogConfigText, ValueWords) {
  const std::pair<const char*, int> levels[] = {{"trace", 0},   {"ALL", 0},   {"Debug", 1}, {"info", 2}, {"warn", 3},
                                                {"WARNING", 3}, {"error", 4}, {"alarm", 5}, {"Fatal", 6}};
  for (const auto& word : levels) {
    LoggerConfigs c = parseQuietly(std::string("[a]\nlevel=") + word.first + "\n");
    EXPECT_EQ(c.at("a").level.load(), word.second) << word.first;
  }
  const std::pair<const char*, bool> displays[] = {{"0", false}, {"false", false}, {"FALSE", false}, {"no", true}};
  for (const auto& value : displays) {
    LoggerConfigs c = parseQuietly(std::string("[x]\ndisplay=") + value.first + "\n");
    EXPECT_EQ(c.at("x").display, value.second) << value.first;
  }
  LoggerConfigs c = parseQuietly("[a]\nreserve=s3600\nlimitsize=7\n");
  EXPECT_EQ(c.at("a").reserveTime, 0) << "the number must start the value";
  EXPECT_EQ(c.at("a").limitsize, 7u);
}

TEST(LogConfigText, WarningsAreWordForWord) {
  std::string printed;
  LoggerConfigs c = parseQuietly("level=info\r\n[a]\r\nlevel=error\r\n[b]\r\n[a]\r\nname=Again\r\n", &printed);
  EXPECT_EQ(printed,
            "vlog configure warning: not found current logger name:[] at line:1, key=level, value=info \r\n"
            "vlog configure warning: duplicate logger key:[a] at line: 5 \r\n");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c.at("a").name, "Again") << "lines after a duplicate go to the first section";
  EXPECT_EQ(c.at("a").level.load(), LOG_LEVEL_ERROR);
  EXPECT_EQ(c.at("b").name, "b");
}

namespace {

class LogConfig : public vlogtest::ManagerTest {
 protected:
  // A [Main] section keeping logger 0's files in the test's folder, then `rest`.
  std::string mainText(const std::string& level, const std::string& rest = "") {
    return "[Main]\ndisplay=false\nlevel=" + level + "\npath=" + folder() + "main\n" + rest;
  }
  std::string writeConfig(const char* name, const std::string& text) {
    vlogtest::writeFile(folder() + name, text);
    return folder() + name;
  }
};

}  // namespace

// The first text creates loggers; the same text again changes nothing; a different text with
// the same byte sum ("Newtork" for "Network") is applied.
TEST_F(LogConfig, FirstTextCreatesLoggersAndOnlyAChangedTextApplies) {
  auto text = [&](const char* name) {
    return mainText("Warning", "[Net]\npath=" + folder() + "net\nname=" + name + "\ndisplay=false\nlevel=error\n");
  };
  ASSERT_TRUE(log().configFromString(text("Network").c_str()));
  EXPECT_EQ(log().findLogger("Net"), 1);
  ASSERT_TRUE(log().start());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_INFO));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_WARN));
  EXPECT_FALSE(log().prePushLog(1, LOG_LEVEL_WARN));
  logToF(log(), 1, LOG_LEVEL_ERROR, "c.cpp", 3, "to the network log");
  ASSERT_TRUE(log().setLoggerLevel(1, LOG_LEVEL_FATAL));
  ASSERT_TRUE(log().configFromString(text("Network").c_str()));
  ASSERT_TRUE(log().drain());
  EXPECT_FALSE(log().prePushLog(1, LOG_LEVEL_ERROR)) << "the level set since stays";
  ASSERT_TRUE(log().configFromString(text("Newtork").c_str()));
  logToF(log(), 1, LOG_LEVEL_ERROR, "c.cpp", 4, "after the second text");
  ASSERT_TRUE(log().drain());
  std::vector<vlogtest::FoundFile> files = vlogtest::readFiles(folder() + "net/");
  ASSERT_EQ(files.size(), 2u);
  EXPECT_EQ(files[0].relativePath.substr(0, 18), "log_tests_Network_");
  EXPECT_NE(files[0].content.find("LOG_ERROR to the network log c.cpp:3"), std::string::npos);
  EXPECT_EQ(files[1].relativePath.substr(0, 18), "log_tests_Newtork_");
  EXPECT_NE(files[1].content.find("LOG_ERROR after the second text c.cpp:4"), std::string::npos);
}

// The file is read again every second once asked, and on updateConfig; an update creates no logger.
TEST_F(LogConfig, ChangedFileIsReadAgain) {
  std::string file = writeConfig("vlog.ini", mainText("debug"));
  ASSERT_TRUE(log().config(file.c_str()));
  ASSERT_TRUE(log().setAutoUpdate(1));
  ASSERT_TRUE(log().start());
  writeConfig("vlog.ini", mainText("fatal", "[Later]\nlevel=info\n"));
  bool applied = false;
  for (int i = 0; i < 100 && !applied; ++i) {
    Sleep(100);
    applied = !log().prePushLog(0, LOG_LEVEL_ALARM);
  }
  EXPECT_TRUE(applied);
  EXPECT_EQ(log().findLogger("Later"), -1);
  ASSERT_TRUE(log().setAutoUpdate(0));
  writeConfig("vlog.ini", mainText("error"));
  ASSERT_TRUE(log().updateConfig());
  ASSERT_TRUE(log().drain());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_WARN));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_ERROR));
}

// The file name is kept only once the file was read, so a missing file can be configured later.
TEST_F(LogConfig, MissingFileCanBeRetriedAndASecondConfigIsRefused) {
  std::string file = folder() + "later.ini";
  vlogtest::StdoutCapture capture;
  EXPECT_FALSE(log().config(file.c_str()));
  EXPECT_FALSE(log().updateConfig()) << "no file name kept";
  writeConfig("later.ini", mainText("fatal"));
  EXPECT_TRUE(log().config(file.c_str()));
  EXPECT_FALSE(log().config("other.ini"));
  DeleteFileW(utf8ToWide(file).c_str());
  EXPECT_FALSE(log().updateConfig()) << "the file is gone";
  EXPECT_EQ(capture.stop(), loadError(file) + kStars +
                                " !!! !!! vlog configure error: too many calls to Config. the old config file=" + file +
                                ",  the new config file=other.ini !!! !!! \r\n" + kStars + loadError(file));
  ASSERT_TRUE(log().start());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_ALARM));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_FATAL));
}
