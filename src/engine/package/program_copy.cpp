// The setup package's program copy, extracted on a thread of its own: it is by far the
// largest setup file, and nothing reads it before a job.
#include <future>
#include <system_error>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "common/zip/zip_codes.h"
#include "common/zip/zip_quiet.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_stream.h"
#include "engine/package/entry_name.h"
#include "engine/package/setup_pkg.h"
#include "engine/parser/text_compare.h"

namespace {

// The path of the archive's one entry; empty when it holds another number of entries or
// cannot be read (its extraction tells why).
std::wstring OnlyEntryPath(const PackageFile& file, uint64_t dataOffset, uint32_t zipSize) {
  const ZipQuietScope quiet;
  ZipFileStream stream(file.Handle(), dataOffset, zipSize);
  UniqueZipHandle zip(ZipReader::Open(stream));
  ZipItemInfo count, entry;
  std::wstring relative;
  if (!zip || ZipReader::GetItem(zip.get(), -1, &count) != kZipOk || count.index != 1 ||
      ZipReader::GetItem(zip.get(), 0, &entry) != kZipOk || !ToSafeRelativePath(entry.name, &relative)) {
    return std::wstring();
  }
  return relative;
}

}  // namespace

size_t SetupPkg::FindProgramCopy() const {
  const PackageDescriptor& setup = packages_[1];
  for (size_t i = 0; i < setup.items.size(); ++i) {
    if (EqualsNoCase(OnlyEntryPath(file_, setup.dataOffsets[i], setup.items[i].zipSize), kProgramCopyName)) return i;
  }
  return kNoItem;
}

void SetupPkg::StartProgramCopy(size_t item, const std::wstring& folder) {
  // One at a time: an earlier copy may still be written into the same folder.
  WaitForProgramCopy();
  const PackageDescriptor& setup = packages_[1];
  const auto extract = [this, ahead = readAhead_, header = setup.items[item], at = setup.dataOffsets[item], item,
                        folder] {
    const int code = ExtractItemFrom(ahead.get(), header, at, folder, nullptr);
    if (code != 0) {
      VLOG_ERROR("ExtractAllSetupFiles, the program copy (item %u of package 1) failed, code %d, folder %s",
                 static_cast<unsigned>(item), code, WideToUtf8(folder).c_str());
    }
    return code;
  };
  try {
    programCopy_ = std::async(std::launch::async, extract).share();
  } catch (const std::system_error&) {
    // No thread: extracted here and now.
    std::promise<int> done;
    done.set_value(extract());
    programCopy_ = done.get_future().share();
  }
}

int SetupPkg::WaitForProgramCopy() const { return programCopy_.valid() ? programCopy_.get() : 0; }
