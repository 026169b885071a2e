#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "engine/parser/product_config.h"
#include "test_support.h"

namespace {

std::wstring ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  EXPECT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)));
  return buffer;
}

ProductConfig ProductIn(const std::wstring& configFolder) {
  ProductConfig product;
  product.configFolder = configFolder;
  return product;
}

}  // namespace

TEST(PathVariables, ShellFoldersAtTheStart) {
  ProductConfig product = ProductIn(L"C:\\Cfg\\");
  // %ProgramFiles% names the program-files folder, not the start menu's Programs.
  EXPECT_EQ(product.ExpandPathVariables(L"%ProgramFiles%\\Sub\\App.EXE"),
            ShellFolder(CSIDL_PROGRAM_FILES) + L"\\sub\\app.exe");
  EXPECT_EQ(product.ExpandPathVariables(L"%PROGRAMFILES%\\a"), ShellFolder(CSIDL_PROGRAM_FILES) + L"\\a");
  EXPECT_EQ(product.ExpandPathVariables(L"$Desktop\\Link.lnk"), ShellFolder(CSIDL_DESKTOP) + L"\\link.lnk");
  wchar_t system[MAX_PATH] = {}, windows[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  GetWindowsDirectoryW(windows, MAX_PATH);
  EXPECT_EQ(product.ExpandPathVariables(L"$System32\\X.dll"), std::wstring(system) + L"\\x.dll");
  EXPECT_EQ(product.ExpandPathVariables(L"$WINDIR\\Fonts\\F.ttf"), std::wstring(windows) + L"\\fonts\\f.ttf");
}

TEST(PathVariables, OtherPathsGoUnderTheConfigurationFolder) {
  ProductConfig product = ProductIn(L"C:\\Install\\Root\\");
  EXPECT_EQ(product.ExpandPathVariables(L"Bin\\Core.DLL"), L"C:\\Install\\Root\\bin\\core.dll");
  EXPECT_EQ(product.ExpandPathVariables(L"D:\\abs.txt"), L"C:\\Install\\Root\\d:\\abs.txt");
  EXPECT_EQ(product.ExpandPathVariables(L"sub\\$System32\\x.dll"), L"C:\\Install\\Root\\sub\\$system32\\x.dll")
      << "a variable counts only at the start";
  EXPECT_EQ(product.ExpandPathVariables(W("游戏\\Tamsel游戏Pelluvo.exe")),
            L"C:\\Install\\Root\\" + W("游戏\\tamsel游戏pelluvo.exe"));
}

// Attribute values pass through the macro layer of the XML reader.
TEST(PathVariables, LoaderExpandsEnvironmentMacrosInValues) {
  SetEnvironmentVariableW(L"TAMSEL_ENGINE_TEST_DIR", L"from-env");
  TempFolder folder;
  LoadedComponents loaded;
  LoadComponentText(
      folder,
      R"(<R><Config><Files><f path="&!env:TAMSEL_ENGINE_TEST_DIR;\a.dll" md5="a&amp;b" /></Files></Config></R>)",
      loaded);
  ASSERT_EQ(loaded.result, 0);
  const AttributeMap& file = loaded.product.components[0].files[0].attributes;
  EXPECT_EQ(file.at("path"), "from-env\\a.dll");
  EXPECT_EQ(file.at("md5"), "a&b");
}
