#include "engine/package/package_format.h"

#include <cstring>

namespace pkgfmt {

uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

void Put32(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  p[2] = static_cast<uint8_t>(v >> 16);
  p[3] = static_cast<uint8_t>(v >> 24);
}

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

void Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}

}  // namespace

void EncodeHead(const PackageHead& head, uint8_t out[kHeadSize]) {
  const uint32_t words[9] = {head.magic,      head.version,       head.totalLength,
                             head.itemCount,  head.indexOffset,   head.tailOffset,
                             head.unpackedTotal, head.reserved1,  head.reserved2};
  for (int i = 0; i < 9; ++i) Put32(out + 4 * i, words[i]);
}

PackageHead DecodeHead(const uint8_t in[kHeadSize]) {
  PackageHead head;
  head.magic = Get32(in);
  head.version = Get32(in + 4);
  head.totalLength = Get32(in + 8);
  head.itemCount = Get32(in + 12);
  head.indexOffset = Get32(in + 16);
  head.tailOffset = Get32(in + 20);
  head.unpackedTotal = Get32(in + 24);
  head.reserved1 = Get32(in + 28);
  head.reserved2 = Get32(in + 32);
  return head;
}

void EncodeItemHeader(const PackageItemHeader& item, uint8_t out[kItemHeaderSize]) {
  Put32(out, item.magic);
  Put32(out + 4, item.fileSize);
  Put32(out + 8, item.zipSize);
  Put32(out + 12, item.crc32);
}

PackageItemHeader DecodeItemHeader(const uint8_t in[kItemHeaderSize]) {
  PackageItemHeader item;
  item.magic = Get32(in);
  item.fileSize = Get32(in + 4);
  item.zipSize = Get32(in + 8);
  item.crc32 = Get32(in + 12);
  return item;
}

void EncodeIndexHeader(const PackageIndexHeader& index, uint8_t out[kIndexHeaderSize]) {
  Put32(out, index.magic);
  Put32(out + 4, index.count);
  Put32(out + 8, index.namesOffset);
  Put32(out + 12, index.namesSize);
}

PackageIndexHeader DecodeIndexHeader(const uint8_t in[kIndexHeaderSize]) {
  PackageIndexHeader index;
  index.magic = Get32(in);
  index.count = Get32(in + 4);
  index.namesOffset = Get32(in + 8);
  index.namesSize = Get32(in + 12);
  return index;
}

void EncodeTail(const PackageTail& tail, uint8_t out[kTailSize]) {
  Put32(out, tail.magic);
  Put32(out + 4, tail.totalLength);
  std::memcpy(out + 8, tail.reserved, 8);
  std::memcpy(out + 16, tail.headDigest, kDigestSize);
  std::memcpy(out + 32, tail.indexDigest, kDigestSize);
  std::memcpy(out + 48, tail.itemsDigest, kDigestSize);
  for (int i = 0; i < 8; ++i) Put16(out + 64 + 2 * i, tail.buildTime[i]);
}

PackageTail DecodeTail(const uint8_t in[kTailSize]) {
  PackageTail tail;
  tail.magic = Get32(in);
  tail.totalLength = Get32(in + 4);
  std::memcpy(tail.reserved, in + 8, 8);
  std::memcpy(tail.headDigest, in + 16, kDigestSize);
  std::memcpy(tail.indexDigest, in + 32, kDigestSize);
  std::memcpy(tail.itemsDigest, in + 48, kDigestSize);
  for (int i = 0; i < 8; ++i) tail.buildTime[i] = Get16(in + 64 + 2 * i);
  return tail;
}

}  // namespace pkgfmt
