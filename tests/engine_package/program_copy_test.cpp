// The start-up's extraction of the setup package with its program copy written behind: the
// same files as the whole extraction, a move of the copy waits for it, and its failure is told
// to whoever waits for it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/sys/text_convert.h"
#include "engine/package/package_read_ahead.h"
#include "engine/package/setup_pkg.h"
#include "test_support.h"

namespace {

const char kProduct[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ProductRoot type=\"OffLine\" version=\"1\">\n"
    "  <SetupInfo name=\"setup\" config=\"files.config\"/>\n</ProductRoot>\n";

std::string FileList(bool movingTheCopy) {
  return std::string("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ComponentRoot><Config><Files>\n") +
         "  <file path=\"setup\\skin.zip\" newpath=\"Skins\\skin.zip\"/>\n" +
         (movingTheCopy ? "  <file path=\"PackageManager.exe\" newpath=\"bin\\PackageManager.exe\"/>\n"
                        : "  <file path=\"PackageManager.exe\"/>\n") +
         "</Files></Config></ComponentRoot>\n";
}

// The items of a setup package, the program copy third as the maker writes the sample's.
std::vector<SourceFile> SetupFiles(bool movingTheCopy, const Bytes& copy) {
  return {{"_setup.ini", Utf16Bytes(L"[Product]\r\nProduct=Main.config")},
          {"package\\Main.config", TextBytes(kProduct)},
          {"PackageManager.exe", copy},
          {"package\\files.config", TextBytes(FileList(movingTheCopy))},
          {"setup\\skin.zip", TextBytes("skin")}};
}

// A sealed setup program of these setup files whose program copy's compressed data has one
// byte changed: the package passes its check, the entry does not unzip.
std::wstring SetupWithDamagedCopy(const TempDir& dir, const std::vector<SourceFile>& files) {
  std::vector<RawItem> items;
  std::vector<std::wstring> names;
  for (const SourceFile& file : files) {
    std::string entry = file.path;
    for (char& c : entry) c = c == '\\' ? '/' : c;
    Bytes zip = ZipOf(entry, file.content);
    if (file.path == "PackageManager.exe") zip[zip.size() / 2] ^= 0x10;
    items.push_back(RawItem{zip, static_cast<uint32_t>(file.content.size())});
    names.push_back(std::wstring(entry.begin(), entry.end()));
  }
  const Bytes program = BuildRawPackage({RawItem{ZipOf("p0.txt", TextBytes("p0")), 2}}, {L"p0.txt"});
  const std::wstring path = dir / L"damaged.exe";
  WriteBytes(path, SetupOf(FakeImage(), {program, BuildRawPackage(items, names)}));
  return path;
}

}  // namespace

TEST(ProgramCopyBehind, WritesWhatTheWholeExtractionWrites) {
  TempDir dir;
  const std::wstring setup = MakeMixedSetup(dir);
  ASSERT_FALSE(setup.empty());
  SetupPkg whole, behind;
  ASSERT_EQ(0, whole.Open(setup));
  behind.UseReadAhead(std::make_unique<PackageReadAhead>(setup));
  ASSERT_EQ(0, behind.Open(setup));
  std::wstring wholeName, behindName;
  ASSERT_EQ(0, whole.ExtractAllSetupFiles(dir / L"whole", wholeName));
  ASSERT_EQ(0, behind.ExtractSetupFilesProgramCopyBehind(dir / L"behind", behindName));
  EXPECT_EQ(0, behind.WaitForProgramCopy());
  EXPECT_EQ(behindName, wholeName);
  for (const SourceFile& file : SetupPackageFiles()) {
    const std::wstring path = Utf8ToWide(file.path);
    EXPECT_EQ(ReadBytes(dir / (L"behind\\" + path)), file.content) << file.path;
    EXPECT_EQ(ReadBytes(dir / (L"whole\\" + path)), file.content) << file.path;
  }
}

TEST(ProgramCopyBehind, AMoveOfTheCopyWaitsForIt) {
  TempDir dir;
  const Bytes copy = RandomBytes(4 << 20, 31);
  const std::vector<SourceFile> files = SetupFiles(true, copy);
  WriteSources(dir / L"src", files);
  WriteBytes(dir / L"src\\p0.txt", TextBytes("p0"));
  WriteBytes(dir / L"image.exe", FakeImage());
  ASSERT_EQ(0, MakeSetup(dir / L"setup.exe", dir / L"image.exe", dir / L"src",
                         {Records({{"p0.txt", ""}}), RecordsOf(files)}));
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(dir / L"setup.exe"));
  std::wstring name;
  ASSERT_EQ(0, pkg.ExtractSetupFilesProgramCopyBehind(dir / L"work", name));
  // Read before any wait: the move had to wait for the copy to be whole.
  EXPECT_EQ(ReadBytes(dir / L"work\\bin\\PackageManager.exe"), copy);
  EXPECT_FALSE(FileExists(dir / L"work\\PackageManager.exe"));
  EXPECT_EQ(ReadBytes(dir / L"work\\Skins\\skin.zip"), TextBytes("skin"));
}

TEST(ProgramCopyBehind, ADamagedCopyIsToldByTheWaitAndLeavesNoFile) {
  TempDir dir;
  const std::wstring logFolder = dir / L"log";
  ASSERT_TRUE(StartLogIn(logFolder));
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(SetupWithDamagedCopy(dir, SetupFiles(false, RandomBytes(200000, 32)))));
  std::wstring name;
  EXPECT_EQ(0, pkg.ExtractSetupFilesProgramCopyBehind(dir / L"work", name)) << "the other setup files are whole";
  EXPECT_EQ(-1, pkg.WaitForProgramCopy());
  EXPECT_EQ(-1, pkg.WaitForProgramCopy()) << "told to every caller";
  EXPECT_FALSE(FileExists(dir / L"work\\PackageManager.exe"));
  EXPECT_EQ(ReadBytes(dir / L"work\\Skins\\skin.zip"), TextBytes("skin"));
  const std::string log = StopLogAndRead(logFolder);
  EXPECT_NE(log.find("ExtractAllSetupFiles, the program copy (item 2 of package 1) failed, code -1"), std::string::npos)
      << log;
}

TEST(ProgramCopyBehind, ADamagedCopyThatAMoveNamesFailsTheExtractionBeforeAnyMove) {
  TempDir dir;
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(SetupWithDamagedCopy(dir, SetupFiles(true, RandomBytes(200000, 33)))));
  std::wstring name;
  EXPECT_EQ(-1, pkg.ExtractSetupFilesProgramCopyBehind(dir / L"work", name));
  EXPECT_TRUE(FileExists(dir / L"work\\setup\\skin.zip")) << "nothing is moved";
  EXPECT_FALSE(FileExists(dir / L"work\\Skins\\skin.zip"));
  EXPECT_FALSE(FileExists(dir / L"work\\bin\\PackageManager.exe"));
}
