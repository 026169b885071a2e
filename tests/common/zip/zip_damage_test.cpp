// Damaged archives, written by ZipWriter or by Debian's zip, are refused cleanly: every
// truncation and flipped bytes anywhere; what does come out is never wrong.
#include <gtest/gtest.h>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_reader.h"
#include "zip_test_util.h"

namespace {

Bytes WriterArchive() {
  return WriteArchive({{"notes.txt", CompressibleBytes(3000, 11)}, {"tiny.gz", RandomBytes(40, 12)}});
}

// Byte ranges [begin, end) of the stored entries' data. A flip there must always be caught
// (CRC-32); a flip in DEFLATE data may still decode to the same bytes.
std::vector<std::pair<size_t, size_t>> StoredDataRanges(const Bytes& archive) {
  std::vector<std::pair<size_t, size_t>> ranges;
  for (size_t at = 0; at + 30 <= archive.size() && zipfmt::Get32(&archive[at]) == zipfmt::kLocalSignature;) {
    const size_t begin = at + 30 + zipfmt::Get16(&archive[at + 26]) + zipfmt::Get16(&archive[at + 28]);
    const size_t end = begin + zipfmt::Get32(&archive[at + 18]);
    if (zipfmt::Get16(&archive[at + 8]) == zipfmt::kMethodStored) ranges.emplace_back(begin, end);
    at = end;
  }
  return ranges;
}

class DamagedArchive : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (GetParam()) {
      ASSERT_TRUE(ReadWholeFile(WinePath(std::string(ZIP_FIXTURE_DIR) + "/small.zip"), &archive_));
    } else {
      archive_ = WriterArchive();
    }
    ASSERT_GT(archive_.size(), 100u);
    ASSERT_TRUE(ReadEverything(archive_, &original_));
  }
  Bytes archive_;
  std::vector<Bytes> original_;
};

TEST_P(DamagedArchive, EveryTruncationIsRefused) {
  for (size_t length = 0; length < archive_.size(); ++length) {
    // A copy of exactly that length: a read past it would be a read outside the block.
    const Bytes cut(archive_.begin(), archive_.begin() + static_cast<std::ptrdiff_t>(length));
    UniqueZipHandle reader = OpenBytes(cut);
    EXPECT_FALSE(reader) << "length " << length;
    EXPECT_TRUE(ZipReader::LastCode() == kZipOpenFailed || ZipReader::LastCode() == kZipInconsistent);
    const Bytes rest(archive_.begin() + static_cast<std::ptrdiff_t>(length) + 1, archive_.end());
    std::vector<Bytes> contents;
    EXPECT_FALSE(ReadEverything(rest, &contents)) << "front cut " << length + 1;
  }
}

TEST_P(DamagedArchive, FlippedBytesNeverPassAsGoodData) {
  const auto stored = StoredDataRanges(archive_);
  ASSERT_EQ(1u, stored.size());
  int refused = 0;
  for (size_t at = 0; at < archive_.size(); ++at) {
    for (uint8_t mask : {0x01, 0x80, 0xFF}) {
      Bytes damaged = archive_;
      damaged[at] ^= mask;
      std::vector<Bytes> contents;
      const bool read = ReadEverything(damaged, &contents);
      if (at >= stored[0].first && at < stored[0].second) {
        EXPECT_FALSE(read) << "stored data byte " << at;
      }
      if (read) {
        EXPECT_EQ(original_, contents) << "byte " << at << " mask " << int(mask);
      } else {
        ++refused;
      }
    }
  }
  EXPECT_GT(refused, static_cast<int>(archive_.size()));  // most flips are caught
}

INSTANTIATE_TEST_SUITE_P(Sources, DamagedArchive, ::testing::Bool(), [](const ::testing::TestParamInfo<bool>& info) {
  return info.param ? std::string("DebianZip") : std::string("ZipWriter");
});

}  // namespace
