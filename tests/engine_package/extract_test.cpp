// Extraction writes inside its folder only, and only whole files.
#include <gtest/gtest.h>

#include <algorithm>

#include "common/sys/text_convert.h"
#include "engine/package/package_format.h"
#include "engine/package/setup_pkg.h"
#include "test_support.h"

using namespace pkgfmt;

namespace {

// A zip archive whose one entry has exactly this name ("\" included: the zip writer would
// turn it into "/").
Bytes ZipWithRawName(const std::string& name, const Bytes& content) {
  std::string placeholder = name;
  std::replace(placeholder.begin(), placeholder.end(), '\\', '~');
  Bytes zip = ZipOf(placeholder, content);
  const Bytes from(placeholder.begin(), placeholder.end());
  for (auto at = std::search(zip.begin(), zip.end(), from.begin(), from.end()); at != zip.end();
       at = std::search(at + 1, zip.end(), from.begin(), from.end())) {
    std::copy(name.begin(), name.end(), at);
  }
  return zip;
}

// A program file whose package #0 holds these items (and an empty package #1).
std::wstring SetupWithItems(const TempDir& dir, const std::vector<RawItem>& items, const wchar_t* name = L"s.exe") {
  std::vector<std::wstring> names;
  for (size_t i = 0; i < items.size(); ++i) names.push_back(L"item" + std::to_wstring(i));
  WriteBytes(dir / name, SetupOf(FakeImage(), {BuildRawPackage(items, names), BuildRawPackage({}, {})}));
  return dir / name;
}

RawItem ItemOf(const Bytes& zip, uint32_t fileSize) { return RawItem{zip, fileSize}; }

std::wstring CurrentDirectory() {
  wchar_t buffer[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, buffer);
  return buffer;
}

// The offset of the first entry's data inside a one-entry zip made by the zip writer.
size_t DataStart(const Bytes& zip) { return 30 + (zip[26] | zip[27] << 8) + (zip[28] | zip[29] << 8); }

}  // namespace

TEST(PackageExtract, NamesThatCouldLeaveTheFolderAreRefused) {
  TempDir dir;
  const std::wstring before = CurrentDirectory();
  const std::string hostile[] = {
      "../evil.txt",
      "..\\evil.txt",
      "a/../../evil.txt",
      "a\\..\\..\\evil.txt",
      "/evil.txt",
      "\\evil.txt",
      "\\\\server\\share\\evil.txt",
      "C:\\evil.txt",
      "C:evil.txt",
      "sub/C:/evil.txt",
      "evil.txt:stream",
      "sub/con.txt",
      "NUL",
      "com1.log",
      "sub//evil.txt",
      "./evil.txt",
      "sub/./evil.txt",
      "evil.txt.",
      "evil.txt ",
      "sub/",
      "a/..",
      "ev<il>.txt",
      "evil?.txt",
  };
  for (const std::string& name : hostile) {
    TempDir case_;
    const std::wstring setup = SetupWithItems(case_, {ItemOf(ZipWithRawName(name, TextBytes("evil")), 4)});
    SetupPkg pkg;
    ASSERT_EQ(0, pkg.Open(setup)) << name;
    const std::wstring out = case_ / L"deep\\out";
    EXPECT_EQ(-1, pkg.ExtractAllProgramFiles(out)) << name;
    EXPECT_FALSE(FileExists(case_ / L"evil.txt")) << name;
    EXPECT_FALSE(FileExists(case_ / L"deep\\evil.txt")) << name;
    EXPECT_FALSE(FileExists(out + L"\\evil.txt")) << name;
    EXPECT_FALSE(FileExists(L"C:\\evil.txt")) << name;
  }
  EXPECT_EQ(CurrentDirectory(), before) << "extraction never changes the current directory";
}

TEST(PackageExtract, NestedAndChineseNamesLandInsideTheFolder) {
  TempDir dir;
  const std::string chinese = "\xE6\xB8\xB8\xE6\x88\x8F/\xE8\xAF\xB4\xE6\x98\x8E.txt";  // 游戏/说明.txt
  const std::wstring setup =
      SetupWithItems(dir, {ItemOf(ZipOf("a/b/c.txt", TextBytes("abc")), 3), ItemOf(ZipOf(chinese, TextBytes("zh")), 2),
                           ItemOf(ZipOf("a\\d.txt", TextBytes("d")), 1)});
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(setup));
  const std::wstring before = CurrentDirectory();
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out\\"));
  EXPECT_EQ(CurrentDirectory(), before);
  EXPECT_EQ(ReadBytes(dir / L"out\\a\\b\\c.txt"), TextBytes("abc"));
  EXPECT_EQ(ReadBytes(dir / (L"out\\" + Utf8ToWide("\xE6\xB8\xB8\xE6\x88\x8F\\\xE8\xAF\xB4\xE6\x98\x8E.txt"))),
            TextBytes("zh"));
  EXPECT_EQ(ReadBytes(dir / L"out\\a\\d.txt"), TextBytes("d"));
}

TEST(PackageExtract, DamagedEntriesFailAndLeaveNoFileBehind) {
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "row " + std::to_string(i) + " compresses well\n";
  const Bytes content = TextBytes(text);
  const Bytes good = ZipOf("big.txt", content);
  const size_t data = DataStart(good);
  const uint32_t compressed = good[18] | good[19] << 8 | good[20] << 16 | static_cast<uint32_t>(good[21]) << 24;
  ASSERT_LT(compressed, content.size()) << "the entry is deflated";
  const size_t central = data + compressed;

  struct Case {
    const char* what;
    Bytes zip;
  };
  std::vector<Case> cases;
  Bytes flipped = good;
  flipped[data + compressed / 2] ^= 0x10;
  cases.push_back({"changed deflate byte", flipped});
  Bytes crc = good;
  crc[14] ^= 1;
  crc[central + 16] ^= 1;  // both headers agree on a wrong CRC-32
  cases.push_back({"wrong CRC-32", crc});
  Bytes longer = good;
  longer[22] ^= 0x01;
  longer[central + 24] ^= 0x01;  // both headers claim one more byte (or one less)
  cases.push_back({"wrong size", longer});
  Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(data + compressed / 2));
  Bytes cutTail(good.begin() + static_cast<std::ptrdiff_t>(central), good.end());
  cut.insert(cut.end(), cutTail.begin(), cutTail.end());
  cases.push_back({"truncated data", cut});
  cases.push_back({"no zip at all", RandomBytes(3000, 5)});
  cases.push_back({"too short for an end record", Bytes(10, 0)});

  for (const Case& c : cases) {
    TempDir dir;
    const std::wstring setup = SetupWithItems(dir, {ItemOf(c.zip, static_cast<uint32_t>(content.size()))});
    SetupPkg pkg;
    ASSERT_EQ(0, pkg.Open(setup)) << c.what;
    EXPECT_EQ(-1, pkg.ExtractAllProgramFiles(dir / L"out")) << c.what;
    EXPECT_FALSE(FileExists(dir / L"out\\big.txt")) << c.what << ": a partly written file is removed";
  }
}

TEST(PackageExtract, FirstFailingItemStopsThePackage) {
  TempDir dir;
  const std::wstring setup =
      SetupWithItems(dir, {ItemOf(ZipOf("one.txt", TextBytes("1")), 1), ItemOf(RandomBytes(100, 3), 1),
                           ItemOf(ZipOf("three.txt", TextBytes("3")), 1)});
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(setup));
  EXPECT_EQ(-1, pkg.ExtractAllProgramFiles(dir / L"out"));
  EXPECT_TRUE(FileExists(dir / L"out\\one.txt")) << "what was written before stays";
  EXPECT_FALSE(FileExists(dir / L"out\\three.txt"));
}

TEST(PackageExtract, AllProgramFilesComeOutExactly) {
  TempDir dir;
  const std::wstring setup = MakeMixedSetup(dir);
  ASSERT_FALSE(setup.empty());
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(setup));
  ProgramPackageUnpackedSize = -1;
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out"));
  int64_t total = 0;
  for (const SourceFile& file : MixedFiles()) {
    EXPECT_EQ(ReadBytes(dir / (L"out\\" + Utf8ToWide(file.path))), file.content) << file.path;
    EXPECT_TRUE(FileExists(dir / (L"out\\" + Utf8ToWide(file.path)))) << file.path;
    total += static_cast<int64_t>(file.content.size());
  }
  EXPECT_EQ(ProgramPackageUnpackedSize, total);
  // Extracting again over the same files replaces them.
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out"));
  EXPECT_EQ(ReadBytes(dir / L"out\\readme.txt"), MixedFiles()[0].content);
}

TEST(PackageExtract, ManyItemsStopAtTheFirstFailingOneInIndexOrder) {
  TempDir dir;
  std::vector<RawItem> items;
  for (int i = 0; i < 64; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    items.push_back(i == 40 ? ItemOf(RandomBytes(100, 7), 1) : ItemOf(ZipOf(name, TextBytes(name)), 6));
  }
  const std::wstring setup = SetupWithItems(dir, items);
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(setup));
  EXPECT_EQ(-1, pkg.ExtractAllProgramFiles(dir / L"out"));
  for (int i = 0; i < 40; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt";
    EXPECT_EQ(ReadBytes(dir / (L"out\\" + Utf8ToWide(name))), TextBytes(name)) << "every item before the failing one";
  }
}

TEST(PackageExtract, AFileNamedByManyItemsComesOutWhole) {
  TempDir dir;
  const Bytes content = RandomBytes(300000, 11);
  std::vector<RawItem> items;
  for (int i = 0; i < 48; ++i) items.push_back(ItemOf(ZipOf(i % 2 ? "same.bin" : "d/same.bin", content), 300000));
  const std::wstring setup = SetupWithItems(dir, items);
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(setup));
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out"));
  EXPECT_EQ(ReadBytes(dir / L"out\\same.bin"), content);
  EXPECT_EQ(ReadBytes(dir / L"out\\d\\same.bin"), content);
}

TEST(PackageExtract, ProgramFilesTakeTheirRecordTimesAsTheyComeOut) {
  TempDir dir;
  const std::wstring setup = MakeMixedSetup(dir);
  ASSERT_FALSE(setup.empty());
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(setup));
  const std::wstring timed = Utf8ToWide(MixedFiles()[1].path);
  const RecordFileTimes times = RecordFileTimesOf(1700000000123LL);
  pkg.SetProgramFileTimes({{timed, times}});
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out"));
  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW((dir / (L"out\\" + timed)).c_str(), GetFileExInfoStandard, &data));
  EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &times.written), 0);
  EXPECT_EQ(CompareFileTime(&data.ftLastAccessTime, &times.accessed), 0);
  ASSERT_TRUE(GetFileAttributesExW((dir / (L"out\\" + Utf8ToWide(MixedFiles()[0].path))).c_str(), GetFileExInfoStandard,
                                   &data));
  EXPECT_NE(CompareFileTime(&data.ftLastWriteTime, &times.written), 0) << "a file without a time keeps its own";
  EXPECT_EQ(ReadBytes(dir / (L"out\\" + timed)), MixedFiles()[1].content);
}
