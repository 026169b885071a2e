// Attribute values checked against the keyword tables, and the loader's reports of bad values.
#include <gtest/gtest.h>

#include "engine/parser/product_config.h"
#include "test_support.h"

TEST(Validation, ValuesOfEachName) {
  static const ComponentConfig tables;
  const struct {
    const char* name;
    const char* value;
    bool valid;
  } cases[] = {
      {"isInstall", "false", true},
      {"isInstall", "TRUE", true},
      {"isInstall", "no", false},
      {"isDisplay", "NO", true},
      {"isEssential", "true", false},
      {"isUpgrade", "False", true},
      {"usereg", "0", false},
      {"finaldel", "False", true},
      {"bwaitend", "0", false},
      {"noDelete", "False", true},
      {"workdir", "$InstallRoot", true},
      {"workdir", "$installroot", true},
      {"workdir", "%%ProgramFiles%%", true},
      {"workdir", "%ProgramFiles%", false},
      {"workdir", "$InstallRoot\\bin", false},
      {"order", "12", true},
      {"order", "12abc", true},
      {"order", "  7", true},
      {"order", "0", false},
      {"order", "-3", false},
      {"order", "abc", false},
      {"order", "", false},
      {"needReboot", "3", false},
      {"needReboot", "4", true},
      {"platform", "X64", true},
      {"platform", "ia64", false},
      {"when", "onrestartapp", true},
      {"when", "AfterRegister", true},
      {"when", "OnInstall", false},
      {"runMode", "asAdmin", true},
      {"runMode", "asSystem", false},
      {"cmd", "dllcall", true},
      {"cmd", "RUN", false},
      {"os", "5.1-6.3", true},
      {"os", "6.4", false},
      {"os", "", false},
      {"type", "dll", true},  // checked only on the root
      {"isInstal", "anything", true},
      {"custom", "", true},  // unknown names are accepted
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ProductConfig::ValidateAttribute(c.name, c.value, tables, false), c.valid) << c.name << '=' << c.value;
  }
  EXPECT_FALSE(ProductConfig::ValidateAttribute("type", "dll", tables, true));
  EXPECT_TRUE(ProductConfig::ValidateAttribute("type", "center", tables, true));
}

// Each refused value is reported with its exact text, stored anyway, and fails the file; an
// empty value is reported, then checked.
TEST(Validation, LoaderReportsEachBadValueExactly) {
  TempFolder folder;
  LoadedComponents loaded;
  LoadComponentText(folder, R"(<ComponentRoot isEssential="maybe" type="Other" name_0409="C">
  <Config>
    <Files>
      <file path="a.dll" isInstall="no" os="6.4" platform="arm" />
      <file path="b.dll" os="" custom="" />
    </Files>
  </Config>
  <RunRule>
    <rule executable="a.exe" when="Later" order="0" cmd="RUN" runMode="asRoot" needReboot="3" />
    <rule executable="b.exe" when="AfterCopy" order="1" workdir="%ProgramFiles%" />
  </RunRule>
</ComponentRoot>)",
                    loaded);
  EXPECT_EQ(loaded.result, -1);
  std::vector<std::string> expected{"Invalid Attribute Value [isEssential=\"maybe\"]",
                                    "Invalid Attribute Value [type=\"Other\"]",
                                    "Invalid Attribute Value [isInstall=\"no\"]",
                                    "Invalid Attribute Value [os=\"6.4\"]",
                                    "Invalid Attribute Value [platform=\"arm\"]",
                                    "Attribute Value Is Null [os=\"\"]",
                                    "Invalid Attribute Value [os=\"\"]",
                                    "Attribute Value Is Null [custom=\"\"]",
                                    "Invalid Attribute Value [when=\"Later\"]",
                                    "Invalid Attribute Value [order=\"0\"]",
                                    "Invalid Attribute Value [cmd=\"RUN\"]",
                                    "Invalid Attribute Value [runMode=\"asRoot\"]",
                                    "Invalid Attribute Value [needReboot=\"3\"]",
                                    "Invalid Attribute Value [workdir=\"%ProgramFiles%\"]"};
  EXPECT_EQ(loaded.prompt.messages, expected);
  EXPECT_EQ(loaded.prompt.codes, std::vector<int>(expected.size(), 0));
  EXPECT_TRUE(loaded.product.components.empty());
}
