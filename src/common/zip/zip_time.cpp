#include "common/zip/zip_time.h"

namespace {

constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;  // 100 ns units since 1601
constexpr int64_t kTicksPerSecond = 10000000;

FILETIME FileTimeFromTicks(int64_t ticks) {
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(ticks);
  ft.dwHighDateTime = static_cast<DWORD>(static_cast<uint64_t>(ticks) >> 32);
  return ft;
}

int64_t TicksFromFileTime(const FILETIME& ft) {
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}

// Local calendar time to Unix time; the years are clamped to what 32 bits hold.
uint32_t UnixTimeFromLocal(SYSTEMTIME local) {
  if (local.wYear < 1970) local = SYSTEMTIME{1970, 1, 0, 1, 0, 0, 0, 0};
  if (local.wYear > 2037) local = SYSTEMTIME{2037, 12, 0, 31, 23, 59, 59, 0};
  SYSTEMTIME utc;
  FILETIME ft;
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc) || !SystemTimeToFileTime(&utc, &ft)) return 0;
  const int64_t seconds = (TicksFromFileTime(ft) - kUnixEpochAsFileTime) / kTicksPerSecond;
  return seconds < 0 ? 0 : static_cast<uint32_t>(seconds);
}

}  // namespace

FILETIME FileTimeFromDos(uint32_t dosDateTime) {
  FILETIME ft{0, 0};
  if (!DosDateTimeToFileTime(static_cast<WORD>(dosDateTime >> 16), static_cast<WORD>(dosDateTime), &ft)) {
    return FILETIME{0, 0};
  }
  return ft;
}

FILETIME FileTimeFromUnix(int32_t seconds) {
  return FileTimeFromTicks(kUnixEpochAsFileTime + static_cast<int64_t>(seconds) * kTicksPerSecond);
}

ZipEntryTime CurrentZipEntryTime() {
  SYSTEMTIME local;
  GetLocalTime(&local);
  FILETIME ft;
  WORD date = 0, time = 0;
  SystemTimeToFileTime(&local, &ft);
  FileTimeToDosDateTime(&ft, &date, &time);
  return ZipEntryTime{(static_cast<uint32_t>(date) << 16) | time, UnixTimeFromLocal(local)};
}
