#include "engine/package/item_unzip.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/text_convert.h"
#include "engine/package/entry_name.h"
#include "engine/package/package_format.h"

namespace {

constexpr uint32_t kEndSignature = 0x06054B50;
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr uint32_t kLocalSignature = 0x04034B50;
constexpr uint32_t kEndRecordSize = 22;
constexpr uint32_t kCentralHeaderSize = 46;
constexpr uint32_t kLocalHeaderSize = 30;
constexpr uint32_t kEndSearch = 0xFFFF + kEndRecordSize;  // the end record may carry a comment
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagDataDescriptor = 0x0008;
constexpr uint16_t kStored = 0;
constexpr uint16_t kDeflated = 8;
constexpr int kDamaged = -1;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
using pkgfmt::Get32;

struct Entry {
  uint16_t flag = 0;
  uint16_t method = 0;
  uint32_t crc32 = 0;
  uint32_t compressedSize = 0;
  uint32_t uncompressedSize = 0;
  std::string name;         // UTF-8
  uint64_t dataOffset = 0;  // absolute, in the package file
};

// The archive's end record and central directory, read from the file record by record;
// every offset is checked against the archive's bounds.
class ItemArchive {
 public:
  ItemArchive(const PackageFile& file, uint64_t base, uint32_t size) : file_(file), base_(base), size_(size) {}

  // 0, kDamaged, or a read error.
  int Open();
  uint16_t Count() const { return count_; }
  // The next entry in central directory order, with its local header checked.
  int Next(Entry* entry);

 private:
  DWORD Read(uint64_t position, void* out, uint32_t length) const {
    return file_.ReadAt(base_ + position, out, length);
  }
  int Locate(const uint8_t* central, Entry* entry);

  const PackageFile& file_;
  uint64_t base_;
  uint32_t size_;
  uint16_t count_ = 0;
  uint64_t centralStart_ = 0;
  uint64_t centralEnd_ = 0;
  uint64_t bytesBefore_ = 0;
  uint64_t next_ = 0;
};

int ItemArchive::Open() {
  if (size_ < kEndRecordSize) return kDamaged;
  const uint32_t window = std::min(size_, kEndSearch);
  std::vector<uint8_t> tail(window);
  const DWORD err = Read(size_ - window, tail.data(), window);
  if (err != 0) return static_cast<int>(err);
  uint32_t at = window - kEndRecordSize + 1;
  do {
    --at;
    if (Get32(&tail[at]) == kEndSignature) break;
  } while (at > 0);
  const uint8_t* end = &tail[at];
  if (Get32(end) != kEndSignature) return kDamaged;
  const uint64_t position = size_ - window + at;
  const uint16_t disk = Get16(end + 4), centralDisk = Get16(end + 6);
  const uint16_t onDisk = Get16(end + 8), total = Get16(end + 10);
  const uint64_t centralSize = Get32(end + 12), centralOffset = Get32(end + 16);
  if (disk != 0 || centralDisk != 0 || onDisk != total || centralOffset + centralSize > position) return kDamaged;
  count_ = total;
  bytesBefore_ = position - centralOffset - centralSize;
  centralStart_ = bytesBefore_ + centralOffset;
  centralEnd_ = position;
  next_ = centralStart_;
  return 0;
}

int ItemArchive::Next(Entry* entry) {
  uint8_t central[kCentralHeaderSize];
  if (next_ + kCentralHeaderSize > centralEnd_) return kDamaged;
  DWORD err = Read(next_, central, sizeof(central));
  if (err != 0) return static_cast<int>(err);
  if (Get32(central) != kCentralSignature) return kDamaged;
  const uint16_t nameLength = Get16(central + 28);
  const uint64_t recordSize =
      static_cast<uint64_t>(kCentralHeaderSize) + nameLength + Get16(central + 30) + Get16(central + 32);
  if (nameLength == 0 || next_ + recordSize > centralEnd_) return kDamaged;
  entry->name.assign(nameLength, '\0');
  if ((err = Read(next_ + kCentralHeaderSize, &entry->name[0], nameLength)) != 0) return static_cast<int>(err);
  next_ += recordSize;
  entry->flag = Get16(central + 8);
  entry->method = Get16(central + 10);
  entry->crc32 = Get32(central + 16);
  entry->compressedSize = Get32(central + 20);
  entry->uncompressedSize = Get32(central + 24);
  return Locate(central, entry);
}

// The local header must agree with the central one; the data must end before the central directory.
int ItemArchive::Locate(const uint8_t* central, Entry* entry) {
  const uint64_t local = bytesBefore_ + Get32(central + 42);
  uint8_t header[kLocalHeaderSize];
  if (local + kLocalHeaderSize > centralStart_) return kDamaged;
  const DWORD err = Read(local, header, sizeof(header));
  if (err != 0) return static_cast<int>(err);
  if (Get32(header) != kLocalSignature || Get16(header + 8) != entry->method ||
      Get16(header + 26) != entry->name.size())
    return kDamaged;
  if ((entry->flag & kFlagEncrypted) || (entry->method != kStored && entry->method != kDeflated)) return kDamaged;
  if (!(entry->flag & kFlagDataDescriptor) &&
      (Get32(header + 14) != entry->crc32 || Get32(header + 18) != entry->compressedSize ||
       Get32(header + 22) != entry->uncompressedSize)) {
    return kDamaged;
  }
  if (entry->method == kStored && entry->compressedSize != entry->uncompressedSize) return kDamaged;
  const uint64_t data = local + kLocalHeaderSize + Get16(header + 26) + Get16(header + 28);
  if (data + entry->compressedSize > centralStart_) return kDamaged;
  entry->dataOffset = base_ + data;
  return 0;
}

// Streams one entry's data into an open file, checking its size and CRC-32.
class EntryWriter {
 public:
  // Buffers of one chunk at most, no larger than the entry needs: small files stay cheap.
  EntryWriter(const PackageFile& file, const Entry& entry, HANDLE out)
      : file_(file),
        entry_(entry),
        out_(out),
        in_(std::min<size_t>(PackageFile::kChunk, std::max<size_t>(entry.compressedSize, 1))),
        buffer_(std::min<size_t>(PackageFile::kChunk, std::max<size_t>(entry.uncompressedSize, 1))) {}
  // 0, kDamaged, or a read error.
  int Run() { return entry_.method == kStored ? Copy() : Inflate(); }

 private:
  int Copy();
  int Inflate();
  DWORD ReadNext(uint32_t* got);
  bool Emit(const uint8_t* bytes, uint32_t length);

  const PackageFile& file_;
  const Entry& entry_;
  HANDLE out_;
  std::vector<uint8_t> in_;
  std::vector<uint8_t> buffer_;
  uint64_t read_ = 0;     // compressed bytes read
  uint64_t written_ = 0;  // uncompressed bytes written
  uLong crc_ = crc32(0, nullptr, 0);
};

DWORD EntryWriter::ReadNext(uint32_t* got) {
  *got = static_cast<uint32_t>(std::min<uint64_t>(in_.size(), entry_.compressedSize - read_));
  const DWORD err = file_.ReadAt(entry_.dataOffset + read_, in_.data(), *got);
  if (err == 0) read_ += *got;
  return err;
}

bool EntryWriter::Emit(const uint8_t* bytes, uint32_t length) {
  if (written_ + length > entry_.uncompressedSize) return false;
  crc_ = crc32(crc_, bytes, length);
  written_ += length;
  while (length > 0) {
    DWORD done = 0;
    if (!WriteFile(out_, bytes, length, &done, nullptr) || done == 0) {
      VLOG_ERROR("UnzipToFolder, WriteFile failed, entry %s, err %lu", entry_.name.c_str(), GetLastError());
      return false;
    }
    bytes += done;
    length -= done;
  }
  return true;
}

int EntryWriter::Copy() {
  while (read_ < entry_.compressedSize) {
    uint32_t got = 0;
    const DWORD err = ReadNext(&got);
    if (err != 0) return static_cast<int>(err);
    if (!Emit(in_.data(), got)) return kDamaged;
  }
  return written_ == entry_.uncompressedSize && crc_ == entry_.crc32 ? 0 : kDamaged;
}

int EntryWriter::Inflate() {
  z_stream zs{};
  if (inflateInit2(&zs, -MAX_WBITS) != Z_OK) return kDamaged;
  int result = 0;
  int rc = Z_OK;
  while (rc != Z_STREAM_END) {
    if (zs.avail_in == 0 && read_ < entry_.compressedSize) {
      uint32_t got = 0;
      const DWORD err = ReadNext(&got);
      if (err != 0) {
        result = static_cast<int>(err);
        break;
      }
      zs.next_in = in_.data();
      zs.avail_in = got;
    }
    zs.next_out = buffer_.data();
    zs.avail_out = static_cast<uInt>(buffer_.size());
    rc = inflate(&zs, Z_NO_FLUSH);
    const uint32_t produced = static_cast<uint32_t>(buffer_.size() - zs.avail_out);
    // Z_BUF_ERROR: no progress is possible, the data ended inside the deflate stream.
    if ((rc != Z_OK && rc != Z_STREAM_END) || !Emit(buffer_.data(), produced)) {
      result = kDamaged;
      break;
    }
  }
  const bool trailing = zs.avail_in != 0 || read_ != entry_.compressedSize;
  inflateEnd(&zs);
  if (result != 0) return result;
  return !trailing && written_ == entry_.uncompressedSize && crc_ == entry_.crc32 ? 0 : kDamaged;
}

// Writes one entry under folder; a file that does not come out whole is removed.
int ExtractEntry(const PackageFile& file, const Entry& entry, const std::wstring& folder) {
  std::wstring relative;
  if (!ToSafeRelativePath(Utf8ToWide(entry.name), &relative)) {
    VLOG_ERROR("UnzipToFolder, entry name %s refused: it could reach outside the folder", entry.name.c_str());
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
  UniqueHandle out(
      CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!IsValid(out)) {
    VLOG_ERROR("UnzipToFolder, CreateFile %s failed, err %lu", WideToUtf8(target).c_str(), GetLastError());
    return kDamaged;
  }
  const int result = EntryWriter(file, entry, out.get()).Run();
  out.reset();
  if (result != 0) {
    VLOG_ERROR("UnzipToFolder, entry %s not extracted, code %d", entry.name.c_str(), result);
    if (!DeleteFileW(target.c_str())) {
      VLOG_ERROR("UnzipToFolder, DeleteFile %s failed, err %lu", WideToUtf8(target).c_str(), GetLastError());
    }
  }
  return result;
}

}  // namespace

int UnzipItemToFolder(const PackageFile& file, uint64_t base, uint32_t size, const std::wstring& folder) {
  ItemArchive archive(file, base, size);
  int result = archive.Open();
  if (result != 0) {
    VLOG_ERROR("UnzipToFolder, the item at %llu is no zip archive, code %d", static_cast<unsigned long long>(base),
               result);
    return result;
  }
  for (uint16_t i = 0; i < archive.Count(); ++i) {
    Entry entry;
    result = archive.Next(&entry);
    if (result == 0) result = ExtractEntry(file, entry, folder);
    if (result != 0) {
      VLOG_ERROR("UnzipToFolder, entry %u of the item at %llu failed, code %d", i,
                 static_cast<unsigned long long>(base), result);
      return result;
    }
  }
  return 0;
}
