// The package maker: copies a setup image into a new output file, points its DOS header at
// the first package, and appends packages made from lists of file records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/sys/unique_handles.h"
#include "common/zip/md5.h"
#include "engine/package/package_format.h"
#include "engine/parser/component_records.h"

class PackageWriter {
 public:
  // 0, or -1 when the file cannot be created.
  int CreateOutputFile(const std::wstring& path);
  // Copies the image into the empty output file and appends the first package. 0 or -1.
  int BuildPackages(const std::wstring& imagePath, const std::vector<FileRecord>& records, uint32_t flags);
  // Appends one package; with check, every source must exist before it is read. 0 or -1.
  int WritePackage(const std::vector<FileRecord>& records, bool check);
  void SetSourceFolder(const std::wstring& folder) { sourceFolder_ = folder; }

 private:
  struct Source {
    std::wstring entryName;  // the item's name in the package
    std::wstring path;       // where the maker reads the file
  };
  Source SourceOf(const FileRecord& record) const;
  int WriteItems(const std::vector<FileRecord>& records, bool check);
  int WriteIndexAndNames();
  int WriteHeadAndTail();
  bool Append(const void* bytes, size_t length, const char* what);
  bool WriteAt(uint64_t offset, const void* bytes, size_t length, const char* what);

  UniqueHandle out_;
  uint64_t outSize_ = 0;
  std::wstring sourceFolder_;
  // The package being written.
  std::vector<std::wstring> names_;
  std::vector<pkgfmt::PackageItemHeader> records_;
  uint64_t packageStart_ = 0;
  uint64_t packageLength_ = 0;
  uint64_t namesSize_ = 0;
  uint64_t itemsTotal_ = 0;
  uint64_t unpackedTotal_ = 0;
  CMD5 itemsDigest_;
  uint8_t indexDigest_[pkgfmt::kDigestSize] = {};
};
