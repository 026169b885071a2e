#include "common/zip/zip_handle.h"

#include "common/zip/zip_reader.h"
#include "common/zip/zip_writer.h"

int CloseZip(ZipHandle* handle) {
  if (handle != nullptr && handle->kind == ZipHandleKind::Reader) return ZipReader::Close(handle);
  return ZipWriter::Close(handle);
}
