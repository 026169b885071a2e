// The product description (Product.config) and the file list of a component configuration.
#include <gtest/gtest.h>

#include "engine/parser/product_reader.h"
#include "test_support.h"

TEST(ProductReader, ReadsTheShippedDescription) {
  ProductConfig product;
  ASSERT_EQ(ParseProductConfig(nullptr, FixturePath(L"shipped/package/Product.config"), product), 1);
  EXPECT_EQ(product.type, 1);
  EXPECT_EQ(product.version, "16.0.2018.08221656");
  EXPECT_EQ(product.productVersion, L"16.2.181222");
  EXPECT_EQ(product.productOs, 1);
  EXPECT_EQ(product.productRunMode, 1);
  EXPECT_EQ(product.productType, L"1");
  ASSERT_EQ(product.componentRefs.size(), 2u);
  EXPECT_EQ(product.componentRefs[0].name, L"PLV");
  EXPECT_EQ(product.componentRefs[0].config, L"PLV.config");
  EXPECT_EQ(product.componentRefs[0].flag, 1);
  EXPECT_EQ(product.componentRefs[1].name, L"setup");
  EXPECT_EQ(product.componentRefs[1].config, L"setup.config");
  EXPECT_TRUE(product.installPath.empty()) << "InstallInfo is inside a comment";
  EXPECT_TRUE(product.regKey.empty());
  EXPECT_TRUE(product.extraModulePath.empty());
  EXPECT_EQ(product.setupInfoConfig, L"setup.config");
}

TEST(ProductReader, ElementNamesIgnoreCaseAttributeNamesDoNot) {
  TempFolder folder;
  WriteFileBytes(folder / W("游戏\\p.config"), R"(<?xml version="1.0" encoding="utf-8"?>
<Root type="WEB" version="9">
  <PRODUCTINFO>
    <COMMON productid="7" ProductVer="3.0" ProductVer2="3.1" SysVersion="x" ProductOS="-4" ProductRunMode=" 12abc" />
    <components>
      <anything name="a" config="a.config" />
      <!-- a comment -->
      <other config="b.config" />
    </components>
  </PRODUCTINFO>
  <installinfo Path="\Games\App" RegKey="HKLM\Software\X" Name_0804="游戏" Name_0404="遊戲" Name_0409="Game" />
  <EXTRAMODULE Path="extra" />
  <setupinfo name="setup" config="s.config" />
  <unknown Path="ignored" />
</Root>)");
  ProductConfig product;
  product.productId = 8;
  ASSERT_EQ(ParseProductConfig(nullptr, folder / W("游戏\\p.config"), product), 1) << "a Chinese path";
  EXPECT_EQ(product.type, 2);
  EXPECT_EQ(product.productId, 8) << "\"productid\" in lower case is not read";
  EXPECT_EQ(product.productVersion, L"3.0");
  EXPECT_EQ(product.productVersion2, L"3.1");
  EXPECT_EQ(product.systemVersion, L"x");
  EXPECT_EQ(product.productOs, -4);
  EXPECT_EQ(product.productRunMode, 12);
  ASSERT_EQ(product.componentRefs.size(), 2u);
  EXPECT_EQ(product.componentRefs[1].name, L"");
  EXPECT_EQ(product.componentRefs[1].config, L"b.config");
  EXPECT_EQ(product.installPath, L"\\Games\\App");
  EXPECT_EQ(product.regKey, L"HKLM\\Software\\X");
  EXPECT_EQ(product.name0804, W("游戏"));
  EXPECT_EQ(product.name0404, W("遊戲"));
  EXPECT_EQ(product.name0409, L"Game");
  EXPECT_EQ(product.extraModulePath, L"extra");
  EXPECT_EQ(product.setupInfoConfig, L"s.config");
}

// A second description merges into the same record; a missing type is reported but parses.
TEST(ProductReader, SecondDescriptionMergesAndMissingTypeIsReported) {
  TempFolder folder;
  WriteFileBytes(folder / L"a.config", R"(<R type="offline"><productinfo><common ProductID="1" ProductVer="1"/>
    <components><c name="a" config="a.config"/></components></productinfo></R>)");
  WriteFileBytes(folder / L"b.config", R"(<R type="other"><productinfo><common ProductID="2" ProductVer="2"/>
    <components><c name="b" config="b.config"/></components></productinfo></R>)");
  ProductConfig product;
  ASSERT_EQ(ParseProductConfig(nullptr, folder / L"a.config", product), 1);
  ASSERT_EQ(ParseProductConfig(nullptr, folder / L"b.config", product), 1);
  EXPECT_EQ(product.productId, 3);
  EXPECT_EQ(product.productVersion, L"2");
  EXPECT_EQ(product.type, 1) << "an unknown type keeps the earlier one";
  EXPECT_EQ(product.componentRefs.size(), 2u);

  WriteFileBytes(folder / L"p.config", "<R version=\"1\"><productinfo><components/></productinfo></R>");
  ProductConfig untyped;
  RecordingPrompt prompt;
  ASSERT_EQ(ParseProductConfig(&prompt, folder / L"p.config", untyped), 1);
  EXPECT_EQ(untyped.type, 0);
  EXPECT_TRUE(untyped.componentRefs.empty());
  EXPECT_EQ(prompt.messages, std::vector<std::string>{"Attribute Value Is Null [type=\"\"]"});
}

TEST(ProductReader, UnloadableDocumentsGiveZero) {
  TempFolder folder;
  ProductConfig product;
  EXPECT_EQ(ParseProductConfig(nullptr, folder / L"missing.config", product), 0);
  WriteFileBytes(folder / L"broken.config", "<R type=\"web\"><unclosed></R>");
  EXPECT_EQ(ParseProductConfig(nullptr, folder / L"broken.config", product), 0);
  WriteFileBytes(folder / L"comment.config", "<?xml version=\"1.0\"?><!-- only a comment -->");
  EXPECT_EQ(ParseProductConfig(nullptr, folder / L"comment.config", product), 0);
  EXPECT_EQ(product.type, 0);
  std::map<std::wstring, std::wstring> files;
  EXPECT_EQ(ParseFileList(folder / L"missing.config", files), 0);
}

TEST(ProductReader, FileListMapsPathsToNewPaths) {
  std::map<std::wstring, std::wstring> files;
  ASSERT_EQ(ParseFileList(FixturePath(L"shipped/package/setup.config"), files), 1);
  std::map<std::wstring, std::wstring> expected{{L"PackageManager.exe", L"PackageManager.exe"},
                                                {L"setup\\PackageManager.zip", L"setup\\PackageManager.zip"}};
  EXPECT_EQ(files, expected);
  TempFolder folder;
  WriteFileBytes(folder / L"list.config", R"(<Root>
  <CONFIG><Files>
    <file path="a.exe" newpath="bin\a.exe" />
    <file path="b.dll" />
    <file path="a.exe" newpath="lib\a.exe" />
    <other path="ignored" />
  </Files><Nope><file path="ignored2"/></Nope></CONFIG>
  <config><FILES><FILE path="c.txt" newpath="" /></FILES></config>
  <Files><file path="top-level-ignored" /></Files>
</Root>)");
  files.clear();
  ASSERT_EQ(ParseFileList(folder / L"list.config", files), 1);
  expected = {{L"a.exe", L"lib\\a.exe"}, {L"b.dll", L"b.dll"}, {L"c.txt", L"c.txt"}};
  EXPECT_EQ(files, expected);
}
