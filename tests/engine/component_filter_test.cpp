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

TEST(ComponentFilter, ExcludesFilesOfOtherPlatformsAndVersions) {
  Product p({{L"p.config", kPlatformComponent}}, L"p.config");
  EXPECT_EQ(p.product.FilterByOsPlatform("6.1", "x64"), 0);
  EXPECT_TRUE(p.File("bin\\x86only.dll").excluded);
  EXPECT_FALSE(p.File("bin\\x64only.dll").excluded);
  EXPECT_FALSE(p.File("bin\\any.dll").excluded);
  EXPECT_TRUE(p.File("bin\\win10.dll").excluded);
  EXPECT_TRUE(p.File("bin\\win7.dll").excluded) << "right version, wrong platform";
  EXPECT_FALSE(p.File("bin\\range.dll").excluded);

  const ComponentConfig& c = p.product.components[0];
  EXPECT_TRUE(c.regModules[0].excluded) << "its file (named by newpath, other case) is excluded";
  EXPECT_FALSE(c.regModules[1].excluded);
  EXPECT_TRUE(c.drivers[0].excluded);
  EXPECT_TRUE(c.shortCuts[0].excluded);
  EXPECT_TRUE(c.runRules[0].excluded) << "no file record names its executable";
  EXPECT_FALSE(c.runRules[1].excluded);
}

TEST(ComponentFilter, SameProductOnTenZeroX86) {
  Product p({{L"p.config", kPlatformComponent}}, L"p.config");
  EXPECT_EQ(p.product.FilterByOsPlatform("10.0", "x86"), 0);
  EXPECT_FALSE(p.File("bin\\x86only.dll").excluded);
  EXPECT_TRUE(p.File("bin\\x64only.dll").excluded);
  EXPECT_TRUE(p.File("bin\\win10.dll").excluded) << "right version, wrong platform";
  EXPECT_TRUE(p.File("bin\\win7.dll").excluded);
  EXPECT_TRUE(p.File("bin\\range.dll").excluded);
  EXPECT_FALSE(p.product.components[0].drivers[0].excluded);
}

TEST(ComponentFilter, ReadingAddsTheNamesLaterReadersNeed) {
  Product p({{L"p.config", kPlatformComponent}}, L"p.config");
  p.product.FilterByOsPlatform("6.1", "x64");
  const AttributeMap& any = p.File("bin\\any.dll").attributes;
  EXPECT_EQ(any.count("os"), 1u);
  EXPECT_EQ(any.count("platform"), 1u);
  EXPECT_EQ(p.product.components[0].runRules[0].attributes.count("executable"), 1u);
}

TEST(ComponentFilter, UnknownPlatformStopsBeforeExcludingButAfterSorting) {
  Product p({{L"b.config", kPlatformComponent}, {L"a.config", "<R name_0409=\"A\"/>"}},
            L"b.config,a.config,b.config,");
  ASSERT_EQ(p.product.components.size(), 3u);
  EXPECT_EQ(p.product.FilterByOsPlatform("6.1", "ia64"), -1);
  EXPECT_EQ(Names(p.product), (std::vector<std::wstring>{L"a.config", L"b.config"}));
  EXPECT_FALSE(p.File("bin\\x86only.dll").excluded);
  EXPECT_FALSE(p.product.components[1].runRules[0].excluded) << "dependents are not marked after a stop";
  EXPECT_EQ(p.product.FilterByOsPlatform("6.4", "x64"), -1);
  EXPECT_EQ(p.product.FilterByOsPlatform("6.0+", "x64"), -1);
  EXPECT_FALSE(p.File("bin\\win10.dll").excluded);
}

TEST(ComponentFilter, EmptyRunningValuesFilterNothingButStillMarkDependents) {
  Product p({{L"p.config", kPlatformComponent}}, L"p.config");
  EXPECT_EQ(p.product.FilterByOsPlatform("", ""), 0);
  for (const FileRecord& file : p.product.components[0].files) EXPECT_FALSE(file.excluded);
  EXPECT_TRUE(p.product.components[0].runRules[0].excluded);
}

TEST(ComponentFilter, SortsByNameOrdinally) {
  Product p({{L"b.config", "<R/>"}, {L"B.config", "<R/>"}, {L"a.config", "<R/>"}}, L"b.config,B.config,a.config");
  p.product.FilterByOsPlatform("6.1", "x86");
  EXPECT_EQ(Names(p.product), (std::vector<std::wstring>{L"B.config", L"a.config", L"b.config"}));
}

// A dependent stays active when any component holds its file as an active record.
TEST(ComponentFilter, DependentsLookAcrossComponentsAtTheFirstMatchOfEach) {
  Product p({{L"a.config", R"(<R><Config><Files>
               <f path="shared.dll" platform="x86"/><f path="SHARED.DLL"/></Files>
               <RegModules><m path="shared.dll" order="1"/></RegModules></Config></R>)"},
             {L"b.config", R"(<R><Config><Files><f path="other.dll"/><f newpath="shared.dll" path="pkg\s.dll"/></Files></Config></R>)"}},
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
