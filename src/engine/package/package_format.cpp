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

// A record made of 32-bit words only: its fields in byte order, written and read by one list
// so that encoding and decoding cannot disagree.
template <typename Record, size_t N>
using WordFields = uint32_t Record::*const[N];

template <typename Record, size_t N>
void PutWords(const Record& record, WordFields<Record, N>& fields, uint8_t* out) {
  for (size_t i = 0; i < N; ++i) Put32(out + 4 * i, record.*fields[i]);
}

template <typename Record, size_t N>
Record GetWords(WordFields<Record, N>& fields, const uint8_t* in) {
  Record record;
  for (size_t i = 0; i < N; ++i) record.*fields[i] = Get32(in + 4 * i);
  return record;
}

constexpr uint32_t PackageHead::*kHeadFields[] = {
    &PackageHead::magic,         &PackageHead::version,     &PackageHead::totalLength,
    &PackageHead::itemCount,     &PackageHead::indexOffset, &PackageHead::tailOffset,
    &PackageHead::unpackedTotal, &PackageHead::reserved1,   &PackageHead::reserved2};
constexpr uint32_t PackageItemHeader::*kItemFields[] = {&PackageItemHeader::magic, &PackageItemHeader::fileSize,
                                                        &PackageItemHeader::zipSize, &PackageItemHeader::crc32};
constexpr uint32_t PackageIndexHeader::*kIndexFields[] = {&PackageIndexHeader::magic, &PackageIndexHeader::count,
                                                          &PackageIndexHeader::namesOffset,
                                                          &PackageIndexHeader::namesSize};
static_assert(sizeof(kHeadFields) / sizeof(kHeadFields[0]) * 4 == kHeadSize, "head layout");
static_assert(sizeof(kItemFields) / sizeof(kItemFields[0]) * 4 == kItemHeaderSize, "item header layout");
static_assert(sizeof(kIndexFields) / sizeof(kIndexFields[0]) * 4 == kIndexHeaderSize, "index header layout");

}  // namespace

void EncodeHead(const PackageHead& head, uint8_t out[kHeadSize]) { PutWords(head, kHeadFields, out); }

PackageHead DecodeHead(const uint8_t in[kHeadSize]) { return GetWords(kHeadFields, in); }

void EncodeItemHeader(const PackageItemHeader& item, uint8_t out[kItemHeaderSize]) { PutWords(item, kItemFields, out); }

PackageItemHeader DecodeItemHeader(const uint8_t in[kItemHeaderSize]) { return GetWords(kItemFields, in); }

void EncodeIndexHeader(const PackageIndexHeader& index, uint8_t out[kIndexHeaderSize]) {
  PutWords(index, kIndexFields, out);
}

PackageIndexHeader DecodeIndexHeader(const uint8_t in[kIndexHeaderSize]) { return GetWords(kIndexFields, in); }

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
