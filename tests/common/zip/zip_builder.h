// Builds zip archives byte by byte, for headers no real writer makes.
#pragma once

#include <optional>
#include <string>

#include "zip_test_util.h"

struct BuiltEntry {
  std::string name;
  Bytes content;        // uncompressed
  uint16_t method = 8;  // 0 stored, 8 raw DEFLATE of content
  uint16_t flag = 0;
  uint32_t dosDateTime = 0x52A46000;  // 2021-05-04 12:00:00
  uint32_t externalAttributes = 0x81A40000;
  Bytes localExtra;
  // Overrides of what the content gives.
  std::optional<uint32_t> crc, compressedSize, uncompressedSize;
  std::optional<Bytes> data;  // the bytes stored in the archive
};

struct BuiltArchive {
  Bytes junkBefore;
  std::vector<BuiltEntry> entries;
  std::string comment;
  int entriesInEndRecord = -1;  // -1: the real count
  uint16_t disk = 0;
};

Bytes BuildArchive(const BuiltArchive& layout);
Bytes RawDeflate(const Bytes& content);
// A "UT" block: tag, length (the real one unless given), flags and the times.
Bytes TimestampBlock(uint8_t flags, const std::vector<int32_t>& times, int length = -1);
