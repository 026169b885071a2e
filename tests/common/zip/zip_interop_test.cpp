// Archives made at build time by Debian's Info-ZIP `zip` (make_zip_fixtures.py): listed
// and unpacked with the right names, sizes, attributes, times and bytes.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "zip_test_util.h"

namespace {

const std::string kFixtures = ZIP_FIXTURE_DIR;

struct Expected {
  int64_t size = 0;
  bool directory = false;
  bool readOnly = false;
  int64_t mtime = 0;
  int64_t atime = 0;
};

std::map<std::string, Expected> Manifest() {
  Bytes raw;
  EXPECT_TRUE(ReadWholeFile(WinePath(kFixtures + "/manifest.tsv"), &raw));
  std::map<std::string, Expected> manifest;
  std::istringstream lines(std::string(raw.begin(), raw.end()));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string name, size, kind, readOnly, mtime, atime;
    std::getline(fields, name, '\t');
    fields >> size >> kind >> readOnly >> mtime >> atime;
    manifest[name] = Expected{std::stoll(size), kind == "dir", readOnly == "1", std::stoll(mtime), std::stoll(atime)};
  }
  return manifest;
}

int64_t UnixTicks(int64_t seconds) { return 116444736000000000LL + seconds * 10000000; }

Bytes TreeFile(const std::string& name) {
  Bytes bytes;
  EXPECT_TRUE(ReadWholeFile(WinePath(kFixtures + "/tree/" + name), &bytes)) << name;
  return bytes;
}

class DebianZipArchive : public ::testing::TestWithParam<const char*> {};

TEST_P(DebianZipArchive, ListsAndUnpacksEveryEntry) {
  const std::map<std::string, Expected> manifest = Manifest();
  ASSERT_EQ(10u, manifest.size());
  Bytes archive;
  ASSERT_TRUE(ReadWholeFile(WinePath(kFixtures + "/" + GetParam()), &archive));
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
  ASSERT_TRUE(reader) << ZipReader::LastCode();
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &info));
  const int count = info.index;
  ASSERT_EQ(std::string(GetParam()) == "streamed.zip" ? 3 : 10, count);
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), i, &info));
    const std::string name = Utf8FromWide(info.name);
    SCOPED_TRACE(name);
    ASSERT_EQ(1u, manifest.count(name));
    const Expected& e = manifest.at(name);
    EXPECT_EQ(i, info.index);
    EXPECT_EQ(e.size, info.uncompressedSize);
    DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    if (e.directory) attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if (e.readOnly) attributes |= FILE_ATTRIBUTE_READONLY;
    EXPECT_EQ(attributes, info.attributes);
    // Last write and access from the "UT" field; creation from the DOS time (zip ran in UTC).
    // zip's own reading may move the access time on from the one the files were given.
    EXPECT_EQ(UnixTicks(e.mtime), FileTimeTicks(info.lastWriteTime));
    EXPECT_GE(FileTimeTicks(info.lastAccessTime), UnixTicks(e.atime));
    EXPECT_EQ(UnixTicks(e.mtime), FileTimeTicks(info.creationTime));
    if (e.directory) {
      uint8_t byte;
      EXPECT_EQ(kZipOk, ZipReader::UnzipItem(reader.get(), i, &byte, 0));
      continue;
    }
    const Bytes expected = TreeFile(name);
    // Whole, in the caller's way (one buffer of the entry's size), and in odd pieces.
    for (uint32_t piece : {static_cast<uint32_t>(e.size), 1000u, 16385u}) {
      if (piece == 0) piece = 1;
      UnzipResult out = UnzipWhole(reader.get(), i, piece);
      EXPECT_EQ(kZipOk, out.code) << "piece " << piece;
      EXPECT_TRUE(expected == out.bytes) << "piece " << piece;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, DebianZipArchive,
                         ::testing::Values("deflated.zip", "stored.zip", "junk.zip", "junk-adjusted.zip",
                                           "streamed.zip"));

TEST(DebianZipMethods, DeflatedAndStoredArchivesDifferInMethod) {
  for (const char* name : {"deflated.zip", "stored.zip"}) {
    Bytes archive;
    ASSERT_TRUE(ReadWholeFile(WinePath(kFixtures + "/" + name), &archive));
    UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
    ASSERT_TRUE(reader);
    ZipItemInfo info;
    bool anyCompressed = false;
    for (int i = 0; i < 10; ++i) {
      ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), i, &info));
      if (info.compressedSize < info.uncompressedSize) anyCompressed = true;
    }
    EXPECT_EQ(std::string(name) == "deflated.zip", anyCompressed) << name;
  }
}

}  // namespace
