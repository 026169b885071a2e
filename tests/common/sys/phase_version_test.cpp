// Run by prefix_phases.sh in a private prefix copy after `winecfg -v <version>`:
// TAMSEL_EXPECT_VERSION gives the version text the prefix must report.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/dir_tree.h"
#include "common/sys/file_delete.h"
#include "common/sys/system_info.h"
#include "sys_test_support.h"

namespace {

using systest::EnvText;
using systest::Exists;
using systest::IsPendingDelete;
using systest::TempFolder;

TEST(VersionPhase, ReportsThePrefixVersion) {
  const std::wstring expected = EnvText(L"TAMSEL_EXPECT_VERSION");
  ASSERT_FALSE(expected.empty()) << "run by prefix_phases.sh version";
  const SystemInfo& info = SystemInfo::GetInstance();
  EXPECT_EQ(info.VersionText(), expected);
  EXPECT_EQ(std::to_wstring(info.MajorVersion()), expected.substr(0, expected.find(L'.')));
  EXPECT_EQ(info.Architecture(), L"x64");
}

// Before Windows 6 a file in use (or missing) is only scheduled; from 6 on it is moved aside first.
TEST(VersionPhase, FileInUseTakesTheVersionsRoad) {
  TempFolder folder;
  const std::wstring file = folder / L"client.exe";
  const std::wstring missing = folder / L"missing.txt";
  systest::LoadedImage image(file);
  ASSERT_TRUE(image.ok());
  EXPECT_EQ(DeleteFileOrDefer(file), 0);
  if (SystemInfo::GetInstance().MajorVersion() >= 6) {
    EXPECT_FALSE(Exists(file));
    EXPECT_TRUE(IsPendingDelete(file + L".delete"));
    EXPECT_EQ(DeleteFileOrDefer(missing), -1);
  } else {
    EXPECT_TRUE(Exists(file));
    EXPECT_FALSE(Exists(file + L".delete"));
    EXPECT_TRUE(IsPendingDelete(file));
    EXPECT_EQ(DeleteFileOrDefer(missing), 0);  // scheduled; the restart then finds nothing
    EXPECT_TRUE(IsPendingDelete(missing));
  }
}

TEST(VersionPhase, TreeWithAFileInUseIsDeletedLater) {
  TempFolder folder;
  const std::wstring top = folder / L"tree";
  systest::MakeFolder(top + L"\\sub");
  systest::WriteFileBytes(top + L"\\sub\\free.txt", "x");
  systest::LockedFile locked(top + L"\\sub\\locked.txt");
  ASSERT_TRUE(locked.ok());
  EXPECT_EQ(DeleteDirectoryTree(top, {}), 0);
  EXPECT_FALSE(Exists(top + L"\\sub\\free.txt"));
  EXPECT_TRUE(IsPendingDelete(top + L"\\sub\\locked.txt"));
  EXPECT_TRUE(IsPendingDelete(top));
}

}  // namespace
