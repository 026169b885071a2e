// Archives written by ZipWriter read back through ZipReader, and the calls each side refuses.
#include <gtest/gtest.h>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_writer.h"
#include "zip_test_util.h"

namespace {

Bytes Finished(ZipHandle* writer) {
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  EXPECT_EQ(kZipOk, ZipWriter::GetMemory(writer, &data, &length));
  return Bytes(data, data + length);
}

int EntryCount(ZipHandle* reader) {
  ZipItemInfo info;
  EXPECT_EQ(kZipOk, ZipReader::GetItem(reader, -1, &info));
  return info.index;
}

TEST(ZipRoundTrip, OneEntryComesBackWithNameSizesAndTime) {
  const Bytes data = CompressibleBytes(50000, 1);
  FILETIME before, after;
  GetSystemTimeAsFileTime(&before);
  const Bytes archive = WriteArchive({{"docs\\readme.txt", data}});
  GetSystemTimeAsFileTime(&after);
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 0, &info));
  EXPECT_EQ(0, info.index);
  EXPECT_EQ(L"docs/readme.txt", info.name);
  EXPECT_EQ(50000, info.uncompressedSize);
  EXPECT_LT(info.compressedSize, 50000 / 3);
  EXPECT_EQ(0u, info.attributes & FILE_ATTRIBUTE_DIRECTORY);
  // The "UT" time is whole seconds: within the second before the write and the write's end.
  const int64_t second = 10000000;
  EXPECT_GE(FileTimeTicks(info.lastWriteTime), FileTimeTicks(before) / second * second);
  EXPECT_LE(FileTimeTicks(info.lastWriteTime), FileTimeTicks(after));
  EXPECT_EQ(FileTimeTicks(info.lastWriteTime), FileTimeTicks(info.creationTime));
  EXPECT_EQ(FileTimeTicks(info.lastWriteTime), FileTimeTicks(info.lastAccessTime));
  UnzipResult out = UnzipWhole(reader.get(), 0, 50000);
  EXPECT_EQ(kZipOk, out.code);
  EXPECT_EQ(data, out.bytes);
}

TEST(ZipRoundTrip, ArchiveSuffixesAreStoredOthersDeflated) {
  const Bytes data = CompressibleBytes(4000, 2);
  const std::pair<const char*, uint16_t> cases[] = {
      {"folder\\sub\\file.gz", 0}, {"BACKUP.ZIP", 0},  {"noext", 8}, {"a.Tgz", 0}, {"x.z", 0}, {"plain.txt", 8},
      {"dir.zip\\inner", 8},       {"archive.zipx", 8}};
  std::vector<NamedBytes> entries;
  for (const auto& c : cases) entries.push_back({c.first, data});
  const Bytes archive = WriteArchive(entries);
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  uint32_t localOffset = 0;
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(cases[i].first);
    ZipItemInfo info;
    ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), i, &info));
    EXPECT_EQ(cases[i].second, zipfmt::Get16(&archive[localOffset + 8]));
    EXPECT_EQ(cases[i].second == 0, info.compressedSize == info.uncompressedSize);
    EXPECT_EQ(std::wstring::npos, info.name.find(L'\\'));
    EXPECT_EQ(data, UnzipWhole(reader.get(), i, 4000).bytes);
    localOffset += 30 + static_cast<uint32_t>(entries[i].name.size()) + 17 + static_cast<uint32_t>(info.compressedSize);
  }
}

// Empty entries, an archive of one empty entry and one without entries all write and read.
TEST(ZipRoundTrip, EmptyEntriesAndEmptyArchives) {
  const Bytes emptyEntries = WriteArchive({{"empty.txt", {}}, {"empty.gz", {}}, {"after.txt", {'x'}}});
  UniqueZipHandle reader = OpenBytes(emptyEntries);
  ASSERT_TRUE(reader);
  for (int i = 0; i < 2; ++i) {
    ZipItemInfo info;
    ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), i, &info));
    EXPECT_EQ(0, info.uncompressedSize);
    uint8_t byte = 0x77;
    EXPECT_EQ(kZipOk, ZipReader::UnzipItem(reader.get(), i, &byte, 0)) << "entry " << i;
    EXPECT_EQ(kZipOk, ZipReader::UnzipItem(reader.get(), i, nullptr, 0)) << "entry " << i;
    EXPECT_EQ(0x77, byte);
  }
  EXPECT_EQ(Bytes{'x'}, UnzipWhole(reader.get(), 2, 10).bytes);

  UniqueZipHandle writer(ZipWriter::Create(0));
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "package/empty.ini", nullptr, 0));
  const Bytes oneEmpty = Finished(writer.get());
  reader = OpenBytes(oneEmpty);
  ASSERT_TRUE(reader);
  EXPECT_EQ(1, EntryCount(reader.get()));
  uint8_t byte;
  EXPECT_EQ(kZipOk, ZipReader::UnzipItem(reader.get(), 0, &byte, 0));

  writer.reset(ZipWriter::Create(0));
  const Bytes none = Finished(writer.get());
  ASSERT_EQ(22u, none.size());
  reader = OpenBytes(none);
  ASSERT_TRUE(reader);
  EXPECT_EQ(0, EntryCount(reader.get()));
  ZipItemInfo info;
  EXPECT_EQ(kZipBadArgument, ZipReader::GetItem(reader.get(), 0, &info));
}

TEST(ZipRoundTrip, PiecewiseReadsContinueAndGetItemRestarts) {
  const Bytes data = CompressibleBytes(100000, 4);
  const Bytes hundred = RandomBytes(100, 3);
  const Bytes archive = WriteArchive({{"hundred.bin", hundred}, {"b.log", data}});
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  // A buffer of exactly the entry's size: more data, then done.
  Bytes buffer(100);
  EXPECT_EQ(kZipMoreData, ZipReader::UnzipItem(reader.get(), 0, buffer.data(), 100));
  EXPECT_EQ(hundred, buffer);
  EXPECT_EQ(kZipOk, ZipReader::UnzipItem(reader.get(), 0, buffer.data(), 100));
  EXPECT_EQ(kZipOk, ZipReader::LastCode());
  for (uint32_t piece : {1u, 7u, 4096u, 16384u, 16385u, 99999u, 100000u, 200000u}) {
    UnzipResult out = UnzipWhole(reader.get(), 1, piece);
    EXPECT_EQ(kZipOk, out.code) << "piece " << piece;
    EXPECT_EQ(data, out.bytes) << "piece " << piece;
  }
  // A partial read, then GetItem: the next read starts at the entry's beginning again.
  Bytes first(1000), again(1000);
  ASSERT_EQ(kZipMoreData, ZipReader::UnzipItem(reader.get(), 1, first.data(), 1000));
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 1, &info));
  ASSERT_EQ(kZipMoreData, ZipReader::UnzipItem(reader.get(), 1, again.data(), 1000));
  EXPECT_EQ(first, again);
  EXPECT_EQ(hundred, UnzipWhole(reader.get(), 0, 64).bytes) << "switching entries closes the open one";
}

TEST(ZipRoundTrip, ManyEntriesInAnyOrder) {
  std::vector<NamedBytes> entries;
  for (int i = 0; i < 300; ++i) {
    const size_t size = static_cast<size_t>((i * 7919) % 5000);
    entries.push_back({"dir" + std::to_string(i % 7) + "/file" + std::to_string(i) + (i % 5 == 0 ? ".gz" : ".dat"),
                       i % 2 ? RandomBytes(size, i) : CompressibleBytes(size, i)});
  }
  const Bytes archive = WriteArchive(entries);
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ASSERT_EQ(300, EntryCount(reader.get()));
  for (int i : {299, 0, 150, 151, 2, 298}) {
    ZipItemInfo info;
    ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), i, &info));
    EXPECT_EQ(entries[i].name, Utf8FromWide(info.name));
    EXPECT_EQ(entries[i].bytes, UnzipWhole(reader.get(), i, 1000).bytes) << entries[i].name;
  }
}

TEST(ZipRoundTrip, GrowsBeyondTheInitialArea) {
  UniqueZipHandle writer(ZipWriter::Create(16));
  ASSERT_TRUE(writer);
  const Bytes small = CompressibleBytes(3000, 5);
  const Bytes large = RandomBytes(3 << 20, 6);  // incompressible: the area must grow several times
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "small.txt", small.data(), 3000));
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "large.bin", large.data(), static_cast<uint32_t>(large.size())));
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "large.gz", large.data(), static_cast<uint32_t>(large.size())));
  const Bytes archive = Finished(writer.get());
  EXPECT_GT(archive.size(), 6u << 20);
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(archive, &contents));
  EXPECT_EQ((std::vector<Bytes>{small, large, large}), contents);
}

TEST(ZipRoundTrip, NonAsciiAndLongNames) {
  const std::string chinese = "\xe6\xb8\xb8\xe6\x88\x8f/\xe9\x85\x8d\xe7\xbd\xae.ini";  // 游戏/配置.ini
  const std::string longName = std::string(300, 'n') + "/" + std::string(100, 'm') + ".txt";
  const Bytes archive = WriteArchive({{chinese, {'1'}}, {longName, {'2'}}});
  UniqueZipHandle reader = OpenBytes(archive);
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 0, &info));
  EXPECT_EQ(L"\u6e38\u620f/\u914d\u7f6e.ini", info.name);
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 1, &info));
  EXPECT_EQ(std::wstring(longName.begin(), longName.end()), info.name);
  // Other tools read the name as UTF-8 only when the flag says so.
  EXPECT_EQ(zipfmt::kFlagUtf8Name, zipfmt::Get16(&archive[6]) & zipfmt::kFlagUtf8Name);
}

// Refused calls (bad arguments, additions after the directory) leave the archive intact.
TEST(ZipWriter, RefusalsLeaveTheArchiveIntact) {
  UniqueZipHandle writer(ZipWriter::Create(100));
  ASSERT_TRUE(writer);
  EXPECT_EQ(kZipBadArgument, ZipWriter::Add(writer.get(), "", "abc", 3));
  EXPECT_EQ(kZipBadArgument, ZipWriter::Add(writer.get(), "a.txt", nullptr, 3));
  EXPECT_EQ(kZipBadArgument, ZipWriter::Add(nullptr, "a.txt", "abc", 3));
  EXPECT_EQ(kZipBadArgument, ZipWriter::LastCode());
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "a.txt", "abc", 3));
  ASSERT_EQ(kZipOk, ZipWriter::WriteCentralDirectory(writer.get()));
  EXPECT_EQ(kZipFinished, ZipWriter::Add(writer.get(), "b.txt", "abc", 3));
  EXPECT_EQ(kZipFinished, ZipWriter::LastCode());
  EXPECT_EQ(kZipFinished, ZipWriter::WriteCentralDirectory(writer.get()));
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(Finished(writer.get()), &contents));
  EXPECT_EQ((std::vector<Bytes>{{'a', 'b', 'c'}}), contents);
}

// Bad indices and handles of the other kind are refused; the shared close dispatches on the kind.
TEST(ZipHandles, RefuseBadIndicesAndTheOtherKind) {
  const Bytes archive = WriteArchive({{"a.txt", {'a'}}, {"b.txt", {'b'}}, {"c.txt", {'c'}}});
  ZipHandle* reader = ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size()));
  ZipHandle* writer = ZipWriter::Create(10);
  ASSERT_NE(nullptr, reader);
  ASSERT_NE(nullptr, writer);
  ZipItemInfo info;
  uint8_t buffer[4];
  ASSERT_EQ(3, EntryCount(reader));
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader, -1, &info));
  EXPECT_EQ(L"", info.name);
  EXPECT_EQ(0, info.uncompressedSize);
  for (int index : {-2, 3}) EXPECT_EQ(kZipBadArgument, ZipReader::GetItem(reader, index, &info)) << index;
  EXPECT_EQ(kZipBadArgument, ZipReader::GetItem(reader, 0, nullptr));
  for (int index : {-1, -7, 3}) EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader, index, buffer, 4)) << index;
  EXPECT_EQ(kZipBadArgument, ZipReader::UnzipItem(reader, 0, nullptr, 4));
  EXPECT_EQ(kZipBadArgument, ZipReader::LastCode());
  EXPECT_EQ(Bytes{'b'}, UnzipWhole(reader, 1, 4).bytes);
  EXPECT_EQ(kZipWrongKind, ZipWriter::Add(reader, "b.txt", "b", 1));
  EXPECT_EQ(kZipWrongKind, ZipWriter::Close(reader));
  EXPECT_EQ(kZipWrongKind, ZipReader::GetItem(writer, 0, &info));
  EXPECT_EQ(kZipWrongKind, ZipReader::UnzipItem(writer, 0, buffer, 1));
  EXPECT_EQ(kZipWrongKind, ZipReader::Close(writer));
  EXPECT_EQ(kZipBadArgument, ZipReader::Close(nullptr));
  EXPECT_EQ(kZipBadArgument, ZipWriter::Close(nullptr));
  EXPECT_EQ(kZipOk, CloseZip(reader));
  EXPECT_EQ(kZipOk, ZipReader::LastCode());
  EXPECT_EQ(kZipOk, CloseZip(writer));
  EXPECT_EQ(kZipOk, ZipWriter::LastCode());
  EXPECT_EQ(kZipBadArgument, CloseZip(nullptr));
}

}  // namespace
