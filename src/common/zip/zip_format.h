// Byte layout shared by the zip writer and reader (PKWARE application note, with
// Info-ZIP's "UT" extended timestamp field). All values are little-endian.
#pragma once

#include <cstdint>

namespace zipfmt {

constexpr uint32_t kLocalSignature = 0x04034B50;    // "PK\3\4"
constexpr uint32_t kCentralSignature = 0x02014B50;  // "PK\1\2"
constexpr uint32_t kEndSignature = 0x06054B50;      // "PK\5\6"

constexpr uint32_t kLocalHeaderSize = 30;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr uint32_t kEndRecordSize = 22;

constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflated = 8;

constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagMaxCompression = 0x0002;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kFlagUtf8Name = 0x0800;

constexpr uint16_t kTimestampTag = 0x5455;  // "UT"
constexpr uint8_t kTimestampModified = 0x01;
constexpr uint8_t kTimestampAccessed = 0x02;
constexpr uint8_t kTimestampCreated = 0x04;

// The largest expansion raw DEFLATE allows is 1032:1; a header claiming more is damaged.
constexpr uint64_t kMaxDeflateRatio = 1032;

inline uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t Get32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline uint8_t* Put16(uint8_t* p, uint16_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
  return p + 2;
}
inline uint8_t* Put32(uint8_t* p, uint32_t v) {
  p = Put16(p, static_cast<uint16_t>(v));
  return Put16(p, static_cast<uint16_t>(v >> 16));
}

}  // namespace zipfmt
