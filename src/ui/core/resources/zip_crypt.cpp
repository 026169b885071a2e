#include <zlib.h>

#include "ui/core/resources/zip_reader_internal.h"

namespace SkinUI {

namespace {

uint32_t Crc32Byte(uint32_t crc, uint8_t b) {
  const z_crc_t* table = get_crc_table();
  return table[(crc ^ b) & 0xFF] ^ (crc >> 8);
}

void UpdateKeys(uint32_t keys[3], uint8_t c) {
  keys[0] = Crc32Byte(keys[0], c);
  keys[1] = (keys[1] + (keys[0] & 0xFF)) * 134775813u + 1;
  keys[2] = Crc32Byte(keys[2], static_cast<uint8_t>(keys[1] >> 24));
}

}  // namespace

void ZipCryptInit(uint32_t keys[3], const std::string& password) {
  keys[0] = 0x12345678;
  keys[1] = 0x23456789;
  keys[2] = 0x34567890;
  for (char c : password) UpdateKeys(keys, static_cast<uint8_t>(c));
}

uint8_t ZipCryptDecode(uint32_t keys[3], uint8_t c) {
  uint32_t temp = (keys[2] | 2) & 0xFFFF;
  uint8_t plain = static_cast<uint8_t>(c ^ static_cast<uint8_t>((temp * (temp ^ 1)) >> 8));
  UpdateKeys(keys, plain);
  return plain;
}

}  // namespace SkinUI
