// Whether a product file stands on disk as a file record describes it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <unordered_map>

// Something (file or folder) exists at the path.
bool PathExists(const std::wstring& path);

// The file exists, its last-write time (UTC) lies within a second of timeMs
// (milliseconds since 1970-01-01 UTC) and its size is exactly size.
bool FileMatches(const std::wstring& path, int64_t timeMs, int64_t size);

// Milliseconds since 1970-01-01 UTC of a FILETIME value (100 ns units since 1601).
int64_t FileTimeToUnixMs(uint64_t fileTime);

// The times an installed product file takes from its record's "time" (timeMs, milliseconds
// since 1970-01-01 UTC): last write cut to whole seconds, last access 1970-01-01 itself.
struct RecordFileTimes {
  FILETIME written;
  FILETIME accessed;
};
RecordFileTimes RecordFileTimesOf(int64_t timeMs);

// Record times by a file's path in the package ("\\" between folders).
using RecordFileTimesByPath = std::unordered_map<std::wstring, RecordFileTimes>;
