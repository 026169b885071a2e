// The maker writes the format byte for byte: locator, heads, items, index, name table, tail.
#include <gtest/gtest.h>

#include <zlib.h>

#include <cstring>

#include "common/sys/text_convert.h"
#include "common/zip/md5.h"
#include "common/zip/zip_reader.h"
#include "engine/package/package_format.h"
#include "engine/package/setup_pkg.h"
#include "test_support.h"

using namespace pkgfmt;

namespace {

// The name table of a package, decoded: UTF-16 names with every byte inverted.
std::vector<std::wstring> DecodeNames(const Bytes& setup, uint64_t from, uint64_t to) {
  std::vector<std::wstring> names(1);
  for (uint64_t i = from; i + 1 < to; i += 2) {
    const wchar_t unit = static_cast<wchar_t>((setup[i] ^ 0xFF) | ((setup[i + 1] ^ 0xFF) << 8));
    if (unit == 0)
      names.emplace_back();
    else
      names.back() += unit;
  }
  names.pop_back();
  return names;
}

std::string Md5Of(const uint8_t* bytes, size_t length) {
  CMD5 md5;
  md5.Update(bytes, length);
  return std::string(reinterpret_cast<const char*>(md5.Final()), kDigestSize);
}

std::string DigestText(const uint8_t* digest) {
  return std::string(reinterpret_cast<const char*>(digest), kDigestSize);
}

// The one entry of an item's zip archive, read with the common zip reader.
std::pair<std::wstring, Bytes> UnzipOne(const uint8_t* zip, uint32_t size) {
  ZipHandle* handle = ZipReader::Open(zip, size);
  ZipItemInfo info;
  if (handle == nullptr || ZipReader::GetItem(handle, 0, &info) != 0) return {};
  Bytes content(static_cast<size_t>(info.uncompressedSize));
  if (!content.empty()) ZipReader::UnzipItem(handle, 0, content.data(), static_cast<uint32_t>(content.size()));
  ZipReader::Close(handle);
  return {info.name, content};
}

}  // namespace

TEST(PackageMaker, WritesTheFormatByteForByte) {
  TempDir dir;
  const std::wstring setupPath = MakeMixedSetup(dir);
  ASSERT_FALSE(setupPath.empty());
  const Bytes image = ReadBytes(dir / L"image.exe");
  const Bytes setup = ReadBytes(setupPath);

  // The image comes first, unchanged but for the locator (its own size) and the flag word.
  ASSERT_GT(setup.size(), image.size());
  EXPECT_EQ(Get32At(setup, kLocatorOffset), image.size());
  EXPECT_EQ(Get32At(setup, kFlagWordOffset), 0u);
  EXPECT_EQ(0, std::memcmp(setup.data(), image.data(), kLocatorOffset));
  EXPECT_EQ(0, std::memcmp(setup.data() + 0x38, image.data() + 0x38, image.size() - 0x38));

  SYSTEMTIME now{};
  GetSystemTime(&now);
  const std::vector<std::vector<SourceFile>> lists = {MixedFiles(), SetupPackageFiles()};
  uint64_t head = image.size();
  for (const auto& list : lists) {
    const PackageHead h = DecodeHead(&setup[head]);
    EXPECT_EQ(h.magic, kHeadMagic);
    EXPECT_EQ(h.version, 1u);
    EXPECT_EQ(h.itemCount, list.size());
    EXPECT_EQ(h.totalLength, h.tailOffset + kTailSize);
    EXPECT_EQ(h.reserved1, 0u);
    EXPECT_EQ(h.reserved2, 0u);
    uint32_t unpacked = 0;
    uint64_t at = head + kHeadSize;
    const uint64_t index = head + h.indexOffset;
    for (size_t i = 0; i < list.size(); ++i) {
      const PackageItemHeader item = DecodeItemHeader(&setup[at]);
      EXPECT_EQ(item.magic, kItemMagic);
      EXPECT_EQ(item.fileSize, list[i].content.size());
      EXPECT_EQ(item.crc32, crc32(0, &setup[at + kItemHeaderSize], item.zipSize));
      // The index holds a copy of each item header, in item order.
      EXPECT_EQ(0, std::memcmp(&setup[at], &setup[index + kIndexHeaderSize + kItemHeaderSize * i], kItemHeaderSize));
      const auto entry = UnzipOne(&setup[at + kItemHeaderSize], item.zipSize);
      std::wstring zipName = Utf8ToWide(list[i].path);
      for (wchar_t& c : zipName) c = c == L'\\' ? L'/' : c;
      EXPECT_EQ(entry.first, zipName);
      EXPECT_EQ(entry.second, list[i].content) << list[i].path;
      unpacked += item.fileSize;
      at += kItemHeaderSize + item.zipSize;
    }
    EXPECT_EQ(at, index) << "the index follows the last item";
    EXPECT_EQ(h.unpackedTotal, unpacked);
    const PackageIndexHeader x = DecodeIndexHeader(&setup[index]);
    EXPECT_EQ(x.magic, kIndexMagic);
    EXPECT_EQ(x.count, list.size());
    EXPECT_EQ(x.namesOffset, kIndexHeaderSize + kItemHeaderSize * list.size());
    const uint64_t tail = head + h.tailOffset;
    EXPECT_EQ(index + x.namesOffset + x.namesSize, tail) << "the name table ends where the tail begins";
    const std::vector<std::wstring> names = DecodeNames(setup, index + x.namesOffset, tail);
    ASSERT_EQ(names.size(), list.size());
    for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(names[i], Utf8ToWide(list[i].path));

    const PackageTail t = DecodeTail(&setup[tail]);
    EXPECT_EQ(t.magic, kTailMagic);
    EXPECT_EQ(t.totalLength, h.totalLength);
    EXPECT_EQ(DigestText(t.headDigest), Md5Of(&setup[head], kHeadSize));
    EXPECT_EQ(DigestText(t.indexDigest), Md5Of(&setup[index], x.namesOffset));
    EXPECT_EQ(DigestText(t.itemsDigest), Md5Of(&setup[head + kHeadSize], h.indexOffset - kHeadSize));
    // Build time in UTC: the same day and hour as the system's UTC clock (give or take a minute).
    FILETIME built{}, clock{};
    SYSTEMTIME buildTime{t.buildTime[0], t.buildTime[1], t.buildTime[2], t.buildTime[3],
                         t.buildTime[4], t.buildTime[5], t.buildTime[6], t.buildTime[7]};
    ASSERT_TRUE(SystemTimeToFileTime(&buildTime, &built));
    SystemTimeToFileTime(&now, &clock);
    const int64_t seconds = ((int64_t(clock.dwHighDateTime) << 32 | clock.dwLowDateTime) -
                             (int64_t(built.dwHighDateTime) << 32 | built.dwLowDateTime)) /
                            10000000;
    EXPECT_LE(seconds < 0 ? -seconds : seconds, 120);
    head += h.totalLength;
  }
  EXPECT_EQ(head, setup.size()) << "the last package ends the file";
}

TEST(PackageMaker, EmptyListMakesAnEmptyPackageTheReaderAccepts) {
  TempDir dir;
  WriteBytes(dir / L"image.exe", FakeImage());
  ASSERT_EQ(0, MakeSetup(dir / L"setup.exe", dir / L"image.exe", dir.path(), {{}, {}, {}}));
  const Bytes setup = ReadBytes(dir / L"setup.exe");
  const uint64_t head = 4096;
  const PackageHead h = DecodeHead(&setup[head]);
  EXPECT_EQ(h.itemCount, 0u);
  EXPECT_EQ(h.indexOffset, kHeadSize);
  EXPECT_EQ(h.tailOffset, kHeadSize + 32) << "index header and one zero record";
  const PackageIndexHeader x = DecodeIndexHeader(&setup[head + h.indexOffset]);
  EXPECT_EQ(x.count, 0u);
  EXPECT_EQ(x.namesOffset, 32u);
  EXPECT_EQ(x.namesSize, 0u);
  EXPECT_EQ(setup.size(), head + 3 * (kHeadSize + 32 + kTailSize));

  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(dir / L"setup.exe"));
  EXPECT_EQ(pkg.Packages().size(), 3u);
  EXPECT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out"));
  EXPECT_EQ(0, pkg.ExtractOtherPackages(dir / L"out"));
}

TEST(PackageMaker, PathsWithADriveTakeNewpathOrTheFileName) {
  TempDir dir;
  WriteBytes(dir / L"image.exe", FakeImage());
  WriteText(dir / L"outside\\x.txt", "x");
  WriteText(dir / L"src\\deep\\a\\b.txt", "b");
  const std::string absolute = WideToUtf8(dir / L"outside\\x.txt");
  ASSERT_EQ(absolute[1], ':');
  const auto records = Records({{absolute, "sub/y.txt"}, {absolute, ""}, {"deep\\a\\b.txt", ""}});
  ASSERT_EQ(0, MakeSetup(dir / L"setup.exe", dir / L"image.exe", dir / L"src", {records}));

  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(dir / L"setup.exe"));
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out"));
  EXPECT_EQ(ReadBytes(dir / L"out\\sub\\y.txt"), TextBytes("x"));
  EXPECT_EQ(ReadBytes(dir / L"out\\x.txt"), TextBytes("x"));
  EXPECT_EQ(ReadBytes(dir / L"out\\deep\\a\\b.txt"), TextBytes("b"));
  // The zip entry is written with "/", the name table keeps the record's "\".
  const PackageDescriptor& p = pkg.Packages()[0];
  const Bytes setup = ReadBytes(dir / L"setup.exe");
  const auto entry = UnzipOne(&setup[p.dataOffsets[2]], p.items[2].zipSize);
  EXPECT_EQ(entry.first, L"deep/a/b.txt");
  const std::vector<std::wstring> names = DecodeNames(setup, p.indexOffset + p.index.namesOffset, p.tailOffset);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"sub/y.txt", L"x.txt", L"deep\\a\\b.txt"}));
}

TEST(PackageMaker, RefusesMissingSourcesUnsafeNamesAndTinyImages) {
  TempDir dir;
  WriteBytes(dir / L"image.exe", FakeImage());
  WriteText(dir / L"src\\a.txt", "a");
  SetupPkg maker;
  maker.SetSourceFolder(dir / L"src");
  ASSERT_EQ(0, maker.CreateOutputFile(dir / L"setup.exe"));
  ASSERT_EQ(0, maker.BuildPackages(dir / L"image.exe", Records({{"a.txt", ""}}), 0));
  EXPECT_EQ(-1, maker.AddPackage(Records({{"missing.txt", ""}}), true));
  // A failed package leaves a partial package behind: nothing may follow it.
  EXPECT_EQ(-1, maker.AddPackage(Records({{"a.txt", ""}}), true));

  const std::string absolute = WideToUtf8(dir / L"src\\a.txt");
  for (const char* newPath : {"..\\evil.txt", "C:\\evil.txt", "a/../../evil.txt", "con.txt"}) {
    SetupPkg other;
    ASSERT_EQ(0, other.CreateOutputFile(dir / L"other.exe"));
    EXPECT_EQ(-1, other.BuildPackages(dir / L"image.exe", Records({{absolute, newPath}}), 0)) << newPath;
  }

  WriteBytes(dir / L"tiny.exe", Bytes(0x30, 'M'));
  SetupPkg tiny;
  ASSERT_EQ(0, tiny.CreateOutputFile(dir / L"tiny-setup.exe"));
  EXPECT_EQ(-1, tiny.BuildPackages(dir / L"tiny.exe", {}, 0));
  SetupPkg missing;
  ASSERT_EQ(0, missing.CreateOutputFile(dir / L"missing-setup.exe"));
  EXPECT_EQ(-1, missing.BuildPackages(dir / L"no-image.exe", {}, 0));
}

TEST(PackageMaker, WritesTheFlagWordAndKeepsEmptyFiles) {
  TempDir dir;
  WriteBytes(dir / L"image.exe", FakeImage());
  WriteBytes(dir / L"src\\empty.dat", Bytes());
  {
    SetupPkg maker;
    maker.SetSourceFolder(dir / L"src");
    ASSERT_EQ(0, maker.CreateOutputFile(dir / L"setup.exe"));
    ASSERT_EQ(0, maker.BuildPackages(dir / L"image.exe", Records({{"empty.dat", ""}}), 0x12345678));
  }  // the maker keeps its output open while it lives
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(dir / L"setup.exe"));
  EXPECT_EQ(Get32At(ReadBytes(dir / L"setup.exe"), kFlagWordOffset), 0x12345678u);
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir / L"out"));
  EXPECT_TRUE(FileExists(dir / L"out\\empty.dat"));
  EXPECT_TRUE(ReadBytes(dir / L"out\\empty.dat").empty());
  EXPECT_EQ(ProgramPackageUnpackedSize, 0);
}
