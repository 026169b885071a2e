#include "common/zip/md5.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "zip_test_util.h"

namespace {

std::string Md5Hex(const std::string& text) {
  CMD5 md5;
  md5.Update(text.data(), text.size());
  return md5.HexDigest();
}

std::string OpenSslMd5(const uint8_t* data, size_t length) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EXPECT_EQ(1, EVP_Digest(data, length, digest, &size, EVP_md5(), nullptr));
  return std::string(reinterpret_cast<char*>(digest), size);
}

std::string Raw(const uint8_t* digest) { return std::string(reinterpret_cast<const char*>(digest), 16); }

TEST(Md5, Rfc1321TestSuite) {
  EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Md5Hex(""));
  EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", Md5Hex("a"));
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Md5Hex("abc"));
  EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", Md5Hex("message digest"));
  EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", Md5Hex("abcdefghijklmnopqrstuvwxyz"));
  EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
            Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
  EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
            Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"));
}

TEST(Md5, FinalReturnsTheDigestField) {
  CMD5 md5;
  md5.Update("abc", 3);
  const uint8_t* digest = md5.Final();
  EXPECT_EQ(md5.digest, digest);
  EXPECT_EQ(1, md5.finalized);
  md5.Update("d", 1);
  EXPECT_EQ(0, md5.finalized);
}

TEST(Md5, SecondFinalGivesTheSameDigest) {
  // 70 bytes leave a partial block whose padding must not disturb the stream.
  const std::string text(70, 'x');
  CMD5 md5;
  md5.Update(text.data(), text.size());
  const std::string first = Raw(md5.Final());
  const std::string second = Raw(md5.Final());
  EXPECT_EQ(first, second);
  EXPECT_EQ(OpenSslMd5(reinterpret_cast<const uint8_t*>(text.data()), text.size()), first);
}

TEST(Md5, UpdateAfterFinalContinuesTheStream) {
  for (size_t split : {0u, 1u, 3u, 55u, 56u, 63u, 64u, 65u, 100u, 128u}) {
    const Bytes data = RandomBytes(300, static_cast<uint32_t>(split));
    CMD5 md5;
    md5.Update(data.data(), split);
    md5.Final();
    md5.Update(data.data() + split, data.size() - split);
    EXPECT_EQ(OpenSslMd5(data.data(), data.size()), Raw(md5.Final())) << "split " << split;
  }
}

TEST(Md5, HexDigestFollowsLaterUpdates) {
  CMD5 md5;
  md5.Update("a", 1);
  EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", md5.HexDigest());
  md5.Update("bc", 2);
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", md5.HexDigest());
}

TEST(Md5, ResetByAssigningAFreshObject) {
  CMD5 md5;
  md5.Update("junk", 4);
  md5.Final();
  md5 = CMD5{};
  md5.Update("abc", 3);
  EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", md5.HexDigest());
}

TEST(Md5, BlockCrossingUpdatesMatchByteByByte) {
  const Bytes data = RandomBytes(1000, 7);
  CMD5 byByte;
  for (uint8_t b : data) byByte.Update(&b, 1);
  for (size_t first : {1u, 63u, 64u, 65u, 129u, 500u}) {
    CMD5 pieces;
    pieces.Update(data.data(), first);
    pieces.Update(data.data() + first, data.size() - first);
    EXPECT_EQ(Raw(byByte.Final()), Raw(pieces.Final())) << "first piece " << first;
  }
}

TEST(Md5, TransformIsTheRfcBlockStep) {
  // One block holding the padded empty message gives the empty digest.
  uint8_t block[64] = {0x80};
  CMD5 md5;
  md5.Transform(block);
  CMD5 empty;
  uint8_t expected[16];
  memcpy(expected, empty.Final(), 16);
  uint8_t got[16];
  for (int i = 0; i < 4; ++i) {
    for (int k = 0; k < 4; ++k) got[4 * i + k] = static_cast<uint8_t>(md5.state[i] >> (8 * k));
  }
  EXPECT_EQ(0, memcmp(expected, got, 16));
}

TEST(Md5, MatchesOpenSslOnRandomBuffersInRandomPieces) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 200; ++round) {
    const size_t length = random() % (round < 100 ? 300 : 200000);
    const Bytes data = RandomBytes(length, random());
    CMD5 md5;
    size_t at = 0;
    while (at < length) {
      const size_t piece = std::min<size_t>(length - at, random() % (random() % 2 ? 70 : 5000) + 1);
      md5.Update(data.data() + at, piece);
      at += piece;
      if (random() % 4 == 0) md5.Final();  // intermediate digests leave the stream alone
    }
    ASSERT_EQ(OpenSslMd5(data.data(), length), Raw(md5.Final())) << "round " << round << " length " << length;
  }
}

TEST(Md5, BitCountCarriesIntoTheHighWord) {
  // 520 MiB: the bit count passes 2^32 and carries into its high word.
  const Bytes chunk = RandomBytes(1 << 20, 3);
  CMD5 md5;
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ASSERT_EQ(1, EVP_DigestInit_ex(ctx, EVP_md5(), nullptr));
  for (int i = 0; i < 520; ++i) {
    md5.Update(chunk.data(), chunk.size());
    EVP_DigestUpdate(ctx, chunk.data(), chunk.size());
  }
  md5.Update(chunk.data(), 5);
  EVP_DigestUpdate(ctx, chunk.data(), 5);
  unsigned char expected[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(ctx, expected, &size);
  EVP_MD_CTX_free(ctx);
  EXPECT_EQ(1u, md5.count[1]);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(expected), size), Raw(md5.Final()));
}

}  // namespace
