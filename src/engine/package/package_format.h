// Byte layout of an install package, shared by the reader and the maker. All numbers are
// little-endian; offsets said to be "from the head" count from the head's first byte.
//   head (36) | items (16-byte header + zip archive each) | index (16-byte header,
//   16-byte item records, name table) | tail (80)
#pragma once

#include <cstddef>
#include <cstdint>

namespace pkgfmt {

constexpr uint32_t kHeadMagic = 0x506B6748;   // "HgkP"
constexpr uint32_t kItemMagic = 0x506B6749;   // "IgkP"
constexpr uint32_t kIndexMagic = 0x506B6758;  // "XgkP"
constexpr uint32_t kTailMagic = 0x506B6754;   // "TgkP"
constexpr uint32_t kVersion = 1;

constexpr size_t kHeadSize = 36;
constexpr size_t kItemHeaderSize = 16;
constexpr size_t kIndexHeaderSize = 16;
constexpr size_t kTailSize = 80;
constexpr size_t kDigestSize = 16;

// In the executable's DOS header: the first package's head, and the maker's flag word.
constexpr uint64_t kLocatorOffset = 0x30;
constexpr uint64_t kFlagWordOffset = 0x34;

struct PackageHead {
  uint32_t magic = 0;
  uint32_t version = 0;
  uint32_t totalLength = 0;    // head to end of tail
  uint32_t itemCount = 0;      // not trusted by the reader: the index has the count
  uint32_t indexOffset = 0;    // from the head
  uint32_t tailOffset = 0;     // from the head
  uint32_t unpackedTotal = 0;  // sum of the files' sizes
  uint32_t reserved1 = 0;
  uint32_t reserved2 = 0;
};

struct PackageItemHeader {
  uint32_t magic = 0;
  uint32_t fileSize = 0;  // unpacked size of the file in the item
  uint32_t zipSize = 0;   // length of the zip archive that follows
  uint32_t crc32 = 0;     // zlib's CRC-32 of the zip archive
};

struct PackageIndexHeader {
  uint32_t magic = 0;
  uint32_t count = 0;
  uint32_t namesOffset = 0;  // from the index header
  uint32_t namesSize = 0;
};

struct PackageTail {
  uint32_t magic = 0;
  uint32_t totalLength = 0;
  uint8_t reserved[8] = {};
  uint8_t headDigest[kDigestSize] = {};
  uint8_t indexDigest[kDigestSize] = {};  // index header and item records
  uint8_t itemsDigest[kDigestSize] = {};  // head + 36 up to the index
  uint16_t buildTime[8] = {};             // SYSTEMTIME, UTC
};

void EncodeHead(const PackageHead& head, uint8_t out[kHeadSize]);
PackageHead DecodeHead(const uint8_t in[kHeadSize]);
void EncodeItemHeader(const PackageItemHeader& item, uint8_t out[kItemHeaderSize]);
PackageItemHeader DecodeItemHeader(const uint8_t in[kItemHeaderSize]);
void EncodeIndexHeader(const PackageIndexHeader& index, uint8_t out[kIndexHeaderSize]);
PackageIndexHeader DecodeIndexHeader(const uint8_t in[kIndexHeaderSize]);
void EncodeTail(const PackageTail& tail, uint8_t out[kTailSize]);
PackageTail DecodeTail(const uint8_t in[kTailSize]);

uint32_t Get32(const uint8_t* p);
void Put32(uint8_t* p, uint32_t v);

}  // namespace pkgfmt
