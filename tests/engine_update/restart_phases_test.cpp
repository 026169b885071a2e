// Run by restart_phases.sh in two phases around a restart of the test prefix (wine wineboot -r).
// TAMSEL_PHASE_DIR names a folder the script emptied. Phase 1 replaces a file that is held open
// and deletes another: both wait for the restart (and still wait in a second program of the
// same session). Phase 2 finds them done.
#include <gtest/gtest.h>

#include "engine/update/update_eng_ex.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

constexpr int64_t kTimeMs = 1545462000000;

std::wstring PhaseDir() {
  wchar_t dir[MAX_PATH * 2] = {};
  GetEnvironmentVariableW(L"TAMSEL_PHASE_DIR", dir, MAX_PATH * 2);
  EXPECT_NE(dir[0], 0) << "run by restart_phases.sh";
  return dir;
}

std::wstring Product() { return PhaseDir() + L"\\Program Files (x86)\\Pelluvo \u6e38\u620f"; }

FileRecord File(const std::string& path, const std::string& time = "") {
  FileRecord record;
  record.attributes = Attributes({{"path", path}, {"newpath", ""}, {"time", time}});
  return record;
}

TEST(UpdateRestartPhase1, FilesInUseWaitForTheRestart) {
  CUpdateEngEx engine;
  engine.newProduct.sourceFolder = PhaseDir() + L"\\~ZQSetup";
  engine.newProduct.productFolder = Product();
  engine.installedProduct.productFolder = Product();
  const std::wstring target = Product() + L"\\bin\\client.dll";
  const std::wstring gone = Product() + L"\\bin\\old.dll";
  WriteFileBytes(target, "version 1");
  WriteFileBytes(gone, "removed by version 2");
  WriteFileBytes(engine.newProduct.sourceFolder + L"\\bin\\client.dll", "version 2");
  engine.addList.files = {File("bin\\client.dll", std::to_string(kTimeMs))};
  engine.deleteList.files = {File("bin\\old.dll")};
  LockedFile lockTarget(target);
  LockedFile lockGone(gone);
  ASSERT_TRUE(lockTarget.ok() && lockGone.ok());

  EXPECT_EQ(engine.ApplyFileChanges(), 0);

  EXPECT_EQ(ReadFileBytes(target), "version 1");
  EXPECT_EQ(ReadFileBytes(target + L".new"), "version 2");
  EXPECT_TRUE(IsPendingRename(target + L".new", target));
  EXPECT_TRUE(Exists(gone)) << "held open: it cannot go before the restart";
  EXPECT_TRUE(IsPendingRename(gone, L""));
}

TEST(UpdateRestartPhase1Check, NothingHappensBeforeTheRestart) {
  const std::wstring target = Product() + L"\\bin\\client.dll";
  EXPECT_EQ(ReadFileBytes(target), "version 1");
  EXPECT_EQ(ReadFileBytes(target + L".new"), "version 2");
  EXPECT_TRUE(Exists(Product() + L"\\bin\\old.dll"));
}

TEST(UpdateRestartPhase2, TheRestartPutTheFilesInPlace) {
  const std::wstring target = Product() + L"\\bin\\client.dll";
  EXPECT_EQ(ReadFileBytes(target), "version 2");
  EXPECT_FALSE(Exists(target + L".new"));
  EXPECT_EQ(WriteTimeMs(target), kTimeMs) << "the record's time travelled with the waiting file";
  EXPECT_FALSE(Exists(Product() + L"\\bin\\old.dll"));
  EXPECT_FALSE(IsPendingRename(target + L".new", target));
}

}  // namespace
