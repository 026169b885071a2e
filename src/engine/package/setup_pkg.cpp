#include "engine/package/setup_pkg.h"

#include <optional>

#include "common/log/vlog.h"
#include "common/sys/self_path.h"
#include "common/sys/text_convert.h"
#include "engine/package/package_read_ahead.h"
#include "engine/package/package_verify.h"
#include "engine/package/package_writer.h"

int64_t ProgramPackageUnpackedSize = 0;

namespace {

// What ReadOwnFileAhead started, until GetInstance takes it up.
std::unique_ptr<PackageReadAhead>& OwnFileReadAhead() {
  static std::unique_ptr<PackageReadAhead> readAhead;
  return readAhead;
}

// Opens the own file on construction; a failure throws, so the static is not constructed
// and the next GetInstance tries again.
struct OwnSetupPkg {
  OwnSetupPkg() {
    const std::wstring path = SelfPath();
    if (path.empty()) {
      const DWORD err = GetLastError();
      VLOG_ERROR("SetupPkg::GetInstance, GetModuleFileName failed, err %lu", err);
      throw KvException(err != 0 ? static_cast<int>(err) : -1);
    }
    pkg.UseReadAhead(std::move(OwnFileReadAhead()));
    const int code = pkg.Open(path);
    if (code != 0) throw KvException(code);
  }
  SetupPkg pkg;
};

}  // namespace

SetupPkg& SetupPkg::GetInstance() {
  static OwnSetupPkg instance;
  return instance.pkg;
}

void SetupPkg::ReadOwnFileAhead() {
  const std::wstring path = SelfPath();
  if (!path.empty()) OwnFileReadAhead() = std::make_unique<PackageReadAhead>(path);
}

SetupPkg::SetupPkg() : writer_(new PackageWriter()) {}

SetupPkg::~SetupPkg() = default;

void SetupPkg::UseReadAhead(std::unique_ptr<PackageReadAhead> readAhead) { readAhead_ = std::move(readAhead); }

int SetupPkg::Open(const std::wstring& path) {
  // The program copy may still be read from the file open now.
  WaitForProgramCopy();
  packages_.clear();
  const DWORD err = file_.Open(path);
  if (err != 0) return static_cast<int>(err);
  if (readAhead_ && !readAhead_->Reads(file_)) readAhead_.reset();
  return Init();
}

// Computed here, or taken from the work done ahead on this file.
std::vector<std::optional<PackageDigests>> SetupPkg::DigestsOf(const std::vector<uint64_t>& heads) {
  if (!readAhead_) return DigestPackages(file_, heads);
  std::vector<std::optional<PackageDigests>> digests;
  for (uint64_t head : heads) digests.push_back(readAhead_->DigestsAt(head));
  return digests;
}

int SetupPkg::Init() {
  uint8_t locator[4];
  const DWORD err = file_.ReadAt(pkgfmt::kLocatorOffset, locator, sizeof(locator));
  if (err != 0) {
    VLOG_ERROR("SetupPkg::Init, reading the package locator failed, err %lu", err);
    return static_cast<int>(err);
  }
  uint64_t head = pkgfmt::Get32(locator);
  // The digests first, in parallel; the walk then verifies each package in chain order.
  const std::vector<uint64_t> heads = ChainedHeads(file_, head);
  const std::vector<std::optional<PackageDigests>> ahead = DigestsOf(heads);
  for (size_t i = 0; head != 0 && head < file_.Size(); ++i) {
    const bool known = i < heads.size() && heads[i] == head && ahead[i].has_value();
    PackageDescriptor package;
    const PackageReadResult read = ReadPackageAt(file_, head, &package, known ? &*ahead[i] : nullptr);
    switch (read.kind) {
      case PackageReadResult::kNoHead:
        // Where the packages end: a code-signing signature may follow the last one.
        VLOG_ERROR("Pkg Head verify failed | nret %d", read.code);
        return 0;
      case PackageReadResult::kDamaged:
        VLOG_ERROR("Pkg Tail verify failed | iret %d", read.code);
        packages_.clear();
        return -2;
      case PackageReadResult::kReadError:
        VLOG_ERROR("SetupPkg::Init, reading the package at %llu failed, err %d", static_cast<unsigned long long>(head),
                   read.code);
        packages_.clear();
        return read.code;
      case PackageReadResult::kOk:
        break;
    }
    head += package.head.totalLength;
    packages_.push_back(std::move(package));
  }
  return 0;
}

int SetupPkg::CreateOutputFile(const std::wstring& path) { return writer_->CreateOutputFile(path); }

int SetupPkg::BuildPackages(const std::wstring& imagePath, const std::vector<FileRecord>& records, uint32_t flags) {
  return writer_->BuildPackages(imagePath, records, flags);
}

int SetupPkg::AddPackage(const std::vector<FileRecord>& records, bool check) {
  return writer_->WritePackage(records, check) == 0 ? 0 : -1;
}

void SetupPkg::SetSourceFolder(const std::wstring& folder) { writer_->SetSourceFolder(folder); }
