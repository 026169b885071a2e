// Time for log records: UTC seconds since 1970 and their local calendar, through the
// Win32 time-zone functions (the C runtime's localtime misreads some zones under Wine).
#pragma once

#include <cstdint>

namespace vemtal {
namespace vlog {

struct LocalTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Microseconds since 1970-01-01 UTC of the system clock.
int64_t nowMicroseconds();

LocalTime toLocalTime(int64_t seconds);
// The second (UTC, since 1970) at which the local day holding `seconds` begins.
int64_t localDayStart(int64_t seconds);

}  // namespace vlog
}  // namespace vemtal
