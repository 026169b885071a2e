// The reader on archives built byte by byte: header fields, times, attributes and the
// refusals of inconsistent archives.
#include <gtest/gtest.h>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "zip_builder.h"

namespace {

UniqueZipHandle OpenBytes(const Bytes& archive) {
  return UniqueZipHandle(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
}

FILETIME Unix(int32_t seconds) {
  const int64_t ticks = 116444736000000000LL + static_cast<int64_t>(seconds) * 10000000;
  return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32)};
}

FILETIME Dos(uint32_t dosDateTime) {
  FILETIME ft{0, 0};
  DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime), &ft);
  return ft;
}

ZipItemInfo ItemOf(const BuiltEntry& entry) {
  BuiltArchive layout;
  layout.entries.push_back(entry);
  const Bytes archive = BuildArchive(layout);
  UniqueZipHandle reader = OpenBytes(archive);
  ZipItemInfo info;
  EXPECT_TRUE(reader);
  if (reader) {
    EXPECT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 0, &info));
  }
  return info;
}

BuiltEntry Entry(const std::string& name, const Bytes& content) {
  BuiltEntry e;
  e.name = name;
  e.content = content;
  return e;
}

TEST(ZipReaderTimes, DosTimeWithoutExtraField) {
  const ZipItemInfo info = ItemOf(Entry("a.txt", {'a'}));
  EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.lastWriteTime));
  EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.creationTime));
  EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.lastAccessTime));
}

TEST(ZipReaderTimes, TimestampFlags5SetLastWriteAndCreation) {
  BuiltEntry e = Entry("a.txt", {'a'});
  e.localExtra = TimestampBlock(5, {1600000000, 1500000000});
  const ZipItemInfo info = ItemOf(e);
  EXPECT_EQ(FileTimeTicks(Unix(1600000000)), FileTimeTicks(info.lastWriteTime));
  EXPECT_EQ(FileTimeTicks(Unix(1500000000)), FileTimeTicks(info.creationTime));
  EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.lastAccessTime));
}

TEST(ZipReaderTimes, TimestampAfterOtherBlocksAndNegativeTimes) {
  BuiltEntry e = Entry("a.txt", {'a'});
  e.localExtra = {0x75, 0x78, 3, 0, 1, 2, 3};  // an "ux" block first
  const Bytes ut = TimestampBlock(7, {-86400, 0, 2000000000});
  e.localExtra.insert(e.localExtra.end(), ut.begin(), ut.end());
  const ZipItemInfo info = ItemOf(e);
  EXPECT_EQ(FileTimeTicks(Unix(-86400)), FileTimeTicks(info.lastWriteTime));
  EXPECT_EQ(FileTimeTicks(Unix(0)), FileTimeTicks(info.lastAccessTime));
  EXPECT_EQ(FileTimeTicks(Unix(2000000000)), FileTimeTicks(info.creationTime));
}

TEST(ZipReaderTimes, TimestampReadOnlyWithinItsBlock) {
  // Flags promise three times, the block holds one: only that one is read.
  BuiltEntry e = Entry("a.txt", {'a'});
  e.localExtra = TimestampBlock(7, {1600000000}, 5);
  e.localExtra.insert(e.localExtra.end(), {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});
  ZipItemInfo info = ItemOf(e);
  EXPECT_EQ(FileTimeTicks(Unix(1600000000)), FileTimeTicks(info.lastWriteTime));
  EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.lastAccessTime));
  EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.creationTime));

  // A block claiming more than the field holds is not read at all.
  e.localExtra = TimestampBlock(1, {1600000000}, 200);
  info = ItemOf(e);
  EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.lastWriteTime));

  // A flag byte with no time behind it, and an empty block.
  for (const Bytes& extra : {TimestampBlock(1, {}), TimestampBlock(1, {}, 0), Bytes{0x55, 0x54, 2, 0, 1, 0}}) {
    e.localExtra = extra;
    info = ItemOf(e);
    EXPECT_EQ(FileTimeTicks(Dos(0x52A46000)), FileTimeTicks(info.lastWriteTime));
  }
}

TEST(ZipReaderAttributes, FromUnixAndDosBits) {
  struct Case {
    uint32_t external;
    DWORD expected;
  } cases[] = {
      {0x81A40000, FILE_ATTRIBUTE_NORMAL},                                 // -rw-r--r--
      {0x81240001, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_READONLY},       // -r--r--r--
      {0x41ED0010, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY},      // drwxr-xr-x
      {0x00800020, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE},
      {0x00800026, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {0x00000020, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
  };
  for (const Case& c : cases) {
    BuiltEntry e = Entry("a", {'a'});
    e.externalAttributes = c.external;
    EXPECT_EQ(c.expected, ItemOf(e).attributes) << std::hex << c.external;
  }
}

TEST(ZipReaderOpen, JunkBeforeTheArchiveShiftsEveryOffset) {
  BuiltArchive layout;
  layout.junkBefore = RandomBytes(5000, 9);
  layout.entries = {Entry("one.txt", CompressibleBytes(3000, 1)), Entry("two.bin", RandomBytes(700, 2))};
  layout.entries[1].method = 0;
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(BuildArchive(layout), &contents));
  EXPECT_EQ(layout.entries[0].content, contents[0]);
  EXPECT_EQ(layout.entries[1].content, contents[1]);
}

TEST(ZipReaderOpen, EmptyArchiveOpensWithZeroEntries) {
  BuiltArchive layout;
  const Bytes archive = BuildArchive(layout);
  ASSERT_EQ(22u, archive.size());
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &info));
  EXPECT_EQ(0, info.index);
  uint8_t byte;
  EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader.get(), 0, &byte, 1));
  // With a comment and junk in front too.
  layout.comment = "no files here";
  layout.junkBefore = {'M', 'Z', 0, 0};
  EXPECT_TRUE(OpenBytes(BuildArchive(layout)));
}

TEST(ZipReaderOpen, EndRecordIsLookedForInTheLast65535Bytes) {
  BuiltArchive layout;
  layout.entries = {Entry("a.txt", {'a'})};
  layout.comment = std::string(65535 - 22, 'c');
  EXPECT_TRUE(OpenBytes(BuildArchive(layout)));
  layout.comment = std::string(65535 - 21, 'c');
  EXPECT_FALSE(OpenBytes(BuildArchive(layout)));
  EXPECT_EQ(kZipOpenFailed, ZipReader::LastCode());
}

TEST(ZipReaderOpen, RefusesSplitAndInconsistentArchives) {
  BuiltArchive layout;
  layout.entries = {Entry("a.txt", {'a'}), Entry("b.txt", {'b'})};
  layout.disk = 1;
  EXPECT_FALSE(OpenBytes(BuildArchive(layout)));
  EXPECT_EQ(kZipInconsistent, ZipReader::LastCode());

  layout.disk = 0;
  layout.entriesInEndRecord = 3;  // more entries than the directory holds
  EXPECT_FALSE(OpenBytes(BuildArchive(layout)));
  EXPECT_EQ(kZipInconsistent, ZipReader::LastCode());

  layout.entriesInEndRecord = -1;
  Bytes archive = BuildArchive(layout);
  archive[archive.size() - 10] += 1;  // directory size reaching past the end record
  EXPECT_FALSE(OpenBytes(archive));
  EXPECT_EQ(kZipInconsistent, ZipReader::LastCode());

  // A directory offset too small: the directory is still found before the end record,
  // but every local header is looked for in the wrong place.
  archive = BuildArchive(layout);
  archive[archive.size() - 6] -= 1;
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  EXPECT_EQ(kZipBadLocalHeader, ZipReader::GetItem(reader.get(), 1, &info));

  EXPECT_FALSE(ZipReader::Open(nullptr, 0));
  const Bytes tiny = {'P', 'K', 5, 6};
  EXPECT_FALSE(OpenBytes(tiny));
  EXPECT_EQ(kZipOpenFailed, ZipReader::LastCode());
}

TEST(ZipReaderIndex, NegativeAndTooLargeIndicesAreRefused) {
  BuiltArchive layout;
  layout.entries = {Entry("a.txt", {'a'}), Entry("b.txt", {'b'}), Entry("c.txt", {'c'})};
  const Bytes archive = BuildArchive(layout);
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &info));
  EXPECT_EQ(3, info.index);
  EXPECT_EQ(L"", info.name);
  EXPECT_EQ(0, info.uncompressedSize);
  EXPECT_EQ(kZipBadArgument, ZipReader::GetItem(reader.get(), -2, &info));
  EXPECT_EQ(kZipBadArgument, ZipReader::GetItem(reader.get(), 3, &info));
  EXPECT_EQ(kZipBadArgument, ZipReader::GetItem(reader.get(), 0, nullptr));
  uint8_t buffer[4];
  EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader.get(), -1, buffer, 4));
  EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader.get(), -7, buffer, 4));
  EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader.get(), 3, buffer, 4));
  EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader.get(), 0, nullptr, 4));
  EXPECT_EQ(kZipBadArgument, ZipReader::LastCode());
  EXPECT_EQ(Bytes{'b'}, UnzipWhole(reader.get(), 1, 4).bytes);
}

TEST(ZipReaderData, DataDescriptorEntriesTakeTheirSizesFromTheDirectory) {
  BuiltEntry e = Entry("streamed.txt", CompressibleBytes(9000, 3));
  e.flag = 0x0008;
  e.zeroLocalSizes = true;
  BuiltArchive layout;
  layout.entries = {e};
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(BuildArchive(layout), &contents));
  EXPECT_EQ(e.content, contents[0]);
}

// Reads entry 0 of a one-entry archive whole; the code of the last read.
int UnzipOnlyEntry(const BuiltEntry& e, int* getItemCode = nullptr) {
  BuiltArchive layout;
  layout.entries = {e};
  const Bytes archive = BuildArchive(layout);
  UniqueZipHandle reader = OpenBytes(archive);
  if (!reader) return -9999;
  ZipItemInfo info;
  const int itemCode = ZipReader::GetItem(reader.get(), 0, &info);
  if (getItemCode != nullptr) *getItemCode = itemCode;
  Bytes buffer(e.content.size() + 64);
  int code;
  do {
    code = ZipReader::UnzipItem(reader.get(), 0, buffer.data(), static_cast<uint32_t>(buffer.size()));
  } while (code == kZipMoreData);
  return code;
}

TEST(ZipReaderData, CrcIsCheckedWhenTheLastByteIsRead) {
  for (uint16_t method : {0, 8}) {
    BuiltEntry e = Entry("a.txt", CompressibleBytes(5000, 4));
    e.method = method;
    e.overrideCrc = true;
    e.crc32 = 0x12345678;
    BuiltArchive layout;
    layout.entries = {e};
    const Bytes archive = BuildArchive(layout);
    UniqueZipHandle reader = OpenBytes(archive);
    ASSERT_TRUE(reader);
    Bytes buffer(5000);
    EXPECT_EQ(kZipMoreData, ZipReader::UnzipItem(reader.get(), 0, buffer.data(), 4000)) << method;
    EXPECT_EQ(kZipDataFailed, ZipReader::UnzipItem(reader.get(), 0, buffer.data(), 4000)) << method;
    EXPECT_EQ(kZipDataFailed, ZipReader::LastCode());
  }
}

TEST(ZipReaderData, InflateErrorIsAnError) {
  BuiltEntry e = Entry("a.txt", CompressibleBytes(2000, 5));
  e.overrideData = true;
  e.data = Bytes(200, 0xFF);  // block type 3 does not exist
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(e));
}

TEST(ZipReaderData, SizesThatDoNotFitTheDataAreRefused) {
  const Bytes content = CompressibleBytes(3000, 6);
  // Deflate data that end before the size the headers give.
  BuiltEntry longer = Entry("a.txt", content);
  longer.overrideSizes = true;
  longer.compressedSize = static_cast<uint32_t>(RawDeflate(content).size());
  longer.uncompressedSize = 3500;
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(longer));
  // Deflate data that go on past it.
  BuiltEntry shorter = longer;
  shorter.uncompressedSize = 2500;
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(shorter));
  // Deflate data cut short.
  BuiltEntry cut = Entry("a.txt", content);
  cut.overrideData = true;
  cut.data = RawDeflate(content);
  cut.data.resize(cut.data.size() / 2);
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(cut));
  // Stored data whose two sizes differ.
  int itemCode = 0;
  BuiltEntry stored = Entry("a.txt", content);
  stored.method = 0;
  stored.overrideSizes = true;
  stored.compressedSize = 3000;
  stored.uncompressedSize = 3001;
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(stored, &itemCode));
  EXPECT_EQ(kZipBadLocalHeader, itemCode);
  // A size beyond what DEFLATE can expand to.
  BuiltEntry bomb = Entry("a.txt", content);
  bomb.overrideSizes = true;
  bomb.compressedSize = static_cast<uint32_t>(RawDeflate(content).size());
  bomb.uncompressedSize = 0x7FFFFFF0;
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(bomb, &itemCode));
  EXPECT_EQ(kZipBadLocalHeader, itemCode);
  // Compressed data beyond the archive's end.
  BuiltEntry beyond = Entry("a.txt", content);
  beyond.overrideSizes = true;
  beyond.compressedSize = 0x10000000;
  beyond.uncompressedSize = 3000;
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(beyond, &itemCode));
  EXPECT_EQ(kZipBadLocalHeader, itemCode);
}

TEST(ZipReaderData, UnknownMethodsAndEncryptionAreRefused) {
  int itemCode = 0;
  BuiltEntry bzip = Entry("a.txt", {'a', 'b'});
  bzip.method = 12;
  bzip.overrideData = true;
  bzip.data = {'a', 'b'};
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(bzip, &itemCode));
  EXPECT_EQ(kZipBadLocalHeader, itemCode);
  BuiltEntry encrypted = Entry("a.txt", {'a', 'b'});
  encrypted.flag = 1;
  EXPECT_EQ(kZipDataFailed, UnzipOnlyEntry(encrypted, &itemCode));
  EXPECT_EQ(kZipBadLocalHeader, itemCode);
}

TEST(ZipReaderData, ExtraFieldCutOffByTheArchiveEnd) {
  // The local extra length points past the block's end, while the directory is sound.
  BuiltEntry e = Entry("a.txt", {});
  e.method = 0;
  BuiltArchive layout;
  layout.entries = {e};
  Bytes archive = BuildArchive(layout);
  archive[28] = 0xFF;  // local extra length 0xFFFF
  archive[29] = 0xFF;
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  EXPECT_EQ(kZipBadExtraField, ZipReader::GetItem(reader.get(), 0, &info));
  uint8_t byte;
  EXPECT_EQ(kZipDataFailed, ZipReader::UnzipItem(reader.get(), 0, &byte, 1));
}

}  // namespace
