// Extraction throughput of an install package with a 50 MB mixed payload (small text
// files, incompressible files, program binaries, one large text file), beside raw zlib
// inflate of the same item bytes in memory, measured in the same run. Figures only.
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

// Raw inflate (or copy, for stored entries) of every item's entry, all in memory: seconds.
double InflateAll(const std::vector<Bytes>& zips, Bytes* out) {
  const double start = Now();
  for (const Bytes& zip : zips) {
    const uint16_t method = zip[8] | zip[9] << 8;
    const uint32_t compressed = zip[18] | zip[19] << 8 | zip[20] << 16 | static_cast<uint32_t>(zip[21]) << 24;
    const uint32_t size = zip[22] | zip[23] << 8 | zip[24] << 16 | static_cast<uint32_t>(zip[25]) << 24;
    const size_t data = 30 + (zip[26] | zip[27] << 8) + (zip[28] | zip[29] << 8);
    if (out->size() < size) out->resize(size);
    if (method == 0) {
      std::memcpy(out->data(), &zip[data], size);
      continue;
    }
    z_stream zs{};
    inflateInit2(&zs, -MAX_WBITS);
    zs.next_in = const_cast<Bytef*>(&zip[data]);
    zs.avail_in = compressed;
    zs.next_out = out->data();
    zs.avail_out = size;
    inflate(&zs, Z_FINISH);
    inflateEnd(&zs);
  }
  return Now() - start;
}

// The same files written straight from memory, as any installer must at least do: seconds.
double WriteAll(const std::vector<Bytes>& zips, const std::wstring& folder) {
  Bytes content;
  const double start = Now();
  for (const Bytes& zip : zips) {
    const uint16_t nameLength = zip[26] | zip[27] << 8;
    std::wstring name;
    for (uint16_t i = 0; i < nameLength; ++i) name += zip[30 + i] == '/' ? L'\\' : static_cast<wchar_t>(zip[30 + i]);
    const uint32_t size = zip[22] | zip[23] << 8 | zip[24] << 16 | static_cast<uint32_t>(zip[25]) << 24;
    if (content.size() < size) content.resize(size);
    const std::wstring path = folder + L"\\" + name;
    CreateDirectoryTree(path.substr(0, path.rfind(L'\\')));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD done = 0;
    if (size > 0) WriteFile(file, content.data(), size, &done, nullptr);
    CloseHandle(file);
  }
  return Now() - start;
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
  const Bytes file = ReadFileBytes(setup);
  SetupPkg reader;
  if (reader.Open(setup) != 0) return 1;
  const PackageDescriptor& package = reader.Packages()[0];
  std::vector<Bytes> zips;
  for (size_t i = 0; i < package.items.size(); ++i) {
    const uint8_t* at = &file[static_cast<size_t>(package.dataOffsets[i])];
    zips.emplace_back(at, at + package.items[i].zipSize);
  }

  double verify = 1e9, extract = 1e9, inflate = 1e9, write = 1e9;
  Bytes out;
  for (int run = 0; run < 3; ++run) {
    inflate = std::min(inflate, InflateAll(zips, &out));
    const std::wstring plain = root + L"\\plain" + std::to_wstring(run);
    write = std::min(write, WriteAll(zips, plain));
    DeleteDirectoryTree(plain, {});
    const std::wstring target = root + L"\\out" + std::to_wstring(run);
    double start = Now();
    SetupPkg pkg;
    if (pkg.Open(setup) != 0) return 1;
    verify = std::min(verify, Now() - start);
    start = Now();
    if (pkg.ExtractAllProgramFiles(target) != 0) return 1;
    extract = std::min(extract, Now() - start);
    DeleteDirectoryTree(target, {});
  }
  DeleteDirectoryTree(root, {});
  const double mb = static_cast<double>(total) / (1024.0 * 1024.0);
  std::printf("payload: %.1f MB in %u files, package %.1f MB\n", mb, static_cast<unsigned>(records.size()),
              static_cast<double>(package.head.totalLength) / (1024.0 * 1024.0));
  std::printf("verify (3 digests):        %8.1f MB/s\n",
              static_cast<double>(package.head.totalLength) / (1024.0 * 1024.0) / verify);
  std::printf("extract to files:          %8.1f MB/s\n", mb / extract);
  std::printf("raw zlib inflate (anchor): %8.1f MB/s\n", mb / inflate);
  std::printf("extract / inflate ratio:   %8.2f\n", inflate / extract);
  std::printf("plain file writes:         %8.1f MB/s (the same files from memory: the file system's share)\n",
              mb / write);
  std::printf("extract / plain writes:    %8.2f\n", write / extract);
  return 0;
}
