#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/unique_handles.h"
#include "engine/parser/component_config.h"
#include "test_support.h"

namespace {

constexpr int64_t kTime = 1700000000000;    // 2023-11-14, winter in Europe
constexpr int64_t kSummer = 1688212800123;  // 2023-07-01 12:00:00.123 UTC

// An installed product: its description's configuration folder is the install folder.
struct Installed {
  TempFolder folder;
  ProductConfig product;

  Installed() {
    product.configFolder = folder.path() + L"\\";
    product.productFolder = folder.path();
    product.components.emplace_back();
  }

  FileRecord& Add(AttributeMap attributes, size_t component = 0) {
    while (product.components.size() <= component) product.components.emplace_back();
    FileRecord record;
    record.attributes = std::move(attributes);
    MakeRecordCrcs(kFileRecordKind, record.identityCrc, record.contentCrc, 0, record.attributes);
    product.components[component].files.push_back(record);
    return product.components[component].files.back();
  }

  FileRecord& At(size_t index, size_t component = 0) { return product.components[component].files[index]; }

  void Put(const std::wstring& relative, const std::string& bytes, int64_t timeMs) {
    WriteFileBytes(folder / relative, bytes);
    SetWriteTimeMs(folder / relative, timeMs);
  }
};

}  // namespace

TEST(FileRefresh, MissingOrAlteredInstalledFilesDiffer) {
  Installed p;
  p.Put(L"bin\\same.dll", "12345", kTime);
  p.Put(L"bin\\size.dll", "123456", kTime);
  p.Put(L"Lib\\Moved.dll", "abc", kTime);
  p.Add({{"path", "bin\\same.dll"}, {"size", "5"}, {"time", std::to_string(kTime)}});
  p.Add({{"path", "bin\\size.dll"}, {"size", "5"}, {"time", std::to_string(kTime)}});
  p.Add({{"path", "bin\\gone.dll"}, {"size", "5"}, {"time", std::to_string(kTime)}});
  p.Add({{"path", "pkg\\m.dll"}, {"newpath", "lib\\moved.dll"}, {"size", "3"}, {"time", std::to_string(kTime)}});
  p.Add({{"path", "bin"}, {"size", "0"}, {"time", "0"}});
  p.product.UpdateCopyFileRef();
  EXPECT_FALSE(p.At(0).differsOnDisk);
  EXPECT_TRUE(p.At(1).differsOnDisk);
  EXPECT_TRUE(p.At(2).differsOnDisk);
  EXPECT_FALSE(p.At(3).differsOnDisk) << "found under its newpath, case ignored";
  EXPECT_TRUE(p.At(4).differsOnDisk) << "a folder is no file of that time";
}

// Times within a second match. The record's time and the file's are both UTC: summer time
// changes nothing, in any zone (ctest runs this once more in Europe/Berlin).
TEST(FileRefresh, TimesWithinASecondMatchInUtc) {
  Installed p;
  const std::pair<int64_t, bool> offsets[] = {{1000, false}, {1001, true}, {-1000, false}, {-1001, true}, {0, false}};
  for (const auto& offset : offsets) {
    std::wstring name = L"t" + std::to_wstring(offset.first) + L".dat";
    p.Put(name, "xy", kTime + offset.first);
    p.Add({{"path", U(name)}, {"size", "2"}, {"time", std::to_string(kTime)}});
  }
  p.Put(L"summer.dat", "abc", kSummer);
  p.Add({{"path", "summer.dat"}, {"size", "3"}, {"time", std::to_string(kSummer)}});
  p.Add({{"path", "summer.dat"}, {"newpath", ""}, {"size", "3"}, {"time", std::to_string(kSummer + 3600000)}});
  p.Add(
      {{"path", "summer.dat"}, {"newpath", "summer.dat"}, {"size", "3"}, {"time", std::to_string(kSummer - 3600000)}});
  p.product.UpdateCopyFileRef();
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(p.At(i).differsOnDisk, offsets[i].second) << offsets[i].first << " ms";
  EXPECT_FALSE(p.At(5).differsOnDisk);
  EXPECT_TRUE(p.At(6).differsOnDisk) << "an hour later";
  EXPECT_TRUE(p.At(7).differsOnDisk) << "an hour earlier";
}

TEST(FileRefresh, InstallIfAbsentIsLeftAloneDoNotUpgradeAlwaysDiffers) {
  Installed p;
  p.Put(L"keep.ini", "abc", kTime);
  p.Add({{"path", "missing.ini"}, {"isInstall", "FALSE"}});
  p.Add({{"path", "keep.ini"}, {"isUpgrade", "false"}, {"size", "3"}, {"time", std::to_string(kTime)}});
  p.Add({{"path", "keep.ini"}, {"newpath", "x"}, {"isInstall", "false"}, {"isUpgrade", "false"}});
  p.Add({{"path", "b"}, {"newpath", "c"}});
  p.product.UpdateCopyFileRef();
  EXPECT_FALSE(p.At(0).differsOnDisk);
  EXPECT_EQ(p.At(0).attributes.count("isUpgrade"), 0u) << "nothing else of it is read";
  EXPECT_TRUE(p.At(1).differsOnDisk);
  EXPECT_FALSE(p.At(2).differsOnDisk);
  // Reading adds the names the file actions need.
  for (const char* name : {"isInstall", "isUpgrade", "size", "time", "newpath", "path"}) {
    EXPECT_EQ(p.At(3).attributes.count(name), 1u) << name;
  }
  EXPECT_EQ(p.At(3).attributes.size(), 6u);
}

TEST(FileRefresh, CountsReferencesAcrossComponents) {
  Installed p;
  p.Add({{"path", "shared.dll"}, {"newpath", "bin\\shared.dll"}}, 0);
  p.Add({{"path", "own.dll"}}, 0);
  p.Add({{"path", "shared.dll"}, {"newpath", "bin\\shared.dll"}}, 1);
  p.Add({{"path", "shared.dll"}}, 1);
  p.product.UpdateCopyFileRef();
  EXPECT_EQ(p.At(0, 0).refCount, 2u);
  EXPECT_EQ(p.At(1, 0).refCount, 1u);
  EXPECT_EQ(p.At(0, 1).refCount, 2u);
  EXPECT_EQ(p.At(1, 1).refCount, 1u);
}

// Sizes beyond 2 GiB are compared whole rather than cut to 2147483647.
TEST(FileRefresh, LargeFilesMatchTheirTrueSize) {
  Installed p;
  std::wstring path = p.folder / L"big.bin";
  {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(IsValid(file));
    LARGE_INTEGER size;
    size.QuadPart = 2147483648LL;
    ASSERT_TRUE(SetFilePointerEx(file.get(), size, nullptr, FILE_BEGIN));
    ASSERT_TRUE(SetEndOfFile(file.get()));
  }
  SetWriteTimeMs(path, kTime);
  p.Add({{"path", "big.bin"}, {"size", "2147483648"}, {"time", std::to_string(kTime)}});
  p.Add({{"path", "big.bin"}, {"newpath", ""}, {"size", "2147483647"}, {"time", std::to_string(kTime)}});
  p.product.UpdateCopyFileRef();
  EXPECT_FALSE(p.At(0).differsOnDisk);
  EXPECT_TRUE(p.At(1).differsOnDisk);
}

TEST(FileRefresh, DeleteListKeepsNoDeleteFiles) {
  ComponentConfig list;
  const std::pair<const char*, bool> values[] = {{"TRUE", true}, {"true", true}, {"FALSE", false}, {"", false}};
  for (const auto& value : values) {
    list.files.emplace_back();
    list.files.back().attributes = {{"path", "x"}, {"noDelete", value.first}};
  }
  ProductConfig::UpdateNoDeleteFileRef(list, true, L"");
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(list.files[i].excluded, values[i].second) << '"' << values[i].first << '"';
}

// "Already there" means in the install folder, whatever the current directory holds.
TEST(FileRefresh, AddListLooksInTheInstallFolderNotTheCurrentDirectory) {
  TempFolder install;
  TempFolder elsewhere;
  WriteFileBytes(install / L"bin\\there.dll", "1234");
  SetWriteTimeMs(install / L"bin\\there.dll", kTime);
  WriteFileBytes(elsewhere / L"bin\\cwd.dll", "1234");
  SetWriteTimeMs(elsewhere / L"bin\\cwd.dll", kTime);
  WriteFileBytes(install / L"bin\\old.dll", "1234");
  SetWriteTimeMs(install / L"bin\\old.dll", kTime - 60000);

  ComponentConfig list;
  for (const char* path : {"bin\\there.dll", "bin\\cwd.dll", "bin\\old.dll"}) {
    FileRecord record;
    record.attributes = {{"path", path}, {"size", "4"}, {"time", std::to_string(kTime)}};
    list.files.push_back(record);
  }
  wchar_t saved[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.path().c_str()));
  ProductConfig::UpdateNoDeleteFileRef(list, false, install.path());
  SetCurrentDirectoryW(saved);
  EXPECT_TRUE(list.files[0].excluded) << "stands in the install folder as the new product has it";
  EXPECT_FALSE(list.files[1].excluded) << "only the current directory has it";
  EXPECT_FALSE(list.files[2].excluded) << "older than the new product's";
}
