// Product file changes: files added, replaced and deleted with the record's times; a file in
// use waits as ".new" for the next restart; failures are results the caller sees.
#include <gtest/gtest.h>

#include "engine/update/update_eng_ex.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

constexpr int64_t kTimeMs = 1545462000123;  // 2018-12-22 07:00:00.123 UTC
constexpr int64_t kTimeSecondsMs = 1545462000000;

FileRecord File(const std::string& path, const std::string& newPath = "", const std::string& time = "") {
  FileRecord record;
  record.attributes = Attributes({{"path", path}, {"newpath", newPath}, {"time", time}});
  return record;
}

class FileChanges : public ::testing::Test {
 protected:
  FileChanges() {
    engine_.newProduct.sourceFolder = folder_ / L"~ZQSetup";
    engine_.newProduct.productFolder = folder_ / L"Program Files (x86)\\PelluvoV2";
    engine_.installedProduct.productFolder = engine_.newProduct.productFolder;
    engine_.prompt = &prompt_;
  }
  std::wstring Source(const std::wstring& relative) const { return engine_.newProduct.sourceFolder + L"\\" + relative; }
  std::wstring Product(const std::wstring& relative) const {
    return engine_.newProduct.productFolder + L"\\" + relative;
  }

  TempFolder folder_;
  CUpdateEngEx engine_;
  RecordingPrompt prompt_;
};

TEST_F(FileChanges, AddsReplacesAndDeletesWithTheRecordsTimes) {
  WriteFileBytes(Source(L"bin\\new.dll"), "new file");
  WriteFileBytes(Source(L"bin\\changed.exe"), "version 2");
  WriteFileBytes(Product(L"bin\\changed.exe"), "version 1");
  WriteFileBytes(Product(L"old\\gone.txt"), "removed by the new product");
  engine_.addList.files = {File("bin\\new.dll", "", std::to_string(kTimeMs)), File("bin\\changed.exe", "", "")};
  engine_.deleteList.files = {File("old\\gone.txt")};

  EXPECT_EQ(engine_.ApplyFileChanges(), 0);

  // Times first: reading the file may move its last-access time.
  EXPECT_EQ(WriteTimeMs(Product(L"bin\\new.dll")), kTimeSecondsMs) << "whole seconds of \"time\"";
  EXPECT_EQ(AccessTimeMs(Product(L"bin\\new.dll")), 0) << "last access 1970-01-01";
  EXPECT_EQ(ReadFileBytes(Product(L"bin\\new.dll")), "new file");
  EXPECT_EQ(ReadFileBytes(Product(L"bin\\changed.exe")), "version 2");
  EXPECT_FALSE(Exists(Product(L"old\\gone.txt")));
  EXPECT_FALSE(Exists(Source(L"bin\\new.dll"))) << "files are moved, not copied";
  EXPECT_GT(WriteTimeMs(Product(L"bin\\changed.exe")), kTimeMs) << "an empty \"time\" keeps the move's times";
  EXPECT_EQ(prompt_.calls,
            (std::vector<std::wstring>{L"X 9 1 2 bin\\new.dll 50", L"X 9 2 2 bin\\changed.exe 50", L"P 0 50 "}));
}

TEST_F(FileChanges, TimesForExtractionComeFromActiveRecordsWithATime) {
  FileRecord excluded = File("skipped.txt", "", std::to_string(kTimeMs));
  excluded.excluded = true;
  engine_.addList.files = {File("bin\\a.dll", "renamed.dll", std::to_string(kTimeMs)), File("untimed.txt"), excluded};
  const RecordFileTimesByPath times = engine_.AddListFileTimes();
  ASSERT_EQ(times.size(), 1u);
  const auto found = times.find(L"bin\\a.dll");
  ASSERT_NE(found, times.end()) << "keyed by the path in the package, not the installed one";
  const RecordFileTimes expected = RecordFileTimesOf(kTimeMs);
  EXPECT_EQ(CompareFileTime(&found->second.written, &expected.written), 0);

  // A file that already carries the record's times is put in place with them unchanged.
  WriteFileBytes(Source(L"bin\\a.dll"), "a");
  HANDLE file =
      CreateFileW(Source(L"bin\\a.dll").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  SetFileTime(file, nullptr, &found->second.accessed, &found->second.written);
  CloseHandle(file);
  engine_.addList.files.resize(1);
  EXPECT_EQ(engine_.AddProductFile(), 0);
  EXPECT_EQ(WriteTimeMs(Product(L"renamed.dll")), kTimeSecondsMs);
  EXPECT_EQ(AccessTimeMs(Product(L"renamed.dll")), 0);
}

TEST_F(FileChanges, NewPathInstallsUnderAnotherNameAndFolder) {
  WriteFileBytes(Source(L"pkg\\a.bin"), "payload");
  engine_.addList.files = {File("pkg\\a.bin", "deep\\er\\renamed.dat")};
  EXPECT_EQ(engine_.AddProductFile(), 0);
  EXPECT_EQ(ReadFileBytes(Product(L"deep\\er\\renamed.dat")), "payload");
  EXPECT_FALSE(Exists(Product(L"pkg\\a.bin")));
}

TEST_F(FileChanges, ExcludedRecordsAreSkippedButCounted) {
  WriteFileBytes(Source(L"r2.txt"), "2");
  WriteFileBytes(Source(L"r3.txt"), "3");
  engine_.addList.files = {File("r1.txt"), File("r2.txt"), File("r3.txt")};
  engine_.addList.files[0].excluded = true;
  EXPECT_EQ(engine_.AddProductFile(), 0);
  EXPECT_EQ(prompt_.calls, (std::vector<std::wstring>{L"X 9 1 3 r2.txt 50", L"X 9 2 3 r3.txt 50", L"P 0 50 "}));
  EXPECT_EQ(ReadFileBytes(Product(L"r3.txt")), "3");
}

TEST_F(FileChanges, MissingSourceOrFolderLeavesTheInstalledFileAndIsAFailure) {
  WriteFileBytes(Product(L"bin\\app.exe"), "installed");
  engine_.addList.files = {File("bin\\app.exe"), File("bin\\later.dll")};
  WriteFileBytes(Source(L"bin\\later.dll"), "later");
  std::wstring waiting = L"stale";
  EXPECT_EQ(engine_.UpdateFile(Source(L"bin\\app.exe"), Product(L"bin\\app.exe"), waiting), -1);
  EXPECT_EQ(waiting, L"");
  EXPECT_EQ(engine_.UpdateFile(folder_ / L"no such folder\\app.exe", Product(L"bin\\app.exe"), waiting), -1);
  EXPECT_EQ(ReadFileBytes(Product(L"bin\\app.exe")), "installed");

  EXPECT_EQ(engine_.ApplyFileChanges(), -2) << "the caller sees the failure";
  EXPECT_EQ(ReadFileBytes(Product(L"bin\\app.exe")), "installed");
  EXPECT_FALSE(Exists(Product(L"bin\\later.dll"))) << "copying stops at the failure";
  EXPECT_EQ(prompt_.calls.back(), L"P 0 50 ") << "closing progress after a failure too";
}

// A folder new to the product whose files are all records in a row moves whole (the source
// keeps no empty folder behind); the reports and times are those of single moves.
TEST_F(FileChanges, NewFolderOfRecordsInARowMovesWhole) {
  for (const wchar_t* name : {L"data\\a\\1.txt", L"data\\2.txt", L"root.txt"}) WriteFileBytes(Source(name), "x");
  engine_.addList.files = {File("data\\a\\1.txt", "", std::to_string(kTimeMs)), File("data\\2.txt"), File("root.txt")};
  EXPECT_EQ(engine_.AddProductFile(), 0);
  EXPECT_EQ(WriteTimeMs(Product(L"data\\a\\1.txt")), kTimeSecondsMs);
  EXPECT_EQ(AccessTimeMs(Product(L"data\\a\\1.txt")), 0);
  EXPECT_EQ(ReadFileBytes(Product(L"data\\2.txt")), "x");
  EXPECT_FALSE(Exists(Source(L"data"))) << "moved with its folder";
  EXPECT_EQ(prompt_.calls, (std::vector<std::wstring>{L"X 9 1 3 data\\a\\1.txt 50", L"X 9 2 3 data\\2.txt 50",
                                                      L"X 9 3 3 root.txt 50", L"P 0 50 "}));
}

// What a folder move would carry too much of, or too early, moves file by file: a file no
// record names, a file a record leaves out, records apart in the list, a folder the product
// already has.
TEST_F(FileChanges, FolderMovesNoFileOfItsOwnAndNoneBeforeItsTurn) {
  for (const wchar_t* name : {L"stray\\1.txt", L"stray\\unnamed.txt", L"left\\1.txt", L"left\\excluded.txt",
                              L"apart\\1.txt", L"apart\\2.txt", L"old\\1.txt"}) {
    WriteFileBytes(Source(name), "x");
  }
  WriteFileBytes(Product(L"old\\kept.txt"), "installed");
  FileRecord excluded = File("left\\excluded.txt");
  excluded.excluded = true;
  engine_.addList.files = {File("stray\\1.txt"), File("left\\1.txt"), excluded,
                           File("apart\\1.txt"), File("old\\1.txt"),  File("gone.txt"),
                           File("apart\\2.txt")};
  EXPECT_EQ(engine_.AddProductFile(), -2) << "gone.txt has no source";
  EXPECT_FALSE(Exists(Product(L"stray\\unnamed.txt")));
  EXPECT_FALSE(Exists(Product(L"left\\excluded.txt")));
  EXPECT_EQ(ReadFileBytes(Product(L"apart\\1.txt")), "x");
  EXPECT_FALSE(Exists(Product(L"apart\\2.txt"))) << "after the failure: not handled";
  EXPECT_EQ(ReadFileBytes(Product(L"old\\kept.txt")), "installed");
  EXPECT_EQ(ReadFileBytes(Product(L"old\\1.txt")), "x");
  for (const wchar_t* name : {L"stray", L"left", L"apart", L"old"}) EXPECT_TRUE(Exists(Source(name))) << name;
}

// A folder spelled otherwise on disk than in its records, or one whose file another record
// installs elsewhere, moves file by file: the names are the records' and no file goes twice.
TEST_F(FileChanges, FolderSpelledOtherwiseOrReadByAnotherRecordMovesFileByFile) {
  WriteFileBytes(Source(L"Data\\x.txt"), "x");
  WriteFileBytes(Source(L"pkg\\a.txt"), "a");
  WriteFileBytes(Source(L"pkg\\b.txt"), "b");
  engine_.addList.files = {File("data\\x.txt"), File("pkg\\a.txt", "other\\a.txt"), File("pkg\\b.txt")};
  EXPECT_EQ(engine_.AddProductFile(), 0);
  WIN32_FIND_DATAW found{};
  HANDLE search = FindFirstFileW(Product(L"dat?").c_str(), &found);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  FindClose(search);
  EXPECT_STREQ(found.cFileName, L"data") << "the record's spelling";
  EXPECT_EQ(ReadFileBytes(Product(L"other\\a.txt")), "a");
  EXPECT_EQ(ReadFileBytes(Product(L"pkg\\b.txt")), "b");
  EXPECT_FALSE(Exists(Product(L"pkg\\a.txt")));
  EXPECT_TRUE(Exists(Source(L"Data")));
  EXPECT_TRUE(Exists(Source(L"pkg")));
}

TEST_F(FileChanges, SourceThatCannotBeReadIsAFailureThatKeepsTheInstalledFile) {
  WriteFileBytes(Product(L"a.dat"), "installed");
  WriteFileBytes(Source(L"a.dat"), "new");
  HANDLE exclusive = CreateFileW(Source(L"a.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
  std::wstring waiting;
  EXPECT_EQ(engine_.UpdateFile(Source(L"a.dat"), Product(L"a.dat"), waiting), -2);
  CloseHandle(exclusive);
  EXPECT_EQ(ReadFileBytes(Product(L"a.dat")), "installed");
  EXPECT_EQ(ReadFileBytes(Source(L"a.dat")), "new");
}

TEST_F(FileChanges, TargetFolderThatCannotBeMadeIsAFailure) {
  WriteFileBytes(Product(L"blocked"), "a file holds the folder's name");
  WriteFileBytes(Source(L"blocked\\x.txt"), "x");
  engine_.addList.files = {File("blocked\\x.txt")};
  EXPECT_EQ(engine_.AddProductFile(), -1);
  EXPECT_EQ(engine_.ApplyFileChanges(), -1);
  EXPECT_EQ(ReadFileBytes(Source(L"blocked\\x.txt")), "x");
}

TEST_F(FileChanges, FileInUseWaitsAsNewForTheNextRestart) {
  const std::wstring target = Product(L"bin\\locked.dll");
  WriteFileBytes(target, "old");
  WriteFileBytes(target + L".new", "someone else's");
  WriteFileBytes(target + L".new1", "someone else's too");
  WriteFileBytes(Source(L"bin\\locked.dll"), "new");
  engine_.addList.files = {File("bin\\locked.dll", "", std::to_string(kTimeMs)), File("other.txt")};
  WriteFileBytes(Source(L"other.txt"), "other");
  LockedFile lock(target);
  ASSERT_TRUE(lock.ok());

  EXPECT_EQ(engine_.AddProductFile(), 0);

  EXPECT_EQ(ReadFileBytes(target), "old");
  EXPECT_EQ(ReadFileBytes(target + L".new2"), "new") << "the first free \".new\" name";
  EXPECT_EQ(ReadFileBytes(target + L".new"), "someone else's");
  EXPECT_EQ(WriteTimeMs(target + L".new2"), kTimeSecondsMs) << "the times go to the waiting file";
  EXPECT_TRUE(IsPendingRename(target + L".new2", target));
  EXPECT_EQ(ReadFileBytes(Product(L"other.txt")), "other") << "the next record follows";
}

TEST_F(FileChanges, UpdateFileNamesTheWaitingFile) {
  const std::wstring target = Product(L"in use.txt");
  WriteFileBytes(target, "old");
  WriteFileBytes(Source(L"in use.txt"), "new");
  LockedFile lock(target);
  ASSERT_TRUE(lock.ok());
  std::wstring waiting;
  EXPECT_EQ(engine_.UpdateFile(Source(L"in use.txt"), target, waiting), 1);
  EXPECT_EQ(waiting, target + L".new");
  EXPECT_EQ(ReadFileBytes(waiting), "new");
  EXPECT_FALSE(Exists(Source(L"in use.txt")));
}

TEST_F(FileChanges, RunningProgramIsMovedAsideAndReplacedNow) {
  const std::wstring target = Product(L"running.exe");
  InstallHelper(L"update_child.exe", target);
  RunningChild running(target, L"sleep=60000");
  ASSERT_TRUE(running.running());
  WriteFileBytes(Source(L"running.exe"), "new program");
  std::wstring waiting;
  EXPECT_EQ(engine_.UpdateFile(Source(L"running.exe"), target, waiting), 0);
  EXPECT_EQ(waiting, L"");
  EXPECT_EQ(ReadFileBytes(target), "new program");
  EXPECT_TRUE(Exists(target + L".delete")) << "the running program keeps its image aside";
}

TEST_F(FileChanges, NoWaitingNameIsScheduledWhenTheMoveFails) {
  const std::wstring target = Product(L"t.txt");
  WriteFileBytes(target, "old");
  const std::wstring source = Source(L"t.txt");
  WriteFileBytes(source, "new");
  LockedFile lockSource(source);  // the source cannot move either
  ASSERT_TRUE(lockSource.ok());
  std::wstring waiting = L"stale";
  EXPECT_EQ(engine_.ReplaceOnReboot(source, target, waiting), -1);
  EXPECT_EQ(waiting, L"");
  EXPECT_FALSE(Exists(target + L".new"));
  EXPECT_FALSE(IsPendingRename(target + L".new", target));
  EXPECT_EQ(ReadFileBytes(target), "old");
}

TEST_F(FileChanges, DeleteHonoursExclusionsAndExcludedRecords) {
  for (const wchar_t* name :
       {L"PackageManager.exe", L"PackageManager.exe.bak", L"setup\\PackageManager.exe", L"kept.txt", L"plain.txt"}) {
    WriteFileBytes(Product(name), "x");
  }
  engine_.deleteList.files = {
      File("PackageManager.exe"), File("PackageManager.exe.bak"), File("setup\\PackageManager.exe"), File("kept.txt"),
      File("plain.txt"),          File("never\\there.txt")};
  engine_.deleteList.files[3].excluded = true;
  EXPECT_EQ(engine_.DeleteProductFile({L"PackageManager.exe"}), 0);
  EXPECT_TRUE(Exists(Product(L"PackageManager.exe")));
  EXPECT_TRUE(Exists(Product(L"PackageManager.exe.bak")));
  EXPECT_FALSE(Exists(Product(L"setup\\PackageManager.exe")));
  EXPECT_TRUE(Exists(Product(L"kept.txt")));
  EXPECT_FALSE(Exists(Product(L"plain.txt")));
  EXPECT_TRUE(prompt_.calls.empty());
}

TEST_F(FileChanges, DeleteUsesTheInstalledProductsFolder) {
  engine_.installedProduct.productFolder = folder_ / L"old product";
  WriteFileBytes(engine_.installedProduct.productFolder + L"\\a.txt", "old");
  WriteFileBytes(Product(L"a.txt"), "new folder");
  engine_.deleteList.files = {File("a.txt")};
  engine_.DeleteProductFile({});
  EXPECT_FALSE(Exists(engine_.installedProduct.productFolder + L"\\a.txt"));
  EXPECT_TRUE(Exists(Product(L"a.txt")));
}

TEST(UpdateEngine, OneEnginePerProcess) {
  EXPECT_EQ(&CUpdateEngEx::GetInstance(), &CUpdateEngEx::GetInstance());
  EXPECT_TRUE(CUpdateEngEx::GetInstance().addList.files.empty());
}

TEST(UpdateEngine, InstalledPathIsNewPathWhenSet) {
  EXPECT_EQ(GetInstalledPath(File("a\\b.txt", "c\\\xE6\xB8\xB8.txt")), L"c\\\u6e38.txt");
  EXPECT_EQ(GetInstalledPath(File("a\\b.txt")), L"a\\b.txt");
  FileRecord bare;
  EXPECT_EQ(GetAttributeW(bare, "path"), L"");
}

}  // namespace
