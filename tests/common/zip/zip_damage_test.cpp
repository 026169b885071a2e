// Damaged archives are refused cleanly: every truncation, flipped bytes anywhere, and the
// bytes that did come out never differ from the original without a failure.
#include <gtest/gtest.h>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_reader.h"
#include "zip_test_util.h"

namespace {

const std::string kFixtures = ZIP_FIXTURE_DIR;

Bytes WriterArchive() {
  return WriteArchive({{"notes.txt", CompressibleBytes(3000, 11)}, {"tiny.gz", RandomBytes(40, 12)}});
}

Bytes DebianArchive() {
  Bytes archive;
  EXPECT_TRUE(ReadWholeFile(WinePath(kFixtures + "/small.zip"), &archive));
  return archive;
}

// Byte ranges [begin, end) of the stored entries' data, from the local headers. A flip
// there must always be caught (CRC-32); a flip in DEFLATE data may still decode to the
// same bytes (a distance pointing at equal text), which the general check allows.
std::vector<std::pair<size_t, size_t>> StoredDataRanges(const Bytes& archive) {
  std::vector<std::pair<size_t, size_t>> ranges;
  size_t at = 0;
  while (at + 30 <= archive.size() && zipfmt::Get32(&archive[at]) == zipfmt::kLocalSignature) {
    const size_t begin = at + 30 + zipfmt::Get16(&archive[at + 26]) + zipfmt::Get16(&archive[at + 28]);
    const size_t end = begin + zipfmt::Get32(&archive[at + 18]);
    if (zipfmt::Get16(&archive[at + 8]) == zipfmt::kMethodStored) ranges.emplace_back(begin, end);
    at = end;
  }
  return ranges;
}

class DamagedArchive : public ::testing::TestWithParam<int> {
 protected:
  Bytes Original() { return GetParam() == 0 ? WriterArchive() : DebianArchive(); }
};

TEST_P(DamagedArchive, EveryTruncationIsRefusedAtOpen) {
  const Bytes archive = Original();
  ASSERT_GT(archive.size(), 100u);
  std::vector<Bytes> contents;
  ASSERT_TRUE(ReadEverything(archive, &contents));
  for (size_t length = 0; length < archive.size(); ++length) {
    // A copy of exactly that length, so any read past it would be a read outside the block.
    const Bytes cut(archive.begin(), archive.begin() + static_cast<std::ptrdiff_t>(length));
    ZipHandle* reader = ZipReader::Open(cut.data(), static_cast<uint32_t>(cut.size()));
    EXPECT_EQ(nullptr, reader) << "length " << length;
    if (reader != nullptr) CloseZip(reader);
    EXPECT_TRUE(ZipReader::LastCode() == kZipOpenFailed || ZipReader::LastCode() == kZipInconsistent);
  }
}

TEST_P(DamagedArchive, CuttingTheFrontIsRefused) {
  const Bytes archive = Original();
  for (size_t cut = 1; cut < archive.size(); ++cut) {
    const Bytes rest(archive.begin() + static_cast<std::ptrdiff_t>(cut), archive.end());
    std::vector<Bytes> contents;
    EXPECT_FALSE(ReadEverything(rest, &contents)) << "cut " << cut;
  }
}

TEST_P(DamagedArchive, FlippedBytesNeverPassAsGoodData) {
  const Bytes archive = Original();
  std::vector<Bytes> original;
  ASSERT_TRUE(ReadEverything(archive, &original));
  const auto stored = StoredDataRanges(archive);
  ASSERT_EQ(1u, stored.size());
  int refused = 0;
  for (size_t at = 0; at < archive.size(); ++at) {
    for (uint8_t mask : {0x01, 0x80, 0xFF}) {
      Bytes damaged = archive;
      damaged[at] ^= mask;
      std::vector<Bytes> contents;
      const bool read = ReadEverything(damaged, &contents);
      bool inStoredData = false;
      for (const auto& range : stored) inStoredData = inStoredData || (at >= range.first && at < range.second);
      if (inStoredData) {
        EXPECT_FALSE(read) << "stored data byte " << at << " mask " << int(mask);
      }
      if (read) {
        EXPECT_EQ(original, contents) << "byte " << at << " mask " << int(mask);
      } else {
        ++refused;
      }
    }
  }
  EXPECT_GT(refused, static_cast<int>(archive.size()));  // most flips are caught
}

INSTANTIATE_TEST_SUITE_P(Sources, DamagedArchive, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return info.param == 0 ? std::string("ZipWriter") : std::string("DebianZip");
                         });

TEST(DamagedArchive, RandomGarbageAroundARealArchive) {
  const Bytes archive = WriterArchive();
  for (uint32_t seed = 0; seed < 200; ++seed) {
    Bytes damaged = archive;
    const Bytes noise = RandomBytes(8, seed);
    // Several bytes at once, anywhere.
    for (size_t k = 0; k < 4; ++k) damaged[(noise[2 * k] * 257u + noise[2 * k + 1] * 13u) % damaged.size()] = noise[k];
    std::vector<Bytes> contents;
    if (ReadEverything(damaged, &contents)) {
      std::vector<Bytes> original;
      ASSERT_TRUE(ReadEverything(archive, &original));
      EXPECT_EQ(original, contents) << "seed " << seed;
    }
  }
  for (uint32_t seed = 0; seed < 200; ++seed) {
    const Bytes garbage = RandomBytes(seed * 7, seed);
    std::vector<Bytes> contents;
    ReadEverything(garbage, &contents);  // must simply not crash
  }
}

}  // namespace
