// Writes zip archives into a memory area that grows on demand: entries are deflated
// (raw DEFLATE, level 8) or stored for names with archive suffixes, each with Info-ZIP's
// "UT" time field. Every operation returns a code of zip_codes.h and keeps it as the last
// writer code; nothing is thrown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/zip/zip_handle.h"
#include "common/zip/zip_header_bytes.h"
#include "common/zip/zip_output.h"

class ZipWriter {
 public:
  // A writer over an area of twice sizeHint bytes (the bytes the caller will add; 0 is
  // allowed). Null on failure, with the last writer code set.
  static ZipHandle* Create(uint32_t sizeHint);
  // Appends one entry named by the UTF-8 name ("\" becomes "/") holding bytes[0, length).
  // A zero-length entry is allowed.
  static int Add(ZipHandle* handle, const std::string& name, const void* bytes, uint32_t length);
  // Writes the central directory and the end record after the last entry.
  static int WriteCentralDirectory(ZipHandle* handle);
  // The finished archive (writes the central directory first when it is not yet written).
  // The bytes stay valid until the close.
  static int GetMemory(ZipHandle* handle, const uint8_t** bytes, uint32_t* length);
  // Finishes the archive unless finished, then releases the area and the handle.
  static int Close(ZipHandle* handle);
  static int LastCode();

 private:
  static int Check(ZipHandle* handle, const char* operation);
  int AddEntry(const std::string& name, const uint8_t* bytes, uint32_t length);
  int WriteDeflated(ZipWrittenEntry* entry, const uint8_t* bytes, uint32_t length);
  int FinishArchive();

  ZipOutput output_;
  int stickyError_ = 0;
  bool finished_ = false;
  int finishResult_ = 0;
  std::vector<ZipWrittenEntry> entries_;
};
