// Run by prefix_phases.sh restart in a private prefix copy, in two phases around
// `wineboot -r`. TAMSEL_PHASE_DIR names a host folder the script prepared: "linktree" holds a
// directory link "link" to "linktarget" beside it, which holds "precious.txt".
#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/dir_tree.h"
#include "common/sys/file_delete.h"
#include "sys_test_support.h"

namespace {

using systest::Exists;
using systest::IsFolder;
using systest::IsPendingDelete;
using systest::MakeFolder;
using systest::WriteFileBytes;

std::wstring PhaseDir() {
  const std::wstring dir = systest::EnvText(L"TAMSEL_PHASE_DIR");
  EXPECT_FALSE(dir.empty()) << "run by prefix_phases.sh restart";
  return dir;
}

TEST(RestartPhase1, TreeWithALockedFileIsScheduled) {
  const std::wstring top = PhaseDir() + L"\\locked tree \u6e38\u620f";
  MakeFolder(top + L"\\sub\\deeper");
  WriteFileBytes(top + L"\\a.txt", "a");
  WriteFileBytes(top + L"\\sub\\deeper\\b.txt", "b");
  systest::LockedFile locked(top + L"\\sub\\locked.dat");
  ASSERT_TRUE(locked.ok());
  EXPECT_EQ(DeleteDirectoryTree(top, {}), 0);
  EXPECT_FALSE(Exists(top + L"\\a.txt"));
  EXPECT_FALSE(Exists(top + L"\\sub\\deeper"));
  EXPECT_TRUE(Exists(top + L"\\sub\\locked.dat"));
  EXPECT_TRUE(IsPendingDelete(top + L"\\sub\\locked.dat"));
  EXPECT_TRUE(IsPendingDelete(top + L"\\sub"));
  EXPECT_TRUE(IsPendingDelete(top));
}

TEST(RestartPhase1, TreeWithKeptAndLockedFiles) {
  const std::wstring top = PhaseDir() + L"\\kept tree";
  MakeFolder(top + L"\\sub");
  WriteFileBytes(top + L"\\PackageManager.exe", "kept");
  WriteFileBytes(top + L"\\sub\\PackageManager.exe", "not kept below the top");
  systest::LockedFile locked(top + L"\\locked.dll");
  ASSERT_TRUE(locked.ok());
  EXPECT_EQ(DeleteDirectoryTree(top, {L"PackageManager.exe"}), 0);
  EXPECT_TRUE(Exists(top + L"\\PackageManager.exe"));
  EXPECT_FALSE(Exists(top + L"\\sub"));
  EXPECT_TRUE(IsPendingDelete(top + L"\\locked.dll"));
  EXPECT_TRUE(IsPendingDelete(top));  // it still holds the kept file
}

TEST(RestartPhase1, ProgramInUseIsMovedAside) {
  const std::wstring program = PhaseDir() + L"\\Tamsel\u6e38\u620fPelluvo.exe";
  systest::LoadedImage image(program);  // stays loaded until this process ends
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(DeleteFileOrDefer(program), 0);
  EXPECT_FALSE(Exists(program));
  EXPECT_TRUE(IsPendingDelete(program + L".delete"));
}

TEST(RestartPhase1, TakenDeleteNamesAreSkipped) {
  const std::wstring program = PhaseDir() + L"\\helper.dll";
  WriteFileBytes(program + L".delete", "taken by a file");
  MakeFolder(program + L".delete1");  // taken by a folder
  systest::LoadedImage image(program);
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(MoveToDeleteName(program), 0);
  EXPECT_FALSE(Exists(program));
  EXPECT_FALSE(Exists(program + L".delete3"));
  EXPECT_EQ(systest::ReadFileBytes(program + L".delete"), "taken by a file");
  EXPECT_TRUE(IsPendingDelete(program + L".delete2"));
  EXPECT_FALSE(IsPendingDelete(program + L".delete"));
}

// A directory link, inside the tree or as its top, is removed but never entered.
TEST(RestartPhase1, DirectoryLinkIsNeverEntered) {
  const std::wstring tree = PhaseDir() + L"\\linktree";
  const DWORD linkAttributes = GetFileAttributesW((tree + L"\\link").c_str());
  ASSERT_NE(linkAttributes, INVALID_FILE_ATTRIBUTES);
  ASSERT_TRUE(linkAttributes & FILE_ATTRIBUTE_REPARSE_POINT) << "the script makes a directory link";
  EXPECT_EQ(DeleteDirectoryTree(tree, {}), 0);
  EXPECT_FALSE(Exists(tree + L"\\a.txt"));
  EXPECT_EQ(DeleteDirectoryTree(PhaseDir() + L"\\toplink", {}), 0);
  EXPECT_TRUE(Exists(PhaseDir() + L"\\linktarget\\precious.txt"));
}

TEST(RestartPhase2, ScheduledFilesAndFoldersAreGone) {
  const std::wstring dir = PhaseDir();
  EXPECT_FALSE(Exists(dir + L"\\locked tree \u6e38\u620f")) << "the locked tree is still there";
  EXPECT_FALSE(Exists(dir + L"\\kept tree\\locked.dll"));
  EXPECT_TRUE(Exists(dir + L"\\kept tree\\PackageManager.exe"));
  EXPECT_TRUE(IsFolder(dir + L"\\kept tree"));  // it still holds the kept file
  EXPECT_FALSE(Exists(dir + L"\\Tamsel\u6e38\u620fPelluvo.exe.delete"));
  EXPECT_FALSE(Exists(dir + L"\\Tamsel\u6e38\u620fPelluvo.exe"));
  EXPECT_FALSE(Exists(dir + L"\\helper.dll.delete2"));
  EXPECT_TRUE(Exists(dir + L"\\helper.dll.delete"));  // never scheduled: it stays
  EXPECT_TRUE(Exists(dir + L"\\linktarget\\precious.txt"));
}

}  // namespace
