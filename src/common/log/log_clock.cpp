#include "common/log/log_clock.h"

#include <windows.h>

namespace vemtal {
namespace vlog {

namespace {

constexpr int64_t kEpochDifferenceSeconds = 11644473600LL;  // 1601 -> 1970
constexpr int64_t kTicksPerSecond = 10000000LL;

FILETIME toFileTime(int64_t seconds) {
  uint64_t ticks = static_cast<uint64_t>((seconds + kEpochDifferenceSeconds) * kTicksPerSecond);
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
  return ft;
}

int64_t toSeconds(const FILETIME& ft) {
  uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<int64_t>(ticks / kTicksPerSecond) - kEpochDifferenceSeconds;
}

SYSTEMTIME toLocalSystemTime(int64_t seconds) {
  FILETIME ft = toFileTime(seconds < 0 ? 0 : seconds);
  SYSTEMTIME utc{};
  SYSTEMTIME local{};
  FileTimeToSystemTime(&ft, &utc);
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
  return local;
}

}  // namespace

int64_t nowMicroseconds() {
  FILETIME ft;
  GetSystemTimeAsFileTime(&ft);
  uint64_t ticks = (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10) - 11644473600000000LL;
}

LocalTime toLocalTime(int64_t seconds) {
  SYSTEMTIME st = toLocalSystemTime(seconds);
  return LocalTime{st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

int64_t localDayStart(int64_t seconds) {
  SYSTEMTIME local = toLocalSystemTime(seconds);
  local.wHour = local.wMinute = local.wSecond = local.wMilliseconds = 0;
  SYSTEMTIME utc{};
  FILETIME ft;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &ft)) {
    return seconds - seconds % 86400;
  }
  return toSeconds(ft);
}

}  // namespace vlog
}  // namespace vemtal
