// Unzips a package item, a zip archive lying inside the package file, straight from the file
// into a folder through the common zip reader: bytes are read, inflated and written in
// bounded pieces, so memory stays small and flat whatever the size of the item.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/zip/zip_handle.h"

#include "engine/package/package_file.h"
#include "engine/parser/file_on_disk.h"

// Times that extracted files take at once, by their path relative to the folder.
using ExtractTimes = RecordFileTimesByPath;

// Writes every entry of the archive at [base, base + size) of the file into folder.
// 0 when every entry was written whole; -1 when the archive or an entry is damaged (bad
// headers, inflate error, size or CRC-32 mismatch), an entry name could reach outside the
// folder, or a file cannot be written: the partly written file is removed. The system
// error code when reading the package file fails. The current directory is not changed.
// A file named in times (may be null) takes its time before it is closed. An archive of one
// entry whose bytes were inflated ahead (inflated, may be null) has them written instead.
int UnzipItemToFolder(const PackageFile& file, uint64_t base, uint32_t size, const std::wstring& folder,
                      const ExtractTimes* times = nullptr, const std::vector<uint8_t>* inflated = nullptr);

// Unzips entry index of size bytes piece by piece, handing each piece to take: 0 when every
// byte came out and the reader found size and CRC-32 right; -1 when the entry is damaged or
// take refused a piece.
int InflateEntry(ZipHandle* zip, int index, uint32_t size, const std::function<bool(const uint8_t*, uint32_t)>& take);
