// Time conversions between zip headers (DOS date and time, Unix time of the "UT" field)
// and Windows FILETIME values.
#pragma once

#include <windows.h>

#include <cstdint>

// DOS date (high half) and time (low half) taken as they stand; zero when invalid.
FILETIME FileTimeFromDos(uint32_t dosDateTime);
// Seconds since 1970-01-01 UTC.
FILETIME FileTimeFromUnix(int32_t seconds);

struct ZipEntryTime {
  uint32_t dosDateTime;  // local time
  uint32_t unixTime;     // the same moment, clamped to the years 1970 to 2037
};
// The current local time in both forms.
ZipEntryTime CurrentZipEntryTime();
