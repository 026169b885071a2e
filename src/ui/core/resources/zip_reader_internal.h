#pragma once
#include <zlib.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/resources/zip_archive.h"
#include "ui/core/resources/zip_source_internal.h"

namespace SkinUI {

// One record of the central directory.
struct ZipCentralEntry {
  std::string name;
  uint16_t versionMadeBy = 0;
  uint16_t flags = 0;
  uint16_t method = 0;
  uint16_t dosTime = 0;
  uint16_t dosDate = 0;
  uint32_t crc = 0;
  uint32_t compSize = 0;
  uint32_t uncSize = 0;
  uint32_t externalAttr = 0;
  uint32_t localOffset = 0;
};

// The data stream of the one item being unzipped.
struct ZipItemStream {
  int index = -1;
  uint32_t inputOffset = 0;
  uint32_t inputLeft = 0;
  uint32_t produced = 0;
  uint32_t crc = 0;
  bool encrypted = false;
  uint32_t keys[3] = {0, 0, 0};
  bool zlibReady = false;
  bool ended = false;
  z_stream z = {};
  std::vector<uint8_t> input;
};

class ZipReader {
 public:
  ZipReader(std::unique_ptr<ZipSource> source, const char* password);
  ~ZipReader();

  DWORD Open();
  DWORD FindItem(const wchar_t* name, bool ignoreCase, int* index, ZipItemEntry* entry);
  DWORD GetItem(int index, ZipItemEntry* entry);
  DWORD UnzipItem(int index, void* buffer, uint32_t length);

 private:
  DWORD LocateDirectory(uint32_t* dirOffset, uint32_t* dirSize, uint32_t* count);
  DWORD ReadDirectory(uint32_t dirOffset, uint32_t dirSize, uint32_t count);
  DWORD DescribeItem(int index, ZipItemEntry* entry);
  DWORD OpenStream(int index);
  void CloseStream();
  DWORD ReadInput(uint8_t* buffer, uint32_t count, uint32_t* got);
  DWORD ProduceStored(uint8_t* out, uint32_t length, uint32_t* written);
  DWORD ProduceDeflated(uint8_t* out, uint32_t length, uint32_t* written);
  DWORD FinishDeflated();
  DWORD FinishItem();

  std::unique_ptr<ZipSource> m_source;
  uint32_t m_bytesBefore = 0;
  std::vector<ZipCentralEntry> m_entries;
  ZipItemStream m_stream;
  int m_cachedIndex = -1;
  ZipItemEntry m_cachedEntry = {};
  bool m_hasPassword = false;
  std::string m_password;
};

// Traditional PKWARE encryption keys.
void ZipCryptInit(uint32_t keys[3], const std::string& password);
uint8_t ZipCryptDecode(uint32_t keys[3], uint8_t c);

// Item names are made safe: no drive, no leading separator, nothing above the archive's root.
std::wstring ZipSafeItemName(const std::string& utf8Name);

}  // namespace SkinUI
