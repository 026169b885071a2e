#include "engine/package/package_verify.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <system_error>
#include <thread>

#include "common/log/vlog.h"
#include "common/zip/md5.h"

using namespace pkgfmt;

namespace {

// At most this many packages are digested at once: each digest is a pass over a package's bytes.
constexpr size_t kMostDigestThreads = 4;

PackageReadResult Result(PackageReadResult::Kind kind, int code) { return PackageReadResult{kind, code}; }
PackageReadResult ReadError(DWORD err) { return Result(PackageReadResult::kReadError, static_cast<int>(err)); }

struct Range {
  uint64_t offset, length;
};

// What the tail's index digest covers: the index header and item records, up to the names.
Range IndexRange(uint64_t headOffset, const PackageHead& head, const PackageIndexHeader& index) {
  return {headOffset + head.indexOffset, static_cast<uint64_t>(head.tailOffset) - head.indexOffset - index.namesSize};
}

// What the tail's items digest covers: everything between the head and the index.
Range ItemsRange(uint64_t headOffset, const PackageHead& head) {
  return {headOffset + kHeadSize, head.indexOffset - kHeadSize};
}

// The index digest ends where the name table begins: the table must fit the index area.
bool NamesFit(const PackageHead& head, const PackageIndexHeader& index) {
  return index.namesSize <= static_cast<uint64_t>(head.tailOffset) - head.indexOffset - kIndexHeaderSize;
}

// MD5 of a range of the file, in bounded chunks: 0 or the read's error code.
DWORD DigestOf(const PackageFile& file, Range range, uint8_t out[kDigestSize],
               PackageFile::Failure failure = PackageFile::Failure::kLogged) {
  CMD5 md5;
  const DWORD err = file.Digest(range.offset, range.length, &md5, failure);
  if (err == 0) std::memcpy(out, md5.Final(), kDigestSize);
  return err;
}

// The head at offset, read without logging and checked: false when either fails.
bool ReadCheckedHead(const PackageFile& file, uint64_t offset, PackageHead* head) {
  uint8_t bytes[kHeadSize];
  if (file.ReadAt(offset, bytes, sizeof(bytes), PackageFile::Failure::kQuiet) != 0) return false;
  *head = DecodeHead(bytes);
  return CheckPackageHead(*head, offset, file.Size()) == 0;
}

// The tail's frame and its three digests, each range read only once the one before matched;
// digests computed ahead stand for those reads. A positive result is a read error.
int VerifyTail(const PackageFile& file, uint64_t headOffset, const uint8_t headBytes[kHeadSize],
               const PackageHead& head, const PackageIndexHeader& index, const PackageTail& tail,
               const PackageDigests* ahead) {
  if (tail.magic != kTailMagic || tail.totalLength != head.totalLength) return kTailBadFrame;
  CMD5 headMd5;
  headMd5.Update(headBytes, kHeadSize);
  if (std::memcmp(headMd5.Final(), tail.headDigest, kDigestSize) != 0) return kTailBadHeadDigest;
  PackageDigests digests = ahead != nullptr ? *ahead : PackageDigests{};
  DWORD err = ahead != nullptr ? 0 : DigestOf(file, IndexRange(headOffset, head, index), digests.index);
  if (err != 0) return static_cast<int>(err);
  if (std::memcmp(digests.index, tail.indexDigest, kDigestSize) != 0) return kTailBadIndexDigest;
  err = ahead != nullptr ? 0 : DigestOf(file, ItemsRange(headOffset, head), digests.items);
  if (err != 0) return static_cast<int>(err);
  if (std::memcmp(digests.items, tail.itemsDigest, kDigestSize) != 0) return kTailBadItemsDigest;
  return 0;
}

// Item records follow the index header; each item must lie inside the item area.
PackageReadResult ReadItems(const PackageFile& file, PackageDescriptor* d, PackageFile::Failure failure) {
  const bool logged = failure == PackageFile::Failure::kLogged;
  const uint64_t indexArea = static_cast<uint64_t>(d->head.tailOffset) - d->head.indexOffset;
  const uint64_t itemArea = d->head.indexOffset - kHeadSize;
  const uint64_t count = d->index.count;
  if (kIndexHeaderSize + count * kItemHeaderSize + d->index.namesSize > indexArea ||
      count * kItemHeaderSize > itemArea) {
    if (logged) {
      VLOG_ERROR("Pkg Index verify failed | count %llu does not fit, index area %llu, item area %llu",
                 static_cast<unsigned long long>(count), static_cast<unsigned long long>(indexArea),
                 static_cast<unsigned long long>(itemArea));
    }
    return Result(PackageReadResult::kDamaged, kBadLayout);
  }
  try {
    d->items.reserve(static_cast<size_t>(count));
    d->dataOffsets.reserve(static_cast<size_t>(count));
  } catch (const std::bad_alloc&) {
    if (logged) {
      VLOG_ERROR("Pkg Index verify failed | no memory for %llu item records", static_cast<unsigned long long>(count));
    }
    return ReadError(ERROR_NOT_ENOUGH_MEMORY);
  }
  const uint64_t itemsEnd = d->headOffset + d->head.indexOffset;
  uint64_t position = d->headOffset + kHeadSize;
  uint64_t recordAt = d->indexOffset + kIndexHeaderSize;
  for (uint64_t i = 0; i < count; ++i, recordAt += kItemHeaderSize) {
    uint8_t bytes[kItemHeaderSize];
    const DWORD err = file.ReadAt(recordAt, bytes, sizeof(bytes), failure);
    if (err != 0) return ReadError(err);
    const PackageItemHeader item = DecodeItemHeader(bytes);
    if (position + kItemHeaderSize + item.zipSize > itemsEnd) {
      if (logged) {
        VLOG_ERROR("Pkg Index verify failed | item %llu of %u bytes at %llu passes the index at %llu",
                   static_cast<unsigned long long>(i), item.zipSize, static_cast<unsigned long long>(position),
                   static_cast<unsigned long long>(itemsEnd));
      }
      return Result(PackageReadResult::kDamaged, kBadLayout);
    }
    d->items.push_back(item);
    d->dataOffsets.push_back(position + kItemHeaderSize);
    position += kItemHeaderSize + item.zipSize;
  }
  return Result(PackageReadResult::kOk, 0);
}

}  // namespace

int CheckPackageHead(const PackageHead& head, uint64_t headOffset, uint64_t fileSize) {
  if (head.magic != kHeadMagic) return kHeadBadMagic;
  if (head.version > kVersion) return kHeadBadVersion;
  // The index header must lie after the head and before the tail.
  if (head.indexOffset >= head.tailOffset || head.indexOffset < kHeadSize ||
      static_cast<uint64_t>(head.indexOffset) + kIndexHeaderSize > head.tailOffset) {
    return kHeadBadIndexOffset;
  }
  if (head.totalLength != static_cast<uint64_t>(head.tailOffset) + kTailSize) return kHeadBadTotalLength;
  if (headOffset > fileSize || head.totalLength > fileSize - headOffset) return kHeadBeyondFile;
  return 0;
}

std::vector<uint64_t> ChainedHeads(const PackageFile& file, uint64_t headOffset) {
  std::vector<uint64_t> heads;
  PackageHead head;
  for (; headOffset != 0 && headOffset < file.Size() && ReadCheckedHead(file, headOffset, &head);
       headOffset += head.totalLength) {
    heads.push_back(headOffset);
  }
  return heads;
}

bool DigestPackage(const PackageFile& file, uint64_t headOffset, PackageDigests* out) {
  PackageHead head;
  uint8_t indexBytes[kIndexHeaderSize];
  if (!ReadCheckedHead(file, headOffset, &head) ||
      file.ReadAt(headOffset + head.indexOffset, indexBytes, sizeof(indexBytes), PackageFile::Failure::kQuiet) != 0) {
    return false;
  }
  const PackageIndexHeader index = DecodeIndexHeader(indexBytes);
  constexpr PackageFile::Failure kQuiet = PackageFile::Failure::kQuiet;
  return NamesFit(head, index) && DigestOf(file, IndexRange(headOffset, head, index), out->index, kQuiet) == 0 &&
         DigestOf(file, ItemsRange(headOffset, head), out->items, kQuiet) == 0;
}

std::vector<std::optional<PackageDigests>> DigestPackages(const PackageFile& file, const std::vector<uint64_t>& heads) {
  std::vector<std::optional<PackageDigests>> digests(heads.size());
  std::atomic<size_t> next{0};
  const auto work = [&] {
    for (size_t i = next++; i < heads.size(); i = next++) {
      PackageDigests package;
      if (DigestPackage(file, heads[i], &package)) digests[i] = package;
    }
  };
  const size_t threads = std::min<size_t>(
      {kMostDigestThreads, std::max(1u, std::thread::hardware_concurrency()), std::max<size_t>(heads.size(), 1)});
  std::vector<std::thread> helpers;
  try {
    while (helpers.size() + 1 < threads) helpers.emplace_back(work);
  } catch (const std::system_error&) {
    // Fewer helpers: the work is shared by those that started.
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  return digests;
}

bool ListItemsQuietly(const PackageFile& file, uint64_t headOffset, PackageDescriptor* out) {
  PackageDescriptor d;
  uint8_t indexBytes[kIndexHeaderSize];
  if (!ReadCheckedHead(file, headOffset, &d.head)) return false;
  d.headOffset = headOffset;
  d.indexOffset = headOffset + d.head.indexOffset;
  d.tailOffset = headOffset + d.head.tailOffset;
  if (file.ReadAt(d.indexOffset, indexBytes, sizeof(indexBytes), PackageFile::Failure::kQuiet) != 0) return false;
  d.index = DecodeIndexHeader(indexBytes);
  if (!NamesFit(d.head, d.index) || ReadItems(file, &d, PackageFile::Failure::kQuiet).kind != PackageReadResult::kOk) {
    return false;
  }
  *out = std::move(d);
  return true;
}

PackageReadResult ReadPackageAt(const PackageFile& file, uint64_t headOffset, PackageDescriptor* out,
                                const PackageDigests* ahead) {
  if (file.Size() - headOffset < kHeadSize) return Result(PackageReadResult::kNoHead, kHeadBadMagic);
  uint8_t headBytes[kHeadSize];
  DWORD err = file.ReadAt(headOffset, headBytes, sizeof(headBytes));
  if (err != 0) return ReadError(err);
  PackageDescriptor d;
  d.headOffset = headOffset;
  d.head = DecodeHead(headBytes);
  const int headCode = CheckPackageHead(d.head, headOffset, file.Size());
  if (headCode != 0) return Result(PackageReadResult::kNoHead, headCode);

  d.indexOffset = headOffset + d.head.indexOffset;
  d.tailOffset = headOffset + d.head.tailOffset;
  uint8_t indexBytes[kIndexHeaderSize];
  uint8_t tailBytes[kTailSize];
  if ((err = file.ReadAt(d.indexOffset, indexBytes, sizeof(indexBytes))) != 0 ||
      (err = file.ReadAt(d.tailOffset, tailBytes, sizeof(tailBytes))) != 0) {
    return ReadError(err);
  }
  d.index = DecodeIndexHeader(indexBytes);
  d.tail = DecodeTail(tailBytes);
  if (!NamesFit(d.head, d.index)) {
    VLOG_ERROR("Pkg Index verify failed | names size %u does not fit the index area", d.index.namesSize);
    return Result(PackageReadResult::kDamaged, kBadLayout);
  }
  const int tailCode = VerifyTail(file, headOffset, headBytes, d.head, d.index, d.tail, ahead);
  if (tailCode > 0) return ReadError(static_cast<DWORD>(tailCode));
  if (tailCode != 0) return Result(PackageReadResult::kDamaged, tailCode);

  const PackageReadResult items = ReadItems(file, &d, PackageFile::Failure::kLogged);
  if (items.kind != PackageReadResult::kOk) return items;
  *out = std::move(d);
  return Result(PackageReadResult::kOk, 0);
}
