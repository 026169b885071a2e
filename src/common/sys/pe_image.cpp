#include "common/sys/pe_image.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "common/log/vlog.h"
#include "common/sys/unique_handles.h"

namespace {

constexpr uint16_t kDosSignature = 0x5A4D;     // "MZ"
constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kMachineX64 = 0x8664;
constexpr uint64_t kPeOffsetField = 0x3C;

template <typename T>
T ReadAt(const uint8_t* bytes, uint64_t offset) {
  T value;
  std::memcpy(&value, bytes + offset, sizeof(value));
  return value;
}

// Every read is checked against the file size: a short or damaged file is simply not 64-bit.
bool IsX64Image(const uint8_t* bytes, uint64_t size) {
  if (size < kPeOffsetField + sizeof(uint32_t)) return false;
  if (ReadAt<uint16_t>(bytes, 0) != kDosSignature) return false;
  const uint64_t peOffset = ReadAt<uint32_t>(bytes, kPeOffsetField);
  if (peOffset + sizeof(uint32_t) + sizeof(uint16_t) > size) return false;
  if (ReadAt<uint32_t>(bytes, peOffset) != kPeSignature) return false;
  return ReadAt<uint16_t>(bytes, peOffset + sizeof(uint32_t)) == kMachineX64;
}

}  // namespace

bool IsPE64(const std::wstring& path) {
  UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!IsValid(file)) {
    VLOG_WARN("IsPE64, CreateFile %S failed, err %lu", path.c_str(), GetLastError());
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart <= 0) {
    VLOG_WARN("IsPE64, %S is empty or its size is unknown", path.c_str());
    return false;
  }
  UniqueHandle mapping(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (!IsValid(mapping)) {
    VLOG_WARN("IsPE64, CreateFileMapping %S failed, err %lu", path.c_str(), GetLastError());
    return false;
  }
  UniqueFileView view(MapViewOfFile(mapping.get(), FILE_MAP_READ, 0, 0, 0));
  if (!view) {
    VLOG_WARN("IsPE64, MapViewOfFile %S failed, err %lu", path.c_str(), GetLastError());
    return false;
  }
  // Locals are released in reverse order: view, mapping, file.
  return IsX64Image(static_cast<const uint8_t*>(view.get()), static_cast<uint64_t>(size.QuadPart));
}
