// The archive state of the zip reader: the end record, the central directory and the local
// headers of an archive in its byte source, every offset checked against the source.
#pragma once

#include <cstdint>
#include <string>
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
  std::string name;  // nameLength bytes of UTF-8
};

// An entry's local extra field, and where its data begin in the source.
struct ZipEntryLocation {
  std::vector<uint8_t> extra;
  uint64_t data = 0;  // compressedSize bytes from here
};

class ZipArchive {
 public:
  explicit ZipArchive(const ZipStream& stream) : stream_(stream) {}

  // Reads the end record and indexes the central directory: 0, kZipOpenFailed or kZipInconsistent.
  int Open();
  int EntryCount() const { return static_cast<int>(centralPositions_.size()); }
  const ZipStream& Stream() const { return stream_; }
  // The central header of entry index (0 <= index < EntryCount()): 0, or kZipOpenFailed
  // when the source cannot be read.
  int CentralHeader(int index, ZipCentralHeader* header) const;
  // Checks the entry's local header against its central header and that its extra field
  // and data lie inside the source, before the central directory: 0, kZipBadLocalHeader or
  // kZipBadExtraField.
  int LocateEntry(const ZipCentralHeader& header, const char* operation, ZipEntryLocation* location) const;

 private:
  bool FindEndRecord(uint32_t* position) const;
  int IndexCentralDirectory(uint32_t start, uint32_t size, uint16_t entries);

  const ZipStream& stream_;
  uint32_t bytesBefore_ = 0;                // bytes in front of the archive inside the source
  uint64_t centralStart_ = 0;               // source position of the central directory
  std::vector<uint32_t> centralPositions_;  // source position of each entry's central header
  mutable std::vector<uint8_t> scratch_;    // bytes read from a file source
};
