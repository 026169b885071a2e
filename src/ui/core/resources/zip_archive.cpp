#include "ui/core/resources/zip_archive.h"

#include "ui/core/resources/zip_reader_internal.h"

namespace SkinUI {

struct ZipHandle {
  enum { kUnzip = 1 };
  int kind;
  ZipReader* reader;
};

namespace {

HZIPARCHIVE OpenSource(std::unique_ptr<ZipSource> source, const char* password) {
  if (!source) return nullptr;
  std::unique_ptr<ZipReader> reader(new ZipReader(std::move(source), password));
  if (reader->Open() != ZR_OK) return nullptr;
  return new ZipHandle{ZipHandle::kUnzip, reader.release()};
}

DWORD CheckHandle(HZIPARCHIVE handle) {
  if (handle == nullptr) return ZR_ARGS;
  if (handle->kind != ZipHandle::kUnzip) return ZR_WRONGKIND;
  return ZR_OK;
}

}  // namespace

HZIPARCHIVE ZipArchiveOpen(const wchar_t* fileName, const char* password) {
  return OpenSource(ZipSource::OpenFile(fileName), password);
}

HZIPARCHIVE ZipArchiveOpenMemory(const void* data, unsigned int length, const char* password) {
  return OpenSource(ZipSource::FromMemory(data, length), password);
}

DWORD ZipArchiveClose(HZIPARCHIVE handle) {
  DWORD r = CheckHandle(handle);
  if (r != ZR_OK) return r;
  delete handle->reader;
  delete handle;
  return ZR_OK;
}

DWORD ZipArchiveFindItem(HZIPARCHIVE handle, const wchar_t* name, bool ignoreCase, int* index, ZipItemEntry* entry) {
  DWORD r = CheckHandle(handle);
  return r != ZR_OK ? r : handle->reader->FindItem(name, ignoreCase, index, entry);
}

DWORD ZipArchiveGetItem(HZIPARCHIVE handle, int index, ZipItemEntry* entry) {
  DWORD r = CheckHandle(handle);
  return r != ZR_OK ? r : handle->reader->GetItem(index, entry);
}

DWORD ZipArchiveUnzipItem(HZIPARCHIVE handle, int index, void* buffer, unsigned int length) {
  DWORD r = CheckHandle(handle);
  return r != ZR_OK ? r : handle->reader->UnzipItem(index, buffer, length);
}

}  // namespace SkinUI
