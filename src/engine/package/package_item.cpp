#include "engine/package/package_item.h"

#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <new>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "common/zip/zip_writer.h"

namespace {

bool ReadWholeFile(const std::wstring& path, std::vector<uint8_t>* bytes) {
  UniqueHandle file(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!IsValid(file)) {
    VLOG_ERROR("MakePackageItem, CreateFile %s failed, err %lu", WideToUtf8(path).c_str(), GetLastError());
    return false;
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0xFFFFFFFFLL) {
    VLOG_ERROR("MakePackageItem, %s: no size, or 4 GB and more, err %lu", WideToUtf8(path).c_str(), GetLastError());
    return false;
  }
  try {
    bytes->resize(static_cast<size_t>(size.QuadPart));
  } catch (const std::bad_alloc&) {
    VLOG_ERROR("MakePackageItem, no memory for the %llu bytes of %s", static_cast<unsigned long long>(size.QuadPart),
               WideToUtf8(path).c_str());
    return false;
  }
  size_t done = 0;
  while (done < bytes->size()) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes->size() - done, 1u << 24));
    if (!ReadFile(file.get(), bytes->data() + done, want, &got, nullptr) || got == 0) {
      VLOG_ERROR("MakePackageItem, ReadFile %s failed at %u, err %lu", WideToUtf8(path).c_str(),
                 static_cast<unsigned>(done), GetLastError());
      return false;
    }
    done += got;
  }
  return true;
}

}  // namespace

int MakePackageItem(const std::wstring& source, const std::string& entryName, PackageItem* item) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(source, &bytes)) return -1;
  const uint32_t length = static_cast<uint32_t>(bytes.size());
  item->archive.reset(ZipWriter::Create(length));
  if (!item->archive) {
    VLOG_ERROR("MakePackageItem, ZipWriter::Create failed for %s, code %d", entryName.c_str(), ZipWriter::LastCode());
    return -1;
  }
  int code = ZipWriter::Add(item->archive.get(), entryName, bytes.data(), length);
  if (code == 0) code = ZipWriter::GetMemory(item->archive.get(), &item->zip, &item->zipSize);
  if (code != 0) {
    VLOG_ERROR("MakePackageItem, zipping %s failed, code %d", entryName.c_str(), code);
    item->archive.reset();
    return -1;
  }
  item->header.magic = pkgfmt::kItemMagic;
  item->header.fileSize = length;
  item->header.zipSize = item->zipSize;
  item->header.crc32 = crc32(crc32(0, nullptr, 0), item->zip, item->zipSize);
  return 0;
}
