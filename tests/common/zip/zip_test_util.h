// Helpers shared by the zip tests: files, random bytes and whole-entry reads.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/zip/zip_handle.h"
#include "common/zip/zip_item_info.h"

using Bytes = std::vector<uint8_t>;

// "/a/b" as Wine sees it ("Z:\a\b"); other paths unchanged.
std::wstring WinePath(const std::string& path);
bool ReadWholeFile(const std::wstring& path, Bytes* bytes);
bool WriteWholeFile(const std::wstring& path, const Bytes& bytes);

Bytes RandomBytes(size_t length, uint32_t seed);
// Text-like bytes that compress well.
Bytes CompressibleBytes(size_t length, uint32_t seed);

struct NamedBytes {
  std::string name;  // UTF-8
  Bytes bytes;
};
// An archive written by ZipWriter holding the entries in order; empty on a writer failure.
Bytes WriteArchive(const std::vector<NamedBytes>& entries);

struct UnzipResult {
  int code = 0;  // the last UnzipItem code: kZipOk when the entry came out whole
  Bytes bytes;
};
// Unzips entry index in pieces of at most piece bytes until the reader reports the end
// (GetItem first, for the entry's size).
UnzipResult UnzipWhole(ZipHandle* handle, int index, uint32_t piece);

// Opens the archive, lists every entry and unzips each; true when every step succeeded,
// with the entries' bytes in *contents. Checks that no write goes past the buffers.
bool ReadEverything(const Bytes& archive, std::vector<Bytes>* contents);

std::string Utf8FromWide(const std::wstring& text);
int64_t FileTimeTicks(const FILETIME& ft);
