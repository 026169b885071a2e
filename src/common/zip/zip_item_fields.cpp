#include "common/zip/zip_item_fields.h"

#include "common/zip/zip_format.h"
#include "common/zip/zip_time.h"

using namespace zipfmt;

DWORD FileAttributesFromExternal(uint32_t external) {
  constexpr uint32_t kUnixDirectory = 0x40000000;   // S_IFDIR in the high half
  constexpr uint32_t kUnixOwnerWrite = 0x00800000;  // S_IWUSR in the high half
  DWORD attributes = FILE_ATTRIBUTE_NORMAL;
  if (external & (kUnixDirectory | FILE_ATTRIBUTE_DIRECTORY))
    attributes = FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_DIRECTORY;
  if (external & FILE_ATTRIBUTE_ARCHIVE) attributes |= FILE_ATTRIBUTE_ARCHIVE;
  if (external & FILE_ATTRIBUTE_HIDDEN) attributes |= FILE_ATTRIBUTE_HIDDEN;
  if (!(external & kUnixOwnerWrite) || (external & FILE_ATTRIBUTE_READONLY)) attributes |= FILE_ATTRIBUTE_READONLY;
  if (external & FILE_ATTRIBUTE_SYSTEM) attributes |= FILE_ATTRIBUTE_SYSTEM;
  return attributes;
}

namespace {

// The "UT" block's data: a flag byte, then a signed 32-bit Unix time for each flag bit
// set, in the order last-write, last-access, creation. A time cut off by the block's end
// is not read.
void ReadTimestampBlock(const uint8_t* data, size_t length, ZipItemInfo* info) {
  if (length < 1) return;
  const uint8_t flags = data[0];
  size_t at = 1;
  FILETIME* const targets[] = {&info->lastWriteTime, &info->lastAccessTime, &info->creationTime};
  const uint8_t bits[] = {kTimestampModified, kTimestampAccessed, kTimestampCreated};
  for (int i = 0; i < 3; ++i) {
    if (!(flags & bits[i])) continue;
    if (at + 4 > length) return;
    *targets[i] = FileTimeFromUnix(static_cast<int32_t>(Get32(data + at)));
    at += 4;
  }
}

}  // namespace

void ReadEntryTimes(uint32_t dosDateTime, const uint8_t* extra, size_t extraLength, ZipItemInfo* info) {
  const FILETIME dos = FileTimeFromDos(dosDateTime);
  info->lastWriteTime = info->lastAccessTime = info->creationTime = dos;
  size_t at = 0;
  while (extraLength - at > 4) {
    const uint16_t tag = Get16(extra + at);
    const size_t size = Get16(extra + at + 2);
    if (size > extraLength - at - 4) return;  // the block claims more than the field holds
    if (tag == kTimestampTag) {
      ReadTimestampBlock(extra + at + 4, size, info);
      return;
    }
    at += 4 + size;
  }
}
