#include "common/zip/zip_header_bytes.h"

#include <cstring>

#include "common/zip/zip_format.h"

using namespace zipfmt;

namespace {

constexpr uint16_t kVersionMadeBy = 0x0B17;
constexpr uint16_t kVersionNeeded = 0x0014;  // 2.0: deflate
constexpr uint32_t kExternalAttributes = 0x80000000;
constexpr uint16_t kLocalExtraLength = 17;
constexpr uint16_t kCentralExtraLength = 9;
constexpr uint8_t kAllTimes = kTimestampModified | kTimestampAccessed | kTimestampCreated;

uint8_t* PutName(uint8_t* p, const std::string& name) {
  memcpy(p, name.data(), name.size());
  return p + name.size();
}

// The fields local and central headers share, from "version needed" to the name length.
uint8_t* PutCommonFields(uint8_t* p, const ZipWrittenEntry& e) {
  p = Put16(p, kVersionNeeded);
  p = Put16(p, e.flag);
  p = Put16(p, e.method);
  p = Put32(p, e.dosDateTime);
  p = Put32(p, e.crc32);
  p = Put32(p, e.compressedSize);
  p = Put32(p, e.uncompressedSize);
  return Put16(p, static_cast<uint16_t>(e.name.size()));
}

}  // namespace

std::vector<uint8_t> LocalHeaderBytes(const ZipWrittenEntry& e) {
  std::vector<uint8_t> bytes(kLocalHeaderSize + e.name.size() + kLocalExtraLength);
  uint8_t* p = Put32(bytes.data(), kLocalSignature);
  p = PutCommonFields(p, e);
  p = Put16(p, kLocalExtraLength);
  p = PutName(p, e.name);
  p = Put16(p, kTimestampTag);
  p = Put16(p, kLocalExtraLength - 4);
  *p++ = kAllTimes;
  p = Put32(p, e.unixTime);  // last write
  p = Put32(p, e.unixTime);  // last access
  Put32(p, e.unixTime);      // creation
  return bytes;
}

std::vector<uint8_t> CentralHeaderBytes(const ZipWrittenEntry& e) {
  std::vector<uint8_t> bytes(kCentralHeaderSize + e.name.size() + kCentralExtraLength);
  uint8_t* p = Put32(bytes.data(), kCentralSignature);
  p = Put16(p, kVersionMadeBy);
  p = PutCommonFields(p, e);
  p = Put16(p, kCentralExtraLength);
  p = Put16(p, 0);  // comment length
  p = Put16(p, 0);  // disk number start
  p = Put16(p, 0);  // internal attributes
  p = Put32(p, kExternalAttributes);
  p = Put32(p, e.localHeaderOffset);
  p = PutName(p, e.name);
  p = Put16(p, kTimestampTag);
  p = Put16(p, kCentralExtraLength - 4);
  *p++ = kAllTimes;
  Put32(p, e.unixTime);
  return bytes;
}

std::vector<uint8_t> EndRecordBytes(uint16_t entries, uint32_t centralSize, uint32_t centralOffset) {
  std::vector<uint8_t> bytes(kEndRecordSize);
  uint8_t* p = Put32(bytes.data(), kEndSignature);
  p = Put16(p, 0);  // this disk
  p = Put16(p, 0);  // disk of the central directory
  p = Put16(p, entries);
  p = Put16(p, entries);
  p = Put32(p, centralSize);
  p = Put32(p, centralOffset);
  Put16(p, 0);  // comment length
  return bytes;
}
