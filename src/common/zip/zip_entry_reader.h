// The read state of one open zip entry: stored bytes are copied, deflated bytes go through
// zlib's raw inflate, the compressed bytes read from the source in bounded pieces. When the
// last byte comes out, the entry must end exactly there (its DEFLATE stream too, using all
// of its compressed bytes) and its CRC-32 must match, or the read fails.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "common/zip/zip_archive.h"

class ZipEntryReader {
 public:
  ZipEntryReader(const ZipCentralHeader& header, const ZipStream& stream, uint64_t data);
  ~ZipEntryReader();
  ZipEntryReader(const ZipEntryReader&) = delete;
  ZipEntryReader& operator=(const ZipEntryReader&) = delete;

  // Prepares inflate: 0 or kZipDataFailed.
  int Start();
  // Produces up to size bytes into out and adds their count to *produced: 0 or kZipDataFailed.
  int Read(uint8_t* out, uint32_t size, uint32_t* produced);

 private:
  int Inflate(uint8_t* out, uint32_t size, uint32_t* written);
  bool FillInput();
  int Finish();
  int Fail(const char* what);

  ZipCentralHeader header_;
  const ZipStream& stream_;
  uint64_t next_;              // source position of the next compressed byte
  uint32_t compressedLeft_;    // compressed bytes not yet read from the source
  uint32_t uncompressedLeft_;  // bytes not yet produced
  uint32_t crc_;
  std::vector<uint8_t> input_;  // compressed bytes read from a file source
  bool inflating_ = false;
  bool streamEnded_ = false;
  bool finished_ = false;
  z_stream zs_{};
};
