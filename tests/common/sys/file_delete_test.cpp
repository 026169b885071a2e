// Deleting files that may be in use, and file sizes. Programs in use moved aside and scheduled
// are proved in private prefixes (phase_restart_test.cpp, phase_version_test.cpp).
#include "common/sys/file_delete.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/file_size.h"
#include "common/sys/system_info.h"
#include "sys_test_support.h"

namespace {

using systest::Exists;
using systest::TempFolder;
using systest::WriteFileBytes;

TEST(DeleteFileOrDefer, FreeFileGoesAtOnceLockedOrMissingCannotMove) {
  TempFolder folder;
  const std::wstring file = folder / L"\u6e38\u620f.txt";
  WriteFileBytes(file, "x");
  EXPECT_EQ(DeleteFileOrDefer(file), 0);
  EXPECT_FALSE(Exists(file));
  EXPECT_FALSE(Exists(file + L".delete"));
  EXPECT_FALSE(systest::IsPendingDelete(file));
  if (SystemInfo::GetInstance().MajorVersion() < 6) GTEST_SKIP() << "Windows before 6 only schedules";
  // An open file without share-delete can be neither deleted nor renamed.
  const std::wstring locked = folder / L"locked.txt";
  systest::LockedFile lock(locked);
  ASSERT_TRUE(lock.ok());
  EXPECT_EQ(DeleteFileOrDefer(locked), -1);
  EXPECT_TRUE(Exists(locked));
  EXPECT_FALSE(Exists(locked + L".delete"));
  EXPECT_EQ(DeleteFileOrDefer(folder / L"missing.txt"), -1);
  EXPECT_EQ(MoveToDeleteName(folder / L"missing.txt"), -1);
}

TEST(GetFileSizeByPath, LowThirtyTwoBitsOrAllBitsSet) {
  TempFolder folder;
  WriteFileBytes(folder / L"\u5b89\u88c5.bin", std::string(12345, 'z'));
  EXPECT_EQ(GetFileSizeByPath(folder / L"\u5b89\u88c5.bin"), 12345u);
  WriteFileBytes(folder / L"empty.bin", "");
  EXPECT_EQ(GetFileSizeByPath(folder / L"empty.bin"), 0u);
  EXPECT_EQ(GetFileSizeByPath(folder / L"missing.bin"), 0xFFFFFFFFu);
  const std::wstring large = folder / L"large.bin";
  HANDLE h = CreateFileW(large.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 0x100000000LL + 7;  // 4 GiB and 7 bytes, sparse on the host
  const bool grown = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  ASSERT_TRUE(grown);
  EXPECT_EQ(GetFileSizeByPath(large), 7u);
}

}  // namespace
