#include "engine/parser/file_on_disk.h"

#include <windows.h>

#include "common/sys/unique_handles.h"

namespace {

constexpr int64_t kToleranceMs = 1000;
constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;
constexpr uint64_t kFileTimeUnitsPerSecond = 10000000ULL;

FILETIME FileTimeOf(uint64_t value) {
  FILETIME time;
  time.dwLowDateTime = static_cast<DWORD>(value);
  time.dwHighDateTime = static_cast<DWORD>(value >> 32);
  return time;
}

}  // namespace

RecordFileTimes RecordFileTimesOf(int64_t timeMs) {
  const int64_t seconds = timeMs / 1000;
  return RecordFileTimes{FileTimeOf(kUnixEpochAsFileTime + static_cast<uint64_t>(seconds) * kFileTimeUnitsPerSecond),
                         FileTimeOf(kUnixEpochAsFileTime)};
}

bool PathExists(const std::wstring& path) {
  DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && attributes != 0;
}

int64_t FileTimeToUnixMs(uint64_t fileTime) {
  return (static_cast<int64_t>(fileTime) - static_cast<int64_t>(kUnixEpochAsFileTime)) / 10000;
}

bool FileMatches(const std::wstring& path, int64_t timeMs, int64_t size) {
  WIN32_FIND_DATAW data;
  UniqueFindHandle find(FindFirstFileW(path.c_str(), &data));
  if (find.get() == INVALID_HANDLE_VALUE) return false;
  uint64_t written =
      (static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  int64_t difference = FileTimeToUnixMs(written) - timeMs;
  if (difference > kToleranceMs || difference < -kToleranceMs) return false;
  uint64_t actualSize = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  return size >= 0 && actualSize == static_cast<uint64_t>(size);
}
