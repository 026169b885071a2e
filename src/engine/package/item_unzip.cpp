#include "engine/package/item_unzip.h"

#include <algorithm>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/text_convert.h"
#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_stream.h"
#include "engine/package/entry_name.h"

namespace {

constexpr int kDamaged = -1;
constexpr DWORD kSharingWaitMs = 2000;

bool WriteAll(HANDLE out, const uint8_t* bytes, uint32_t length) {
  while (length > 0) {
    DWORD done = 0;
    if (!WriteFile(out, bytes, length, &done, nullptr) || done == 0) return false;
    bytes += done;
    length -= done;
  }
  return true;
}

// Writes the bytes of an entry that was inflated ahead.
int WriteInflated(HANDLE out, const std::vector<uint8_t>& bytes, const std::string& name) {
  if (WriteAll(out, bytes.data(), static_cast<uint32_t>(bytes.size()))) return 0;
  VLOG_ERROR("UnzipToFolder, WriteFile failed, entry %s, err %lu", name.c_str(), GetLastError());
  return kDamaged;
}

// Items are unpacked by several threads: one of them may still be writing an item of the same
// name (a file list that names a file twice). Its file is waited for, not taken for a failure.
HANDLE CreateTarget(const std::wstring& target) {
  for (DWORD waited = 0;; ++waited) {
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION || waited >= kSharingWaitMs) {
      return file;
    }
    Sleep(1);
  }
}

// On the open file: no second open later (each one a round trip to the server under Wine).
void SetExtractTime(const ExtractTimes& times, const std::wstring& relative, HANDLE file) {
  const auto found = times.find(relative);
  if (found == times.end()) return;
  if (!SetFileTime(file, nullptr, &found->second.accessed, &found->second.written)) {
    VLOG_WARN("UnzipToFolder, SetFileTime %S failed, err %lu", relative.c_str(), GetLastError());
  }
}

// Writes entry index under folder (from inflated, when given, the entry's bytes inflated
// ahead); a file that does not come out whole is removed.
int ExtractEntry(ZipHandle* zip, int index, const std::wstring& folder, const ExtractTimes* times,
                 const std::vector<uint8_t>* inflated) {
  ZipItemInfo info;
  if (ZipReader::GetItem(zip, index, &info) != kZipOk) return kDamaged;
  const std::string name = WideToUtf8(info.name);
  std::wstring relative;
  if (!ToSafeRelativePath(info.name, &relative)) {
    VLOG_ERROR("UnzipToFolder, entry name %s refused: it could reach outside the folder", name.c_str());
    return kDamaged;
  }
  std::wstring target = folder;
  if (!target.empty() && target.back() != L'\\' && target.back() != L'/') target += L'\\';
  target += relative;
  const std::wstring parent = target.substr(0, target.rfind(L'\\'));
  const DWORD made = CreateDirectoryTree(parent);
  if (made != 0) {
    VLOG_ERROR("UnzipToFolder, CreateDirectoryTree %s failed, err %lu", WideToUtf8(parent).c_str(), made);
    return kDamaged;
  }
  UniqueHandle out(CreateTarget(target));
  if (!IsValid(out)) {
    VLOG_ERROR("UnzipToFolder, CreateFile %s failed, err %lu", WideToUtf8(target).c_str(), GetLastError());
    return kDamaged;
  }
  // The reader's sizes travel as signed 32-bit numbers; the item's file may use all 32 bits.
  const uint32_t size = static_cast<uint32_t>(info.uncompressedSize);
  const int result =
      inflated != nullptr && inflated->size() == size
          ? WriteInflated(out.get(), *inflated, name)
          : InflateEntry(zip, index, size, [&out, &name](const uint8_t* bytes, uint32_t length) {
              if (WriteAll(out.get(), bytes, length)) return true;
              VLOG_ERROR("UnzipToFolder, WriteFile failed, entry %s, err %lu", name.c_str(), GetLastError());
              return false;
            });
  if (result == 0 && times) SetExtractTime(*times, relative, out.get());
  out.reset();
  if (result != 0) {
    VLOG_ERROR("UnzipToFolder, entry %s not extracted", name.c_str());
    if (!DeleteFileW(target.c_str())) {
      VLOG_ERROR("UnzipToFolder, DeleteFile %s failed, err %lu", WideToUtf8(target).c_str(), GetLastError());
    }
  }
  return result;
}

}  // namespace

int InflateEntry(ZipHandle* zip, int index, uint32_t size, const std::function<bool(const uint8_t*, uint32_t)>& take) {
  std::vector<uint8_t> piece(std::min<size_t>(PackageFile::kChunk, std::max<size_t>(size, 1)));
  uint32_t left = size;
  int code = kZipOk;
  while ((code = ZipReader::UnzipItem(zip, index, piece.data(), static_cast<uint32_t>(piece.size()))) == kZipMoreData) {
    const uint32_t length = std::min(left, static_cast<uint32_t>(piece.size()));
    if (!take(piece.data(), length)) return kDamaged;
    left -= length;
  }
  return code == kZipOk && left == 0 ? 0 : kDamaged;
}

int UnzipItemToFolder(const PackageFile& file, uint64_t base, uint32_t size, const std::wstring& folder,
                      const ExtractTimes* times, const std::vector<uint8_t>* inflated) {
  ZipFileStream stream(file.Handle(), base, size);
  // A failed read of the package file is told by its own code, not as damage.
  const auto failed = [&stream](int code) {
    return stream.ReadError() != 0 ? static_cast<int>(stream.ReadError()) : code;
  };
  UniqueZipHandle zip(ZipReader::Open(stream));
  if (!zip) {
    VLOG_ERROR("UnzipToFolder, the item at %llu is no zip archive, code %d", static_cast<unsigned long long>(base),
               ZipReader::LastCode());
    return failed(kDamaged);
  }
  ZipItemInfo count;
  ZipReader::GetItem(zip.get(), -1, &count);
  for (int i = 0; i < count.index; ++i) {
    const int result = ExtractEntry(zip.get(), i, folder, times, i == 0 && count.index == 1 ? inflated : nullptr);
    if (result != 0) {
      VLOG_ERROR("UnzipToFolder, entry %d of the item at %llu failed", i, static_cast<unsigned long long>(base));
      return failed(result);
    }
  }
  return 0;
}
