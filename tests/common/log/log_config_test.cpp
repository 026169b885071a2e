// The configuration text: parsing, the warnings word for word, first configuration and
// update, the file name kept only once read, and "unchanged" meaning the same text.
#include <windows.h>

#include <string>

#include "common/log/log_config.h"
#include "common/log/log_format.h"
#include "common/log/log_text.h"
#include "log_manager_fixture.h"

using namespace vemtal::vlog;

namespace {

LoggerConfigs parseQuietly(const std::string& text, std::string* printed = nullptr) {
  vlogtest::TempFolder out;
  vlogtest::StdoutCapture capture(out.path());
  LoggerConfigs configs = parseLogConfig(text);
  std::string text2 = capture.stop();
  if (printed) *printed = text2;
  return configs;
}

const char kStars[] = " !!! !!! !!! !!!\r\n";

}  // namespace

TEST(LogConfigText, SectionsKeysAndValues) {
  std::string printed;
  LoggerConfigs c = parseQuietly(
      "\xEF\xBB\xBF# comment\r\n"
      "[main]\r\n"
      "  LEVEL = Warning \r\n"
      "Path = D:\\Logs\\Setup\r\n"
      "display=0\n"
      "[[Net]]\r"
      "name = Network Log\n"
      "level=alarm\n"
      "outfile=FALSE\n"
      "monthdir=no\n"
      "fileline=false\n"
      "limitsize=12MB\n"
      "reserve= 86400s\n"
      "unknown=1\n"
      "\n"
      "[Quiet]\n"
      "enable=0\n"
      "level=loud\n"
      "limitsize=none\n"
      "display\n",
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

TEST(LogConfigText, LevelWords) {
  const std::pair<const char*, int> words[] = {{"trace", 0}, {"ALL", 0},     {"Debug", 1}, {"info", 2},  {"warn", 3},
                                               {"WARNING", 3}, {"error", 4}, {"alarm", 5}, {"Fatal", 6}};
  for (const auto& word : words) {
    LoggerConfigs c = parseQuietly(std::string("[a]\nlevel=") + word.first + "\n");
    EXPECT_EQ(c.at("a").level.load(), word.second) << word.first;
  }
  LoggerConfigs c = parseQuietly("[a]\nreserve=s3600\nlimitsize=7\n");
  EXPECT_EQ(c.at("a").reserveTime, 0) << "the number must start the value";
  EXPECT_EQ(c.at("a").limitsize, 7u);
}

TEST(LogConfigText, WarningsAreWordForWord) {
  std::string printed;
  LoggerConfigs c = parseQuietly(
      "level=info\r\n"        // line 1: before any section
      "[a]\r\n"               // line 2
      "level=error\r\n"       // line 3
      "[b]\r\n"               // line 4
      "[a]\r\n"               // line 5: duplicate
      "name=Again\r\n",       // line 6: goes to the first [a]
      &printed);
  EXPECT_EQ(printed,
            "vlog configure warning: not found current logger name:[] at line:1, key=level, value=info \r\n"
            "vlog configure warning: duplicate logger key:[a] at line: 5 \r\n");
  ASSERT_EQ(c.size(), 2u);
  EXPECT_EQ(c.at("a").name, "Again");
  EXPECT_EQ(c.at("a").level.load(), LOG_LEVEL_ERROR);
  EXPECT_EQ(c.at("b").name, "b");
}

namespace {

class LogConfig : public vlogtest::ManagerTest {
 protected:
  std::string configPath(const char* name) { return folder() + name; }
  // Logger 0's files stay in the test's folder whatever a text sets.
  std::string mainPath() { return "path=" + folder() + "main\n"; }
};

}  // namespace

TEST_F(LogConfig, FirstConfigurationCreatesLoggersAndSetsMain) {
  std::string text = "[MAIN]\nLEVEL = Warning\ndisplay=false\n" + mainPath() + "[Net]\npath=" + folder() +
                     "net\nname=Network\ndisplay=false\nlevel=error\n";
  ASSERT_TRUE(log().configFromString(text.c_str()));
  EXPECT_EQ(log().findLogger("Net"), 1);
  ASSERT_TRUE(log().start());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_INFO));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_WARN));
  EXPECT_FALSE(log().prePushLog(1, LOG_LEVEL_WARN));
  logToF(log(), 1, LOG_LEVEL_ERROR, "c.cpp", 3, "to the network log");
  ASSERT_TRUE(log().drain());
  std::vector<vlogtest::FoundFile> files = vlogtest::readFiles(folder() + "net/");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].relativePath.substr(0, 18), "log_tests_Network_");
  EXPECT_NE(files[0].content.find("LOG_ERROR to the network log c.cpp:3"), std::string::npos);
}

TEST_F(LogConfig, UpdateSkipsUnknownKeysAndAppliesInOrder) {
  std::string file = configPath("vlog.ini");
  vlogtest::writeFile(file, "[Main]\ndisplay=false\nlevel=debug\n" + mainPath());
  ASSERT_TRUE(log().config(file.c_str()));
  ASSERT_TRUE(log().start());
  vlogtest::writeFile(file, "[Main]\ndisplay=false\nlevel=error\n" + mainPath() + "[Later]\nlevel=info\n");
  ASSERT_TRUE(log().updateConfig());
  EXPECT_EQ(log().findLogger("Later"), -1) << "an update creates no logger";
  ASSERT_TRUE(log().drain());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_WARN));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_ERROR));
}

TEST_F(LogConfig, MissingFileCanBeRetriedAndASecondConfigIsRefused) {
  std::string file = configPath("later.ini");
  vlogtest::TempFolder out;
  vlogtest::StdoutCapture capture(out.path());
  EXPECT_FALSE(log().config(file.c_str()));
  EXPECT_FALSE(log().updateConfig()) << "no file name kept";
  vlogtest::writeFile(file, "[Main]\nlevel=fatal\ndisplay=false\n" + mainPath());
  EXPECT_TRUE(log().config(file.c_str()));
  EXPECT_FALSE(log().config("other.ini"));
  std::string printed = capture.stop();
  EXPECT_EQ(printed, std::string(kStars) + " !!! !!! vlog load config file error. filename=" + file +
                         "  !!! !!! \r\n" + kStars + kStars +
                         " !!! !!! vlog configure error: too many calls to Config. the old config file=" + file +
                         ",  the new config file=other.ini !!! !!! \r\n" + kStars);
  ASSERT_TRUE(log().start());
  EXPECT_FALSE(log().prePushLog(0, LOG_LEVEL_ALARM));
  EXPECT_TRUE(log().prePushLog(0, LOG_LEVEL_FATAL));
}

TEST_F(LogConfig, UnreadableFileOnUpdatePrintsTheLoadError) {
  std::string file = configPath("gone.ini");
  vlogtest::writeFile(file, "[Main]\ndisplay=false\n" + mainPath());
  ASSERT_TRUE(log().config(file.c_str()));
  DeleteFileW(utf8ToWide(file).c_str());
  vlogtest::TempFolder out;
  vlogtest::StdoutCapture capture(out.path());
  EXPECT_FALSE(log().updateConfig());
  EXPECT_EQ(capture.stop(),
            std::string(kStars) + " !!! !!! vlog load config file error. filename=" + file + "  !!! !!! \r\n" + kStars);
}

TEST_F(LogConfig, SameTextChangesNothingButADifferentTextWithTheSameByteSumApplies) {
  std::string text1 = "[Main]\ndisplay=false\n" + mainPath() + "[Box]\nname=xy\ndisplay=false\npath=" + folder() + "box\n";
  ASSERT_TRUE(log().configFromString(text1.c_str()));
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(log().setLoggerLevel(1, LOG_LEVEL_FATAL));
  // The same text again: the level set since stays.
  ASSERT_TRUE(log().configFromString(text1.c_str()));
  ASSERT_TRUE(log().drain());
  EXPECT_FALSE(log().prePushLog(1, LOG_LEVEL_ERROR));
  // "yx" has the byte sum of "xy": a real change all the same.
  std::string text2 = "[Main]\ndisplay=false\n" + mainPath() + "[Box]\nname=yx\ndisplay=false\npath=" + folder() + "box\n";
  ASSERT_TRUE(log().configFromString(text2.c_str()));
  logToF(log(), 1, LOG_LEVEL_DEBUG, "c.cpp", 1, "after the second text");
  ASSERT_TRUE(log().drain());
  std::vector<vlogtest::FoundFile> files = vlogtest::readFiles(folder() + "box/");
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0].relativePath.substr(0, 13), "log_tests_yx_");
}

TEST_F(LogConfig, AutomaticRereadPicksUpAChangedFile) {
  std::string file = configPath("auto.ini");
  vlogtest::writeFile(file, "[Main]\ndisplay=false\nlevel=debug\n" + mainPath());
  ASSERT_TRUE(log().config(file.c_str()));
  ASSERT_TRUE(log().setAutoUpdate(1));
  ASSERT_TRUE(log().start());
  vlogtest::writeFile(file, "[Main]\ndisplay=false\nlevel=fatal\n" + mainPath());
  bool applied = false;
  for (int i = 0; i < 100 && !applied; ++i) {
    Sleep(100);
    applied = !log().prePushLog(0, LOG_LEVEL_ALARM);
  }
  EXPECT_TRUE(applied);
}

TEST_F(LogConfig, DisplayValues) {
  const std::pair<const char*, bool> values[] = {{"0", false}, {"false", false}, {"FALSE", false}, {"no", true}};
  for (const auto& value : values) {
    LoggerConfigs c = parseQuietly(std::string("[x]\ndisplay=") + value.first + "\n");
    EXPECT_EQ(c.at("x").display, value.second) << value.first;
  }
}
