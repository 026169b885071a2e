#include "ui/core/resources/zip_source_internal.h"

#include <cstring>

namespace SkinUI {

namespace {

class FileSource : public ZipSource {
 public:
  FileSource(HANDLE file, uint32_t size) : m_file(file), m_size(size) {}
  ~FileSource() override { CloseHandle(m_file); }

  bool ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t* got) override {
    *got = 0;
    LARGE_INTEGER pos;
    pos.QuadPart = offset;
    if (!SetFilePointerEx(m_file, pos, nullptr, FILE_BEGIN)) return false;
    DWORD read = 0;
    if (!ReadFile(m_file, buffer, count, &read, nullptr)) return false;
    *got = read;
    return true;
  }
  uint32_t Size() const override { return m_size; }

 private:
  HANDLE m_file;
  uint32_t m_size;
};

class MemorySource : public ZipSource {
 public:
  MemorySource(const void* data, uint32_t length) : m_data(static_cast<const uint8_t*>(data)), m_length(length) {}

  bool ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t* got) override {
    *got = 0;
    if (offset >= m_length) return true;
    uint32_t left = m_length - offset;
    uint32_t n = count < left ? count : left;
    memcpy(buffer, m_data + offset, n);
    *got = n;
    return true;
  }
  uint32_t Size() const override { return m_length; }

 private:
  const uint8_t* m_data;
  uint32_t m_length;
};

}  // namespace

bool ZipSource::ReadExact(uint32_t offset, void* buffer, uint32_t count) {
  uint32_t got = 0;
  return ReadAt(offset, buffer, count, &got) && got == count;
}

std::unique_ptr<ZipSource> ZipSource::OpenFile(const wchar_t* fileName) {
  if (fileName == nullptr) return nullptr;
  HANDLE file =
      CreateFileW(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  LARGE_INTEGER size;
  // Archives of 4 GiB and more are beyond this reader.
  if (!GetFileSizeEx(file, &size) || size.QuadPart > 0xFFFFFFFFLL) {
    CloseHandle(file);
    return nullptr;
  }
  return std::unique_ptr<ZipSource>(new FileSource(file, static_cast<uint32_t>(size.QuadPart)));
}

std::unique_ptr<ZipSource> ZipSource::FromMemory(const void* data, uint32_t length) {
  if (data == nullptr && length != 0) return nullptr;
  return std::unique_ptr<ZipSource>(new MemorySource(data, length));
}

}  // namespace SkinUI
