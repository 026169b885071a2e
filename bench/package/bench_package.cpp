// Verify + extract of an install package with a 50 MB mixed payload (3,000 small text files,
// incompressible files, program binaries, one large text file) by the package reader, beside
// an anchor doing the same work by hand in the same process: read each item, inflate it with
// zlib, check its CRC-32 and write the file with plain Win32 calls. Paired runs, figures only.
#include <io.h>
#include <windows.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "common/sys/dir_tree.h"
#include "engine/package/setup_pkg.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr int kRuns = 9;

double Now() {
  LARGE_INTEGER f, c;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&c);
  return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

void WriteFileBytes(const std::wstring& path, const Bytes& bytes) {
  CreateDirectoryTree(path.substr(0, path.rfind(L'\\')));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD done = 0;
  if (!bytes.empty()) WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
  CloseHandle(file);
}

Bytes ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  Bytes bytes(static_cast<size_t>(size.QuadPart));
  DWORD got = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
  CloseHandle(file);
  return bytes;
}

Bytes Random(size_t size, uint32_t seed) {
  Bytes bytes(size);
  for (uint8_t& b : bytes) {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    b = static_cast<uint8_t>(seed >> 24);
  }
  return bytes;
}

Bytes Text(size_t size, int seed) {
  static const char* const kWords[] = {"account", "switch", "login",  "token",    "server", "profile", "session",
                                       "friend",  "region", "update", "launcher", "tray",   "window",  "status"};
  std::string text;
  uint32_t x = static_cast<uint32_t>(seed) * 2654435761u + 1;
  while (text.size() < size) {
    x = x * 1103515245u + 12345u;
    text += kWords[(x >> 16) % 14];
    text += (x & 7) == 0 ? "\r\n" : " ";
  }
  return Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(size));
}

// The payload: 50 MB in four kinds of files; returns the records of the package.
std::vector<FileRecord> WritePayload(const std::wstring& folder, uint64_t* total) {
  std::vector<std::pair<std::string, Bytes>> files;
  for (int i = 0; i < 3000; ++i) files.emplace_back("text\\t" + std::to_string(i) + ".txt", Text(3000, i));
  for (int i = 0; i < 10; ++i) files.emplace_back("media\\m" + std::to_string(i) + ".bin", Random(1600 * 1024, i + 1));
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  const Bytes program = ReadFileBytes(self);
  for (int i = 0; i < 8; ++i) {
    Bytes binary;
    while (binary.size() < 1280 * 1024) binary.insert(binary.end(), program.begin(), program.end());
    binary.resize(1280 * 1024);
    binary[i] ^= 0xFF;
    files.emplace_back("bin\\module" + std::to_string(i) + ".dll", binary);
  }
  files.emplace_back("logs\\history.txt", Text(15 * 1024 * 1024, 77));
  std::vector<FileRecord> records;
  *total = 0;
  for (const auto& file : files) {
    std::wstring path(file.first.begin(), file.first.end());
    WriteFileBytes(folder + L"\\" + path, file.second);
    FileRecord record;
    record.attributes["path"] = file.first;
    records.push_back(record);
    *total += file.second.size();
  }
  return records;
}

uint32_t Word(const uint8_t* at) { return at[0] | at[1] << 8 | at[2] << 16 | static_cast<uint32_t>(at[3]) << 24; }
uint16_t Half(const uint8_t* at) { return static_cast<uint16_t>(at[0] | at[1] << 8); }

// What any installer must at least do with these items, by hand: read each item's zip bytes
// from the package file, inflate its one entry, check the entry's CRC-32, make its folder
// (once) and write the file with plain Win32 calls. Seconds, or -1 when an item is damaged.
double AnchorExtract(const std::wstring& setup, const PackageDescriptor& package, const std::wstring& folder) {
  const double start = Now();
  HANDLE in = CreateFileW(setup.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  Bytes zip, content;
  std::wstring madeFolder;
  bool whole = in != INVALID_HANDLE_VALUE;
  for (size_t i = 0; whole && i < package.items.size(); ++i) {
    zip.resize(package.items[i].zipSize);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(package.dataOffsets[i]);
    at.OffsetHigh = static_cast<DWORD>(package.dataOffsets[i] >> 32);
    DWORD got = 0;
    if (!ReadFile(in, zip.data(), static_cast<DWORD>(zip.size()), &got, &at) || got != zip.size()) break;
    const uint16_t method = Half(&zip[8]);
    const uint32_t crc = Word(&zip[14]), compressed = Word(&zip[18]), size = Word(&zip[22]);
    const uint16_t nameLength = Half(&zip[26]);
    const size_t data = 30 + nameLength + Half(&zip[28]);
    content.resize(size);
    if (method == 0) {
      std::memcpy(content.data(), &zip[data], size);
    } else {
      z_stream zs{};
      inflateInit2(&zs, -MAX_WBITS);
      zs.next_in = &zip[data];
      zs.avail_in = compressed;
      zs.next_out = content.data();
      zs.avail_out = size;
      whole = inflate(&zs, Z_FINISH) == Z_STREAM_END && zs.total_out == size;
      inflateEnd(&zs);
    }
    whole = whole && crc32(crc32(0, nullptr, 0), content.data(), size) == crc;
    std::wstring path = folder + L"\\";
    for (uint16_t c = 0; c < nameLength; ++c) path += zip[30 + c] == '/' ? L'\\' : static_cast<wchar_t>(zip[30 + c]);
    const std::wstring parent = path.substr(0, path.rfind(L'\\'));
    if (parent != madeFolder) {
      CreateDirectoryTree(parent);
      madeFolder = parent;
    }
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD done = 0;
    whole = whole && out != INVALID_HANDLE_VALUE && (size == 0 || WriteFile(out, content.data(), size, &done, nullptr));
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  }
  if (in != INVALID_HANDLE_VALUE) CloseHandle(in);
  return whole ? Now() - start : -1;
}

// The package reader's own road: open (the walk and the three digests over the package), then
// extract every item of package #0. Seconds for both, or -1 when either failed.
double ReaderExtract(const std::wstring& setup, const std::wstring& folder, double* verifySeconds) {
  const double start = Now();
  SetupPkg pkg;
  if (pkg.Open(setup) != 0) return -1;
  *verifySeconds = Now() - start;
  if (pkg.ExtractAllProgramFiles(folder) != 0) return -1;
  return Now() - start;
}

struct Spread {
  double median, low, high;
};

Spread SpreadOf(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return Spread{values[values.size() / 2], values.front(), values.back()};
}

}  // namespace

int main() {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring root = std::wstring(temp) + L"bench-package-" + std::to_wstring(GetCurrentProcessId());
  uint64_t total = 0;
  const std::vector<FileRecord> records = WritePayload(root + L"\\src", &total);
  Bytes image(4096, 0);
  image[0] = 'M';
  image[1] = 'Z';
  WriteFileBytes(root + L"\\image.exe", image);
  const std::wstring setup = root + L"\\setup.exe";
  {
    // The maker prints a line per file; the figures are what this program shows.
    std::fflush(stdout);
    const int console = _dup(_fileno(stdout));
    std::freopen("NUL", "w", stdout);
    SetupPkg maker;
    maker.SetSourceFolder(root + L"\\src");
    if (maker.CreateOutputFile(setup) != 0 || maker.BuildPackages(root + L"\\image.exe", records, 0) != 0) {
      std::fprintf(stderr, "bench_package: making the package failed\n");
      return 1;
    }
    std::fflush(stdout);
    _dup2(console, _fileno(stdout));
  }
  SetupPkg opened;
  if (opened.Open(setup) != 0) return 1;
  const PackageDescriptor& package = opened.Packages()[0];

  // Paired and interleaved (the order alternates), so both sides see the same machine load.
  std::vector<double> verifies, ours, anchors, ratios;
  for (int run = 0; run < kRuns; ++run) {
    const std::wstring mine = root + L"\\ours" + std::to_wstring(run);
    const std::wstring plain = root + L"\\plain" + std::to_wstring(run);
    double verify = 0, reader = 0, anchor = 0;
    if (run % 2 == 0) {
      reader = ReaderExtract(setup, mine, &verify);
      anchor = AnchorExtract(setup, package, plain);
    } else {
      anchor = AnchorExtract(setup, package, plain);
      reader = ReaderExtract(setup, mine, &verify);
    }
    DeleteDirectoryTree(mine, {});
    DeleteDirectoryTree(plain, {});
    if (reader < 0 || anchor < 0) {
      std::fprintf(stderr, "bench_package: run %d failed (reader %.2f, anchor %.2f)\n", run, reader, anchor);
      return 1;
    }
    verifies.push_back(verify);
    ours.push_back(reader);
    anchors.push_back(anchor);
    ratios.push_back(anchor / reader);
  }
  DeleteDirectoryTree(root, {});
  const double mb = static_cast<double>(total) / (1024.0 * 1024.0);
  const double packageMb = static_cast<double>(package.head.totalLength) / (1024.0 * 1024.0);
  std::printf("payload: %.1f MB in %u files, package %.1f MB, %d paired runs\n", mb,
              static_cast<unsigned>(records.size()), packageMb, kRuns);
  const Spread verify = SpreadOf(verifies), reader = SpreadOf(ours), anchor = SpreadOf(anchors),
               ratio = SpreadOf(ratios);
  std::printf("verify (3 digests):                %7.1f MB/s (median %.2f s)\n", packageMb / verify.median,
              verify.median);
  std::printf("verify + extract (package reader): %7.1f MB/s out, median %.2f s (min %.2f, max %.2f)\n",
              mb / reader.median, reader.median, reader.low, reader.high);
  std::printf("anchor (read, inflate, CRC, write): %6.1f MB/s out, median %.2f s (min %.2f, max %.2f)\n",
              mb / anchor.median, anchor.median, anchor.low, anchor.high);
  std::printf("speed reader / anchor (paired):    median %.2f (min %.2f, max %.2f)\n", ratio.median, ratio.low,
              ratio.high);
  return 0;
}
