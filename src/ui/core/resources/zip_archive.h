#pragma once
#include <windows.h>

namespace SkinUI {

// Reader of zip archives (the skin zip) in a file or in memory.
struct ZipHandle;
typedef ZipHandle* HZIPARCHIVE;

enum ZipResult : DWORD {
  ZR_OK = 0x00000000,
  ZR_NOFILE = 0x00000200,
  ZR_NOTFOUND = 0x00000500,
  ZR_MORE = 0x00000600,
  ZR_CORRUPT = 0x00000700,
  ZR_READ = 0x00000800,
  ZR_PASSWORD = 0x00001000,
  ZR_ARGS = 0x00010000,
  ZR_WRONGKIND = 0x00080000,
  ZR_ALREADY = 0x01000000,
  ZR_SEEK = 0x02000000,
  ZR_FLATE = 0x05000000,
};

struct ZipItemEntry {
  int index;
  wchar_t name[MAX_PATH];
  DWORD attr;
  FILETIME atime;
  FILETIME ctime;
  FILETIME mtime;
  long comp_size;
  long unc_size;
};

HZIPARCHIVE ZipArchiveOpen(const wchar_t* fileName, const char* password);
HZIPARCHIVE ZipArchiveOpenMemory(const void* data, unsigned int length, const char* password);
DWORD ZipArchiveClose(HZIPARCHIVE handle);
DWORD ZipArchiveFindItem(HZIPARCHIVE handle, const wchar_t* name, bool ignoreCase, int* index, ZipItemEntry* entry);
DWORD ZipArchiveGetItem(HZIPARCHIVE handle, int index, ZipItemEntry* entry);
DWORD ZipArchiveUnzipItem(HZIPARCHIVE handle, int index, void* buffer, unsigned int length);

}  // namespace SkinUI
