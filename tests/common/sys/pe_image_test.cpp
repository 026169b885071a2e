// IsPE64 on real programs of both kinds, altered copies and files that are no PE image.
#include "common/sys/pe_image.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>

#include "sys_test_support.h"

namespace {

using systest::ReadFileBytes;
using systest::SelfPath;
using systest::TempFolder;
using systest::WriteFileBytes;

// The 64-bit system folder as a 32-bit process reaches it past the file-system redirection.
const wchar_t kNative64Notepad[] = L"C:\\windows\\sysnative\\notepad.exe";

uint32_t PeOffset(const std::string& image) {
  uint32_t offset = 0;
  std::memcpy(&offset, image.data() + 0x3C, sizeof(offset));
  return offset;
}

std::string WithMachine(std::string image, uint16_t machine) {
  std::memcpy(&image[PeOffset(image) + 4], &machine, sizeof(machine));
  return image;
}

// Writes `bytes` to a file of the folder and asks IsPE64 about it.
bool IsPE64Bytes(const TempFolder& folder, const std::string& bytes, const wchar_t* name = L"probe.exe") {
  WriteFileBytes(folder / name, bytes);
  return IsPE64(folder / name);
}

TEST(IsPE64, SixtyFourBitProgramsAndTheirCopiesAre) {
  BOOL wow64 = FALSE;
  if (!IsWow64Process(GetCurrentProcess(), &wow64) || !wow64) GTEST_SKIP() << "no 64-bit programs here";
  TempFolder folder;
  EXPECT_TRUE(IsPE64(kNative64Notepad));
  EXPECT_FALSE(IsPE64(L"C:\\windows\\syswow64\\notepad.exe"));
  const std::string x64 = ReadFileBytes(kNative64Notepad);
  ASSERT_GT(x64.size(), 1024u);
  EXPECT_TRUE(IsPE64Bytes(folder, x64, L"\u6e38\u620f64.exe"));  // a Chinese path
  EXPECT_FALSE(IsPE64Bytes(folder, WithMachine(x64, 0xAA64))) << "Arm64";
  EXPECT_FALSE(IsPE64Bytes(folder, WithMachine(x64, 0x0200))) << "Itanium";
  // Cut right before the machine field ends, right after it, and inside the offset field.
  const uint32_t pe = PeOffset(x64);
  EXPECT_FALSE(IsPE64Bytes(folder, x64.substr(0, pe + 5)));
  EXPECT_TRUE(IsPE64Bytes(folder, x64.substr(0, pe + 6))) << "everything it reads is there";
  EXPECT_FALSE(IsPE64Bytes(folder, x64.substr(0, 0x3E)));
  // Open for reading elsewhere.
  WriteFileBytes(folder / L"open.exe", x64);
  HANDLE reader =
      CreateFileW((folder / L"open.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(IsPE64(folder / L"open.exe"));
  CloseHandle(reader);
}

TEST(IsPE64, OtherFilesAreNot) {
  TempFolder folder;
  EXPECT_FALSE(IsPE64(SelfPath())) << "this 32-bit program";
  std::string image = ReadFileBytes(SelfPath()).substr(0, 0x200);
  for (uint32_t offset : {0x1FFu, 0x1FBu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {  // headers outside the file
    std::memcpy(&image[0x3C], &offset, sizeof(offset));
    EXPECT_FALSE(IsPE64Bytes(folder, image)) << std::hex << offset;
  }
  EXPECT_FALSE(IsPE64Bytes(folder, "PE files start with MZ, this one does not.\r\n"));
  EXPECT_FALSE(IsPE64Bytes(folder, ""));
  EXPECT_FALSE(IsPE64Bytes(folder, "MZ"));
  EXPECT_FALSE(IsPE64(folder / L"missing.exe"));
  EXPECT_FALSE(IsPE64(folder.path())) << "a folder";
}

}  // namespace
