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
const wchar_t kWow64Notepad[] = L"C:\\windows\\syswow64\\notepad.exe";

bool RunsOn64BitWindows() {
  BOOL wow64 = FALSE;
  return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

uint32_t PeOffset(const std::string& image) {
  uint32_t offset = 0;
  std::memcpy(&offset, image.data() + 0x3C, sizeof(offset));
  return offset;
}

std::string WithMachine(std::string image, uint16_t machine) {
  std::memcpy(&image[PeOffset(image) + 4], &machine, sizeof(machine));
  return image;
}

TEST(IsPE64, ThisThirtyTwoBitProgramIsNot) {
  EXPECT_FALSE(IsPE64(SelfPath()));
}

TEST(IsPE64, RealSixtyFourBitProgramIs) {
  if (!RunsOn64BitWindows()) GTEST_SKIP() << "no 64-bit system folder in a 32-bit prefix";
  EXPECT_TRUE(IsPE64(kNative64Notepad));
  EXPECT_FALSE(IsPE64(kWow64Notepad));
}

TEST(IsPE64, CopiesKeepTheirAnswerAndTheMachineFieldDecides) {
  if (!RunsOn64BitWindows()) GTEST_SKIP() << "no 64-bit system folder in a 32-bit prefix";
  TempFolder folder;
  const std::string x64 = ReadFileBytes(kNative64Notepad);
  ASSERT_GT(x64.size(), 1024u);
  WriteFileBytes(folder / L"\u6e38\u620f64.exe", x64);
  EXPECT_TRUE(IsPE64(folder / L"\u6e38\u620f64.exe"));  // a Chinese path
  WriteFileBytes(folder / L"arm64.exe", WithMachine(x64, 0xAA64));
  EXPECT_FALSE(IsPE64(folder / L"arm64.exe"));
  WriteFileBytes(folder / L"ia64.exe", WithMachine(x64, 0x0200));
  EXPECT_FALSE(IsPE64(folder / L"ia64.exe"));
}

TEST(IsPE64, FilesTooShortForTheirHeadersAreNot) {
  if (!RunsOn64BitWindows()) GTEST_SKIP() << "no 64-bit system folder in a 32-bit prefix";
  TempFolder folder;
  const std::string x64 = ReadFileBytes(kNative64Notepad);
  const uint32_t pe = PeOffset(x64);
  // Cut right before the machine field ends, and before the offset field ends.
  WriteFileBytes(folder / L"cut_machine.exe", x64.substr(0, pe + 5));
  EXPECT_FALSE(IsPE64(folder / L"cut_machine.exe"));
  WriteFileBytes(folder / L"cut_exact.exe", x64.substr(0, pe + 6));
  EXPECT_TRUE(IsPE64(folder / L"cut_exact.exe"));  // everything it reads is there
  WriteFileBytes(folder / L"cut_offset.exe", x64.substr(0, 0x3E));
  EXPECT_FALSE(IsPE64(folder / L"cut_offset.exe"));
  WriteFileBytes(folder / L"two.exe", "MZ");
  EXPECT_FALSE(IsPE64(folder / L"two.exe"));
}

TEST(IsPE64, HeaderOffsetPointingOutsideTheFileIsNot) {
  TempFolder folder;
  std::string image = ReadFileBytes(SelfPath()).substr(0, 0x200);
  for (uint32_t offset : {0x1FFu, 0x1FBu, 0xFFFFFFF0u, 0xFFFFFFFFu}) {
    std::memcpy(&image[0x3C], &offset, sizeof(offset));
    WriteFileBytes(folder / L"far.exe", image);
    EXPECT_FALSE(IsPE64(folder / L"far.exe")) << std::hex << offset;
  }
}

TEST(IsPE64, OtherFilesAreNot) {
  TempFolder folder;
  WriteFileBytes(folder / L"notes.txt", "PE files start with MZ, this one does not.\r\n");
  EXPECT_FALSE(IsPE64(folder / L"notes.txt"));
  WriteFileBytes(folder / L"empty.exe", "");
  EXPECT_FALSE(IsPE64(folder / L"empty.exe"));
  EXPECT_FALSE(IsPE64(folder / L"missing.exe"));
  EXPECT_FALSE(IsPE64(folder.path()));  // a folder
}

TEST(IsPE64, WorksWhileTheFileIsOpenForReadingElsewhere) {
  if (!RunsOn64BitWindows()) GTEST_SKIP() << "no 64-bit system folder in a 32-bit prefix";
  TempFolder folder;
  WriteFileBytes(folder / L"open.exe", ReadFileBytes(kNative64Notepad));
  HANDLE reader = CreateFileW((folder / L"open.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  EXPECT_TRUE(IsPE64(folder / L"open.exe"));
  CloseHandle(reader);
}

}  // namespace
