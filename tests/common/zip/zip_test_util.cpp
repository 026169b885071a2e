#include "zip_test_util.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "common/zip/zip_codes.h"
#include "common/zip/zip_reader.h"
#include "common/zip/zip_writer.h"

std::wstring WinePath(const std::string& path) {
  std::wstring wide = std::filesystem::u8path(path).wstring();
  if (wide.empty() || wide[0] != L'/') return wide;
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return L"Z:" + wide;
}

bool ReadWholeFile(const std::wstring& path, Bytes* bytes) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return in.is_open() && !in.bad();
}

bool WriteWholeFile(const std::wstring& path, const Bytes& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return out.good();
}

Bytes RandomBytes(size_t length, uint32_t seed) {
  std::mt19937 random(seed);
  Bytes bytes(length);
  for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
  return bytes;
}

Bytes CompressibleBytes(size_t length, uint32_t seed) {
  static const char* const kWords[] = {"install ", "package ", "component ", "registry ",    "shortcut\n",
                                       "folder ",  "setup ",   "file ",      "version 2.1 ", "done.\r\n"};
  std::mt19937 random(seed);
  Bytes bytes;
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

UniqueZipHandle OpenBytes(const Bytes& archive) {
  return UniqueZipHandle(ZipReader::Open(archive.data(), static_cast<uint32_t>(archive.size())));
}

bool Opens(const Bytes& archive) { return static_cast<bool>(OpenBytes(archive)); }

FileArchive::FileArchive(const Bytes& archive, size_t before, uint32_t extra) {
  wchar_t folder[MAX_PATH] = {}, path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  GetTempFileNameW(folder, L"zip", 0, path);
  path_ = path;
  Bytes file = RandomBytes(before, 7);
  file.insert(file.end(), archive.begin(), archive.end());
  WriteWholeFile(path_, file);
  file_ = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  stream_.reset(new ZipFileStream(file_, before, static_cast<uint32_t>(archive.size()) + extra));
}

FileArchive::~FileArchive() {
  CloseHandle(file_);
  DeleteFileW(path_.c_str());
}

UniqueZipHandle FileArchive::Open() const { return UniqueZipHandle(ZipReader::Open(*stream_)); }

UnzipResult UnzipWhole(ZipHandle* handle, int index, uint32_t piece) {
  UnzipResult result;
  ZipItemInfo info;
  result.code = ZipReader::GetItem(handle, index, &info);
  if (result.code != kZipOk) return result;
  // The reader fills the buffer unless the entry ends first; the entry's size tells how much came.
  size_t left = static_cast<uint32_t>(info.uncompressedSize);
  for (;;) {
    Bytes guarded(piece + 16, 0xA5);  // a sentinel behind the buffer's end
    result.code = ZipReader::UnzipItem(handle, index, guarded.data(), piece);
    if (std::any_of(guarded.begin() + piece, guarded.end(), [](uint8_t b) { return b != 0xA5; })) {
      result.code = -1000;
      return result;
    }
    if (result.code != kZipMoreData) return result;
    const size_t got = std::min<size_t>(left, piece);
    if (got == 0) {  // more data reported beyond the entry's size
      result.code = -1001;
      return result;
    }
    result.bytes.insert(result.bytes.end(), guarded.begin(), guarded.begin() + got);
    left -= got;
  }
}

bool ReadEverything(const Bytes& archive, std::vector<Bytes>* contents) {
  UniqueZipHandle reader = OpenBytes(archive);
  ZipItemInfo info;
  if (!reader || ZipReader::GetItem(reader.get(), -1, &info) != kZipOk) return false;
  contents->clear();
  for (int i = 0, count = info.index; i < count; ++i) {
    if (ZipReader::GetItem(reader.get(), i, &info) != kZipOk || info.uncompressedSize < 0) return false;
    // In the caller's way: one buffer of the entry's size.
    UnzipResult out = UnzipWhole(reader.get(), i, std::max(1, info.uncompressedSize));
    if (out.code != kZipOk) return false;
    contents->push_back(std::move(out.bytes));
  }
  return true;
}

std::string Utf8FromWide(const std::wstring& text) { return std::filesystem::path(text).u8string(); }

int64_t FileTimeTicks(const FILETIME& ft) {
  return static_cast<int64_t>((static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime);
}
