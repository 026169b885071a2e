// MD5 against RFC 1321's suite and OpenSSL: pieces of any size, Final in mid-stream, and a
// bit count past 2^32.
#include "common/zip/md5.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>

#include "zip_test_util.h"

namespace {

std::string OpenSslMd5(const uint8_t* data, size_t length) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EXPECT_EQ(1, EVP_Digest(data, length, digest, &size, EVP_md5(), nullptr));
  return std::string(reinterpret_cast<char*>(digest), size);
}

std::string Raw(const uint8_t* digest) { return std::string(reinterpret_cast<const char*>(digest), 16); }

TEST(Md5, Rfc1321TestSuite) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"}};
  CMD5 md5;
  md5.Update("junk", 4);
  md5.Final();
  for (const auto& c : cases) {
    md5 = CMD5{};  // a fresh object starts another digest
    const size_t half = c.first.size() / 2;
    md5.Update(c.first.data(), half);
    md5.HexDigest();  // a digest in between must not stick
    md5.Update(c.first.data() + half, c.first.size() - half);
    EXPECT_EQ(c.second, md5.HexDigest()) << '"' << c.first << '"';
  }
}

// Final pads a copy: a second Final gives the same digest, and later updates continue the stream.
TEST(Md5, FinalLeavesTheStreamAlone) {
  for (size_t split : {0u, 1u, 3u, 55u, 56u, 63u, 64u, 65u, 70u, 100u, 128u}) {
    SCOPED_TRACE(split);
    const Bytes data = RandomBytes(300, static_cast<uint32_t>(split));
    CMD5 md5;
    md5.Update(data.data(), split);
    const std::string first = Raw(md5.Final());
    EXPECT_EQ(first, Raw(md5.Final()));
    EXPECT_EQ(OpenSslMd5(data.data(), split), first);
    md5.Update(data.data() + split, data.size() - split);
    EXPECT_EQ(OpenSslMd5(data.data(), data.size()), Raw(md5.Final()));
  }
}

TEST(Md5, MatchesOpenSslOnRandomBuffersInRandomPieces) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 200; ++round) {
    const size_t length = random() % (round < 100 ? 300 : 200000);
    const Bytes data = RandomBytes(length, random());
    CMD5 md5;
    for (size_t at = 0; at < length;) {
      const size_t piece = std::min<size_t>(length - at, random() % (random() % 2 ? 70 : 5000) + 1);
      md5.Update(data.data() + at, piece);
      at += piece;
      if (random() % 4 == 0) md5.Final();
    }
    ASSERT_EQ(OpenSslMd5(data.data(), length), Raw(md5.Final())) << "round " << round << " length " << length;
  }
}

TEST(Md5, BitCountCarriesIntoTheHighWord) {
  const Bytes chunk = RandomBytes(1 << 20, 3);
  CMD5 md5;
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  ASSERT_EQ(1, EVP_DigestInit_ex(ctx, EVP_md5(), nullptr));
  for (int i = 0; i < 520; ++i) {  // 520 MiB: past 2^32 bits
    md5.Update(chunk.data(), chunk.size());
    EVP_DigestUpdate(ctx, chunk.data(), chunk.size());
  }
  md5.Update(chunk.data(), 5);
  EVP_DigestUpdate(ctx, chunk.data(), 5);
  unsigned char expected[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  EVP_DigestFinal_ex(ctx, expected, &size);
  EVP_MD_CTX_free(ctx);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(expected), size), Raw(md5.Final()));
}

}  // namespace
