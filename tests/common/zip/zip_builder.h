// Builds zip archives byte by byte for tests that need headers no real writer makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zip_test_util.h"

struct BuiltEntry {
  std::string name;
  Bytes content;         // uncompressed
  uint16_t method = 8;   // 0 stored, 8 deflated (raw DEFLATE of content)
  uint16_t flag = 0;
  uint16_t versionMadeBy = 0x031E;
  uint32_t dosDateTime = 0x52A46000;  // 2021-05-04 12:00:00
  uint32_t externalAttributes = 0x81A40000;
  Bytes localExtra;
  Bytes centralExtra;
  // Overrides of what the content gives.
  bool overrideCrc = false;
  uint32_t crc32 = 0;
  bool overrideSizes = false;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  bool overrideData = false;
  Bytes data;  // the bytes stored in the archive
  bool zeroLocalSizes = false;  // as writers with a data descriptor do
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
// A "UT" block: tag, length, flags and the times given.
Bytes TimestampBlock(uint8_t flags, const std::vector<int32_t>& times, int lengthOverride = -1);
