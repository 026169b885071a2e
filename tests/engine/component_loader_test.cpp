#include <gtest/gtest.h>
#include <windows.h>
#include <zlib.h>

#include <filesystem>

#include "common/log/vlog.h"
#include "engine/parser/product_reader.h"
#include "test_support.h"

namespace {

// Loads the list from fixtures/<folder>/package.
struct FixtureProduct : LoadedComponents {
  FixtureProduct(const std::wstring& folder, const std::wstring& list) { Load(FixturePath(folder), list); }
};

uint32_t Crc(const std::string& text) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
}

}  // namespace

TEST(ComponentLoader, ReadsEveryElementAndAttributeIntoItsRecord) {
  FixtureProduct loaded(L"full", L"full.config");
  ASSERT_EQ(loaded.result, 0) << (loaded.prompt.messages.empty() ? "" : loaded.prompt.messages[0]);
  EXPECT_TRUE(loaded.prompt.messages.empty());
  ASSERT_EQ(loaded.product.components.size(), 1u);
  const ComponentConfig& c = loaded.product.components[0];
  EXPECT_EQ(c.name, L"full.config");
  EXPECT_EQ(c.attributes, (AttributeMap{{"name_0804", "完整"},
                                        {"name_0404", "完整"},
                                        {"name_0409", "Full"},
                                        {"isEssential", "no"},
                                        {"isDisplay", "YES"},
                                        {"type", "Center"},
                                        {"version", "2.0"}}));

  ASSERT_EQ(c.files.size(), 3u) << "two under Config/Files, one under the second CONFIG";
  EXPECT_EQ(c.files[0].attributes, (AttributeMap{{"path", "bin\\a.dll"},
                                                 {"newpath", "lib\\a.dll"},
                                                 {"md5", "aaaa"},
                                                 {"time", "1600000000000"},
                                                 {"size", "10"},
                                                 {"os", "6.1+"},
                                                 {"platform", "x86"},
                                                 {"compressSize", "8"},
                                                 {"compressmd5", "bbbb"},
                                                 {"type", "dll"},
                                                 {"isUpgrade", "TRUE"},
                                                 {"isInstall", "true"},
                                                 {"noDelete", "FALSE"}}));
  EXPECT_EQ(c.files[1].attributes, (AttributeMap{{"path", "bin\\b.exe"}}));
  EXPECT_EQ(c.files[2].attributes, (AttributeMap{{"path", "second.dat"}}));
  for (const FileRecord& file : c.files) {
    EXPECT_TRUE(file.packed);
    EXPECT_FALSE(file.excluded || file.differsOnDisk);
    EXPECT_EQ(file.refCount, 0u);
  }
  EXPECT_EQ(c.files[0].identityCrc, Crc("bin\\a.dlllib\\a.dll"));
  EXPECT_EQ(c.files[0].contentCrc, Crc("aaaa1600000000000106.1+x868bbbbdllTRUEtrueFALSE"));

  ASSERT_EQ(c.regModules.size(), 1u);
  EXPECT_EQ(c.regModules[0].attributes, (AttributeMap{{"path", "bin\\a.dll"}, {"order", "3"}}));
  EXPECT_EQ(c.regModules[0].identityCrc, Crc("bin\\a.dll"));
  EXPECT_EQ(c.regModules[0].contentCrc, Crc("3"));

  ASSERT_EQ(c.regUpdates.size(), 1u);
  EXPECT_EQ(c.regUpdates[0].attributes, (AttributeMap{{"key", "HKCU\\Software\\TamselFull"},
                                                      {"name", "InstallDir"},
                                                      {"type", "REG_SZ"},
                                                      {"value", "$InstallRoot"},
                                                      {"value_0804", "中文"},
                                                      {"value_0404", "繁體"},
                                                      {"value_0409", "English"}}));
  EXPECT_EQ(c.regUpdates[0].identityCrc, Crc("HKCU\\Software\\TamselFullInstallDir"));
  EXPECT_EQ(c.regUpdates[0].contentCrc, Crc("$InstallRoot中文繁體EnglishREG_SZ"));

  ASSERT_EQ(c.drivers.size(), 1u);
  EXPECT_EQ(c.drivers[0].attributes, (AttributeMap{{"path", "drv\\x.sys"}, {"servicename", "xsvc"}, {"order", "7"}}));
  EXPECT_EQ(c.drivers[0].contentCrc, Crc("xsvc7"));

  ASSERT_EQ(c.runRules.size(), 1u) << "the RunRule inside Config is skipped";
  EXPECT_EQ(c.runRules[0].attributes, (AttributeMap{{"executable", "bin\\b.exe"},
                                                    {"when", "AfterCopy"},
                                                    {"args", "/x"},
                                                    {"order", "5"},
                                                    {"cmd", "EXEC"},
                                                    {"runMode", "asUser"},
                                                    {"bwaitend", "TRUE"},
                                                    {"needReboot", "2"},
                                                    {"usereg", "FALSE"},
                                                    {"finaldel", "TRUE"},
                                                    {"custom", "kept"}}));
  EXPECT_EQ(c.runRules[0].identityCrc, Crc("bin\\b.exeAfterCopy/x"));
  EXPECT_EQ(c.runRules[0].contentCrc, Crc("5EXECasUserTRUE"));

  ASSERT_EQ(c.shortCuts.size(), 4u) << "two start-menu items, one desktop, one quick launch";
  AttributeMap folder{{"name_0804", "文件夹"}, {"name_0404", "資料夾"}, {"name_0409", "Folder"}};
  EXPECT_EQ(c.shortCuts[0].location, kShortCutStartMenu);
  EXPECT_EQ(c.shortCuts[0].folder, folder);
  EXPECT_EQ(c.shortCuts[0].attributes, (AttributeMap{{"link", "bin\\b.exe"},
                                                     {"argv", "-a"},
                                                     {"workdir", "$InstallRoot"},
                                                     {"name_0804", "一"},
                                                     {"name_0404", "一"},
                                                     {"name_0409", "One"}}));
  EXPECT_EQ(c.shortCuts[0].identityCrc, Crc("bin\\b.exe-a2"));
  EXPECT_EQ(c.shortCuts[0].contentCrc, Crc("$InstallRoot一One一"));
  EXPECT_EQ(c.shortCuts[1].location, kShortCutStartMenu);
  EXPECT_EQ(c.shortCuts[1].folder, folder);
  EXPECT_EQ(c.shortCuts[1].attributes, (AttributeMap{{"link", "bin\\c.exe"}, {"name_0409", "Two"}}));
  EXPECT_EQ(c.shortCuts[2].location, kShortCutDesktop);
  EXPECT_TRUE(c.shortCuts[2].folder.empty());
  EXPECT_EQ(c.shortCuts[2].attributes.at("argv"), "-d");
  EXPECT_EQ(c.shortCuts[2].identityCrc, Crc("bin\\b.exe-d1"));
  EXPECT_EQ(c.shortCuts[3].location, kShortCutQuickLaunch);
  EXPECT_EQ(c.shortCuts[3].identityCrc, Crc("bin\\b.exe3"));

  EXPECT_EQ(loaded.product.componentCount, 1);
  EXPECT_EQ(loaded.product.fileCount, 3);
}

TEST(ComponentLoader, ReadsTheShippedComponents) {
  FixtureProduct loaded(L"shipped", L"PLV.config,setup.config,");
  ASSERT_EQ(loaded.result, 0);
  EXPECT_TRUE(loaded.prompt.messages.empty());
  ASSERT_EQ(loaded.product.components.size(), 2u);
  const ComponentConfig& plv = loaded.product.components[0];
  EXPECT_EQ(plv.files.size(), 3u);
  ASSERT_EQ(plv.runRules.size(), 3u);
  EXPECT_EQ(plv.runRules[2].attributes.at("bwaitend"), "FALSE");
  EXPECT_EQ(plv.runRules[0].attributes.at("executable"), "Tamsel游戏Pelluvo.exe");

  const ComponentConfig& setup = loaded.product.components[1];
  EXPECT_EQ(setup.files.size(), 2u) << "the other file lines are inside a comment";
  EXPECT_TRUE(setup.regUpdates.empty()) << "RegUpdate has only its section attribute";
  ASSERT_EQ(setup.shortCuts.size(), 2u);
  EXPECT_EQ(setup.shortCuts[0].location, kShortCutStartMenu);
  EXPECT_EQ(setup.shortCuts[0].folder.size(), 3u);
  EXPECT_EQ(setup.shortCuts[0].attributes.at("argv"), "-uninstall");
  EXPECT_EQ(setup.shortCuts[0].attributes.at("link"), "PackageManager.exe");
  EXPECT_EQ(setup.shortCuts[0].attributes.at("workdir"), "$InstallRoot");
  EXPECT_EQ(setup.shortCuts[1].location, kShortCutDesktop);
  EXPECT_TRUE(setup.shortCuts[1].folder.empty());
  EXPECT_EQ(loaded.product.fileCount, 5);
  EXPECT_EQ(loaded.product.componentCount, 2);
}

TEST(ComponentLoader, ComponentListItems) {
  FixtureProduct none(L"shipped", L"");
  EXPECT_EQ(none.result, 0);
  EXPECT_TRUE(none.product.components.empty());
  EXPECT_EQ(none.product.componentCount, 0);
  // An empty item names no file: it is skipped instead of swallowing the rest of the list.
  FixtureProduct gaps(L"shipped", L",PLV.config,,setup.config");
  EXPECT_EQ(gaps.result, 0);
  ASSERT_EQ(gaps.product.components.size(), 2u);
  EXPECT_EQ(gaps.product.components[1].name, L"setup.config");
  // Parsing again empties the components but keeps counting.
  FixtureProduct again(L"shipped", L"PLV.config,");
  ASSERT_EQ(again.product.ParseComponentConfigs(L"setup.config,"), 0);
  ASSERT_EQ(again.product.components.size(), 1u);
  EXPECT_EQ(again.product.components[0].name, L"setup.config");
  EXPECT_EQ(again.product.componentCount, 2);
  EXPECT_EQ(again.product.fileCount, 5);
}

TEST(ComponentLoader, ElementNamesIgnoreCase) {
  TempFolder folder;
  LoadedComponents loaded;
  LoadComponentText(folder, R"(<X name_0409="C"><CONFIG><FILES><f path="a"/></FILES>
    <shortcut><DESKTOP><i link="a"/></DESKTOP><QuickLanch><i link="b"/></QuickLanch><quicklaunch><i link="c"/></quicklaunch></shortcut>
    <regmodules><m path="a" order="1"/></regmodules><DRIVERS><d path="d" order="2"/></DRIVERS>
    <regupdate><v key="k" name="n"/></regupdate></CONFIG>
    <runrule><r executable="a" when="AfterCopy" order="1"/></runrule></X>)",
                    loaded);
  EXPECT_EQ(loaded.result, 0);
  ASSERT_EQ(loaded.product.components.size(), 1u);
  const ComponentConfig& c = loaded.product.components[0];
  EXPECT_EQ(c.files.size(), 1u);
  EXPECT_EQ(c.shortCuts.size(), 2u) << "\"quicklaunch\" is no group name";
  EXPECT_EQ(c.regModules.size(), 1u);
  EXPECT_EQ(c.drivers.size(), 1u);
  EXPECT_EQ(c.regUpdates.size(), 1u);
  EXPECT_EQ(c.runRules.size(), 1u);
}

TEST(ComponentLoader, StartMenuLooksOnlyAtItsFirstChild) {
  TempFolder folder;
  LoadedComponents loaded;
  LoadComponentText(folder, R"(<R><Config><ShortCut>
    <startmenu><other/><folder name_0409="F"><item link="a"/></folder></startmenu>
    <startmenu><folder name_0409="F"><item link="b"/></folder><folder name_0409="G"><item link="c"/></folder></startmenu>
    <startmenu><folder/></startmenu>
    <startmenu/>
  </ShortCut></Config></R>)",
                    loaded);
  EXPECT_EQ(loaded.result, 0);
  ASSERT_EQ(loaded.product.components.size(), 1u);
  const auto& shortcuts = loaded.product.components[0].shortCuts;
  ASSERT_EQ(shortcuts.size(), 1u);
  EXPECT_EQ(shortcuts[0].attributes.at("link"), "b");
}

// Each fault is reported word for word (with the file where the text says so) and fails the file.
TEST(ComponentLoader, ReportsEachFaultOfAFile) {
  const struct {
    const char* what;
    const char* xml;
    std::vector<std::string> messages;  // "@" stands for the file's path
  } cases[] = {
      {"a desktop group gathers its items into one record",
       R"(<R><Config><ShortCut><desktop><item link="first.exe" argv="-1"/><item link="second.exe" workdir="$Windir"/>
          </desktop><quicklanch/></ShortCut></Config></R>)",
       {"Insert Failed Attribute Value [link=\"second.exe\"]"}},
      {"a folder without names, per item",
       R"(<R><Config><ShortCut><StartMenu><Folder><item link="a"/><item link="b"/></Folder></StartMenu>
          </ShortCut></Config></R>)",
       {"Folder Name Must Have Value [Folder]", "Folder Name Must Have Value [Folder]"}},
      {"required keys",
       R"(<R><Config><RegModules><m path="a.dll"/><m path="b.dll" order="1"/></RegModules>
          <Drivers><d servicename="s"/></Drivers></Config>
          <RunRule><rule executable="x.exe" order="2"/><rule when="AfterCopy"/><rule order="3" when="BeforeCopy"/>
          </RunRule></R>)",
       {"a.dll order is null\r\n@", " order is null\r\n@", " order is null\r\n@", "x.exe when is null\r\n@"}},
      {"unknown root children",
       R"(<R><Files><file path="a"/></Files><Config><Whatever/></Config><Extra/></R>)",
       {"Not Support Ele [Files]", "Not Support Ele [Extra]"}},
      {"format characters in values are reported literally",
       R"(<R><RunRule><rule executable="%s%n%x.exe" order="1"/></RunRule></R>)",
       {"%s%n%x.exe when is null\r\n@"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    LoadedComponents loaded;
    LoadComponentText(folder, c.xml, loaded);
    EXPECT_EQ(loaded.result, -1);
    std::vector<std::string> expected = c.messages;
    for (std::string& message : expected) {
      if (message.back() == '@') message.replace(message.size() - 1, 1, U(folder / L"package\\c.config"));
    }
    EXPECT_EQ(loaded.prompt.messages, expected);
  }
}

TEST(ComponentLoader, UnreadableFilesReportTheReaderErrorAndThePath) {
  TempFolder folder;
  LoadedComponents missing;
  missing.Load(folder.path(), L"absent.config,");
  EXPECT_EQ(missing.result, -1);
  ASSERT_EQ(missing.prompt.messages.size(), 1u);
  const std::string& absent = missing.prompt.messages[0];
  EXPECT_EQ(absent.rfind("Failed to open file", 0), 0u) << absent;
  EXPECT_EQ(absent.substr(absent.size() - U(folder / L"package\\absent.config").size()),
            U(folder / L"package\\absent.config"));
  EXPECT_EQ(missing.product.fileCount, 0);
  EXPECT_EQ(missing.product.componentCount, 1);

  LoadedComponents broken;
  LoadComponentText(folder, "<R>\n  <Config>\n</R>", broken, L"broken.config");
  EXPECT_EQ(broken.result, -1);
  ASSERT_EQ(broken.prompt.messages.size(), 1u);
  const std::string& message = broken.prompt.messages[0];
  EXPECT_NE(message.find(" row = "), std::string::npos) << message;
  EXPECT_NE(message.find(" col = "), std::string::npos) << message;
  EXPECT_EQ(message.substr(message.size() - U(folder / L"package\\broken.config").size()),
            U(folder / L"package\\broken.config"));
}

// A component that fails to load stops the list: the caller learns it (-1), the earlier
// components stay, and every message is in the log at error level with the file name.
TEST(ComponentLoader, FailedComponentIsVisibleToTheCallerAndInTheLog) {
  TempFolder folder;
  std::string logFolder = U(folder / L"log") + "\\";
  auto* logger = vemtal::vlog::IVlogManager::getInstance();
  logger->setLoggerPath(0, logFolder.c_str());
  logger->setLoggerDisplay(0, false);
  logger->setLoggerLevel(0, vemtal::vlog::LOG_LEVEL_TRACE);
  ASSERT_TRUE(logger->start());

  WriteFileBytes(folder / L"package\\good.config",
                 "<R name_0409=\"G\"><Config><Files><f path=\"g\"/></Files></Config></R>");
  WriteFileBytes(folder / L"package\\bad.config", "<R isDisplay=\"maybe\"><Config/></R>");
  WriteFileBytes(folder / L"package\\later.config", "<R name_0409=\"L\"/>");
  LoadedComponents loaded;
  loaded.Load(folder.path(), L"good.config,bad.config,later.config,");
  EXPECT_EQ(loaded.result, -1);
  ASSERT_EQ(loaded.product.components.size(), 1u);
  EXPECT_EQ(loaded.product.components[0].name, L"good.config");
  EXPECT_EQ(loaded.product.componentCount, 2);
  EXPECT_EQ(loaded.prompt.messages, std::vector<std::string>{"Invalid Attribute Value [isDisplay=\"maybe\"]"});

  ASSERT_TRUE(logger->drain());
  std::string logText;
  for (const auto& entry : std::filesystem::directory_iterator(folder / L"log")) {
    logText += ReadFileBytes(entry.path().wstring());
  }
  std::string bad = U(folder / L"package\\bad.config");
  size_t line = logText.find("Invalid Attribute Value [isDisplay=\"maybe\"]");
  ASSERT_NE(line, std::string::npos) << logText;
  size_t lineStart = logText.rfind('\n', line);
  std::string wholeLine = logText.substr(lineStart + 1, logText.find('\n', line) - lineStart - 1);
  EXPECT_NE(wholeLine.find("LOG_ERROR"), std::string::npos) << wholeLine;
  EXPECT_NE(wholeLine.find(bad), std::string::npos) << wholeLine;
  EXPECT_NE(logText.find("ParseComponentConfigs, load failed, path " + bad), std::string::npos) << logText;
}
