#include "engine/package/package_read_ahead.h"

#include <algorithm>
#include <system_error>
#include <utility>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_quiet.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_stream.h"
#include "engine/package/item_unzip.h"

namespace {

// What the setup package's files may take in memory; the items past it are left to the
// extraction.
constexpr uint64_t kMostInflatedBytes = 64u << 20;

constexpr PackageFile::Failure kQuiet = PackageFile::Failure::kQuiet;

}  // namespace

PackageReadAhead::PackageReadAhead(const std::wstring& path) {
  if (file_.Open(path, kQuiet) == 0) {
    try {
      worker_ = std::thread(&PackageReadAhead::Run, this);
      return;
    } catch (const std::system_error&) {
      // Nothing is read ahead: the package reader does all of it.
    }
  }
  Finish();
}

PackageReadAhead::~PackageReadAhead() {
  stop_ = true;
  if (worker_.joinable()) worker_.join();
}

std::optional<PackageDigests> PackageReadAhead::DigestsAt(uint64_t headOffset) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return digestsDone_; });
  for (size_t i = 0; i < heads_.size(); ++i) {
    if (heads_[i] == headOffset) return digests_[i];
  }
  return std::nullopt;
}

std::optional<std::vector<uint8_t>> PackageReadAhead::TakeEntry(uint64_t dataOffset, uint32_t zipSize) {
  std::unique_lock<std::mutex> lock(mutex_);
  changed_.wait(lock, [this] { return entriesListed_; });
  for (Entry& entry : entries_) {
    if (entry.dataOffset != dataOffset || entry.zipSize != zipSize) continue;
    changed_.wait(lock, [&entry] { return entry.done; });
    return std::exchange(entry.bytes, std::nullopt);
  }
  return std::nullopt;
}

void PackageReadAhead::Run() {
  uint8_t locator[4];
  std::vector<uint64_t> heads;
  if (file_.ReadAt(pkgfmt::kLocatorOffset, locator, sizeof(locator), kQuiet) == 0) {
    heads = ChainedHeads(file_, pkgfmt::Get32(locator));
  }
  std::vector<Entry> entries = ListSetupEntries(heads);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_ = std::move(entries);
    entriesListed_ = true;
  }
  changed_.notify_all();
  std::thread inflater;
  try {
    if (!entries_.empty()) inflater = std::thread(&PackageReadAhead::InflateEntries, this);
  } catch (const std::system_error&) {
    // The extraction inflates them.
  }
  std::vector<std::optional<PackageDigests>> digests = DigestPackages(file_, heads);
  {
    std::lock_guard<std::mutex> lock(mutex_);
    heads_ = std::move(heads);
    digests_ = std::move(digests);
    digestsDone_ = true;
  }
  changed_.notify_all();
  if (inflater.joinable()) inflater.join();
  Finish();
}

// The items of the setup package, as far as their files fit the memory allowed.
std::vector<PackageReadAhead::Entry> PackageReadAhead::ListSetupEntries(const std::vector<uint64_t>& heads) const {
  std::vector<Entry> entries;
  PackageDescriptor setup;
  if (heads.size() < 2 || !ListItemsQuietly(file_, heads[1], &setup)) return entries;
  uint64_t total = 0;
  for (size_t i = 0; i < setup.items.size(); ++i) {
    total += setup.items[i].fileSize;
    if (total > kMostInflatedBytes) break;
    Entry entry;
    entry.dataOffset = setup.dataOffsets[i];
    entry.zipSize = setup.items[i].zipSize;
    entry.fileSize = setup.items[i].fileSize;
    entries.push_back(std::move(entry));
  }
  return entries;
}

// Smallest first: the files the start-up waits for come out before the program copy, which
// is extracted behind them.
void PackageReadAhead::InflateEntries() {
  std::vector<Entry*> order;
  for (Entry& entry : entries_) order.push_back(&entry);
  std::stable_sort(order.begin(), order.end(),
                   [](const Entry* a, const Entry* b) { return a->fileSize < b->fileSize; });
  for (Entry* next : order) {
    Entry& entry = *next;
    if (stop_) return;
    std::optional<std::vector<uint8_t>> bytes = Inflate(entry);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      entry.bytes = std::move(bytes);
      entry.done = true;
    }
    changed_.notify_all();
  }
}

// The item's one entry, when it inflates whole to the size its item names.
std::optional<std::vector<uint8_t>> PackageReadAhead::Inflate(const Entry& entry) const {
  const ZipQuietScope quiet;
  ZipFileStream stream(file_.Handle(), entry.dataOffset, entry.zipSize);
  UniqueZipHandle zip(ZipReader::Open(stream));
  ZipItemInfo count, info;
  if (!zip || ZipReader::GetItem(zip.get(), -1, &count) != kZipOk || count.index != 1 ||
      ZipReader::GetItem(zip.get(), 0, &info) != kZipOk ||
      static_cast<uint32_t>(info.uncompressedSize) != entry.fileSize) {
    return std::nullopt;
  }
  std::vector<uint8_t> bytes;
  bytes.reserve(entry.fileSize);
  const int code = InflateEntry(zip.get(), 0, entry.fileSize, [this, &bytes](const uint8_t* piece, uint32_t length) {
    bytes.insert(bytes.end(), piece, piece + length);
    return !stop_;
  });
  if (code != 0) return std::nullopt;
  return bytes;
}

// Whatever was not done now never will be: waiting callers go on without it.
void PackageReadAhead::Finish() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    digestsDone_ = entriesListed_ = true;
    for (Entry& entry : entries_) entry.done = true;
  }
  changed_.notify_all();
}
