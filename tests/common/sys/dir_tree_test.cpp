// Creating folder paths and deleting folder trees in the shared prefix. Scheduling for the
// restart and directory links are proved in a private prefix (phase_restart_test.cpp).
#include "common/sys/dir_tree.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "sys_test_support.h"

namespace {

using systest::Exists;
using systest::IsFolder;
using systest::MakeFolder;
using systest::TempFolder;
using systest::WriteFileBytes;

TEST(CreateDirectoryTree, CreatesEveryMissingLevel) {
  TempFolder folder;
  WriteFileBytes(folder / L"inside.txt", "x");
  EXPECT_EQ(CreateDirectoryTree(folder.path()), 0u);
  EXPECT_EQ(CreateDirectoryTree(folder.path() + L"\\"), 0u);
  EXPECT_TRUE(Exists(folder / L"inside.txt")) << "an existing folder is left as it is";
  EXPECT_EQ(CreateDirectoryTree(folder / L"\u6e38\u620f\\level two\\three"), 0u);
  EXPECT_TRUE(IsFolder(folder / L"\u6e38\u620f\\level two\\three"));
  EXPECT_EQ(CreateDirectoryTree(folder / L"trailing\\sep\\"), 0u);
  EXPECT_TRUE(IsFolder(folder / L"trailing\\sep"));
  // A root-relative path ("\dir\sub" on the current drive) is created, not skipped with a success.
  const std::wstring& full = folder.path();
  ASSERT_EQ(full[1], L':');
  wchar_t saved[MAX_PATH + 1] = {};
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(full.substr(0, 2).append(L"\\").c_str()));
  const DWORD rooted = CreateDirectoryTree(full.substr(2) + L"\\rooted\\sub");
  SetCurrentDirectoryW(saved);
  EXPECT_EQ(rooted, 0u);
  EXPECT_TRUE(IsFolder(folder / L"rooted\\sub"));
}

// The error of the level that failed; a file of the folder's name is no folder.
TEST(CreateDirectoryTree, ThreadsMakingTheSameTreeAllSucceed) {
  TempFolder folder;
  for (int round = 0; round < 20; ++round) {
    const std::wstring path = folder / (L"r" + std::to_wstring(round) + L"\\a\\b\\c");
    std::vector<DWORD> results(8, 1);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
      threads.emplace_back([&, t] { results[t] = CreateDirectoryTree(path); });
    }
    for (std::thread& thread : threads) thread.join();
    for (DWORD result : results) EXPECT_EQ(result, 0u) << "round " << round;
    EXPECT_TRUE(IsFolder(path));
  }
}

TEST(CreateDirectoryTree, FailuresGiveTheFailingLevelsError) {
  TempFolder folder;
  WriteFileBytes(folder / L"file", "x");
  const std::pair<std::wstring, DWORD> cases[] = {
      {folder / L"p/q", ERROR_PATH_NOT_FOUND},  // only "\" separates levels
      {folder / L"file\\sub\\deeper", ERROR_PATH_NOT_FOUND},
      {folder / L"file", ERROR_ALREADY_EXISTS},
  };
  for (const auto& c : cases) EXPECT_EQ(CreateDirectoryTree(c.first), c.second) << c.first.c_str();
  EXPECT_FALSE(Exists(folder / L"p"));
  EXPECT_FALSE(Exists(folder / L"file\\sub"));
  EXPECT_NE(CreateDirectoryTree(L""), 0u);
}

TEST(DeleteDirectoryTree, RemovesTheWholeTree) {
  TempFolder folder;
  for (const wchar_t* tail : {L"", L"\\", L"/"}) {
    const std::wstring top = folder / L"\u6e38\u620f tree";
    MakeFolder(top + L"\\a\\b\\c");
    MakeFolder(top + L"\\empty");
    WriteFileBytes(top + L"\\top.txt", "1");
    WriteFileBytes(top + L"\\a\\b\\c\\deep \u5b89\u88c5.txt", "3");
    WriteFileBytes(top + L"\\a\\b\\hidden.dat", "4");
    ASSERT_TRUE(SetFileAttributesW((top + L"\\a\\b\\hidden.dat").c_str(), FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(DeleteDirectoryTree(top + tail, {}), 0);
    EXPECT_FALSE(Exists(top)) << "tail \"" << (tail[0] == L'/' ? "/" : tail[0] ? "\\" : "") << '"';
  }
  EXPECT_TRUE(IsFolder(folder.path()));
  EXPECT_EQ(DeleteDirectoryTree(L"", {}), 0);
  const std::wstring missing = folder / L"never made";
  EXPECT_EQ(DeleteDirectoryTree(missing, {}), 0);
  EXPECT_FALSE(systest::IsPendingDelete(missing)) << "nothing to schedule";
}

TEST(DeleteDirectoryTree, KeepsNamedFilesOfTheTopFolderOnlyAndExactly) {
  TempFolder folder;
  const std::wstring top = folder / L"install";
  MakeFolder(top + L"\\sub");
  WriteFileBytes(top + L"\\PackageManager.exe", "keep me");
  WriteFileBytes(top + L"\\Keep.txt", "the name differs in case");
  WriteFileBytes(top + L"\\packagemanager.EXE.bak", "go");
  WriteFileBytes(top + L"\\sub\\PackageManager.exe", "the name is kept at the top only");
  EXPECT_EQ(DeleteDirectoryTree(top, {L"PackageManager.exe", L"keep.txt"}), 0);
  EXPECT_TRUE(Exists(top + L"\\PackageManager.exe"));
  EXPECT_FALSE(Exists(top + L"\\Keep.txt"));
  EXPECT_FALSE(Exists(top + L"\\packagemanager.EXE.bak"));
  EXPECT_FALSE(Exists(top + L"\\sub"));
  EXPECT_TRUE(Exists(top)) << "it still holds the kept file";
}

}  // namespace
