#include "common/sys/file_delete.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/file_size.h"
#include "common/sys/system_info.h"
#include "sys_test_support.h"

namespace {

using systest::Exists;
using systest::IsPendingDelete;
using systest::MakeFolder;
using systest::TempFolder;
using systest::WriteFileBytes;

bool MovesLockedFilesAside() { return SystemInfo::GetInstance().MajorVersion() >= 6; }

TEST(DeleteFileOrDefer, FreeFileIsDeletedAtOnce) {
  TempFolder folder;
  const std::wstring file = folder / L"\u6e38\u620f.txt";
  WriteFileBytes(file, "x");
  EXPECT_EQ(DeleteFileOrDefer(file), 0);
  EXPECT_FALSE(Exists(file));
  EXPECT_FALSE(Exists(file + L".delete"));
  EXPECT_FALSE(IsPendingDelete(file));
}

// A loaded program cannot be deleted but can be renamed: its name is freed at once.
TEST(DeleteFileOrDefer, ProgramInUseIsMovedAsideAndScheduled) {
  if (!MovesLockedFilesAside()) GTEST_SKIP() << "Windows before 6 only schedules";
  TempFolder folder;
  const std::wstring file = folder / L"Tamsel\u6e38\u620fPelluvo.exe";
  systest::LoadedImage image(file);
  ASSERT_TRUE(image.ok());
  ASSERT_FALSE(DeleteFileW(file.c_str())) << "the loaded image should refuse deletion";
  EXPECT_EQ(DeleteFileOrDefer(file), 0);
  EXPECT_FALSE(Exists(file));
  EXPECT_TRUE(Exists(file + L".delete"));
  WriteFileBytes(file, "a new program in the old place");
  EXPECT_TRUE(Exists(file));
}

TEST(MoveToDeleteName, TakesTheFirstFreeCounter) {
  TempFolder folder;
  const std::wstring file = folder / L"client.dll";
  WriteFileBytes(file + L".delete", "taken by a file");
  MakeFolder(file + L".delete1");  // taken by a folder
  systest::LoadedImage image(file);
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(MoveToDeleteName(file), 0);
  EXPECT_FALSE(Exists(file));
  EXPECT_TRUE(Exists(file + L".delete2"));
  EXPECT_FALSE(Exists(file + L".delete3"));
  EXPECT_EQ(systest::ReadFileBytes(file + L".delete"), "taken by a file");
}

TEST(DeleteFileOrDefer, OpenFileWithoutShareDeleteCannotMove) {
  if (!MovesLockedFilesAside()) GTEST_SKIP() << "Windows before 6 only schedules";
  TempFolder folder;
  const std::wstring file = folder / L"locked.txt";
  systest::LockedFile locked(file);
  ASSERT_TRUE(locked.ok());
  EXPECT_EQ(DeleteFileOrDefer(file), -1);
  EXPECT_TRUE(Exists(file));
  EXPECT_FALSE(Exists(file + L".delete"));
}

TEST(DeleteFileOrDefer, MissingFileCannotMove) {
  if (!MovesLockedFilesAside()) GTEST_SKIP() << "Windows before 6 only schedules";
  TempFolder folder;
  EXPECT_EQ(DeleteFileOrDefer(folder / L"missing.txt"), -1);
  EXPECT_EQ(MoveToDeleteName(folder / L"missing.txt"), -1);
}

TEST(GetFileSizeByPath, SizeOfAFile) {
  TempFolder folder;
  WriteFileBytes(folder / L"\u5b89\u88c5.bin", std::string(12345, 'z'));
  EXPECT_EQ(GetFileSizeByPath(folder / L"\u5b89\u88c5.bin"), 12345u);
  WriteFileBytes(folder / L"empty.bin", "");
  EXPECT_EQ(GetFileSizeByPath(folder / L"empty.bin"), 0u);
}

TEST(GetFileSizeByPath, MissingFileGivesAllBitsSet) {
  TempFolder folder;
  EXPECT_EQ(GetFileSizeByPath(folder / L"missing.bin"), 0xFFFFFFFFu);
}

TEST(GetFileSizeByPath, LargeFileGivesTheLow32Bits) {
  TempFolder folder;
  const std::wstring file = folder / L"large.bin";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  LARGE_INTEGER size;
  size.QuadPart = 0x100000000LL + 7;  // 4 GiB and 7 bytes, sparse on the host
  const bool grown = SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h);
  CloseHandle(h);
  ASSERT_TRUE(grown);
  EXPECT_EQ(GetFileSizeByPath(file), 7u);
}

}  // namespace
