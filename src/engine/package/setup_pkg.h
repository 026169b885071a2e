// The install packages of the program's own file: finding and verifying them, extracting
// their items, and making them (the maker's operations, used by tools/pkgmaker).
#pragma once

#include <cstdint>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/package/kv_exception.h"
#include "engine/package/package_file.h"
#include "engine/package/package_format.h"
#include "engine/parser/component_records.h"
#include "engine/parser/file_on_disk.h"

class PackageReadAhead;
class PackageWriter;
struct PackageDigests;

// Package #0's unpacked total, set by ExtractAllProgramFiles; the uninstall record's size.
extern int64_t ProgramPackageUnpackedSize;

// One verified package, offsets absolute in the file.
struct PackageDescriptor {
  uint64_t headOffset = 0;
  uint64_t indexOffset = 0;
  uint64_t tailOffset = 0;
  pkgfmt::PackageHead head;
  pkgfmt::PackageIndexHeader index;
  std::vector<pkgfmt::PackageItemHeader> items;
  std::vector<uint64_t> dataOffsets;  // each item's zip bytes
  pkgfmt::PackageTail tail;
};

class ISetupPkg {
 public:
  virtual int CreateOutputFile(const std::wstring& path) = 0;
  virtual int BuildPackages(const std::wstring& imagePath, const std::vector<FileRecord>& records, uint32_t flags) = 0;
  virtual int AddPackage(const std::vector<FileRecord>& records, bool check) = 0;
  virtual int ExtractAllProgramFiles(const std::wstring& folder) = 0;
  virtual int ExtractAllSetupFiles(const std::wstring& folder, std::wstring& productConfigName) = 0;
  virtual int ExtractOtherPackages(const std::wstring& folder) = 0;

 protected:
  ~ISetupPkg() = default;
};

class SetupPkg final : public ISetupPkg {
 public:
  // The process-wide object over the program's own file. Its first successful call opens
  // the file and verifies its packages; a failure throws KvException and the next call
  // tries again.
  static SetupPkg& GetInstance();
  // Starts reading the program's own file ahead (PackageReadAhead), for GetInstance's first
  // call to take up. Nothing is logged or written.
  static void ReadOwnFileAhead();

  SetupPkg();
  ~SetupPkg();
  SetupPkg(const SetupPkg&) = delete;
  SetupPkg& operator=(const SetupPkg&) = delete;

  // Opens a program file and walks its packages: 0, the system error code, or -2 when a
  // package failed its verification.
  int Open(const std::wstring& path);
  // Work on the file done ahead, given before Open: used when it read the same file, until
  // the setup package is extracted.
  void UseReadAhead(std::unique_ptr<PackageReadAhead> readAhead);
  const std::vector<PackageDescriptor>& Packages() const { return packages_; }

  // Maker (tools/pkgmaker). Results 0 or -1; progress goes to standard output.
  int CreateOutputFile(const std::wstring& path) override;
  int BuildPackages(const std::wstring& imagePath, const std::vector<FileRecord>& records, uint32_t flags) override;
  int AddPackage(const std::vector<FileRecord>& records, bool check) override;
  // The folder that plain relative record paths are joined to (default: the current directory).
  void SetSourceFolder(const std::wstring& folder);

  // Extraction. Results: 0; -1 (no such package, or an item that cannot be unzipped);
  // ExtractAllSetupFiles also -2 to -5 (product description, setup file list, "_setup.ini");
  // or the system error code of a failed read of the package file.
  int ExtractAllProgramFiles(const std::wstring& folder) override;
  int ExtractAllSetupFiles(const std::wstring& folder, std::wstring& productConfigName) override;
  int ExtractOtherPackages(const std::wstring& folder) override;
  // ExtractAllSetupFiles for the start-up: the same files, moves and results, except that the
  // program copy (the entry "PackageManager.exe", by far the largest setup file, which nothing
  // reads before a job) is extracted on a thread of its own. A move of the setup file list that
  // names it waits for it, and its failure is then the result.
  int ExtractSetupFilesProgramCopyBehind(const std::wstring& folder, std::wstring& productConfigName);
  // Waits for the program copy extracted behind: 0 once it is written whole (or when none
  // was started), else the code of its failed extraction (as ExtractItem's).
  int WaitForProgramCopy() const;
  int ExtractItem(const pkgfmt::PackageItemHeader& item, uint64_t dataOffset, const std::wstring& folder,
                  const RecordFileTimesByPath* times = nullptr);
  // Times the program files take as they are extracted (their records' times), so that
  // putting them in place needs no second open of each file.
  void SetProgramFileTimes(RecordFileTimesByPath times) { programFileTimes_ = std::move(times); }

 private:
  static constexpr size_t kNoItem = static_cast<size_t>(-1);
  // The setup program without packages, installed as the uninstaller.
  static constexpr wchar_t kProgramCopyName[] = L"PackageManager.exe";

  int Init();
  // Every item of the package but the one numbered skipped.
  int ExtractPackage(size_t number, const std::wstring& folder, const RecordFileTimesByPath* times = nullptr,
                     size_t skipped = kNoItem);
  int ExtractSetupFiles(const std::wstring& folder, std::wstring* productConfigName, bool programCopyBehind);
  // The setup package's item whose one entry is the program copy; kNoItem when none is.
  size_t FindProgramCopy() const;
  // Starts extracting that item into folder on a thread of its own.
  void StartProgramCopy(size_t item, const std::wstring& folder);
  // ExtractItem with the work done ahead given (may be null).
  int ExtractItemFrom(PackageReadAhead* ahead, const pkgfmt::PackageItemHeader& item, uint64_t dataOffset,
                      const std::wstring& folder, const RecordFileTimesByPath* times) const;

  std::vector<std::optional<PackageDigests>> DigestsOf(const std::vector<uint64_t>& heads);

  PackageFile file_;
  // Shared with the program copy's extraction, which may outlast the others.
  std::shared_ptr<PackageReadAhead> readAhead_;
  std::vector<PackageDescriptor> packages_;
  std::unique_ptr<PackageWriter> writer_;
  RecordFileTimesByPath programFileTimes_;
  // Last: destroyed first, it waits for the extraction that uses the members above.
  std::shared_future<int> programCopy_;
};
