#include "common/zip/zip_stream.h"

#include <algorithm>
#include <cstring>

#include "common/zip/zip_quiet.h"

namespace {

// What an empty range points to: any pointer but null.
const uint8_t kNothing = 0;

}  // namespace

const uint8_t* ZipMemoryStream::Bytes(uint64_t position, uint32_t length, std::vector<uint8_t>*) const {
  return Inside(position, length) ? data_ + position : nullptr;
}

bool ZipMemoryStream::CopyTo(uint64_t position, uint32_t length, uint8_t* out) const {
  if (!Inside(position, length)) return false;
  if (length > 0) memcpy(out, data_ + position, length);
  return true;
}

const uint8_t* ZipFileStream::Bytes(uint64_t position, uint32_t length, std::vector<uint8_t>* scratch) const {
  if (!Inside(position, length)) return nullptr;
  if (length == 0) return &kNothing;
  if (position >= windowStart_ && position + length <= windowStart_ + window_.size()) {
    return window_.data() + (position - windowStart_);
  }
  if (length > kWindow) {
    scratch->resize(length);
    return Read(position, length, scratch->data()) ? scratch->data() : nullptr;
  }
  const uint32_t span = static_cast<uint32_t>(std::min<uint64_t>(kWindow, Length() - position));
  window_.resize(span);
  if (!Read(position, span, window_.data())) {
    window_.clear();
    return nullptr;
  }
  windowStart_ = position;
  return window_.data();
}

bool ZipFileStream::CopyTo(uint64_t position, uint32_t length, uint8_t* out) const {
  return Inside(position, length) && Read(position, length, out);
}

bool ZipFileStream::Read(uint64_t position, uint32_t length, uint8_t* out) const {
  uint64_t at = offset_ + position;
  while (length > 0) {
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD got = 0;
    DWORD err = 0;
    if (!ReadFile(file_, out, length, &got, &where)) {
      err = GetLastError() != 0 ? GetLastError() : ERROR_READ_FAULT;
    } else if (got == 0) {
      err = ERROR_HANDLE_EOF;
    }
    if (err != 0) {
      ZIP_LOG_ERROR("ZipFileStream::Read, ReadFile at %llu failed, err %lu", static_cast<unsigned long long>(at), err);
      if (readError_ == 0) readError_ = err;
      return false;
    }
    out += got;
    at += got;
    length -= got;
  }
  return true;
}
