// Reads zip archives held in memory or lying in a file: lists their entries and unzips an
// entry into a caller's buffer, whole or piece by piece. Every operation returns a code of
// zip_codes.h and keeps it as the last reader code; nothing is thrown.
#pragma once

#include <cstdint>
#include <memory>

#include "common/zip/zip_handle.h"
#include "common/zip/zip_item_info.h"

class ZipArchive;
class ZipEntryReader;
class ZipStream;

class ZipReader {
 public:
  // Opens the archive in bytes[0, length); the block must outlive the handle. Null on
  // failure, with the last reader code set (kZipOpenFailed, kZipInconsistent). An archive
  // may follow other bytes; an archive without entries opens with zero entries.
  static ZipHandle* Open(const void* bytes, uint32_t length);
  // Opens the archive that stream holds (a ZipFileStream reads it from a file in bounded
  // pieces); the stream must outlive the handle. Results as above.
  static ZipHandle* Open(const ZipStream& stream);
  // Index -1: info->index gets the number of entries. Otherwise the entry's record.
  static int GetItem(ZipHandle* handle, int index, ZipItemInfo* info);
  // Unzips entry index into buffer: kZipMoreData while bytes came out (call again with the
  // same index to continue), kZipOk once nothing is left, kZipDataFailed when the entry
  // is damaged (including a CRC-32 mismatch found when its last byte is read).
  static int UnzipItem(ZipHandle* handle, int index, void* buffer, uint32_t size);
  // Releases the archive and the handle.
  static int Close(ZipHandle* handle);
  static int LastCode();

  ~ZipReader();

 private:
  ZipReader();
  static ZipHandle* OpenArchive(std::unique_ptr<ZipReader> reader, const ZipStream& stream);
  static int Check(ZipHandle* handle, const char* operation);
  int ReadItem(int index, ZipItemInfo* info);
  int OpenEntry(int index);
  void CloseEntry();

  std::unique_ptr<ZipStream> ownStream_;  // the memory block of Open(bytes, length)
  std::unique_ptr<ZipArchive> archive_;
  std::unique_ptr<ZipEntryReader> entry_;  // the entry open for reading
  int openIndex_ = -1;
  int cachedIndex_ = -1;
  ZipItemInfo cached_;
};
