// Archives read from a file through ZipFileStream: at an offset inside a larger file and in
// bounded pieces, with the bytes that memory gives; a file that ends early is a read error.
#include <gtest/gtest.h>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "zip_test_util.h"

TEST(ZipFileStream, GivesEveryEntryAsMemoryDoes) {
  const std::vector<NamedBytes> entries = {
      {"big.txt", CompressibleBytes(3 << 20, 1)}, {"noise.gz", RandomBytes(700000, 2)}, {"empty.txt", {}}};
  const Bytes archive = WriteArchive(entries);
  ASSERT_FALSE(archive.empty());
  const FileArchive file(archive, 5000);
  UniqueZipHandle reader = file.Open();
  ASSERT_TRUE(reader);
  ZipItemInfo count;
  ASSERT_EQ(kZipOk, ZipReader::GetItem(reader.get(), -1, &count));
  ASSERT_EQ(3, count.index);
  for (int i = 0; i < 3; ++i) {
    for (uint32_t piece : {1u << 16, 1u << 22}) {
      const UnzipResult out = UnzipWhole(reader.get(), i, piece);
      EXPECT_EQ(kZipOk, out.code) << entries[i].name;
      EXPECT_TRUE(out.bytes == entries[i].bytes) << entries[i].name << ", pieces of " << piece;
    }
  }
  EXPECT_EQ(0u, file.Stream().ReadError());
}

TEST(ZipFileStream, AFileEndingInsideTheArchiveIsAReadError) {
  const Bytes archive = WriteArchive({{"a.txt", CompressibleBytes(1000, 3)}});
  const FileArchive file(archive, 10, 1);
  EXPECT_FALSE(file.Open());
  EXPECT_EQ(kZipOpenFailed, ZipReader::LastCode());
  EXPECT_EQ(static_cast<DWORD>(ERROR_HANDLE_EOF), file.Stream().ReadError());
}
