#include "common/zip/zip_entry_reader.h"

#include <cstring>

#include "common/log/vlog.h"
#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"

ZipEntryReader::ZipEntryReader(const ZipCentralHeader& header, const uint8_t* data)
    : header_(header), data_(data), uncompressedLeft_(header.uncompressedSize), crc_(crc32(0, nullptr, 0)) {}

ZipEntryReader::~ZipEntryReader() {
  if (inflating_) inflateEnd(&zs_);
}

int ZipEntryReader::Fail(const char* what) {
  VLOG_ERROR("ZipReader::UnzipItem, %.*s: %s", static_cast<int>(header_.nameLength),
             reinterpret_cast<const char*>(header_.name), what);
  return kZipDataFailed;
}

int ZipEntryReader::Start() {
  if (header_.method != zipfmt::kMethodDeflated) return kZipOk;
  // Negative window bits: raw DEFLATE without a zlib header.
  if (inflateInit2(&zs_, -MAX_WBITS) != Z_OK) return Fail("inflateInit2 failed");
  inflating_ = true;
  zs_.next_in = const_cast<Bytef*>(data_);
  zs_.avail_in = header_.compressedSize;
  return kZipOk;
}

int ZipEntryReader::Read(uint8_t* out, uint32_t size, uint32_t* produced) {
  const uint32_t want = size < uncompressedLeft_ ? size : uncompressedLeft_;
  if (want > 0) {
    if (header_.method == zipfmt::kMethodStored) {
      memcpy(out, data_ + (header_.uncompressedSize - uncompressedLeft_), want);
    } else if (Inflate(out, want) != kZipOk) {
      return kZipDataFailed;
    }
    crc_ = crc32(crc_, out, want);
    uncompressedLeft_ -= want;
    *produced += want;
  }
  return uncompressedLeft_ == 0 && !finished_ ? Finish() : kZipOk;
}

int ZipEntryReader::Inflate(uint8_t* out, uint32_t size) {
  zs_.next_out = out;
  zs_.avail_out = size;
  while (zs_.avail_out > 0) {
    if (streamEnded_) return Fail("deflate data end before the entry's size");
    const int rc = inflate(&zs_, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) {
      streamEnded_ = true;
    } else if (rc == Z_BUF_ERROR) {
      return Fail("deflate data cut off");
    } else if (rc != Z_OK) {
      return Fail(zs_.msg != nullptr ? zs_.msg : "inflate failed");
    }
  }
  return kZipOk;
}

// After the last byte: the DEFLATE stream must end here and the CRC-32 must match.
int ZipEntryReader::Finish() {
  finished_ = true;
  if (inflating_ && !streamEnded_) {
    uint8_t extra;
    zs_.next_out = &extra;
    zs_.avail_out = 1;
    int rc = Z_OK;
    while (rc == Z_OK && zs_.avail_out == 1) rc = inflate(&zs_, Z_NO_FLUSH);
    if (zs_.avail_out == 0) return Fail("deflate data run past the entry's size");
    if (rc != Z_STREAM_END) return Fail(zs_.msg != nullptr ? zs_.msg : "deflate data cut off");
    streamEnded_ = true;
  }
  if (crc_ != header_.crc32) return Fail("CRC-32 mismatch");
  return kZipOk;
}
