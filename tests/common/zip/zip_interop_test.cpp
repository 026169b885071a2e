// Archives made at build time by Debian's Info-ZIP `zip` (make_zip_fixtures.py): listed and
// unpacked with the right names, sizes, attributes, times and bytes.
#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "zip_test_util.h"

namespace {

const std::string kFixtures = ZIP_FIXTURE_DIR;

struct Expected {
  int64_t size;
  bool directory, readOnly;
  int64_t mtime, atime;
};

// manifest.tsv: name, size, kind (file/dir), read-only (0/1), last-write and last-access Unix times.
std::map<std::string, Expected> Manifest() {
  Bytes raw;
  EXPECT_TRUE(ReadWholeFile(WinePath(kFixtures + "/manifest.tsv"), &raw));
  std::map<std::string, Expected> manifest;
  std::istringstream lines(std::string(raw.begin(), raw.end()));
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string name, kind;
    Expected e{};
    std::getline(fields, name, '\t');
    fields >> e.size >> kind >> e.readOnly >> e.mtime >> e.atime;
    e.directory = kind == "dir";
    manifest[name] = e;
  }
  return manifest;
}

int64_t UnixTicks(int64_t seconds) { return 116444736000000000LL + seconds * 10000000; }

class DebianZipArchive : public ::testing::TestWithParam<const char*> {};

TEST_P(DebianZipArchive, ListsAndUnpacksEveryEntry) {
  const std::string archiveName = GetParam();
  const std::map<std::string, Expected> manifest = Manifest();
  ASSERT_EQ(10u, manifest.size());
  Bytes archive;
  ASSERT_TRUE(ReadWholeFile(WinePath(kFixtures + "/" + archiveName), &archive));
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader) << ZipReader::LastCode();
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &info));
  const int count = info.index;
  ASSERT_EQ(archiveName == "streamed.zip" ? 3 : 10, count);
  bool anyCompressed = false;
  for (int i = 0; i < count; ++i) {
    ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), i, &info));
    const std::string name = Utf8FromWide(info.name);
    SCOPED_TRACE(name);
    ASSERT_EQ(1u, manifest.count(name));
    const Expected& e = manifest.at(name);
    EXPECT_EQ(i, info.index);
    EXPECT_EQ(e.size, info.uncompressedSize);
    anyCompressed = anyCompressed || info.compressedSize < info.uncompressedSize;
    EXPECT_EQ(FILE_ATTRIBUTE_NORMAL | (e.directory ? FILE_ATTRIBUTE_DIRECTORY : 0) |
                  (e.readOnly ? FILE_ATTRIBUTE_READONLY : 0),
              info.attributes);
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
    Bytes expected;
    ASSERT_TRUE(ReadWholeFile(WinePath(kFixtures + "/tree/" + name), &expected));
    // In the caller's way (one buffer of the entry's size), and in odd pieces.
    for (uint32_t piece : {static_cast<uint32_t>(std::max<int64_t>(e.size, 1)), 1000u, 16385u}) {
      UnzipResult out = UnzipWhole(reader.get(), i, piece);
      EXPECT_EQ(kZipOk, out.code) << "piece " << piece;
      EXPECT_TRUE(expected == out.bytes) << "piece " << piece;
    }
  }
  EXPECT_EQ(archiveName != "stored.zip", anyCompressed);
}

// junk.zip has bytes in front without adjusted offsets; streamed.zip has data descriptors.
INSTANTIATE_TEST_SUITE_P(Fixtures, DebianZipArchive,
                         ::testing::Values("deflated.zip", "stored.zip", "junk.zip", "junk-adjusted.zip",
                                           "streamed.zip"));

}  // namespace
