#include "common/zip/zip_output.h"

#include <cstring>

#include "common/log/vlog.h"

bool ZipOutput::Create(uint32_t capacity) { return Remap(capacity, "ZipWriter::Create"); }

// A new area of the given capacity holding the bytes written so far.
bool ZipOutput::Remap(uint32_t capacity, const char* operation) {
  UniqueMapping mapping(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, capacity, nullptr));
  if (!mapping) {
    VLOG_ERROR("%s, CreateFileMappingW of %u bytes failed, err %lu", operation, capacity, GetLastError());
    return false;
  }
  UniqueView view(static_cast<uint8_t*>(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, capacity)));
  if (!view) {
    VLOG_ERROR("%s, MapViewOfFile of %u bytes failed, err %lu", operation, capacity, GetLastError());
    return false;
  }
  if (position_ > 0) memcpy(view.get(), view_.get(), position_);
  view_ = std::move(view);  // unmaps the old view before the old mapping closes
  mapping_ = std::move(mapping);
  capacity_ = capacity;
  return true;
}

bool ZipOutput::Grow(uint64_t needed) {
  const uint64_t doubled = static_cast<uint64_t>(capacity_) * 2;
  const uint64_t capacity = needed > doubled ? needed : doubled;
  if (capacity > UINT32_MAX) {
    VLOG_ERROR("ZipWriter::Write, archive would exceed 4 GB, %llu bytes", static_cast<unsigned long long>(needed));
    return false;
  }
  return Remap(static_cast<uint32_t>(capacity), "ZipWriter::Write");
}

bool ZipOutput::Write(const void* bytes, uint32_t length) {
  const uint64_t end = static_cast<uint64_t>(position_) + length;
  if (end >= capacity_ && !Grow(end)) return false;
  if (length > 0) memcpy(view_.get() + position_, bytes, length);
  position_ = static_cast<uint32_t>(end);
  return true;
}

bool ZipOutput::Rewrite(uint32_t position, const void* bytes, uint32_t length) {
  if (position > position_ || length > position_ - position) return false;
  memcpy(view_.get() + position, bytes, length);
  return true;
}
