#include "common/zip/zip_entry_reader.h"

#include <algorithm>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_quiet.h"

namespace {

// Compressed bytes handed to inflate at a time: large reads, bounded memory.
constexpr uint32_t kInputPiece = 256 * 1024;

}  // namespace

ZipEntryReader::ZipEntryReader(const ZipCentralHeader& header, const ZipStream& stream, uint64_t data)
    : header_(header),
      stream_(stream),
      next_(data),
      compressedLeft_(header.compressedSize),
      uncompressedLeft_(header.uncompressedSize),
      crc_(crc32(0, nullptr, 0)) {}

ZipEntryReader::~ZipEntryReader() {
  if (inflating_) inflateEnd(&zs_);
}

int ZipEntryReader::Fail(const char* what) {
  ZIP_LOG_ERROR("ZipReader::UnzipItem, %s: %s", header_.name.c_str(), what);
  return kZipDataFailed;
}

int ZipEntryReader::Start() {
  if (header_.method != zipfmt::kMethodDeflated) return kZipOk;
  // Negative window bits: raw DEFLATE without a zlib header.
  if (inflateInit2(&zs_, -MAX_WBITS) != Z_OK) return Fail("inflateInit2 failed");
  inflating_ = true;
  return kZipOk;
}

int ZipEntryReader::Read(uint8_t* out, uint32_t size, uint32_t* produced) {
  const uint32_t want = size < uncompressedLeft_ ? size : uncompressedLeft_;
  if (want > 0) {
    if (header_.method == zipfmt::kMethodStored) {
      if (!stream_.CopyTo(next_, want, out)) return Fail("reading the data failed");
      next_ += want;
      compressedLeft_ -= want;
    } else {
      uint32_t written = 0;
      if (Inflate(out, want, &written) != kZipOk) return kZipDataFailed;
      if (written < want) return Fail("deflate data end before the entry's size");
    }
    crc_ = crc32(crc_, out, want);
    uncompressedLeft_ -= want;
    *produced += want;
  }
  return uncompressedLeft_ == 0 && !finished_ ? Finish() : kZipOk;
}

// The next piece of compressed bytes for inflate, once it has used the last one; nothing
// when none are left (inflate then reports the stream cut off).
bool ZipEntryReader::FillInput() {
  if (zs_.avail_in > 0 || compressedLeft_ == 0) return true;
  const uint32_t piece = std::min(compressedLeft_, kInputPiece);
  const uint8_t* bytes = stream_.Bytes(next_, piece, &input_);
  if (bytes == nullptr) return false;
  zs_.next_in = const_cast<Bytef*>(bytes);
  zs_.avail_in = piece;
  next_ += piece;
  compressedLeft_ -= piece;
  return true;
}

// Inflates into out until it is full or the DEFLATE stream ends; *written gets the count.
int ZipEntryReader::Inflate(uint8_t* out, uint32_t size, uint32_t* written) {
  zs_.next_out = out;
  zs_.avail_out = size;
  while (zs_.avail_out > 0 && !streamEnded_) {
    if (!FillInput()) return Fail("reading the data failed");
    const int rc = inflate(&zs_, Z_NO_FLUSH);
    if (rc == Z_STREAM_END) {
      streamEnded_ = true;
    } else if (rc == Z_BUF_ERROR) {
      return Fail("deflate data cut off");
    } else if (rc != Z_OK) {
      return Fail(zs_.msg != nullptr ? zs_.msg : "inflate failed");
    }
  }
  *written = size - zs_.avail_out;
  return kZipOk;
}

// After the last byte: the DEFLATE stream must end here, with no compressed byte left over,
// and the CRC-32 must match.
int ZipEntryReader::Finish() {
  finished_ = true;
  if (inflating_) {
    uint8_t extra;
    uint32_t written = 0;
    if (!streamEnded_ && Inflate(&extra, 1, &written) != kZipOk) return kZipDataFailed;
    if (written > 0) return Fail("deflate data run past the entry's size");
    if (zs_.avail_in > 0 || compressedLeft_ > 0) return Fail("deflate data end before the entry's compressed size");
  }
  if (crc_ != header_.crc32) return Fail("CRC-32 mismatch");
  return kZipOk;
}
