// The walk over a program file's packages: verification, tampering, and sizes that do not
// fit the package.
#include <gtest/gtest.h>

#include <string>

#include "engine/package/package_format.h"
#include "engine/package/package_verify.h"
#include "engine/package/setup_pkg.h"
#include "test_support.h"

using namespace pkgfmt;

namespace {

struct Layout {
  uint64_t head0, head1, index0, tail0, names0;
};

Layout LayoutOf(const Bytes& setup) {
  Layout l{};
  l.head0 = Get32At(setup, kLocatorOffset);
  const PackageHead h = DecodeHead(&setup[l.head0]);
  l.index0 = l.head0 + h.indexOffset;
  l.tail0 = l.head0 + h.tailOffset;
  l.names0 = l.index0 + Get32At(setup, l.index0 + 8);
  l.head1 = l.head0 + h.totalLength;
  return l;
}

// Opens the bytes as a program file: the walk's result and the packages found.
int OpenBytes(const TempDir& dir, const Bytes& setup, size_t* packages, const wchar_t* name = L"t.exe") {
  WriteBytes(dir / name, setup);
  SetupPkg pkg;
  const int code = pkg.Open(dir / name);
  *packages = pkg.Packages().size();
  return code;
}

// The first package of the bytes, read and verified alone.
PackageReadResult ReadFirst(const TempDir& dir, const Bytes& setup) {
  WriteBytes(dir / L"first.exe", setup);
  PackageFile file;
  EXPECT_EQ(0u, file.Open(dir / L"first.exe"));
  PackageDescriptor d;
  return ReadPackageAt(file, Get32At(setup, kLocatorOffset), &d);
}

class PackageReader : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = MakeMixedSetup(dir_);
    ASSERT_FALSE(path_.empty());
    setup_ = ReadBytes(path_);
    layout_ = LayoutOf(setup_);
  }
  TempDir dir_;
  std::wstring path_;
  Bytes setup_;
  Layout layout_{};
};

}  // namespace

TEST_F(PackageReader, FindsBothPackagesWithTheirItems) {
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(path_));
  ASSERT_EQ(pkg.Packages().size(), 2u);
  const PackageDescriptor& p0 = pkg.Packages()[0];
  EXPECT_EQ(p0.headOffset, layout_.head0);
  EXPECT_EQ(p0.indexOffset, layout_.index0);
  EXPECT_EQ(p0.tailOffset, layout_.tail0);
  EXPECT_EQ(p0.items.size(), MixedFiles().size());
  EXPECT_EQ(p0.dataOffsets[0], layout_.head0 + kHeadSize + kItemHeaderSize);
  EXPECT_EQ(pkg.Packages()[1].headOffset, layout_.head1);
  EXPECT_EQ(pkg.Packages()[1].items.size(), SetupPackageFiles().size());
}

TEST_F(PackageReader, BareImageHasNoPackages) {
  WriteBytes(dir_ / L"bare.exe", FakeImage());
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(dir_ / L"bare.exe"));
  EXPECT_TRUE(pkg.Packages().empty());
  std::wstring name;
  EXPECT_EQ(-1, pkg.ExtractAllSetupFiles(dir_ / L"out", name));
  EXPECT_EQ(-1, pkg.ExtractAllProgramFiles(dir_ / L"out"));
}

TEST_F(PackageReader, OneChangedByteInEachCheckedAreaIsRefused) {
  struct Case {
    const char* area;
    uint64_t offset;
    int code;
  };
  const Layout& l = layout_;
  const Case cases[] = {
      {"head: item count", l.head0 + 12, kTailBadHeadDigest},
      {"head: unpacked total", l.head0 + 24, kTailBadHeadDigest},
      {"head: reserved", l.head0 + 30, kTailBadHeadDigest},
      {"index header: magic", l.index0, kTailBadIndexDigest},
      {"index header: count", l.index0 + 4, kTailBadIndexDigest},
      {"index: item record", l.index0 + kIndexHeaderSize + 9, kTailBadIndexDigest},
      {"items: first header", l.head0 + kHeadSize + 1, kTailBadItemsDigest},
      {"items: zip bytes", l.head0 + kHeadSize + 200, kTailBadItemsDigest},
      {"items: last byte", l.index0 - 1, kTailBadItemsDigest},
      {"tail: head digest", l.tail0 + 20, kTailBadHeadDigest},
      {"tail: index digest", l.tail0 + 40, kTailBadIndexDigest},
      {"tail: items digest", l.tail0 + 63, kTailBadItemsDigest},
      {"tail: magic", l.tail0 + 1, kTailBadFrame},
      {"tail: total length", l.tail0 + 5, kTailBadFrame},
  };
  for (const Case& c : cases) {
    Bytes bad = setup_;
    bad[c.offset] ^= 0x20;
    const PackageReadResult read = ReadFirst(dir_, bad);
    EXPECT_EQ(read.kind, PackageReadResult::kDamaged) << c.area;
    EXPECT_EQ(read.code, c.code) << c.area;
    size_t packages = 0;
    EXPECT_EQ(-2, OpenBytes(dir_, bad, &packages)) << c.area;
    EXPECT_EQ(packages, 0u) << c.area;
  }
}

// The packages are digested in parallel, but the walk tells only what the first failing
// package holds: a later fault is neither reported nor logged, and no head past a bad one is read.
TEST_F(PackageReader, FirstFailingPackageAloneDecidesAndIsLogged) {
  Bytes bad = setup_;
  bad[layout_.head0 + kHeadSize + 200] ^= 0x20;  // package #0: items digest
  const uint64_t index1 = layout_.head1 + DecodeHead(&bad[layout_.head1]).indexOffset;
  Put32At(&bad, index1 + 12, 0xFFFFFFF0u);  // package #1: names size over its index
  const std::wstring logFolder = dir_ / L"log";
  ASSERT_TRUE(StartLogIn(logFolder));
  size_t packages = 9;
  EXPECT_EQ(-2, OpenBytes(dir_, bad, &packages));
  EXPECT_EQ(packages, 0u);
  const std::string log = StopLogAndRead(logFolder);
  EXPECT_NE(log.find("Pkg Tail verify failed | iret -3"), std::string::npos) << log;
  EXPECT_EQ(log.find("Pkg Index verify failed"), std::string::npos) << log;

  PackageFile file;
  ASSERT_EQ(0u, file.Open(dir_ / L"t.exe"));
  EXPECT_EQ(ChainedHeads(file, layout_.head0), (std::vector<uint64_t>{layout_.head0, layout_.head1}));
  Put32At(&bad, layout_.head0 + 4, 2);  // package #0: a head of another version
  WriteBytes(dir_ / L"bad-head.exe", bad);
  ASSERT_EQ(0u, file.Open(dir_ / L"bad-head.exe"));
  EXPECT_TRUE(ChainedHeads(file, layout_.head0).empty());
}

TEST_F(PackageReader, ChangedNameTableByteIsNotChecked) {
  Bytes bad = setup_;
  bad[layout_.names0 + 3] ^= 0x55;
  size_t packages = 0;
  ASSERT_EQ(0, OpenBytes(dir_, bad, &packages));
  EXPECT_EQ(packages, 2u);
  SetupPkg pkg;
  ASSERT_EQ(0, pkg.Open(dir_ / L"t.exe"));
  ASSERT_EQ(0, pkg.ExtractAllProgramFiles(dir_ / L"out"));
  EXPECT_EQ(ReadBytes(dir_ / L"out\\readme.txt"), MixedFiles()[0].content) << "names come from the zip entries";
}

TEST_F(PackageReader, BytesAfterTheLastPackageEndTheWalk) {
  for (size_t extra : {size_t(1), size_t(10), size_t(35), size_t(36), size_t(5000)}) {
    Bytes signed_ = setup_;
    const Bytes signature = RandomBytes(extra, static_cast<uint32_t>(extra));
    signed_.insert(signed_.end(), signature.begin(), signature.end());
    size_t packages = 0;
    EXPECT_EQ(0, OpenBytes(dir_, signed_, &packages)) << extra;
    EXPECT_EQ(packages, 2u) << extra;
  }
}

TEST_F(PackageReader, BadHeadOfTheSecondPackageEndsTheWalkThere) {
  for (uint64_t offset : {uint64_t(0), uint64_t(4)}) {  // magic, then version 2
    Bytes bad = setup_;
    if (offset == 0)
      bad[layout_.head1] ^= 1;
    else
      Put32At(&bad, layout_.head1 + 4, 2);
    size_t packages = 0;
    ASSERT_EQ(0, OpenBytes(dir_, bad, &packages));
    EXPECT_EQ(packages, 1u);
    SetupPkg pkg;
    ASSERT_EQ(0, pkg.Open(dir_ / L"t.exe"));
    std::wstring name;
    EXPECT_EQ(-1, pkg.ExtractAllSetupFiles(dir_ / L"setup", name));
    EXPECT_EQ(0, pkg.ExtractAllProgramFiles(dir_ / L"program")) << "package #0 stays usable";
  }
}

TEST_F(PackageReader, HeadChecksEndTheWalkInOrder) {
  struct Case {
    const char* what;
    uint64_t field;
    uint32_t value;
    int code;
  };
  const PackageHead h = DecodeHead(&setup_[layout_.head0]);
  const Case cases[] = {
      {"version", 4, 7, kHeadBadVersion},
      {"index offset at the tail", 16, h.tailOffset, kHeadBadIndexOffset},
      {"index offset inside the head", 16, 20, kHeadBadIndexOffset},
      {"index offset past the tail", 16, 0xFFFFFFF0u, kHeadBadIndexOffset},
      {"total length", 8, h.totalLength + 1, kHeadBadTotalLength},
      {"tail offset wraps with 80", 20, 0xFFFFFFF0u, kHeadBadTotalLength},
  };
  for (const Case& c : cases) {
    Bytes bad = setup_;
    Put32At(&bad, layout_.head0 + c.field, c.value);
    const PackageReadResult read = ReadFirst(dir_, bad);
    EXPECT_EQ(read.kind, PackageReadResult::kNoHead) << c.what;
    EXPECT_EQ(read.code, c.code) << c.what;
  }
  // A package longer than the file: the head points past its end.
  Bytes cut(setup_.begin(), setup_.begin() + static_cast<std::ptrdiff_t>(layout_.head1 - 1));
  const PackageReadResult read = ReadFirst(dir_, cut);
  EXPECT_EQ(read.kind, PackageReadResult::kNoHead);
  EXPECT_EQ(read.code, kHeadBeyondFile);
}

TEST_F(PackageReader, LocatorOutsideTheFileMeansNoPackage) {
  for (uint32_t locator : {uint32_t(setup_.size()), uint32_t(setup_.size() + 100), 0xFFFFFFFFu}) {
    Bytes bad = setup_;
    Put32At(&bad, kLocatorOffset, locator);
    size_t packages = 9;
    EXPECT_EQ(0, OpenBytes(dir_, bad, &packages));
    EXPECT_EQ(packages, 0u);
  }
  WriteBytes(dir_ / L"short.exe", Bytes(0x31, 'M'));
  SetupPkg pkg;
  EXPECT_EQ(ERROR_HANDLE_EOF, pkg.Open(dir_ / L"short.exe")) << "no room for the locator";
}

// Sizes that do not fit the package are refused before use, even when the digests were
// recomputed to match them.
TEST_F(PackageReader, SizesOutsideThePackageAreRefusedWithoutUse) {
  struct Case {
    const char* what;
    uint64_t offset;
    uint32_t value;
    bool reseal;
  };
  const Case cases[] = {
      {"huge item count", layout_.index0 + 4, 0x0FFFFFFFu, true},
      {"item count one too many", layout_.index0 + 4, Get32At(setup_, layout_.index0 + 4) + 1, true},
      {"huge zip size in a record", layout_.index0 + kIndexHeaderSize + 8, 0xFFFFFF00u, true},
      {"zip size one too large", layout_.index0 + kIndexHeaderSize + 8,
       Get32At(setup_, layout_.index0 + kIndexHeaderSize + 8) + 0x100000, true},
      {"huge names size", layout_.index0 + 12, 0xFFFFFFF0u, false},
      {"names size over the index", layout_.index0 + 12, static_cast<uint32_t>(layout_.tail0 - layout_.index0), false},
  };
  for (const Case& c : cases) {
    Bytes bad = setup_;
    Put32At(&bad, c.offset, c.value);
    if (c.reseal) Reseal(&bad, layout_.head0);
    const PackageReadResult read = ReadFirst(dir_, bad);
    EXPECT_EQ(read.kind, PackageReadResult::kDamaged) << c.what;
    EXPECT_EQ(read.code, kBadLayout) << c.what;
    size_t packages = 0;
    EXPECT_EQ(-2, OpenBytes(dir_, bad, &packages)) << c.what;
  }
}

TEST_F(PackageReader, GetInstanceOfAProgramWithoutPackagesIsEmpty) {
  // The test program carries no package: its word at 0x30 is zero.
  SetupPkg& own = SetupPkg::GetInstance();
  EXPECT_TRUE(own.Packages().empty());
  EXPECT_EQ(&own, &SetupPkg::GetInstance());
}
