#include "engine/package/package_file.h"

#include <vector>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "common/zip/md5.h"

DWORD PackageFile::Open(const std::wstring& path, Failure failure) {
  handle_.reset(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!IsValid(handle_)) {
    const DWORD err = GetLastError();
    if (failure == Failure::kLogged) {
      VLOG_ERROR("PackageFile::Open, CreateFile %s failed, err %lu", WideToUtf8(path).c_str(), err);
    }
    return err != 0 ? err : ERROR_OPEN_FAILED;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle_.get(), &size)) {
    const DWORD err = GetLastError();
    if (failure == Failure::kLogged) {
      VLOG_ERROR("PackageFile::Open, GetFileSizeEx %s failed, err %lu", WideToUtf8(path).c_str(), err);
    }
    handle_.reset();
    return err != 0 ? err : ERROR_READ_FAULT;
  }
  size_ = static_cast<uint64_t>(size.QuadPart);
  return 0;
}

bool PackageFile::IsSameFileAs(const PackageFile& other) const {
  BY_HANDLE_FILE_INFORMATION mine{}, theirs{};
  return IsOpen() && other.IsOpen() && GetFileInformationByHandle(handle_.get(), &mine) &&
         GetFileInformationByHandle(other.handle_.get(), &theirs) &&
         mine.dwVolumeSerialNumber == theirs.dwVolumeSerialNumber && mine.nFileIndexHigh == theirs.nFileIndexHigh &&
         mine.nFileIndexLow == theirs.nFileIndexLow && size_ == other.size_ &&
         CompareFileTime(&mine.ftLastWriteTime, &theirs.ftLastWriteTime) == 0;
}

DWORD PackageFile::ReadAt(uint64_t offset, void* buffer, uint32_t length, Failure failure) const {
  if (!IsOpen()) return ERROR_INVALID_HANDLE;
  if (offset > size_ || length > size_ - offset) return ERROR_HANDLE_EOF;
  uint8_t* out = static_cast<uint8_t*>(buffer);
  while (length > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(handle_.get(), out, length, &got, &at)) {
      const DWORD err = GetLastError();
      if (failure == Failure::kLogged) {
        VLOG_ERROR("PackageFile::ReadAt, ReadFile at %llu failed, err %lu", static_cast<unsigned long long>(offset),
                   err);
      }
      return err != 0 ? err : ERROR_READ_FAULT;
    }
    if (got == 0) return ERROR_HANDLE_EOF;
    out += got;
    offset += got;
    length -= got;
  }
  return 0;
}

DWORD PackageFile::Digest(uint64_t offset, uint64_t length, CMD5* md5, Failure failure) const {
  if (offset > size_ || length > size_ - offset) return ERROR_HANDLE_EOF;
  std::vector<uint8_t> chunk(static_cast<size_t>(length < kChunk ? length : kChunk));
  while (length > 0) {
    const uint32_t n = static_cast<uint32_t>(length < kChunk ? length : kChunk);
    const DWORD err = ReadAt(offset, chunk.data(), n, failure);
    if (err != 0) return err;
    md5->Update(chunk.data(), n);
    offset += n;
    length -= n;
  }
  return 0;
}
