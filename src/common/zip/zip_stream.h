// The byte source under a zip archive: the caller's memory block, or a range of an open file
// that is read piece by piece, so that memory stays small whatever the archive's size. Every
// access is bounded by the source, so a damaged offset or size never reaches outside it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

class ZipStream {
 public:
  virtual ~ZipStream() = default;
  uint32_t Length() const { return length_; }

  // The bytes [position, position + length): inside the source's own memory, or read into
  // scratch (the pointer stays valid until the next call). Null when they do not all lie
  // inside the source or cannot be read.
  virtual const uint8_t* Bytes(uint64_t position, uint32_t length, std::vector<uint8_t>* scratch) const = 0;
  // Copies the bytes [position, position + length) to out: false as for Bytes.
  virtual bool CopyTo(uint64_t position, uint32_t length, uint8_t* out) const = 0;

 protected:
  explicit ZipStream(uint32_t length) : length_(length) {}
  bool Inside(uint64_t position, uint64_t length) const { return position <= length_ && length <= length_ - position; }

 private:
  uint32_t length_;
};

class ZipMemoryStream final : public ZipStream {
 public:
  // The block must outlive the stream.
  ZipMemoryStream(const uint8_t* data, uint32_t length) : ZipStream(length), data_(data) {}

  const uint8_t* Bytes(uint64_t position, uint32_t length, std::vector<uint8_t>* scratch) const override;
  bool CopyTo(uint64_t position, uint32_t length, uint8_t* out) const override;

 private:
  const uint8_t* data_;
};

// The archive at [offset, offset + length) of a file open for reading (an install package
// item inside the program's own file). Reads name their position, so the file pointer is
// not relied on. One handle belongs to one thread at a time.
class ZipFileStream final : public ZipStream {
 public:
  // The file must stay open while the stream is used.
  ZipFileStream(HANDLE file, uint64_t offset, uint32_t length) : ZipStream(length), file_(file), offset_(offset) {}

  const uint8_t* Bytes(uint64_t position, uint32_t length, std::vector<uint8_t>* scratch) const override;
  bool CopyTo(uint64_t position, uint32_t length, uint8_t* out) const override;
  // The system error of the first read that failed (ERROR_HANDLE_EOF: the file ends inside
  // the archive); 0 while none has.
  DWORD ReadError() const { return readError_; }

 private:
  bool Read(uint64_t position, uint32_t length, uint8_t* out) const;

  HANDLE file_;
  uint64_t offset_;
  mutable DWORD readError_ = 0;
  // The headers, the directory and the end record are read in runs of small pieces close
  // together: one read of up to kWindow bytes serves a run.
  static constexpr uint32_t kWindow = 64 * 1024;
  mutable std::vector<uint8_t> window_;
  mutable uint64_t windowStart_ = 0;
};
