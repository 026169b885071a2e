#include "common/zip/zip_reader.h"

#include <atomic>

#include "common/zip/zip_archive.h"
#include "common/zip/zip_codes.h"
#include "common/zip/zip_entry_reader.h"
#include "common/zip/zip_item_fields.h"
#include "common/zip/zip_quiet.h"
#include "common/zip/zip_stream.h"

namespace {

std::atomic<int> g_lastReaderCode{kZipOk};

int Keep(int code) {
  if (!ZipQuietScope::Active()) g_lastReaderCode = code;
  return code;
}

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty()) return std::wstring();
  const int length = static_cast<int>(text.size());
  const int wide = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
  std::wstring out(static_cast<size_t>(wide), L'\0');
  if (wide > 0) MultiByteToWideChar(CP_UTF8, 0, text.data(), length, &out[0], wide);
  return out;
}

}  // namespace

ZipReader::ZipReader() = default;
ZipReader::~ZipReader() = default;

int ZipReader::LastCode() { return g_lastReaderCode; }

ZipHandle* ZipReader::Open(const void* bytes, uint32_t length) {
  if (bytes == nullptr) {
    ZIP_LOG_ERROR("ZipReader::Open, no bytes");
    Keep(kZipOpenFailed);
    return nullptr;
  }
  std::unique_ptr<ZipReader> reader(new ZipReader());
  reader->ownStream_.reset(new ZipMemoryStream(static_cast<const uint8_t*>(bytes), length));
  const ZipStream& stream = *reader->ownStream_;
  return OpenArchive(std::move(reader), stream);
}

ZipHandle* ZipReader::Open(const ZipStream& stream) {
  return OpenArchive(std::unique_ptr<ZipReader>(new ZipReader()), stream);
}

ZipHandle* ZipReader::OpenArchive(std::unique_ptr<ZipReader> reader, const ZipStream& stream) {
  reader->archive_.reset(new ZipArchive(stream));
  const int code = reader->archive_->Open();
  Keep(code);
  if (code != kZipOk) return nullptr;
  return new ZipHandle{ZipHandleKind::Reader, reader.release(), nullptr};
}

int ZipReader::Check(ZipHandle* handle, const char* operation) {
  if (handle == nullptr) {
    ZIP_LOG_ERROR("%s, null handle", operation);
    return kZipBadArgument;
  }
  if (handle->kind != ZipHandleKind::Reader) {
    ZIP_LOG_ERROR("%s, handle is not a reader", operation);
    return kZipWrongKind;
  }
  return kZipOk;
}

int ZipReader::GetItem(ZipHandle* handle, int index, ZipItemInfo* info) {
  int code = Check(handle, "ZipReader::GetItem");
  if (code != kZipOk) return Keep(code);
  ZipReader* self = handle->reader;
  if (info == nullptr || index < -1 || index >= self->archive_->EntryCount()) {
    ZIP_LOG_ERROR("ZipReader::GetItem, bad index %d of %d entries", index, self->archive_->EntryCount());
    return Keep(kZipBadArgument);
  }
  self->CloseEntry();
  if (index == -1) {
    *info = ZipItemInfo();
    info->index = self->archive_->EntryCount();
    return Keep(kZipOk);
  }
  if (index != self->cachedIndex_) {
    code = self->ReadItem(index, &self->cached_);
    if (code != kZipOk) {
      self->cachedIndex_ = -1;
      return Keep(code);
    }
    self->cachedIndex_ = index;
  }
  *info = self->cached_;
  return Keep(kZipOk);
}

int ZipReader::ReadItem(int index, ZipItemInfo* info) {
  ZipCentralHeader header;
  ZipEntryLocation location;
  if (archive_->CentralHeader(index, &header) != kZipOk) return kZipBadLocalHeader;
  const int code = archive_->LocateEntry(header, "ZipReader::GetItem", &location);
  if (code != kZipOk) return code;
  info->index = index;
  info->name = WideFromUtf8(header.name);
  info->attributes = FileAttributesFromExternal(header.externalAttributes);
  ReadEntryTimes(header.dosDateTime, location.extra.data(), location.extra.size(), info);
  info->compressedSize = static_cast<int32_t>(header.compressedSize);
  info->uncompressedSize = static_cast<int32_t>(header.uncompressedSize);
  return kZipOk;
}

int ZipReader::UnzipItem(ZipHandle* handle, int index, void* buffer, uint32_t size) {
  int code = Check(handle, "ZipReader::UnzipItem");
  if (code != kZipOk) return Keep(code);
  ZipReader* self = handle->reader;
  if (index < 0 || index >= self->archive_->EntryCount() || (buffer == nullptr && size > 0)) {
    ZIP_LOG_ERROR("ZipReader::UnzipItem, bad index %d of %d entries or no buffer", index, self->archive_->EntryCount());
    return Keep(kZipBadArgument);
  }
  if (index != self->openIndex_) {
    self->CloseEntry();
    code = self->OpenEntry(index);
    if (code != kZipOk) return Keep(code);
  }
  uint32_t produced = 0;
  code = self->entry_->Read(static_cast<uint8_t*>(buffer), size, &produced);
  if (code == kZipOk && produced > 0) return Keep(kZipMoreData);
  self->CloseEntry();
  return Keep(code);
}

int ZipReader::OpenEntry(int index) {
  ZipCentralHeader header;
  ZipEntryLocation location;
  if (archive_->CentralHeader(index, &header) != kZipOk ||
      archive_->LocateEntry(header, "ZipReader::UnzipItem", &location) != kZipOk) {
    return kZipDataFailed;
  }
  std::unique_ptr<ZipEntryReader> entry(new ZipEntryReader(header, archive_->Stream(), location.data));
  if (entry->Start() != kZipOk) return kZipDataFailed;
  entry_ = std::move(entry);
  openIndex_ = index;
  return kZipOk;
}

void ZipReader::CloseEntry() {
  entry_.reset();
  openIndex_ = -1;
}

int ZipReader::Close(ZipHandle* handle) {
  const int code = Check(handle, "ZipReader::Close");
  if (code != kZipOk) return Keep(code);
  delete handle->reader;
  delete handle;
  return Keep(kZipOk);
}
