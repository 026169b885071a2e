// Extracting the packages of the program's own file.
#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/package/item_unzip.h"
#include "engine/package/package_read_ahead.h"
#include "engine/package/setup_files.h"
#include "engine/package/setup_pkg.h"

int SetupPkg::ExtractItem(const pkgfmt::PackageItemHeader& item, uint64_t dataOffset, const std::wstring& folder,
                          const RecordFileTimesByPath* times) {
  return ExtractItemFrom(readAhead_.get(), item, dataOffset, folder, times);
}

int SetupPkg::ExtractItemFrom(PackageReadAhead* ahead, const pkgfmt::PackageItemHeader& item, uint64_t dataOffset,
                              const std::wstring& folder, const RecordFileTimesByPath* times) const {
  std::optional<std::vector<uint8_t>> inflated;
  if (ahead) inflated = ahead->TakeEntry(dataOffset, item.zipSize);
  return UnzipItemToFolder(file_, dataOffset, item.zipSize, folder, times, inflated ? &*inflated : nullptr);
}

namespace {

// Items are unpacked by a few threads at once: under Wine every file that is created costs
// round trips to the server, and those of several files overlap. More threads than this gain
// nothing there and only add memory.
constexpr unsigned kMostExtractThreads = 4;

unsigned ExtractThreads(size_t items) {
  const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
  return static_cast<unsigned>(std::min<size_t>({kMostExtractThreads, cores, std::max<size_t>(items / 8, 1)}));
}

}  // namespace

// Every item of one package; the result is that of the first failing item in index order,
// as if they were unpacked one after another: no item after it is started once it failed
// (those already under way finish, and a failed job removes the folder anyway).
int SetupPkg::ExtractPackage(size_t number, const std::wstring& folder, const RecordFileTimesByPath* times,
                             size_t skipped) {
  const PackageDescriptor& package = packages_[number];
  const size_t count = package.items.size();
  std::vector<int> codes(count, 0);
  std::atomic<size_t> next{0};
  std::atomic<size_t> firstFailure{count};
  const auto work = [&] {
    for (size_t i = next++; i < count && i < firstFailure; i = next++) {
      if (i == skipped) continue;
      codes[i] = ExtractItem(package.items[i], package.dataOffsets[i], folder, times);
      if (codes[i] == 0) continue;
      size_t seen = firstFailure;
      while (i < seen && !firstFailure.compare_exchange_weak(seen, i)) {}
    }
  };
  std::vector<std::thread> helpers;
  for (unsigned t = 1; t < ExtractThreads(count); ++t) helpers.emplace_back(work);
  work();
  for (std::thread& helper : helpers) helper.join();
  const size_t failed = firstFailure;
  if (failed == count) return 0;
  VLOG_ERROR("ExtractPackage, item %u of package %u failed, code %d, folder %s", static_cast<unsigned>(failed),
             static_cast<unsigned>(number), codes[failed], WideToUtf8(folder).c_str());
  return codes[failed];
}

int SetupPkg::ExtractAllProgramFiles(const std::wstring& folder) {
  if (packages_.empty()) {
    VLOG_ERROR("ExtractAllProgramFiles, the program file has no package");
    return -1;
  }
  ProgramPackageUnpackedSize = packages_[0].head.unpackedTotal;
  return ExtractPackage(0, folder, &programFileTimes_);
}

int SetupPkg::ExtractAllSetupFiles(const std::wstring& folder, std::wstring& productConfigName) {
  return ExtractSetupFiles(folder, &productConfigName, false);
}

int SetupPkg::ExtractSetupFilesProgramCopyBehind(const std::wstring& folder, std::wstring& productConfigName) {
  return ExtractSetupFiles(folder, &productConfigName, true);
}

int SetupPkg::ExtractSetupFiles(const std::wstring& folder, std::wstring* productConfigName, bool programCopyBehind) {
  if (packages_.size() < 2) {
    readAhead_.reset();
    VLOG_ERROR("ExtractAllSetupFiles, the program file has %u packages, not two",
               static_cast<unsigned>(packages_.size()));
    return -1;
  }
  const size_t copy = programCopyBehind ? FindProgramCopy() : kNoItem;
  if (copy != kNoItem) StartProgramCopy(copy, folder);
  const int code = ExtractPackage(1, folder, nullptr, copy);
  // What was read ahead served this extraction only.
  readAhead_.reset();
  if (code != 0) return code;
  if (copy == kNoItem) return PrepareSetupFiles(folder, productConfigName);
  const PendingSetupFile pending{kProgramCopyName, [this] { return WaitForProgramCopy(); }};
  return PrepareSetupFiles(folder, productConfigName, &pending);
}

int SetupPkg::ExtractOtherPackages(const std::wstring& folder) {
  if (packages_.size() < 2) return -1;
  for (size_t number = 1; number < packages_.size(); ++number) {
    if (ExtractPackage(number, folder) != 0) return -1;
  }
  return 0;
}
