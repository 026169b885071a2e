// A package of about 1 GB verifies and extracts in the 32-bit setup program with small,
// flat memory: the produced program reports its peak working set and pagefile usage.
#include <gtest/gtest.h>

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/sys/dir_tree.h"
#include "common/sys/text_convert.h"
#include "test_support.h"

namespace {

constexpr uint64_t kMiB = 1024 * 1024;
constexpr uint64_t kLimit = 64 * kMiB;

// Writes a file chunk by chunk from a generator; returns the CRC-32 of its bytes.
template <typename Fill>
uLong WriteGenerated(const std::wstring& path, uint64_t size, Fill fill) {
  CreateDirectoryTree(path.substr(0, path.rfind(L'\\')));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_NE(file, INVALID_HANDLE_VALUE);
  Bytes chunk(static_cast<size_t>(kMiB));
  uLong crc = crc32(0, nullptr, 0);
  for (uint64_t done = 0; done < size; done += chunk.size()) {
    fill(&chunk);
    const DWORD n = static_cast<DWORD>(std::min<uint64_t>(chunk.size(), size - done));
    DWORD written = 0;
    WriteFile(file, chunk.data(), n, &written, nullptr);
    crc = crc32(crc, chunk.data(), n);
  }
  CloseHandle(file);
  return crc;
}

uLong CrcOfFile(const std::wstring& path, uint64_t* size) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  Bytes chunk(static_cast<size_t>(kMiB));
  uLong crc = crc32(0, nullptr, 0);
  DWORD got = 0;
  *size = 0;
  while (ReadFile(file, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) && got > 0) {
    crc = crc32(crc, chunk.data(), got);
    *size += got;
  }
  CloseHandle(file);
  return crc;
}

struct BigFile {
  std::string path;
  uint64_t size;
  uLong crc;
};

}  // namespace

TEST(BigPackage, ExtractsAboutOneGigabyteWithFlatMemory) {
  TempDir dir;
  const std::wstring source = dir / L"source";
  std::vector<BigFile> files;
  // Stored items (archive suffix) of incompressible bytes, and one large deflated text file.
  uint32_t x = 0x9E3779B9;
  for (int i = 0; i < 8; ++i) {
    const std::string path = "blobs\\part" + std::to_string(i) + ".gz";
    const uLong crc = WriteGenerated(source + L"\\" + Utf8ToWide(path), 120 * kMiB, [&x](Bytes* chunk) {
      for (size_t j = 0; j + 4 <= chunk->size(); j += 4) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        std::memcpy(&(*chunk)[j], &x, 4);
      }
    });
    files.push_back({path, 120 * kMiB, crc});
  }
  uint64_t line = 0;
  const uLong textCrc = WriteGenerated(source + L"\\text\\journal.txt", 96 * kMiB, [&line](Bytes* chunk) {
    std::string text;
    while (text.size() < chunk->size()) text += "journal entry " + std::to_string(line++) + ": account switched\r\n";
    std::memcpy(chunk->data(), text.data(), chunk->size());
  });
  files.push_back({"text\\journal.txt", 96 * kMiB, textCrc});
  WriteSources(source, SetupPackageFiles());

  std::vector<std::pair<std::string, std::string>> paths;
  for (const BigFile& file : files) paths.emplace_back(file.path, "");
  const std::wstring setup = dir / L"big-setup.exe";
  ASSERT_EQ(0, MakeSetup(setup, ProbeImagePath(), source, {Records(paths), RecordsOf(SetupPackageFiles())}));
  DeleteDirectoryTree(source, {});  // room on the disk for the extraction
  uint64_t setupSize = 0;
  CrcOfFile(setup, &setupSize);
  EXPECT_GT(setupSize, 900 * kMiB);

  EXPECT_EQ(0, RunProgram(setup, L"\"" + (dir / L"x") + L"\" \"" + (dir / L"report.txt") + L"\"", 900000));
  ASSERT_EQ(ReportValue(dir / L"report.txt", "program"), "0");
  const uint64_t peakWorkingSet = std::stoull(ReportValue(dir / L"report.txt", "peak_working_set"));
  const uint64_t peakPagefile = std::stoull(ReportValue(dir / L"report.txt", "peak_pagefile"));
  std::printf("package %llu MiB: peak working set %llu KiB, peak pagefile usage %llu KiB\n",
              static_cast<unsigned long long>(setupSize / kMiB), static_cast<unsigned long long>(peakWorkingSet / 1024),
              static_cast<unsigned long long>(peakPagefile / 1024));
  EXPECT_LT(peakWorkingSet, kLimit);
  EXPECT_LT(peakPagefile, kLimit);
  for (const BigFile& file : files) {
    uint64_t size = 0;
    EXPECT_EQ(CrcOfFile(dir / (L"x\\program\\" + Utf8ToWide(file.path)), &size), file.crc) << file.path;
    EXPECT_EQ(size, file.size) << file.path;
  }
}
