// Helpers shared by the zip tests: files, test bytes, writing an archive and reading entries.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/zip/zip_handle.h"
#include "common/zip/zip_item_info.h"
#include "common/zip/zip_stream.h"

using Bytes = std::vector<uint8_t>;

// "/a/b" as Wine sees it ("Z:\a\b"); other paths unchanged.
std::wstring WinePath(const std::string& path);
bool ReadWholeFile(const std::wstring& path, Bytes* bytes);
bool WriteWholeFile(const std::wstring& path, const Bytes& bytes);

Bytes RandomBytes(size_t length, uint32_t seed);
Bytes CompressibleBytes(size_t length, uint32_t seed);  // text-like

struct NamedBytes {
  std::string name;  // UTF-8
  Bytes bytes;
};
// The archive ZipWriter writes for the entries in order; empty on a writer failure.
Bytes WriteArchive(const std::vector<NamedBytes>& entries);
// The archive must outlive the handle.
UniqueZipHandle OpenBytes(const Bytes& archive);
UniqueZipHandle OpenBytes(Bytes&& archive) = delete;
bool Opens(const Bytes& archive);

// The archive in a temporary file behind `before` bytes of junk, read through a ZipFileStream
// (claiming `extra` bytes more than the archive holds); the file goes with the object, which
// must outlive the handles it opens.
class FileArchive {
 public:
  explicit FileArchive(const Bytes& archive, size_t before = 0, uint32_t extra = 0);
  ~FileArchive();
  UniqueZipHandle Open() const;
  const ZipFileStream& Stream() const { return *stream_; }

 private:
  std::wstring path_;
  HANDLE file_ = INVALID_HANDLE_VALUE;
  std::unique_ptr<ZipFileStream> stream_;
};

struct UnzipResult {
  int code = 0;  // the last UnzipItem code: kZipOk when the entry came out whole
  Bytes bytes;
};
// Unzips entry index in pieces of at most `piece` bytes until the reader reports the end,
// checking that no read writes past the buffer.
UnzipResult UnzipWhole(ZipHandle* handle, int index, uint32_t piece);
// Opens, lists and unzips every entry into *contents; true when every step succeeded.
bool ReadEverything(const Bytes& archive, std::vector<Bytes>* contents);

std::string Utf8FromWide(const std::wstring& text);
int64_t FileTimeTicks(const FILETIME& ft);
