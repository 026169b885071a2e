#include "ui/core/resources/zip_reader_internal.h"

#include <algorithm>
#include <cstring>

#include "ui/core/resources/zip_bytes_internal.h"

namespace SkinUI {

namespace {

const uint32_t kEndSignature = 0x06054B50;
const uint32_t kCentralSignature = 0x02014B50;
const uint32_t kLocalSignature = 0x04034B50;
const uint32_t kEndRecordSize = 22;
const uint32_t kCentralRecordSize = 46;
const uint32_t kLocalHeaderSize = 30;
const uint32_t kMaxComment = 0xFFFF;
const uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

FILETIME DosToFileTime(uint16_t dosDate, uint16_t dosTime) {
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(((dosDate >> 9) & 0x7F) + 1980);
  st.wMonth = static_cast<WORD>((dosDate >> 5) & 0x0F);
  st.wDay = static_cast<WORD>(dosDate & 0x1F);
  st.wHour = static_cast<WORD>((dosTime >> 11) & 0x1F);
  st.wMinute = static_cast<WORD>((dosTime >> 5) & 0x3F);
  st.wSecond = static_cast<WORD>((dosTime & 0x1F) * 2);
  FILETIME local = {}, utc = {};
  if (SystemTimeToFileTime(&st, &local)) LocalFileTimeToFileTime(&local, &utc);
  return utc;
}

FILETIME UnixToFileTime(uint32_t t) {
  uint64_t v = static_cast<uint64_t>(t) * 10000000ULL + kUnixEpochAsFileTime;
  FILETIME ft;
  ft.dwLowDateTime = static_cast<DWORD>(v);
  ft.dwHighDateTime = static_cast<DWORD>(v >> 32);
  return ft;
}

DWORD ConvertAttributes(uint16_t versionMadeBy, uint32_t external) {
  int host = versionMadeBy >> 8;
  DWORD attr = 0;
  if (host == 0 || host == 7 || host == 11 || host == 14) {
    uint32_t dos = external & 0xFF;
    if (dos & 0x01) attr |= FILE_ATTRIBUTE_READONLY;
    if (dos & 0x02) attr |= FILE_ATTRIBUTE_HIDDEN;
    if (dos & 0x04) attr |= FILE_ATTRIBUTE_SYSTEM;
    if (dos & 0x10) attr |= FILE_ATTRIBUTE_DIRECTORY;
    if (dos & 0x20) attr |= FILE_ATTRIBUTE_ARCHIVE;
  } else {
    if (external & 0x40000000) attr |= FILE_ATTRIBUTE_DIRECTORY;
    if ((external & 0x00800000) == 0) attr |= FILE_ATTRIBUTE_READONLY;
  }
  return attr;
}

// Applies an extended-timestamp ("UT") block of a local extra field.
void ApplyExtendedTimes(const std::vector<uint8_t>& extra, ZipItemEntry* entry) {
  size_t pos = 0;
  while (pos + 4 <= extra.size()) {
    uint16_t tag = ZipLe16(&extra[pos]);
    uint16_t size = ZipLe16(&extra[pos + 2]);
    size_t body = pos + 4;
    if (body + size > extra.size()) return;
    if (tag == 0x5455 && size >= 1) {
      uint8_t flags = extra[body];
      size_t at = body + 1;
      size_t end = body + size;
      if ((flags & 1) && at + 4 <= end) {
        entry->mtime = UnixToFileTime(ZipLe32(&extra[at]));
        at += 4;
      }
      if ((flags & 2) && at + 4 <= end) {
        entry->atime = UnixToFileTime(ZipLe32(&extra[at]));
        at += 4;
      }
      if ((flags & 4) && at + 4 <= end) {
        entry->ctime = UnixToFileTime(ZipLe32(&extra[at]));
      }
      return;
    }
    pos = body + size;
  }
}

bool NameEquals(const std::string& stored, const std::string& wanted, bool ignoreCase) {
  if (stored.size() != wanted.size()) return false;
  for (size_t i = 0; i < stored.size(); ++i) {
    char a = stored[i], b = wanted[i];
    if (ignoreCase) {
      if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
      if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    }
    if (a != b) return false;
  }
  return true;
}

}  // namespace

ZipReader::ZipReader(std::unique_ptr<ZipSource> source, const char* password) : m_source(std::move(source)) {
  if (password != nullptr) {
    m_hasPassword = true;
    m_password = password;
  }
}

ZipReader::~ZipReader() { CloseStream(); }

DWORD ZipReader::Open() {
  uint32_t dirOffset = 0, dirSize = 0, count = 0;
  DWORD r = LocateDirectory(&dirOffset, &dirSize, &count);
  if (r != ZR_OK) return r;
  return ReadDirectory(dirOffset, dirSize, count);
}

// Finds the end-of-central-directory record in the archive's last 64 KiB and what it describes.
DWORD ZipReader::LocateDirectory(uint32_t* dirOffset, uint32_t* dirSize, uint32_t* count) {
  uint32_t size = m_source->Size();
  if (size < kEndRecordSize) return ZR_CORRUPT;
  uint32_t span = std::min(size, kMaxComment + kEndRecordSize);
  std::vector<uint8_t> tail(span);
  uint32_t tailStart = size - span;
  if (!m_source->ReadExact(tailStart, tail.data(), span)) return ZR_READ;
  for (int64_t at = static_cast<int64_t>(span) - kEndRecordSize; at >= 0; --at) {
    const uint8_t* p = &tail[static_cast<size_t>(at)];
    if (ZipLe32(p) != kEndSignature) continue;
    uint16_t disk = ZipLe16(p + 4), dirDisk = ZipLe16(p + 6);
    uint16_t onDisk = ZipLe16(p + 8), total = ZipLe16(p + 10);
    uint32_t cdSize = ZipLe32(p + 12), cdOffset = ZipLe32(p + 16);
    uint32_t recordPos = tailStart + static_cast<uint32_t>(at);
    if (disk != 0 || dirDisk != 0 || onDisk != total) return ZR_CORRUPT;
    if (static_cast<uint64_t>(cdOffset) + cdSize > recordPos) return ZR_CORRUPT;
    // Bytes in front of the archive (a zip appended to another file) shift every offset.
    m_bytesBefore = recordPos - (cdOffset + cdSize);
    *dirOffset = cdOffset + m_bytesBefore;
    *dirSize = cdSize;
    *count = total;
    return ZR_OK;
  }
  return ZR_CORRUPT;
}

DWORD ZipReader::ReadDirectory(uint32_t dirOffset, uint32_t dirSize, uint32_t count) {
  std::vector<uint8_t> dir(dirSize);
  if (dirSize > 0 && !m_source->ReadExact(dirOffset, dir.data(), dirSize)) return ZR_READ;
  size_t pos = 0;
  m_entries.clear();
  m_entries.reserve(count);
  for (uint32_t i = 0; i < count; ++i) {
    if (pos + kCentralRecordSize > dir.size()) return ZR_CORRUPT;
    const uint8_t* p = &dir[pos];
    if (ZipLe32(p) != kCentralSignature) return ZR_CORRUPT;
    ZipCentralEntry e;
    e.versionMadeBy = ZipLe16(p + 4);
    e.flags = ZipLe16(p + 8);
    e.method = ZipLe16(p + 10);
    e.dosTime = ZipLe16(p + 12);
    e.dosDate = ZipLe16(p + 14);
    e.crc = ZipLe32(p + 16);
    e.compSize = ZipLe32(p + 20);
    e.uncSize = ZipLe32(p + 24);
    uint16_t nameLen = ZipLe16(p + 28), extraLen = ZipLe16(p + 30), commentLen = ZipLe16(p + 32);
    e.externalAttr = ZipLe32(p + 38);
    e.localOffset = ZipLe32(p + 42);
    size_t next = pos + kCentralRecordSize + nameLen + extraLen + commentLen;
    if (next > dir.size()) return ZR_CORRUPT;
    e.name.assign(reinterpret_cast<const char*>(p + kCentralRecordSize), nameLen);
    m_entries.push_back(std::move(e));
    pos = next;
  }
  return ZR_OK;
}

DWORD ZipReader::FindItem(const wchar_t* name, bool ignoreCase, int* index, ZipItemEntry* entry) {
  if (index != nullptr) *index = -1;
  if (entry != nullptr) {
    memset(entry, 0, sizeof(*entry));
    entry->index = -1;
  }
  if (name == nullptr) return ZR_ARGS;
  char utf8[MAX_PATH] = {0};
  int n = WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, MAX_PATH - 1, nullptr, nullptr);
  if (n <= 0) return ZR_NOTFOUND;
  std::string wanted(utf8);
  if (wanted.size() >= 256) return ZR_NOTFOUND;
  for (size_t i = 0; i < m_entries.size(); ++i) {
    if (!NameEquals(m_entries[i].name, wanted, ignoreCase)) continue;
    CloseStream();
    if (index != nullptr) *index = static_cast<int>(i);
    if (entry != nullptr) return GetItem(static_cast<int>(i), entry);
    return ZR_OK;
  }
  return ZR_NOTFOUND;
}

DWORD ZipReader::GetItem(int index, ZipItemEntry* entry) {
  if (entry == nullptr || index < -1 || index >= static_cast<int>(m_entries.size())) return ZR_ARGS;
  CloseStream();
  if (index == -1) {
    memset(entry, 0, sizeof(*entry));
    entry->index = static_cast<int>(m_entries.size());
    return ZR_OK;
  }
  if (index == m_cachedIndex) {
    *entry = m_cachedEntry;
    return ZR_OK;
  }
  DWORD r = DescribeItem(index, entry);
  if (r != ZR_OK) return r;
  m_cachedEntry = *entry;
  m_cachedIndex = index;
  return ZR_OK;
}

DWORD ZipReader::DescribeItem(int index, ZipItemEntry* entry) {
  const ZipCentralEntry& e = m_entries[static_cast<size_t>(index)];
  uint8_t local[kLocalHeaderSize];
  uint32_t localPos = e.localOffset + m_bytesBefore;
  if (!m_source->ReadExact(localPos, local, kLocalHeaderSize)) return ZR_READ;
  if (ZipLe32(local) != kLocalSignature) return ZR_CORRUPT;
  uint16_t nameLen = ZipLe16(local + 26), extraLen = ZipLe16(local + 28);
  std::vector<uint8_t> extra(extraLen);
  if (extraLen > 0 && !m_source->ReadExact(localPos + kLocalHeaderSize + nameLen, extra.data(), extraLen))
    return ZR_READ;

  memset(entry, 0, sizeof(*entry));
  entry->index = index;
  std::wstring name = ZipSafeItemName(e.name.size() > MAX_PATH ? e.name.substr(0, MAX_PATH) : e.name);
  wcsncpy(entry->name, name.c_str(), MAX_PATH - 1);
  entry->name[MAX_PATH - 1] = L'\0';
  entry->attr = ConvertAttributes(e.versionMadeBy, e.externalAttr);
  FILETIME ft = DosToFileTime(e.dosDate, e.dosTime);
  entry->atime = entry->ctime = entry->mtime = ft;
  ApplyExtendedTimes(extra, entry);
  entry->comp_size = static_cast<long>(e.compSize);
  entry->unc_size = static_cast<long>(e.uncSize);
  return ZR_OK;
}

}  // namespace SkinUI
