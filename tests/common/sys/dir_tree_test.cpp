#include "common/sys/dir_tree.h"

#include <gtest/gtest.h>

#include "sys_test_support.h"

namespace {

using systest::Exists;
using systest::IsFolder;
using systest::IsPendingDelete;
using systest::MakeFolder;
using systest::TempFolder;
using systest::WriteFileBytes;

TEST(CreateDirectoryTree, ExistingFolderIsLeftAsItIs) {
  TempFolder folder;
  WriteFileBytes(folder / L"inside.txt", "x");
  EXPECT_EQ(CreateDirectoryTree(folder.path()), 0u);
  EXPECT_EQ(CreateDirectoryTree(folder.path() + L"\\"), 0u);
  EXPECT_TRUE(Exists(folder / L"inside.txt"));
}

TEST(CreateDirectoryTree, CreatesEveryMissingLevel) {
  TempFolder folder;
  const std::wstring deep = folder / L"\u6e38\u620f\\level two\\three";
  EXPECT_EQ(CreateDirectoryTree(deep), 0u);
  EXPECT_TRUE(IsFolder(folder / L"\u6e38\u620f"));
  EXPECT_TRUE(IsFolder(deep));
  EXPECT_EQ(CreateDirectoryTree(folder / L"trailing\\sep\\"), 0u);
  EXPECT_TRUE(IsFolder(folder / L"trailing\\sep"));
}

// Only "\" separates levels: "a/b" is one level, and the system refuses it while "a" is missing.
TEST(CreateDirectoryTree, ForwardSlashesAreNoLevelSeparators) {
  TempFolder folder;
  EXPECT_EQ(CreateDirectoryTree(folder / L"p/q"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(Exists(folder / L"p"));
}

TEST(CreateDirectoryTree, ReportsTheFailingLevelsError) {
  TempFolder folder;
  WriteFileBytes(folder / L"file", "x");
  EXPECT_EQ(CreateDirectoryTree(folder / L"file\\sub\\deeper"), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_FALSE(Exists(folder / L"file\\sub"));
}

// A file of the folder's name is no folder: not a success.
TEST(CreateDirectoryTree, FileInThePlaceOfTheFolderIsAFailure) {
  TempFolder folder;
  WriteFileBytes(folder / L"taken", "x");
  EXPECT_EQ(CreateDirectoryTree(folder / L"taken"), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

// A root-relative path ("\dir\sub" on the current drive) is created, not skipped with a success.
TEST(CreateDirectoryTree, RootRelativePathIsCreated) {
  TempFolder folder;
  const std::wstring& full = folder.path();
  ASSERT_EQ(full[1], L':');
  wchar_t drive[] = {full[0], L':', L'\\', 0};
  wchar_t saved[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(drive));
  const std::wstring rooted = full.substr(2) + L"\\rooted\\sub";
  const DWORD result = CreateDirectoryTree(rooted);
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(result, 0u);
  EXPECT_TRUE(IsFolder(folder / L"rooted\\sub"));
}

TEST(CreateDirectoryTree, EmptyPathIsAFailure) {
  EXPECT_NE(CreateDirectoryTree(L""), 0u);
}

TEST(DeleteDirectoryTree, RemovesTheWholeTree) {
  TempFolder folder;
  const std::wstring top = folder / L"\u6e38\u620f tree";
  MakeFolder(top + L"\\a\\b\\c");
  MakeFolder(top + L"\\empty");
  WriteFileBytes(top + L"\\top.txt", "1");
  WriteFileBytes(top + L"\\a\\one.dll", "2");
  WriteFileBytes(top + L"\\a\\b\\c\\deep \u5b89\u88c5.txt", "3");
  WriteFileBytes(top + L"\\a\\b\\hidden.dat", "4");
  ASSERT_TRUE(SetFileAttributesW((top + L"\\a\\b\\hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
  EXPECT_EQ(DeleteDirectoryTree(top, {}), 0);
  EXPECT_FALSE(Exists(top));
  EXPECT_TRUE(IsFolder(folder.path()));
}

TEST(DeleteDirectoryTree, KeepsNamedFilesOfTheTopFolderOnly) {
  TempFolder folder;
  const std::wstring top = folder / L"install";
  MakeFolder(top + L"\\sub");
  WriteFileBytes(top + L"\\PackageManager.exe", "keep me");
  WriteFileBytes(top + L"\\other.exe", "go");
  WriteFileBytes(top + L"\\packagemanager.EXE.bak", "go");
  WriteFileBytes(top + L"\\sub\\PackageManager.exe", "the name is kept at the top only");
  EXPECT_EQ(DeleteDirectoryTree(top, {L"PackageManager.exe"}), 0);
  EXPECT_TRUE(Exists(top + L"\\PackageManager.exe"));
  EXPECT_FALSE(Exists(top + L"\\other.exe"));
  EXPECT_FALSE(Exists(top + L"\\packagemanager.EXE.bak"));
  EXPECT_FALSE(Exists(top + L"\\sub"));
  EXPECT_TRUE(Exists(top));  // it still holds the kept file
}

TEST(DeleteDirectoryTree, KeepNamesAreCaseSensitive) {
  TempFolder folder;
  const std::wstring top = folder / L"case";
  MakeFolder(top);
  WriteFileBytes(top + L"\\Keep.txt", "x");
  DeleteDirectoryTree(top, {L"keep.txt"});
  EXPECT_FALSE(Exists(top + L"\\Keep.txt"));
}

TEST(DeleteDirectoryTree, TrailingSeparatorsAreAccepted) {
  TempFolder folder;
  for (const wchar_t* tail : {L"\\", L"/"}) {
    const std::wstring top = folder / L"tail";
    MakeFolder(top + L"\\inner");
    WriteFileBytes(top + L"\\inner\\f.txt", "x");
    EXPECT_EQ(DeleteDirectoryTree(top + tail, {}), 0);
    EXPECT_FALSE(Exists(top)) << "tail " << (tail[0] == L'/' ? "/" : "\\");
  }
}

TEST(DeleteDirectoryTree, EmptyOrMissingPathDoesNothing) {
  TempFolder folder;
  EXPECT_EQ(DeleteDirectoryTree(L"", {}), 0);
  const std::wstring missing = folder / L"never made";
  EXPECT_EQ(DeleteDirectoryTree(missing, {}), 0);
  EXPECT_FALSE(IsPendingDelete(missing));  // nothing to schedule either
}

// Scheduling for the restart is checked in a private prefix (phase_restart_test.cpp): parallel
// tests share this prefix's restart list, whose updates are not atomic across processes.
TEST(DeleteDirectoryTree, LockedFileStaysAndTheRestGoes) {
  TempFolder folder;
  const std::wstring top = folder / L"locked tree";
  MakeFolder(top + L"\\sub");
  WriteFileBytes(top + L"\\sub\\free.txt", "x");
  systest::LockedFile locked(top + L"\\sub\\locked.txt");
  ASSERT_TRUE(locked.ok());
  EXPECT_EQ(DeleteDirectoryTree(top, {}), 0);
  EXPECT_FALSE(Exists(top + L"\\sub\\free.txt"));
  EXPECT_TRUE(Exists(top + L"\\sub\\locked.txt"));
  EXPECT_TRUE(Exists(top + L"\\sub"));
}

}  // namespace
