#include "engine/package/package_writer.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/package/entry_name.h"
#include "engine/package/package_item.h"

using namespace pkgfmt;

namespace {

// Every length and offset of a package is a 32-bit word.
constexpr uint64_t kMaxPackageLength = 0xFFFFFFFFull;

std::wstring Attribute(const FileRecord& record, const char* name) {
  return Utf8ToWide(FindAttribute(record.attributes, name));
}

// A path that the maker takes as it stands: a drive or a colon in its first two
// characters, or a start of "./", ".\" or "..".
bool IsRootedPath(const std::wstring& path) {
  const std::wstring start = path.substr(0, 2);
  return start.find(L':') != std::wstring::npos || start == L"./" || start == L".\\" || start == L"..";
}

std::wstring FileNamePart(const std::wstring& path) {
  size_t cut = path.rfind(L'\\');
  if (cut == std::wstring::npos) cut = path.rfind(L'/');
  return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int PackageWriter::CreateOutputFile(const std::wstring& path) {
  out_.reset(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr));
  outSize_ = 0;
  if (!IsValid(out_)) {
    VLOG_ERROR("CreateOutputFile, CreateFile %s failed, err %lu", WideToUtf8(path).c_str(), GetLastError());
    return -1;
  }
  return 0;
}

bool PackageWriter::WriteAt(uint64_t offset, const void* bytes, size_t length, const char* what) {
  const uint8_t* p = static_cast<const uint8_t*>(bytes);
  while (length > 0) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD done = 0;
    const DWORD want = static_cast<DWORD>(length < (1u << 24) ? length : (1u << 24));
    if (!IsValid(out_) || !WriteFile(out_.get(), p, want, &done, &at) || done == 0) {
      VLOG_ERROR("WritePackage, writing the %s at %llu failed, err %lu", what, static_cast<unsigned long long>(offset),
                 GetLastError());
      return false;
    }
    p += done;
    offset += done;
    length -= done;
  }
  return true;
}

bool PackageWriter::Append(const void* bytes, size_t length, const char* what) {
  if (!WriteAt(outSize_, bytes, length, what)) return false;
  outSize_ += length;
  return true;
}

int PackageWriter::BuildPackages(const std::wstring& imagePath, const std::vector<FileRecord>& records,
                                 uint32_t flags) {
  std::printf("Build packags.\n");
  std::vector<uint8_t> image;
  UniqueHandle file(CreateFileW(imagePath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  DWORD got = 0;
  // The locator words at 0x30 and 0x34 must lie inside the image, and its size is their value.
  if (!IsValid(file) || !GetFileSizeEx(file.get(), &size) ||
      size.QuadPart < static_cast<LONGLONG>(kFlagWordOffset + 4) ||
      size.QuadPart >= static_cast<LONGLONG>(kMaxPackageLength)) {
    std::printf("Open SetupImagePath fail. [%s]\n", WideToUtf8(imagePath).c_str());
    VLOG_ERROR("BuildPackages, setup image %s cannot be read or has no room for the locator, err %lu",
               WideToUtf8(imagePath).c_str(), GetLastError());
    return -1;
  }
  image.resize(static_cast<size_t>(size.QuadPart));
  if (!ReadFile(file.get(), image.data(), static_cast<DWORD>(image.size()), &got, nullptr) || got != image.size()) {
    std::printf("Open SetupImagePath fail. [%s]\n", WideToUtf8(imagePath).c_str());
    VLOG_ERROR("BuildPackages, reading the setup image %s failed, err %lu", WideToUtf8(imagePath).c_str(),
               GetLastError());
    return -1;
  }
  if (outSize_ != 0) {
    VLOG_ERROR("BuildPackages, the output file is not empty: the image must come first");
    return -1;
  }
  Put32(&image[kLocatorOffset], static_cast<uint32_t>(image.size()));
  Put32(&image[kFlagWordOffset], flags);
  if (!Append(image.data(), image.size(), "setup image")) return -1;
  packageStart_ = image.size();
  return WritePackage(records, false);
}

PackageWriter::Source PackageWriter::SourceOf(const FileRecord& record) const {
  const std::wstring path = Attribute(record, "path");
  if (IsRootedPath(path)) {
    const std::wstring newPath = Attribute(record, "newpath");
    return Source{newPath.empty() ? FileNamePart(path) : newPath, path};
  }
  if (path.empty() || sourceFolder_.empty()) return Source{path, path};
  const wchar_t last = sourceFolder_.back();
  return Source{path, sourceFolder_ + (last == L'\\' || last == L'/' ? L"" : L"\\") + path};
}

int PackageWriter::WriteItems(const std::vector<FileRecord>& records, bool check) {
  const size_t count = records.size();
  for (size_t i = 0; i < count; ++i) {
    const Source source = SourceOf(records[i]);
    const std::string sourceText = WideToUtf8(source.path);
    std::printf("\rProcessing [%d/%d] %-50s    \t", static_cast<int>(i + 1), static_cast<int>(count),
                sourceText.c_str());
    std::fflush(stdout);
    std::wstring safe;
    if (source.path.empty() || (check && !Exists(source.path)) || !ToSafeRelativePath(source.entryName, &safe)) {
      std::printf("\nNo such file, or a name outside the package. [%s]\n", sourceText.c_str());
      VLOG_ERROR("WritePackage, item %u: source %s missing or entry name %s unsafe", static_cast<unsigned>(i + 1),
                 sourceText.c_str(), WideToUtf8(source.entryName).c_str());
      return -1;
    }
    PackageItem item;
    if (MakePackageItem(source.path, WideToUtf8(source.entryName), &item) != 0) {
      std::printf("\nMakePackageItem fail. [%s]\n", sourceText.c_str());
      return -1;
    }
    const uint64_t block = kItemHeaderSize + static_cast<uint64_t>(item.zipSize);
    if (kHeadSize + itemsTotal_ + block + kTailSize > kMaxPackageLength ||
        unpackedTotal_ + item.header.fileSize > kMaxPackageLength) {
      std::printf("\nThe package would pass 4 GB. [%s]\n", sourceText.c_str());
      VLOG_ERROR("WritePackage, item %s makes the package pass the 32-bit limits", sourceText.c_str());
      return -1;
    }
    uint8_t header[kItemHeaderSize];
    EncodeItemHeader(item.header, header);
    if (!Append(header, sizeof(header), "item header") || !Append(item.zip, item.zipSize, "item")) return -1;
    itemsDigest_.Update(header, sizeof(header));
    itemsDigest_.Update(item.zip, item.zipSize);
    itemsTotal_ += block;
    names_.push_back(source.entryName);
    records_.push_back(item.header);
    unpackedTotal_ += item.header.fileSize;
    namesSize_ += 2 * source.entryName.size() + 2;
  }
  if (count > 0) std::printf("\n");
  packageLength_ += itemsTotal_;
  return 0;
}

int PackageWriter::WriteIndexAndNames() {
  const uint32_t count = static_cast<uint32_t>(records_.size());
  PackageIndexHeader index;
  index.magic = kIndexMagic;
  index.count = count;
  index.namesOffset = static_cast<uint32_t>(kIndexHeaderSize + kItemHeaderSize * (count == 0 ? 1 : count));
  index.namesSize = static_cast<uint32_t>(namesSize_);
  // An empty index still carries one record's room, zero-filled.
  std::vector<uint8_t> bytes(index.namesOffset, 0);
  EncodeIndexHeader(index, bytes.data());
  for (uint32_t i = 0; i < count; ++i) EncodeItemHeader(records_[i], &bytes[kIndexHeaderSize + kItemHeaderSize * i]);
  std::vector<uint8_t> names;
  names.reserve(static_cast<size_t>(namesSize_));
  for (const std::wstring& name : names_) {
    for (size_t i = 0; i <= name.size(); ++i) {
      const uint16_t unit = i < name.size() ? static_cast<uint16_t>(name[i]) : 0;
      names.push_back(static_cast<uint8_t>(unit) ^ 0xFF);
      names.push_back(static_cast<uint8_t>(unit >> 8) ^ 0xFF);
    }
  }
  if (packageLength_ + bytes.size() + names.size() + kTailSize > kMaxPackageLength) {
    VLOG_ERROR("WritePackage, the index makes the package pass the 32-bit limits");
    return -1;
  }
  CMD5 md5;
  md5.Update(bytes.data(), bytes.size());
  std::memcpy(indexDigest_, md5.Final(), kDigestSize);
  if (!Append(bytes.data(), bytes.size(), "index") || !Append(names.data(), names.size(), "name table")) return -1;
  packageLength_ += bytes.size() + names.size();
  return 0;
}

int PackageWriter::WriteHeadAndTail() {
  PackageHead head;
  head.magic = kHeadMagic;
  head.version = kVersion;
  head.totalLength = static_cast<uint32_t>(packageLength_ + kTailSize);
  head.itemCount = static_cast<uint32_t>(names_.size());
  head.indexOffset = static_cast<uint32_t>(itemsTotal_ + kHeadSize);
  head.tailOffset = static_cast<uint32_t>(packageLength_);
  head.unpackedTotal = static_cast<uint32_t>(unpackedTotal_);
  uint8_t headBytes[kHeadSize];
  EncodeHead(head, headBytes);
  if (!WriteAt(packageStart_, headBytes, sizeof(headBytes), "head")) return -1;

  PackageTail tail;
  tail.magic = kTailMagic;
  tail.totalLength = head.totalLength;
  CMD5 headMd5;
  headMd5.Update(headBytes, sizeof(headBytes));
  std::memcpy(tail.headDigest, headMd5.Final(), kDigestSize);
  std::memcpy(tail.indexDigest, indexDigest_, kDigestSize);
  std::memcpy(tail.itemsDigest, itemsDigest_.Final(), kDigestSize);
  SYSTEMTIME now{};
  GetSystemTime(&now);
  const WORD fields[8] = {now.wYear, now.wMonth,  now.wDayOfWeek, now.wDay,
                          now.wHour, now.wMinute, now.wSecond,    now.wMilliseconds};
  std::memcpy(tail.buildTime, fields, sizeof(fields));
  uint8_t tailBytes[kTailSize];
  EncodeTail(tail, tailBytes);
  if (!Append(tailBytes, sizeof(tailBytes), "tail")) return -1;
  packageLength_ += kTailSize;
  return 0;
}

int PackageWriter::WritePackage(const std::vector<FileRecord>& records, bool check) {
  names_.clear();
  records_.clear();
  itemsDigest_ = CMD5{};
  namesSize_ = itemsTotal_ = unpackedTotal_ = packageLength_ = 0;
  if (outSize_ != packageStart_) {
    VLOG_ERROR("WritePackage, no package was begun: make the output file and build the first package first");
    return -1;
  }
  uint8_t placeholder[kHeadSize] = {};
  Put32(placeholder, kHeadMagic);
  if (!Append(placeholder, sizeof(placeholder), "head")) return -1;
  packageLength_ = kHeadSize;
  if (WriteItems(records, check) != 0 || WriteIndexAndNames() != 0 || WriteHeadAndTail() != 0) return -1;
  packageStart_ += packageLength_;
  return 0;
}
