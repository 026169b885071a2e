// MD5 digest (RFC 1321) over a byte stream fed in pieces. A plain value object: a new
// one starts at the RFC start values; assign CMD5{} to start another digest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CMD5 {
 public:
  // Adds bytes to the stream.
  void Update(const void* input, size_t length);
  // Digest of everything added so far. The object is left as it was, so later updates
  // continue the same stream and a later Final gives the digest of the longer stream.
  const uint8_t* Final();
  // The digest of everything added so far as 32 lowercase hexadecimal characters.
  std::string HexDigest();
  // The RFC 1321 transform of one 64-byte block into the state.
  void Transform(const uint8_t block[64]);

  uint32_t state[4] = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476};
  uint32_t count[2] = {0, 0};  // bits added, low word first
  uint8_t buffer[64] = {};     // the partial block not yet transformed
  uint8_t digest[16] = {};     // the last digest Final produced
  uint8_t finalized = 0;       // digest is current: set by Final, cleared by Update
};
