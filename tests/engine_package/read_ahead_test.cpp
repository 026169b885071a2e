// Work on a program file done ahead: what it hands out is what the package reader would
// read, it serves only the very file it read, and it keeps quiet about what it cannot do.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "engine/package/package_format.h"
#include "engine/package/package_read_ahead.h"
#include "engine/package/setup_pkg.h"
#include "test_support.h"

using namespace pkgfmt;

namespace {

// A setup program like MakeMixedSetup's whose setup package holds the skin archive given.
std::wstring SetupWithSkin(const TempDir& dir, const std::wstring& name, const Bytes& skin) {
  std::vector<SourceFile> setupFiles = SetupPackageFiles();
  setupFiles.back().content = skin;
  const std::wstring source = dir / (name + L".source");
  WriteSources(source, MixedFiles());
  WriteSources(source, setupFiles);
  WriteBytes(dir / L"image.exe", FakeImage());
  const std::wstring out = dir / name;
  EXPECT_EQ(0, MakeSetup(out, dir / L"image.exe", source, {RecordsOf(MixedFiles()), RecordsOf(setupFiles)}));
  return out;
}

}  // namespace

TEST(PackageReadAhead, HandsOutEachSetupFileOnceAndTheDigestsOfItsFile) {
  TempDir dir;
  const std::wstring setup = MakeMixedSetup(dir);
  ASSERT_FALSE(setup.empty());
  SetupPkg reference;
  ASSERT_EQ(0, reference.Open(setup));
  PackageReadAhead ahead(setup);
  const std::vector<SourceFile> files = SetupPackageFiles();
  const PackageDescriptor& setupPackage = reference.Packages()[1];
  ASSERT_EQ(setupPackage.items.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    const uint64_t at = setupPackage.dataOffsets[i];
    const uint32_t zipSize = setupPackage.items[i].zipSize;
    EXPECT_EQ(ahead.TakeEntry(at, zipSize), std::optional<Bytes>(files[i].content)) << files[i].path;
    EXPECT_FALSE(ahead.TakeEntry(at, zipSize).has_value()) << files[i].path << " is handed out once";
  }
  const PackageDescriptor& programPackage = reference.Packages()[0];
  EXPECT_FALSE(ahead.TakeEntry(programPackage.dataOffsets[0], programPackage.items[0].zipSize).has_value())
      << "the program package is left to the install job";
  for (const PackageDescriptor& package : reference.Packages()) {
    const std::optional<PackageDigests> digests = ahead.DigestsAt(package.headOffset);
    ASSERT_TRUE(digests.has_value());
    EXPECT_EQ(0, memcmp(digests->index, package.tail.indexDigest, kDigestSize));
    EXPECT_EQ(0, memcmp(digests->items, package.tail.itemsDigest, kDigestSize));
  }
  EXPECT_FALSE(ahead.DigestsAt(setupPackage.headOffset + 1).has_value());
}

// Two setups of one layout whose skins differ: the work done on the one must not make the
// reader accept or write anything of the other.
TEST(PackageReadAhead, ServesOnlyTheFileItRead) {
  TempDir dir;
  const std::wstring first = SetupWithSkin(dir, L"first.exe", RandomBytes(9000, 22));
  const Bytes otherSkin = RandomBytes(9000, 23);
  const std::wstring second = SetupWithSkin(dir, L"second.exe", otherSkin);
  ASSERT_EQ(ReadBytes(first).size(), ReadBytes(second).size()) << "stored skins: one layout";

  SetupPkg pkg;
  pkg.UseReadAhead(std::make_unique<PackageReadAhead>(first));
  ASSERT_EQ(0, pkg.Open(second));
  std::wstring productConfig;
  ASSERT_EQ(0, pkg.ExtractAllSetupFiles(dir / L"out", productConfig));
  EXPECT_EQ(ReadBytes(dir / L"out\\setup\\PackageManager.zip"), otherSkin);

  Bytes damaged = ReadBytes(second);
  const uint64_t head0 = Get32At(damaged, kLocatorOffset);
  const uint64_t head1 = head0 + DecodeHead(&damaged[head0]).totalLength;
  damaged[head1 + kHeadSize + 40] ^= 0x01;
  WriteBytes(dir / L"damaged.exe", damaged);
  SetupPkg refusing;
  refusing.UseReadAhead(std::make_unique<PackageReadAhead>(first));
  EXPECT_EQ(-2, refusing.Open(dir / L"damaged.exe")) << "the other file's digests are not taken";
}

// A sealed setup package whose item is no zip archive: nothing is logged ahead, and the
// extraction fails with the code and the lines it has without work done ahead.
TEST(PackageReadAhead, KeepsQuietAndLeavesFailuresToTheExtraction) {
  TempDir dir;
  const Bytes image = FakeImage();
  const Bytes program = BuildRawPackage({RawItem{ZipOf("a.txt", TextBytes("a")), 1}}, {L"a.txt"});
  const Bytes setupPackage = BuildRawPackage({RawItem{RandomBytes(3000, 9), 3000}}, {L"x"});
  WriteBytes(dir / L"s.exe", SetupOf(image, {program, setupPackage}));
  const uint64_t itemData = image.size() + program.size() + kHeadSize + kItemHeaderSize;
  const std::wstring logFolder = dir / L"log";
  ASSERT_TRUE(StartLogIn(logFolder));
  PackageReadAhead ahead(dir / L"s.exe");
  EXPECT_TRUE(ahead.DigestsAt(image.size()).has_value());
  EXPECT_FALSE(ahead.TakeEntry(itemData, 3000).has_value());

  SetupPkg pkg;
  pkg.UseReadAhead(std::make_unique<PackageReadAhead>(dir / L"s.exe"));
  ASSERT_EQ(0, pkg.Open(dir / L"s.exe"));
  std::wstring productConfig;
  EXPECT_EQ(-1, pkg.ExtractAllSetupFiles(dir / L"out", productConfig));
  const std::string log = StopLogAndRead(logFolder);
  const std::string noArchive = "ZipReader::Open, no end of central directory record";
  const size_t first = log.find(noArchive);
  EXPECT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find(noArchive, first + 1), std::string::npos) << "logged by the extraction alone:\n" << log;
  EXPECT_NE(log.find("UnzipToFolder, the item at " + std::to_string(itemData) + " is no zip archive, code -1"),
            std::string::npos)
      << log;
}
