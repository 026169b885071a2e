// Whether a product file stands on disk as a file record describes it.
#pragma once

#include <cstdint>
#include <string>

// Something (file or folder) exists at the path.
bool PathExists(const std::wstring& path);

// The file exists, its last-write time (UTC) lies within a second of timeMs
// (milliseconds since 1970-01-01 UTC) and its size is exactly size.
bool FileMatches(const std::wstring& path, int64_t timeMs, int64_t size);

// Milliseconds since 1970-01-01 UTC of a FILETIME value (100 ns units since 1601).
int64_t FileTimeToUnixMs(uint64_t fileTime);
