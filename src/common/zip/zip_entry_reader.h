// The read state of one open zip entry: stored bytes are copied, deflated bytes go
// through zlib's raw inflate. When the last byte comes out, the entry must end exactly
// there and its CRC-32 must match, or the read fails.
#pragma once

#include <zlib.h>

#include <cstdint>

#include "common/zip/zip_archive.h"

class ZipEntryReader {
 public:
  ZipEntryReader(const ZipCentralHeader& header, const uint8_t* data);
  ~ZipEntryReader();
  ZipEntryReader(const ZipEntryReader&) = delete;
  ZipEntryReader& operator=(const ZipEntryReader&) = delete;

  // Prepares inflate: 0 or kZipDataFailed.
  int Start();
  // Produces up to size bytes into out and adds their count to *produced: 0 or kZipDataFailed.
  int Read(uint8_t* out, uint32_t size, uint32_t* produced);

 private:
  int Inflate(uint8_t* out, uint32_t size);
  int Finish();
  int Fail(const char* what);

  ZipCentralHeader header_;
  const uint8_t* data_;
  uint32_t uncompressedLeft_;
  uint32_t crc_;
  bool inflating_ = false;
  bool streamEnded_ = false;
  bool finished_ = false;
  z_stream zs_{};
};
