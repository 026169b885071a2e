#include "zip_test_util.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <random>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_writer.h"

std::wstring WinePath(const std::string& path) {
  std::wstring wide(path.size(), L'\0');
  const int n = MultiByteToWideChar(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), &wide[0],
                                    static_cast<int>(wide.size()));
  wide.resize(static_cast<size_t>(n > 0 ? n : 0));
  if (wide.empty() || wide[0] != L'/') return wide;
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  return L"Z:" + wide;
}

bool ReadWholeFile(const std::wstring& path, Bytes* bytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"rb"), fclose);
  if (!file) return false;
  bytes->clear();
  uint8_t chunk[65536];
  size_t n;
  while ((n = fread(chunk, 1, sizeof(chunk), file.get())) > 0) bytes->insert(bytes->end(), chunk, chunk + n);
  return ferror(file.get()) == 0;
}

bool WriteWholeFile(const std::wstring& path, const Bytes& bytes) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(_wfopen(path.c_str(), L"wb"), fclose);
  if (!file) return false;
  return bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
}

Bytes RandomBytes(size_t length, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(length);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

Bytes CompressibleBytes(size_t length, uint32_t seed) {
  static const char* const kWords[] = {"install ", "package ", "component ", "registry ", "shortcut\n",
                                       "folder ", "setup ", "file ", "version 2.1 ", "done.\r\n"};
  std::mt19937 random(seed);
  Bytes bytes;
  bytes.reserve(length);
  while (bytes.size() < length) {
    const char* word = kWords[random() % 10];
    bytes.insert(bytes.end(), word, word + strlen(word));
  }
  bytes.resize(length);
  return bytes;
}

Bytes WriteArchive(const std::vector<NamedBytes>& entries) {
  size_t total = 0;
  for (const NamedBytes& e : entries) total += e.bytes.size();
  UniqueZipHandle writer(ZipWriter::Create(static_cast<uint32_t>(total)));
  if (!writer) return Bytes();
  for (const NamedBytes& e : entries) {
    if (ZipWriter::Add(writer.get(), e.name, e.bytes.data(), static_cast<uint32_t>(e.bytes.size())) != kZipOk) {
      return Bytes();
    }
  }
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  if (ZipWriter::GetMemory(writer.get(), &data, &length) != kZipOk) return Bytes();
  return Bytes(data, data + length);
}

UnzipResult UnzipWhole(ZipHandle* handle, int index, uint32_t piece) {
  UnzipResult result;
  ZipItemInfo info;
  result.code = ZipReader::GetItem(handle, index, &info);
  if (result.code != kZipOk) return result;
  // The reader fills the buffer unless the entry ends first; its size tells how much came.
  size_t left = static_cast<uint32_t>(info.uncompressedSize);
  for (;;) {
    // A sentinel behind the buffer's end: the reader must never write there.
    Bytes guarded(piece + 16, 0xA5);
    result.code = ZipReader::UnzipItem(handle, index, guarded.data(), piece);
    for (size_t i = piece; i < guarded.size(); ++i) {
      if (guarded[i] != 0xA5) {
        result.code = -1000;
        return result;
      }
    }
    if (result.code != kZipMoreData) return result;
    const size_t got = left < piece ? left : piece;
    if (got == 0) {  // more data reported beyond the entry's size
      result.code = -1001;
      return result;
    }
    result.bytes.insert(result.bytes.end(), guarded.begin(), guarded.begin() + got);
    left -= got;
  }
}

bool ReadEverything(const Bytes& archive, std::vector<Bytes>* contents) {
  UniqueZipHandle reader(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
  if (!reader) return false;
  ZipItemInfo info;
  if (ZipReader::GetItem(reader.get(), -1, &info) != kZipOk) return false;
  const int count = info.index;
  contents->clear();
  for (int i = 0; i < count; ++i) {
    if (ZipReader::GetItem(reader.get(), i, &info) != kZipOk || info.uncompressedSize < 0) return false;
    const uint32_t size = static_cast<uint32_t>(info.uncompressedSize);
    Bytes guarded(size + 16, 0x5A);
    int code = ZipReader::UnzipItem(reader.get(), i, guarded.data(), size);
    for (size_t k = size; k < guarded.size(); ++k) {
      if (guarded[k] != 0x5A) return false;
    }
    if (code == kZipMoreData) code = ZipReader::UnzipItem(reader.get(), i, guarded.data(), size);
    if (code != kZipOk) return false;
    guarded.resize(size);
    contents->push_back(std::move(guarded));
  }
  return true;
}

std::string Utf8FromWide(const std::wstring& text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

int64_t FileTimeTicks(const FILETIME& ft) {
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}
