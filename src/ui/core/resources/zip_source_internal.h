#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

namespace SkinUI {

// Where the archive's bytes come from: a file or a block of memory.
class ZipSource {
 public:
  virtual ~ZipSource() = default;
  // Reads up to `count` bytes at `offset`; reads past the end give what is left.
  virtual bool ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t* got) = 0;
  virtual uint32_t Size() const = 0;

  // Reads exactly `count` bytes or fails.
  bool ReadExact(uint32_t offset, void* buffer, uint32_t count);

  static std::unique_ptr<ZipSource> OpenFile(const wchar_t* fileName);
  static std::unique_ptr<ZipSource> FromMemory(const void* data, uint32_t length);
};

}  // namespace SkinUI
