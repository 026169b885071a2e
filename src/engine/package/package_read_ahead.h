// Work on the program's own file done ahead, on helper threads, while the start-up does
// other things: the digests of its packages, and the files of the setup package (#1)
// inflated into memory. Nothing is logged or written. The package reader takes what was
// done for the very file it opened and does the rest, every check, log line and result
// included, as it would without.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "engine/package/package_file.h"
#include "engine/package/package_verify.h"

class PackageReadAhead {
 public:
  // Starts reading the file at path; one that cannot be opened leaves nothing to take.
  explicit PackageReadAhead(const std::wstring& path);
  ~PackageReadAhead();
  PackageReadAhead(const PackageReadAhead&) = delete;
  PackageReadAhead& operator=(const PackageReadAhead&) = delete;

  // Whether this reads the very file that file has open.
  bool Reads(const PackageFile& file) const { return file_.IsSameFileAs(file); }
  // The digests of the package whose head is at headOffset; waits for them. Empty when
  // they were not computed (no such head on the chain, or a failed read).
  std::optional<PackageDigests> DigestsAt(uint64_t headOffset);
  // The one entry of the setup package's item whose zip bytes lie at dataOffset, zipSize
  // long, inflated and found whole (size and CRC-32); waits for it. Handed out once; empty
  // when that item was not read ahead or did not inflate.
  std::optional<std::vector<uint8_t>> TakeEntry(uint64_t dataOffset, uint32_t zipSize);

 private:
  struct Entry {
    uint64_t dataOffset = 0;
    uint32_t zipSize = 0;
    uint32_t fileSize = 0;
    bool done = false;
    std::optional<std::vector<uint8_t>> bytes;
  };

  void Run();
  std::vector<Entry> ListSetupEntries(const std::vector<uint64_t>& heads) const;
  void InflateEntries();
  std::optional<std::vector<uint8_t>> Inflate(const Entry& entry) const;
  void Finish();

  PackageFile file_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool digestsDone_ = false;
  bool entriesListed_ = false;
  std::vector<uint64_t> heads_;
  std::vector<std::optional<PackageDigests>> digests_;
  std::vector<Entry> entries_;
  std::atomic<bool> stop_{false};
  std::thread worker_;
};
