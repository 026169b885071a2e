// A file opened for reading by absolute 64-bit offsets: the program's own file with its
// packages. Every read names its range; a range past the end is a failed read.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/sys/unique_handles.h"

class CMD5;

class PackageFile {
 public:
  // Whether a failure is logged: work done ahead, whose result may be thrown away, leaves
  // the telling to the read that uses it.
  enum class Failure { kLogged, kQuiet };

  // Opens for reading, sharing read only, existing file: 0 or the system error code.
  DWORD Open(const std::wstring& path, Failure failure = Failure::kLogged);
  bool IsOpen() const { return IsValid(handle_); }
  HANDLE Handle() const { return handle_.get(); }
  uint64_t Size() const { return size_; }
  // Whether both are open on one and the same file, unchanged in between: neither lets a
  // writer in while it is open.
  bool IsSameFileAs(const PackageFile& other) const;

  // Reads exactly length bytes at offset: 0, the system error code, or ERROR_HANDLE_EOF
  // when the range does not lie inside the file.
  DWORD ReadAt(uint64_t offset, void* buffer, uint32_t length, Failure failure = Failure::kLogged) const;
  // Feeds the bytes [offset, offset + length) to the digest in bounded chunks.
  DWORD Digest(uint64_t offset, uint64_t length, CMD5* md5, Failure failure = Failure::kLogged) const;

  // Chunk size of digests and streamed reads: bounded, whatever the range.
  static constexpr uint32_t kChunk = 256 * 1024;

 private:
  UniqueHandle handle_;
  uint64_t size_ = 0;
};
