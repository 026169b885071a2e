// Archives written by ZipWriter read back through ZipReader.
#include <gtest/gtest.h>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_writer.h"
#include "zip_test_util.h"

namespace {

uint16_t LocalMethod(const Bytes& archive, uint32_t localOffset) { return zipfmt::Get16(&archive[localOffset + 8]); }

TEST(ZipRoundTrip, OneEntryComesBackWithNameSizesAndTime) {
  const Bytes data = CompressibleBytes(50000, 1);
  FILETIME before;
  GetSystemTimeAsFileTime(&before);
  const Bytes archive = WriteArchive({{"docs\\readme.txt", data}});
  FILETIME after;
  GetSystemTimeAsFileTime(&after);
  ASSERT_FALSE(archive.empty());

  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
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
  const std::vector<NamedBytes> entries = {
      {"folder\\sub\\file.gz", data}, {"BACKUP.ZIP", data}, {"noext", data}, {"a.Tgz", data},
      {"x.z", data},  {"plain.txt", data}, {"dir.zip\\inner", data}, {"archive.zipx", data}};
  const uint16_t expected[] = {0, 0, 8, 0, 0, 8, 8, 8};
  const Bytes archive = WriteArchive(entries);
  ASSERT_FALSE(archive.empty());
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
  ASSERT_TRUE(reader);
  uint32_t localOffset = 0;
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
    ZipItemInfo info;
    ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), i, &info));
    EXPECT_EQ(expected[i], LocalMethod(archive, localOffset)) << entries[i].name;
    EXPECT_EQ(expected[i] == 0, info.compressedSize == info.uncompressedSize) << entries[i].name;
    EXPECT_EQ(std::wstring::npos, info.name.find(L'\\'));
    EXPECT_EQ(data, UnzipWhole(reader.get(), i, 4000).bytes);
    localOffset += 30 + static_cast<uint32_t>(entries[i].name.size()) + 17 + static_cast<uint32_t>(info.compressedSize);
  }
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 0, &info));
  EXPECT_EQ(L"folder/sub/file.gz", info.name);
}

TEST(ZipRoundTrip, EmptyEntriesCanBeWrittenAndRead) {
  const Bytes archive = WriteArchive({{"empty.txt", {}}, {"empty.gz", {}}, {"after.txt", {'x'}}});
  ASSERT_FALSE(archive.empty());
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
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
}

TEST(ZipRoundTrip, AnEntryOfAnEmptyFileCanBeTheWholeArchive) {
  UniqueZipHandle writer(ZipWriter::Create(0));
  ASSERT_TRUE(writer);
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "package/empty.ini", nullptr, 0));
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(kZipOk, ZipWriter::GetMemory(writer.get(), &data, &length));
  UniqueZipHandle reader(ZipReader::Open(data, length));
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &info));
  EXPECT_EQ(1, info.index);
  uint8_t byte;
  EXPECT_EQ(kZipOk, ZipReader::UnzipItem(reader.get(), 0, &byte, 0));
}

TEST(ZipRoundTrip, FullBufferGivesMoreDataThenOk) {
  const Bytes data = RandomBytes(100, 3);
  const Bytes archive = WriteArchive({{"hundred.bin", data}});
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
  ASSERT_TRUE(reader);
  Bytes buffer(100);
  EXPECT_EQ(kZipMoreData, ZipReader::UnzipItem(reader.get(), 0, buffer.data(), 100));
  EXPECT_EQ(data, buffer);
  EXPECT_EQ(kZipOk, ZipReader::UnzipItem(reader.get(), 0, buffer.data(), 100));
  EXPECT_EQ(kZipOk, ZipReader::LastCode());
}

TEST(ZipRoundTrip, PiecewiseReadsContinueAndGetItemRestarts) {
  const Bytes data = CompressibleBytes(100000, 4);
  const Bytes archive = WriteArchive({{"a.txt", RandomBytes(10, 1)}, {"b.log", data}});
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
  ASSERT_TRUE(reader);
  for (uint32_t piece : {1u, 7u, 4096u, 16384u, 16385u, 99999u, 100000u, 200000u}) {
    UnzipResult out = UnzipWhole(reader.get(), 1, piece);
    EXPECT_EQ(kZipOk, out.code) << "piece " << piece;
    EXPECT_EQ(data, out.bytes) << "piece " << piece;
  }
  // A partial read, then GetItem: the next read starts at the entry's beginning again.
  Bytes first(1000);
  ASSERT_EQ(kZipMoreData, ZipReader::UnzipItem(reader.get(), 1, first.data(), 1000));
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 1, &info));
  Bytes again(1000);
  ASSERT_EQ(kZipMoreData, ZipReader::UnzipItem(reader.get(), 1, again.data(), 1000));
  EXPECT_EQ(first, again);
  // Switching entries closes the open one.
  EXPECT_EQ(RandomBytes(10, 1), UnzipWhole(reader.get(), 0, 64).bytes);
}

TEST(ZipRoundTrip, ManyEntriesInAnyOrder) {
  std::vector<NamedBytes> entries;
  for (int i = 0; i < 300; ++i) {
    const size_t size = static_cast<size_t>((i * 7919) % 5000);
    entries.push_back({"dir" + std::to_string(i % 7) + "/file" + std::to_string(i) + (i % 5 == 0 ? ".gz" : ".dat"),
                       i % 2 ? RandomBytes(size, i) : CompressibleBytes(size, i)});
  }
  const Bytes archive = WriteArchive(entries);
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &info));
  ASSERT_EQ(300, info.index);
  for (int i : {299, 0, 150, 151, 2, 298}) {
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
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(kZipOk, ZipWriter::GetMemory(writer.get(), &data, &length));
  EXPECT_GT(length, 6u << 20);
  const Bytes archive(data, data + length);
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(archive, &contents));
  ASSERT_EQ(3u, contents.size());
  EXPECT_EQ(small, contents[0]);
  EXPECT_EQ(large, contents[1]);
  EXPECT_EQ(large, contents[2]);
}

TEST(ZipRoundTrip, NonAsciiAndLongNames) {
  const std::string chinese = "\xe6\xb8\xb8\xe6\x88\x8f/\xe9\x85\x8d\xe7\xbd\xae.ini";  // 游戏/配置.ini
  const std::string longName = std::string(300, 'n') + "/" + std::string(100, 'm') + ".txt";
  const Bytes archive = WriteArchive({{chinese, {'1'}}, {longName, {'2'}}, {"plain.txt", {'3'}}});
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 0, &info));
  EXPECT_EQ(L"\u6e38\u620f/\u914d\u7f6e.ini", info.name);
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), 1, &info));
  EXPECT_EQ(std::wstring(longName.begin(), longName.end()), info.name);
  // Other tools read the name as UTF-8 only when the flag says so; ASCII names keep flag 0 or 2.
  EXPECT_EQ(zipfmt::kFlagUtf8Name, zipfmt::Get16(&archive[6]) & zipfmt::kFlagUtf8Name);
}

TEST(ZipWriter, RefusesAdditionsAfterTheDirectory) {
  UniqueZipHandle writer(ZipWriter::Create(100));
  ASSERT_TRUE(writer);
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "a.txt", "abc", 3));
  ASSERT_EQ(kZipOk, ZipWriter::WriteCentralDirectory(writer.get()));
  EXPECT_EQ(kZipFinished, ZipWriter::Add(writer.get(), "b.txt", "abc", 3));
  EXPECT_EQ(kZipFinished, ZipWriter::LastCode());
  EXPECT_EQ(kZipFinished, ZipWriter::WriteCentralDirectory(writer.get()));
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(kZipOk, ZipWriter::GetMemory(writer.get(), &data, &length));
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(Bytes(data, data + length), &contents));
  EXPECT_EQ(1u, contents.size());
}

TEST(ZipWriter, RefusesBadArguments) {
  UniqueZipHandle writer(ZipWriter::Create(100));
  ASSERT_TRUE(writer);
  EXPECT_EQ(kZipBadArgument, ZipWriter::Add(writer.get(), "", "abc", 3));
  EXPECT_EQ(kZipBadArgument, ZipWriter::Add(writer.get(), "a.txt", nullptr, 3));
  EXPECT_EQ(kZipBadArgument, ZipWriter::Add(nullptr, "a.txt", "abc", 3));
  EXPECT_EQ(kZipBadArgument, ZipWriter::LastCode());
  EXPECT_EQ(kZipBadArgument, ZipWriter::Close(nullptr));
  // Earlier refusals leave the archive intact.
  ASSERT_EQ(kZipOk, ZipWriter::Add(writer.get(), "a.txt", "abc", 3));
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(kZipOk, ZipWriter::GetMemory(writer.get(), &data, &length));
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(Bytes(data, data + length), &contents));
  EXPECT_EQ((std::vector<Bytes>{{'a', 'b', 'c'}}), contents);
}

TEST(ZipHandles, EachSideRefusesTheOtherKind) {
  const Bytes archive = WriteArchive({{"a.txt", {'a'}}});
  ZipHandle* reader = ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size()));
  ZipHandle* writer = ZipWriter::Create(10);
  ASSERT_NE(nullptr, reader);
  ASSERT_NE(nullptr, writer);
  EXPECT_EQ(kZipWrongKind, ZipWriter::Add(reader, "b.txt", "b", 1));
  EXPECT_EQ(kZipWrongKind, ZipWriter::Close(reader));
  ZipItemInfo info;
  uint8_t byte;
  EXPECT_EQ(kZipWrongKind, ZipReader::GetItem(writer, 0, &info));
  EXPECT_EQ(kZipWrongKind, ZipReader::UnzipItem(writer, 0, &byte, 1));
  EXPECT_EQ(kZipWrongKind, ZipReader::Close(writer));
  EXPECT_EQ(kZipBadArgument, ZipReader::Close(nullptr));
  // The shared close dispatches on the kind.
  EXPECT_EQ(kZipOk, CloseZip(reader));
  EXPECT_EQ(kZipOk, ZipReader::LastCode());
  EXPECT_EQ(kZipOk, CloseZip(writer));
  EXPECT_EQ(kZipOk, ZipWriter::LastCode());
  EXPECT_EQ(kZipBadArgument, CloseZip(nullptr));
}

TEST(ZipWriter, ArchiveWithoutEntriesIsAValidEmptyArchive) {
  UniqueZipHandle writer(ZipWriter::Create(0));
  ASSERT_TRUE(writer);
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  ASSERT_EQ(kZipOk, ZipWriter::GetMemory(writer.get(), &data, &length));
  ASSERT_EQ(22u, length);
  UniqueZipHandle reader(ZipReader::Open(data, length));
  ASSERT_TRUE(reader);
  ZipItemInfo info;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &info));
  EXPECT_EQ(0, info.index);
  EXPECT_EQ(kZipBadArgument, ZipReader::GetItem(reader.get(), 0, &info));
}

}  // namespace
