#include <gtest/gtest.h>

#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "engine/parser/os_condition.h"
#include "test_support.h"

namespace {

const char* const kPlatformComponent = R"(<R name_0409="Platform"><Config>
  <Files>
    <file path="bin\x86only.dll" platform="x86" />
    <file path="bin\x64only.dll" platform="X64" />
    <file path="bin\any.dll" />
    <file path="bin\win10.dll" newpath="lib\Win10.dll" os="10.0+" platform="x64" />
    <file path="bin\win7.dll" os="6.1" platform="x86" />
    <file path="bin\range.dll" os="5.1-6.3" />
  </Files>
  <RegModules>
    <m path="LIB\win10.DLL" order="1" />
    <m path="bin\any.dll" order="2" />
  </RegModules>
  <Drivers><d path="bin\x86only.dll" order="1" /></Drivers>
  <ShortCut><desktop><i link="bin\WIN10.dll" /></desktop></ShortCut>
</Config>
<RunRule>
  <rule executable="nowhere.exe" when="AfterCopy" order="1" />
  <rule executable="bin\range.dll" when="AfterCopy" order="2" />
</RunRule></R>)";

struct Product {
  TempFolder folder;
  ProductConfig product;
  RecordingPrompt prompt;

  // Writes name=xml files into package\ and loads them in the given list order.
  Product(std::initializer_list<std::pair<std::wstring, std::string>> files, const std::wstring& list) {
    for (const auto& file : files) WriteFileBytes(folder / (L"package\\" + file.first), file.second);
    product.configFolder = folder.path() + L"\\";
    product.errorSink = &prompt;
    EXPECT_EQ(product.ParseComponentConfigs(list), 0) << (prompt.messages.empty() ? "" : prompt.messages[0]);
  }

  const FileRecord& File(const std::string& path) {
    for (ComponentConfig& component : product.components) {
      for (FileRecord& file : component.files) {
        if (file.attributes["path"] == path) return file;
      }
    }
    throw std::runtime_error("no file " + path);
  }
};

std::vector<std::wstring> Names(const ProductConfig& product) {
  std::vector<std::wstring> names;
  for (const ComponentConfig& component : product.components) names.push_back(component.name);
  return names;
}

}  // namespace

// Files of other platforms and versions are excluded, and so is what depends on them.
TEST(ComponentFilter, ExcludesFilesOfOtherPlatformsAndVersionsAndTheirDependents) {
  const char* files[] = {"bin\\x86only.dll", "bin\\x64only.dll", "bin\\any.dll",
                         "bin\\win10.dll",   "bin\\win7.dll",    "bin\\range.dll"};
  const struct {
    const char* version;
    const char* platform;
    std::vector<bool> excluded;  // per file above
  } cases[] = {{"6.1", "x64", {true, false, false, true, true, false}},
               {"10.0", "x86", {false, true, false, true, true, true}},
               {"", "", {false, false, false, false, false, false}}};  // empty running values filter nothing
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.version << " " << c.platform);
    Product p({{L"p.config", kPlatformComponent}}, L"p.config");
    EXPECT_EQ(p.product.FilterByOsPlatform(c.version, c.platform), 0);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(p.File(files[i]).excluded, c.excluded[i]) << files[i];
    const ComponentConfig& component = p.product.components[0];
    // The module names win10.dll by its newpath in another case; the shortcut too.
    EXPECT_EQ(component.regModules[0].excluded, c.excluded[3]);
    EXPECT_FALSE(component.regModules[1].excluded);
    EXPECT_EQ(component.drivers[0].excluded, c.excluded[0]);
    EXPECT_EQ(component.shortCuts[0].excluded, c.excluded[3]);
    EXPECT_TRUE(component.runRules[0].excluded) << "no file record names its executable";
    EXPECT_EQ(component.runRules[1].excluded, c.excluded[5]);
    // Reading adds the names later readers need.
    EXPECT_EQ(p.File("bin\\any.dll").attributes.count("os"), 1u);
    EXPECT_EQ(p.File("bin\\any.dll").attributes.count("platform"), 1u);
    EXPECT_EQ(component.runRules[0].attributes.count("executable"), 1u);
  }
}

TEST(ComponentFilter, UnknownPlatformStopsBeforeExcludingButAfterSorting) {
  Product p({{L"b.config", kPlatformComponent}, {L"a.config", "<R name_0409=\"A\"/>"}}, L"b.config,a.config,b.config,");
  ASSERT_EQ(p.product.components.size(), 3u);
  EXPECT_EQ(p.product.FilterByOsPlatform("6.1", "ia64"), -1);
  EXPECT_EQ(Names(p.product), (std::vector<std::wstring>{L"a.config", L"b.config"}));
  EXPECT_FALSE(p.File("bin\\x86only.dll").excluded);
  EXPECT_FALSE(p.product.components[1].runRules[0].excluded) << "dependents are not marked after a stop";
  EXPECT_EQ(p.product.FilterByOsPlatform("6.4", "x64"), -1);
  EXPECT_EQ(p.product.FilterByOsPlatform("6.0+", "x64"), -1);
  EXPECT_FALSE(p.File("bin\\win10.dll").excluded);
}

TEST(ComponentFilter, SortsByNameOrdinally) {
  Product p({{L"b.config", "<R/>"}, {L"B.config", "<R/>"}, {L"a.config", "<R/>"}}, L"b.config,B.config,a.config");
  p.product.FilterByOsPlatform("6.1", "x86");
  EXPECT_EQ(Names(p.product), (std::vector<std::wstring>{L"B.config", L"a.config", L"b.config"}));
}

// A dependent stays active when any component holds its file as an active record.
TEST(ComponentFilter, DependentsLookAcrossComponentsAtTheFirstMatchOfEach) {
  Product p(
      {{L"a.config", R"(<R><Config><Files>
               <f path="shared.dll" platform="x86"/><f path="SHARED.DLL"/></Files>
               <RegModules><m path="shared.dll" order="1"/></RegModules></Config></R>)"},
       {L"b.config",
        R"(<R><Config><Files><f path="other.dll"/><f newpath="shared.dll" path="pkg\s.dll"/></Files></Config></R>)"}},
      L"a.config,b.config");
  p.product.FilterByOsPlatform("6.1", "x64");
  EXPECT_FALSE(p.product.components[0].regModules[0].excluded)
      << "a's first match is excluded, b's first match is active";

  Product q({{L"a.config", R"(<R><Config><Files>
               <f path="shared.dll" platform="x86"/><f path="SHARED.DLL"/></Files>
               <RegModules><m path="shared.dll" order="1"/></RegModules></Config></R>)"}},
            L"a.config");
  q.product.FilterByOsPlatform("6.1", "x64");
  EXPECT_TRUE(q.product.components[0].regModules[0].excluded) << "only the first match of a component counts";
}

// The 64-bit test prefix: the machine is x64 even for this 32-bit process.
TEST(ComponentFilter, RunsWithTheRunningSystem) {
  const SystemInfo& system = SystemInfo::GetInstance();
  std::string version = WideToAnsi(system.VersionText());
  std::string platform = WideToAnsi(system.Architecture());
  ASSERT_EQ(platform, "x64");
  Product p({{L"p.config", kPlatformComponent}}, L"p.config");
  EXPECT_EQ(p.product.FilterByOsPlatform(version, platform), 0);
  EXPECT_TRUE(p.File("bin\\x86only.dll").excluded);
  EXPECT_FALSE(p.File("bin\\x64only.dll").excluded);
  EXPECT_FALSE(p.File("bin\\any.dll").excluded);
  EXPECT_EQ(p.File("bin\\win10.dll").excluded, !MatchOsCondition("10.0+", version));
}
