// The bytes of the headers the zip writer puts out: local header with its 17-byte "UT"
// field, central header with its 9-byte "UT" field, and the end record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One written entry, kept until the central directory is written.
struct ZipWrittenEntry {
  uint16_t flag = 0;
  uint16_t method = 0;
  uint32_t dosDateTime = 0;  // date in the high half
  uint32_t unixTime = 0;
  uint32_t crc32 = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint32_t localHeaderOffset = 0;
  std::string name;  // UTF-8, "/" between folders
};

std::vector<uint8_t> LocalHeaderBytes(const ZipWrittenEntry& entry);
std::vector<uint8_t> CentralHeaderBytes(const ZipWrittenEntry& entry);
std::vector<uint8_t> EndRecordBytes(uint16_t entries, uint32_t centralSize, uint32_t centralOffset);
