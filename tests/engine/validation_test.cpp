#include <gtest/gtest.h>

#include "engine/parser/product_config.h"
#include "test_support.h"

namespace {

bool Valid(const std::string& name, const std::string& value, bool checkType = false) {
  static const ComponentConfig tables;
  return ProductConfig::ValidateAttribute(name, value, tables, checkType);
}

}  // namespace

TEST(Validation, BooleansAndYesNo) {
  EXPECT_TRUE(Valid("isInstall", "false"));
  EXPECT_TRUE(Valid("isInstall", "TRUE"));
  EXPECT_FALSE(Valid("isInstall", "no"));
  EXPECT_TRUE(Valid("isDisplay", "NO"));
  EXPECT_FALSE(Valid("isEssential", "true"));
  for (const char* name : {"isUpgrade", "usereg", "finaldel", "bwaitend", "noDelete"}) {
    EXPECT_TRUE(Valid(name, "False")) << name;
    EXPECT_FALSE(Valid(name, "0")) << name;
  }
}

TEST(Validation, WorkFolders) {
  EXPECT_TRUE(Valid("workdir", "$InstallRoot"));
  EXPECT_TRUE(Valid("workdir", "$installroot"));
  EXPECT_TRUE(Valid("workdir", "%%ProgramFiles%%"));
  EXPECT_FALSE(Valid("workdir", "%ProgramFiles%"));
  EXPECT_FALSE(Valid("workdir", "$InstallRoot\\bin"));
}

TEST(Validation, Order) {
  EXPECT_TRUE(Valid("order", "12"));
  EXPECT_TRUE(Valid("order", "12abc"));
  EXPECT_TRUE(Valid("order", "  7"));
  EXPECT_FALSE(Valid("order", "0"));
  EXPECT_FALSE(Valid("order", "-3"));
  EXPECT_FALSE(Valid("order", "abc"));
  EXPECT_FALSE(Valid("order", ""));
}

TEST(Validation, TypeOnlyOnTheRoot) {
  EXPECT_TRUE(Valid("type", "dll", false));
  EXPECT_FALSE(Valid("type", "dll", true));
  EXPECT_TRUE(Valid("type", "center", true));
}

TEST(Validation, TablesAndConditions) {
  EXPECT_FALSE(Valid("needReboot", "3"));
  EXPECT_TRUE(Valid("needReboot", "4"));
  EXPECT_TRUE(Valid("platform", "X64"));
  EXPECT_FALSE(Valid("platform", "ia64"));
  EXPECT_TRUE(Valid("when", "onrestartapp"));
  EXPECT_TRUE(Valid("when", "AfterRegister"));
  EXPECT_FALSE(Valid("when", "OnInstall"));
  EXPECT_TRUE(Valid("runMode", "asAdmin"));
  EXPECT_FALSE(Valid("runMode", "asSystem"));
  EXPECT_TRUE(Valid("cmd", "dllcall"));
  EXPECT_FALSE(Valid("cmd", "RUN"));
  EXPECT_TRUE(Valid("os", "5.1-6.3"));
  EXPECT_FALSE(Valid("os", "6.4"));
  EXPECT_FALSE(Valid("os", ""));
}

TEST(Validation, UnknownNamesAreAccepted) {
  EXPECT_TRUE(Valid("isInstal", "anything"));
  EXPECT_TRUE(Valid("custom", ""));
}

// Each refused value is reported with its exact text, stored anyway, and fails the file.
TEST(Validation, LoaderReportsEachBadValueExactly) {
  TempFolder folder;
  LoadedComponents loaded;
  LoadComponentText(folder, R"(<ComponentRoot isEssential="maybe" type="Other" name_0409="C">
  <Config>
    <Files>
      <file path="a.dll" isInstall="no" os="6.4" platform="arm" />
    </Files>
  </Config>
  <RunRule>
    <rule executable="a.exe" when="Later" order="0" cmd="RUN" runMode="asRoot" needReboot="3" />
    <rule executable="b.exe" when="AfterCopy" order="1" workdir="%ProgramFiles%" />
  </RunRule>
</ComponentRoot>)", loaded);
  EXPECT_EQ(loaded.result, -1);
  std::vector<std::string> expected{
      "Invalid Attribute Value [isEssential=\"maybe\"]", "Invalid Attribute Value [type=\"Other\"]",
      "Invalid Attribute Value [isInstall=\"no\"]",      "Invalid Attribute Value [os=\"6.4\"]",
      "Invalid Attribute Value [platform=\"arm\"]",      "Invalid Attribute Value [when=\"Later\"]",
      "Invalid Attribute Value [order=\"0\"]",           "Invalid Attribute Value [cmd=\"RUN\"]",
      "Invalid Attribute Value [runMode=\"asRoot\"]",    "Invalid Attribute Value [needReboot=\"3\"]",
      "Invalid Attribute Value [workdir=\"%ProgramFiles%\"]"};
  EXPECT_EQ(loaded.prompt.messages, expected);
  for (int code : loaded.prompt.codes) EXPECT_EQ(code, 0);
  EXPECT_TRUE(loaded.product.components.empty());
}

TEST(Validation, EmptyValueIsReportedThenCheckedAndStored) {
  TempFolder folder;
  LoadedComponents loaded;
  LoadComponentText(folder, R"(<ComponentRoot name_0409="C"><Config><Files>
      <file path="a.dll" os="" custom="" />
    </Files></Config></ComponentRoot>)", loaded);
  EXPECT_EQ(loaded.result, -1);
  std::vector<std::string> expected{"Attribute Value Is Null [os=\"\"]", "Invalid Attribute Value [os=\"\"]",
                                    "Attribute Value Is Null [custom=\"\"]"};
  EXPECT_EQ(loaded.prompt.messages, expected);
}
