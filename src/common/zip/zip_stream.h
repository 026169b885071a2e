// The byte source under a zip archive: the caller's memory block. Every access is
// bounded by the block, so a damaged offset or size can never reach outside it.
#pragma once

#include <cstdint>

class ZipStream {
 public:
  ZipStream(const uint8_t* data, uint32_t length) : data_(data), length_(length) {}

  uint32_t Length() const { return length_; }
  // The bytes [position, position + length) of the block, or null when they do not all lie inside it.
  const uint8_t* Span(uint64_t position, uint64_t length) const {
    if (position > length_ || length > length_ - position) return nullptr;
    return data_ + position;
  }

 private:
  const uint8_t* data_;
  uint32_t length_;
};
