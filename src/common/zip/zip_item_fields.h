// Turns an entry's header fields into the attributes and times of its ZipItemInfo.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "common/zip/zip_item_info.h"

// Windows attribute bits from the central header's external attributes (DOS bits in the
// low byte, Unix mode in the high half).
DWORD FileAttributesFromExternal(uint32_t external);

// Sets all three times from the DOS date and time, then overrides them from the first
// "UT" block of the local extra field. Reads nothing outside the field or the block.
void ReadEntryTimes(uint32_t dosDateTime, const uint8_t* extra, size_t extraLength, ZipItemInfo* info);
