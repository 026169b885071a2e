#include "common/zip/zip_archive.h"

#include "common/zip/zip_codes.h"
#include "common/zip/zip_format.h"
#include "common/zip/zip_quiet.h"

using namespace zipfmt;

namespace {

constexpr uint32_t kEndSearchLimit = 0xFFFF;  // the end record is looked for this far back

}  // namespace

bool ZipArchive::FindEndRecord(uint32_t* position) const {
  const uint32_t length = stream_.Length();
  if (length < 4) return false;
  const uint32_t lowest = length > kEndSearchLimit ? length - kEndSearchLimit : 0;
  const uint8_t* window = stream_.Bytes(lowest, length - lowest, &scratch_);
  if (window == nullptr) return false;
  for (uint32_t at = length - 4;; --at) {
    if (Get32(window + (at - lowest)) == kEndSignature) {
      *position = at;
      return true;
    }
    if (at == lowest) return false;
  }
}

int ZipArchive::Open() {
  uint32_t endPosition = 0;
  if (!FindEndRecord(&endPosition)) {
    ZIP_LOG_ERROR("ZipReader::Open, no end of central directory record, length %u", stream_.Length());
    return kZipOpenFailed;
  }
  const uint8_t* end = stream_.Bytes(endPosition, kEndRecordSize, &scratch_);
  if (end == nullptr) {
    ZIP_LOG_ERROR("ZipReader::Open, end record cut off at %u, length %u", endPosition, stream_.Length());
    return kZipOpenFailed;
  }
  const uint16_t disk = Get16(end + 4);
  const uint16_t centralDisk = Get16(end + 6);
  const uint16_t entriesOnDisk = Get16(end + 8);
  const uint16_t entries = Get16(end + 10);
  const uint32_t centralSize = Get32(end + 12);
  const uint32_t centralOffset = Get32(end + 16);
  if (entries != entriesOnDisk || disk != 0 || centralDisk != 0) {
    ZIP_LOG_ERROR("ZipReader::Open, split archive refused, disk %u, directory disk %u, entries %u of %u", disk,
                  centralDisk, entriesOnDisk, entries);
    return kZipInconsistent;
  }
  const uint64_t centralEnd = static_cast<uint64_t>(centralOffset) + centralSize;
  if (endPosition < centralEnd) {
    ZIP_LOG_ERROR("ZipReader::Open, central directory %u+%u beyond end record at %u", centralOffset, centralSize,
                  endPosition);
    return kZipInconsistent;
  }
  bytesBefore_ = endPosition - static_cast<uint32_t>(centralEnd);
  centralStart_ = static_cast<uint64_t>(bytesBefore_) + centralOffset;
  return IndexCentralDirectory(bytesBefore_ + centralOffset, centralSize, entries);
}

int ZipArchive::IndexCentralDirectory(uint32_t start, uint32_t size, uint16_t entries) {
  const uint64_t end = static_cast<uint64_t>(start) + size;
  uint64_t at = start;
  centralPositions_.reserve(entries);
  for (uint16_t i = 0; i < entries; ++i) {
    const uint8_t* p = at + kCentralHeaderSize <= end ? stream_.Bytes(at, kCentralHeaderSize, &scratch_) : nullptr;
    if (p == nullptr || Get32(p) != kCentralSignature) {
      ZIP_LOG_ERROR("ZipReader::Open, entry %u has no central header at %llu", i, static_cast<unsigned long long>(at));
      return kZipInconsistent;
    }
    const uint64_t next = at + kCentralHeaderSize + Get16(p + 28) + Get16(p + 30) + Get16(p + 32);
    if (next > end) {
      ZIP_LOG_ERROR("ZipReader::Open, central header of entry %u runs past the directory", i);
      return kZipInconsistent;
    }
    centralPositions_.push_back(static_cast<uint32_t>(at));
    at = next;
  }
  return kZipOk;
}

int ZipArchive::CentralHeader(int index, ZipCentralHeader* header) const {
  const uint32_t at = centralPositions_[static_cast<size_t>(index)];
  const uint8_t* p = stream_.Bytes(at, kCentralHeaderSize, &scratch_);
  if (p == nullptr) return kZipOpenFailed;
  ZipCentralHeader& h = *header;
  h.versionMadeBy = Get16(p + 4);
  h.versionNeeded = Get16(p + 6);
  h.flag = Get16(p + 8);
  h.method = Get16(p + 10);
  h.dosDateTime = Get32(p + 12);
  h.crc32 = Get32(p + 16);
  h.compressedSize = Get32(p + 20);
  h.uncompressedSize = Get32(p + 24);
  h.nameLength = Get16(p + 28);
  h.extraLength = Get16(p + 30);
  h.commentLength = Get16(p + 32);
  h.diskStart = Get16(p + 34);
  h.internalAttributes = Get16(p + 36);
  h.externalAttributes = Get32(p + 38);
  h.localHeaderOffset = Get32(p + 42);
  // The directory was indexed whole: the name lies inside the source.
  const uint8_t* name = stream_.Bytes(static_cast<uint64_t>(at) + kCentralHeaderSize, h.nameLength, &scratch_);
  if (name == nullptr) return kZipOpenFailed;
  h.name.assign(reinterpret_cast<const char*>(name), h.nameLength);
  return kZipOk;
}

namespace {

// Sizes a header may claim for its method: stored data are as long as the file, and
// DEFLATE cannot expand more than its maximum ratio.
bool SizesPlausible(const ZipCentralHeader& h) {
  if (h.method == kMethodStored) return h.compressedSize == h.uncompressedSize;
  return h.uncompressedSize <= static_cast<uint64_t>(h.compressedSize) * kMaxDeflateRatio;
}

// The local header's fields that must agree with the central header.
struct LocalFields {
  uint16_t method, nameLength, extraLength;
  uint32_t crc32, compressedSize, uncompressedSize;
};

}  // namespace

int ZipArchive::LocateEntry(const ZipCentralHeader& h, const char* operation, ZipEntryLocation* location) const {
  const int nameLength = h.nameLength;
  const char* name = h.name.c_str();
  const uint64_t at = static_cast<uint64_t>(h.localHeaderOffset) + bytesBefore_;
  const uint8_t* p = at + kLocalHeaderSize <= centralStart_ ? stream_.Bytes(at, kLocalHeaderSize, &scratch_) : nullptr;
  if (p == nullptr || Get32(p) != kLocalSignature) {
    ZIP_LOG_ERROR("%s, %.*s has no local header at %llu", operation, nameLength, name,
                  static_cast<unsigned long long>(at));
    return kZipBadLocalHeader;
  }
  const LocalFields local{Get16(p + 8), Get16(p + 26), Get16(p + 28), Get32(p + 14), Get32(p + 18), Get32(p + 22)};
  const bool sizesInHeader = (h.flag & kFlagDataDescriptor) == 0;
  if (local.method != h.method || (h.method != kMethodStored && h.method != kMethodDeflated) ||
      (sizesInHeader && (local.crc32 != h.crc32 || local.compressedSize != h.compressedSize ||
                         local.uncompressedSize != h.uncompressedSize)) ||
      local.nameLength != h.nameLength) {
    ZIP_LOG_ERROR("%s, local header of %.*s does not match its central header, method %u", operation, nameLength, name,
                  h.method);
    return kZipBadLocalHeader;
  }
  if (h.flag & kFlagEncrypted) {
    ZIP_LOG_ERROR("%s, %.*s is encrypted", operation, nameLength, name);
    return kZipBadLocalHeader;
  }
  const uint64_t extraAt = at + kLocalHeaderSize + h.nameLength;
  const uint8_t* extra = stream_.Bytes(extraAt, local.extraLength, &scratch_);
  if (extra == nullptr) {
    ZIP_LOG_ERROR("%s, local extra field of %.*s cut off", operation, nameLength, name);
    return kZipBadExtraField;
  }
  location->extra.assign(extra, extra + local.extraLength);
  location->data = extraAt + local.extraLength;
  if (location->data + h.compressedSize > centralStart_ || !SizesPlausible(h)) {
    ZIP_LOG_ERROR("%s, data of %.*s do not fit the archive, sizes %u/%u", operation, nameLength, name, h.compressedSize,
                  h.uncompressedSize);
    return kZipBadLocalHeader;
  }
  return kZipOk;
}
