// ExtractAllSetupFiles: "_setup.ini", the product description and the setup file list.
#include <gtest/gtest.h>

#include "engine/package/setup_pkg.h"
#include "test_support.h"

namespace {

const char kProduct[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ProductRoot type=\"OffLine\" version=\"1\">\n"
    "  <SetupInfo name=\"setup\" config=\"files.config\"/>\n</ProductRoot>\n";
const char kProductWithoutSetupInfo[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ProductRoot type=\"OffLine\" version=\"1\"/>\n";
const char kFileList[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ComponentRoot><Config><Files>\n"
    "  <file path=\"setup\\skin.zip\" newpath=\"Skins\\Main\\skin.zip\"/>\n"
    "  <file path=\"PackageManager.exe\"/>\n"
    "  <file path=\"x.txt\" newpath=\"..\\escape.txt\"/>\n"
    "  <file path=\"missing.txt\" newpath=\"found.txt\"/>\n"
    "</Files></Config></ComponentRoot>\n";

// Makes a program file whose package #1 holds these files, extracts it, returns the result.
int ExtractSetup(const TempDir& dir, const std::vector<SourceFile>& files, std::wstring* name) {
  WriteSources(dir / L"src", files);
  WriteBytes(dir / L"src\\p0.txt", TextBytes("p0"));
  WriteBytes(dir / L"image.exe", FakeImage());
  if (MakeSetup(dir / L"setup.exe", dir / L"image.exe", dir / L"src", {Records({{"p0.txt", ""}}), RecordsOf(files)}) !=
      0)
    return 99;
  SetupPkg pkg;
  if (pkg.Open(dir / L"setup.exe") != 0) return 98;
  return pkg.ExtractAllSetupFiles(dir / L"work", *name);
}

}  // namespace

TEST(SetupFiles, ReadsTheNamedDescriptionAndMovesListedFiles) {
  TempDir dir;
  std::wstring name;
  const int code = ExtractSetup(dir,
                                {{"_setup.ini", Utf16Bytes(L"[Product]\r\nProduct=Main.config")},
                                 {"package\\Main.config", TextBytes(kProduct)},
                                 {"package\\files.config", TextBytes(kFileList)},
                                 {"setup\\skin.zip", TextBytes("skin")},
                                 {"PackageManager.exe", TextBytes("pm")},
                                 {"x.txt", TextBytes("x")}},
                                &name);
  ASSERT_EQ(0, code);
  EXPECT_EQ(name, L"Main.config") << "the name comes from \"_setup.ini\"";
  EXPECT_EQ(ReadBytes(dir / L"work\\Skins\\Main\\skin.zip"), TextBytes("skin")) << "moved, its folder made";
  EXPECT_FALSE(FileExists(dir / L"work\\setup\\skin.zip"));
  EXPECT_EQ(ReadBytes(dir / L"work\\PackageManager.exe"), TextBytes("pm"));
  EXPECT_TRUE(FileExists(dir / L"work\\x.txt")) << "a move out of the folder is refused";
  EXPECT_FALSE(FileExists(dir / L"escape.txt"));
  EXPECT_FALSE(FileExists(dir / L"work\\found.txt"));
}

TEST(SetupFiles, MissingKeyMeansProductConfig) {
  TempDir dir;
  std::wstring name;
  ASSERT_EQ(0, ExtractSetup(dir,
                            {{"_setup.ini", Utf16Bytes(L"[Other]\r\nKey=1")},
                             {"package\\Product.config", TextBytes(kProduct)},
                             {"package\\files.config", TextBytes(kFileList)}},
                            &name));
  EXPECT_EQ(name, L"Product.config");
}

TEST(SetupFiles, EachFaultHasItsCode) {
  struct Case {
    const char* what;
    std::vector<SourceFile> files;
    int code;
  };
  const std::vector<Case> cases = {
      {"empty name", {{"_setup.ini", Utf16Bytes(L"[Product]\r\nProduct=")}}, -5},
      {"no description", {{"_setup.ini", Utf16Bytes(L"[Product]\r\nProduct=Gone.config")}}, -2},
      {"no setup file list named",
       {{"_setup.ini", Utf16Bytes(L"[Product]\r\nProduct=Main.config")},
        {"package\\Main.config", TextBytes(kProductWithoutSetupInfo)}},
       -3},
      {"setup file list missing",
       {{"_setup.ini", Utf16Bytes(L"[Product]\r\nProduct=Main.config")}, {"package\\Main.config", TextBytes(kProduct)}},
       -4},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::wstring name;
    EXPECT_EQ(c.code, ExtractSetup(dir, c.files, &name)) << c.what;
  }
}
