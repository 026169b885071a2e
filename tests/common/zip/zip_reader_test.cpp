// The reader on archives built byte by byte: times, attributes, where the archive lies, and
// the refusal of inconsistent or damaged headers and data.
#include <gtest/gtest.h>

#include <functional>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "zip_builder.h"

namespace {

const uint32_t kDos = 0x52A46000;  // the builder's DOS time

int64_t Unix(int32_t seconds) { return 116444736000000000LL + static_cast<int64_t>(seconds) * 10000000; }

int64_t Dos(uint32_t dosDateTime) {
  FILETIME ft{0, 0};
  DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime), &ft);
  return FileTimeTicks(ft);
}

BuiltEntry Entry(const std::string& name, const Bytes& content) {
  BuiltEntry e;
  e.name = name;
  e.content = content;
  return e;
}

Bytes OneEntryArchive(const BuiltEntry& entry) {
  BuiltArchive layout;
  layout.entries = {entry};
  return BuildArchive(layout);
}

ZipItemInfo ItemOf(const BuiltEntry& entry) {
  const Bytes archive = OneEntryArchive(entry);
  UniqueZipHandle reader = OpenBytes(archive);
  ZipItemInfo info;
  EXPECT_TRUE(reader);
  if (reader) {
    EXPECT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 0, &info));
  }
  return info;
}

Bytes Concat(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// The "UT" block gives last write, access and creation as its flags say; a time not wholly
// inside its block, or a block claiming more than the field holds, is not read.
TEST(ZipReaderTimes, FromTheTimestampBlockOrTheDosTime) {
  const int32_t t1 = 1600000000, t2 = 1500000000;
  const Bytes junk = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88};
  struct Case {
    const char* what;
    Bytes extra;
    int64_t write, access, creation;
  } cases[] = {
      {"no extra field", {}, Dos(kDos), Dos(kDos), Dos(kDos)},
      {"flags 5", TimestampBlock(5, {t1, t2}), Unix(t1), Dos(kDos), Unix(t2)},
      {"after an ux block, negative", Concat({0x75, 0x78, 3, 0, 1, 2, 3}, TimestampBlock(7, {-86400, 0, 2000000000})),
       Unix(-86400), Unix(0), Unix(2000000000)},
      {"three promised, one held", Concat(TimestampBlock(7, {t1}, 5), junk), Unix(t1), Dos(kDos), Dos(kDos)},
      {"longer than the field", TimestampBlock(1, {t1}, 200), Dos(kDos), Dos(kDos), Dos(kDos)},
      {"flag without time", TimestampBlock(1, {}), Dos(kDos), Dos(kDos), Dos(kDos)},
      {"empty block", TimestampBlock(1, {}, 0), Dos(kDos), Dos(kDos), Dos(kDos)},
      {"two bytes", {0x55, 0x54, 2, 0, 1, 0}, Dos(kDos), Dos(kDos), Dos(kDos)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BuiltEntry e = Entry("a.txt", {'a'});
    e.localExtra = c.extra;
    const ZipItemInfo info = ItemOf(e);
    EXPECT_EQ(c.write, FileTimeTicks(info.lastWriteTime));
    EXPECT_EQ(c.access, FileTimeTicks(info.lastAccessTime));
    EXPECT_EQ(c.creation, FileTimeTicks(info.creationTime));
  }
}

TEST(ZipReaderAttributes, FromUnixAndDosBits) {
  const std::pair<uint32_t, DWORD> cases[] = {
      {0x81A40000, FILE_ATTRIBUTE_NORMAL},                             // -rw-r--r--
      {0x81240001, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_READONLY},   // -r--r--r--
      {0x41ED0010, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY},  // drwxr-xr-x
      {0x00800020, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE},
      {0x00800026, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
      {0x00000020, FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
  };
  for (const auto& c : cases) {
    BuiltEntry e = Entry("a", {'a'});
    e.externalAttributes = c.first;
    EXPECT_EQ(c.second, ItemOf(e).attributes) << std::hex << c.first;
  }
}

// The end record is looked for in the last 65535 bytes; an empty archive opens with no entries.
TEST(ZipReaderOpen, EndRecordSearchAndEmptyArchives) {
  BuiltArchive layout;
  const Bytes empty = BuildArchive(layout);
  UniqueZipHandle reader = OpenBytes(empty);
  ASSERT_TRUE(reader);
  uint8_t byte;
  EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader.get(), 0, &byte, 1));
  layout.comment = "no files here";
  layout.junkBefore = {'M', 'Z', 0, 0};
  EXPECT_TRUE(Opens(BuildArchive(layout)));
  layout.junkBefore.clear();
  layout.entries = {Entry("a.txt", {'a'})};
  layout.comment = std::string(65535 - 22, 'c');
  EXPECT_TRUE(Opens(BuildArchive(layout)));
  layout.comment = std::string(65535 - 21, 'c');
  EXPECT_FALSE(Opens(BuildArchive(layout)));
  EXPECT_EQ(kZipOpenFailed, ZipReader::LastCode());
  EXPECT_FALSE(ZipReader::Open(nullptr, 0));
  EXPECT_FALSE(Opens({'P', 'K', 5, 6}));
  EXPECT_EQ(kZipOpenFailed, ZipReader::LastCode());
}

TEST(ZipReaderOpen, RefusesSplitAndInconsistentArchives) {
  BuiltArchive layout;
  layout.entries = {Entry("a.txt", {'a'}), Entry("b.txt", {'b'})};
  layout.disk = 1;
  EXPECT_FALSE(Opens(BuildArchive(layout)));
  EXPECT_EQ(kZipInconsistent, ZipReader::LastCode());
  layout.disk = 0;
  layout.entriesInEndRecord = 3;  // more entries than the directory holds
  EXPECT_FALSE(Opens(BuildArchive(layout)));
  EXPECT_EQ(kZipInconsistent, ZipReader::LastCode());
  layout.entriesInEndRecord = -1;
  Bytes archive = BuildArchive(layout);
  archive[archive.size() - 10] += 1;  // directory size reaching past the end record
  EXPECT_FALSE(Opens(archive));
  EXPECT_EQ(kZipInconsistent, ZipReader::LastCode());
  // A directory offset too small: the directory is still found before the end record, but
  // every local header is looked for in the wrong place.
  archive = BuildArchive(layout);
  archive[archive.size() - 6] -= 1;
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  EXPECT_EQ(kZipBadLocalHeader, ZipReader::GetItem(reader.get(), 1, &info));
}

// Data, sizes and CRC that do not fit together: GetItem tells what it can see, and the read
// fails at the latest with the last byte, from memory and from a file alike.
TEST(ZipReaderData, DamagedEntriesAreRefused) {
  const Bytes content = CompressibleBytes(3000, 6);
  const uint32_t deflated = static_cast<uint32_t>(RawDeflate(content).size());
  struct Case {
    const char* what;
    std::function<void(BuiltEntry&)> damage;
    int itemCode;
  } cases[] = {
      {"wrong CRC, deflated", [](BuiltEntry& e) { e.crc = 0x12345678; }, kZipOk},
      {"wrong CRC, stored", [](BuiltEntry& e) { e.method = 0, e.crc = 0x12345678; }, kZipOk},
      {"inflate error", [](BuiltEntry& e) { e.data = Bytes(200, 0xFF); }, kZipOk},  // block type 3
      {"DEFLATE ends before the size", [&](BuiltEntry& e) { e.compressedSize = deflated, e.uncompressedSize = 3500; },
       kZipOk},
      {"DEFLATE goes on past the size", [&](BuiltEntry& e) { e.compressedSize = deflated, e.uncompressedSize = 2500; },
       kZipOk},
      {"DEFLATE cut short", [&](BuiltEntry& e) { e.data = RawDeflate(content), e.data->resize(deflated / 2); }, kZipOk},
      {"bytes left after DEFLATE",
       [&](BuiltEntry& e) {
         e.data = Concat(RawDeflate(content), {1, 2, 3});
       },
       kZipOk},
      {"data reaching into the directory", [&](BuiltEntry& e) { e.compressedSize = deflated + 10; },
       kZipBadLocalHeader},
      {"stored sizes differ", [](BuiltEntry& e) { e.method = 0, e.compressedSize = 3000, e.uncompressedSize = 3001; },
       kZipBadLocalHeader},
      {"beyond DEFLATE's ratio", [&](BuiltEntry& e) { e.compressedSize = deflated, e.uncompressedSize = 0x7FFFFFF0; },
       kZipBadLocalHeader},
      {"data past the archive", [](BuiltEntry& e) { e.compressedSize = 0x10000000, e.uncompressedSize = 3000; },
       kZipBadLocalHeader},
      {"unknown method", [&](BuiltEntry& e) { e.method = 12, e.data = content; }, kZipBadLocalHeader},
      {"encrypted", [](BuiltEntry& e) { e.flag = 1; }, kZipBadLocalHeader},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BuiltEntry e = Entry("a.txt", content);
    c.damage(e);
    const Bytes archive = OneEntryArchive(e);
    const FileArchive file(archive, 100);
    UniqueZipHandle readers[] = {OpenBytes(archive), file.Open()};
    for (const UniqueZipHandle& reader : readers) {
      ASSERT_TRUE(reader);
      ZipItemInfo info;
      EXPECT_EQ(c.itemCode, ZipReader::GetItem(reader.get(), 0, &info));
      Bytes buffer(content.size() + 64);
      int code;
      do {
        code = ZipReader::UnzipItem(reader.get(), 0, buffer.data(), static_cast<uint32_t>(buffer.size()));
      } while (code == kZipMoreData);
      EXPECT_EQ(kZipDataFailed, code);
    }
  }
}

TEST(ZipReaderData, ExtraFieldCutOffByTheArchiveEnd) {
  // The local extra length points past the block's end, while the directory is sound.
  BuiltEntry e = Entry("a.txt", {});
  e.method = 0;
  Bytes archive = OneEntryArchive(e);
  archive[28] = archive[29] = 0xFF;  // local extra length 0xFFFF
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  EXPECT_EQ(kZipBadExtraField, ZipReader::GetItem(reader.get(), 0, &info));
  uint8_t byte;
  EXPECT_EQ(kZipDataFailed, ZipReader::UnzipItem(reader.get(), 0, &byte, 1));
}

}  // namespace
