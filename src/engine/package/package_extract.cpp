// Extracting the packages of the program's own file.
#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/package/item_unzip.h"
#include "engine/package/setup_files.h"
#include "engine/package/setup_pkg.h"

int SetupPkg::ExtractItem(const pkgfmt::PackageItemHeader& item, uint64_t dataOffset, const std::wstring& folder) {
  return UnzipItemToFolder(file_, dataOffset, item.zipSize, folder);
}

// Every item of one package, in index order; the first failing item's code ends it.
int SetupPkg::ExtractPackage(size_t number, const std::wstring& folder) {
  const PackageDescriptor& package = packages_[number];
  for (size_t i = 0; i < package.items.size(); ++i) {
    const int code = ExtractItem(package.items[i], package.dataOffsets[i], folder);
    if (code != 0) {
      VLOG_ERROR("ExtractPackage, item %u of package %u failed, code %d, folder %s", static_cast<unsigned>(i),
                 static_cast<unsigned>(number), code, WideToUtf8(folder).c_str());
      return code;
    }
  }
  return 0;
}

int SetupPkg::ExtractAllProgramFiles(const std::wstring& folder) {
  if (packages_.empty()) {
    VLOG_ERROR("ExtractAllProgramFiles, the program file has no package");
    return -1;
  }
  ProgramPackageUnpackedSize = packages_[0].head.unpackedTotal;
  return ExtractPackage(0, folder);
}

int SetupPkg::ExtractAllSetupFiles(const std::wstring& folder, std::wstring& productConfigName) {
  if (packages_.size() < 2) {
    VLOG_ERROR("ExtractAllSetupFiles, the program file has %u packages, not two",
               static_cast<unsigned>(packages_.size()));
    return -1;
  }
  const int code = ExtractPackage(1, folder);
  if (code != 0) return code;
  return PrepareSetupFiles(folder, &productConfigName);
}

int SetupPkg::ExtractOtherPackages(const std::wstring& folder) {
  if (packages_.size() < 2) return -1;
  for (size_t number = 1; number < packages_.size(); ++number) {
    if (ExtractPackage(number, folder) != 0) return -1;
  }
  return 0;
}
