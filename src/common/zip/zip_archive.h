// The archive state of the zip reader: the end record, the central directory and the
// local headers of an archive held in memory, every offset checked against the block.
#pragma once

#include <cstdint>
#include <vector>

#include "common/zip/zip_stream.h"

struct ZipCentralHeader {
  uint16_t versionMadeBy = 0;
  uint16_t versionNeeded = 0;
  uint16_t flag = 0;
  uint16_t method = 0;
  uint32_t dosDateTime = 0;  // date in the high half
  uint32_t crc32 = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  uint16_t nameLength = 0;
  uint16_t extraLength = 0;
  uint16_t commentLength = 0;
  uint16_t diskStart = 0;
  uint16_t internalAttributes = 0;
  uint32_t externalAttributes = 0;
  uint32_t localHeaderOffset = 0;
  const uint8_t* name = nullptr;  // nameLength bytes of UTF-8 inside the block
};

// Where an entry's local extra field and data lie inside the block.
struct ZipEntryLocation {
  const uint8_t* extra = nullptr;
  uint16_t extraLength = 0;
  const uint8_t* data = nullptr;  // compressedSize bytes
};

class ZipArchive {
 public:
  ZipArchive(const uint8_t* data, uint32_t length) : stream_(data, length) {}

  // Reads the end record and indexes the central directory: 0, kZipOpenFailed or kZipInconsistent.
  int Open();
  int EntryCount() const { return static_cast<int>(centralPositions_.size()); }
  // The central header of entry index (0 <= index < EntryCount()).
  ZipCentralHeader CentralHeader(int index) const;
  // Checks the entry's local header against its central header and that its extra field
  // and data lie inside the block: 0, kZipBadLocalHeader or kZipBadExtraField.
  int LocateEntry(const ZipCentralHeader& header, const char* operation, ZipEntryLocation* location) const;

 private:
  bool FindEndRecord(uint32_t* position) const;
  int IndexCentralDirectory(uint32_t start, uint32_t size, uint16_t entries);

  ZipStream stream_;
  uint32_t bytesBefore_ = 0;                // bytes in front of the archive inside the block
  std::vector<uint32_t> centralPositions_;  // block position of each entry's central header
};
