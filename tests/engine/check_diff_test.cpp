#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/unique_handles.h"
#include "engine/parser/check_diff.h"
#include "engine/parser/diff_order.h"
#include "engine/parser/product_reader.h"
#include "engine/parser/text_compare.h"
#include "test_support.h"

namespace {

std::wstring ComponentList(const ProductConfig& product) {
  std::wstring list;
  for (const ComponentRef& ref : product.componentRefs) list += ref.config + L",";
  return list;
}

// Reads a description and its components the way the engine does, from folder\package.
void LoadProduct(ProductConfig& product, const std::wstring& folder, const std::wstring& installFolder) {
  ASSERT_EQ(ParseProductConfig(nullptr, folder + L"\\package\\Product.config", product), 1);
  product.productFolder = installFolder;
  product.sourceFolder = installFolder + L"\\~ZQSetup";
  product.configFolder = folder + L"\\";
  ASSERT_EQ(product.ParseComponentConfigs(ComponentList(product)), 0);
  ASSERT_EQ(product.FilterByOsPlatform("6.1", "x64"), 0);
}

// Puts every file of the product on disk under root as its record describes it.
void PutOnDisk(ProductConfig& product, const std::wstring& root) {
  for (ComponentConfig& component : product.components) {
    for (FileRecord& file : component.files) {
      std::wstring path = root + L"\\" + W(InstalledRelativePath(file));
      WriteFileBytes(path, std::string(static_cast<size_t>(DecimalValue(file.attributes["size"])), 'x'));
      SetWriteTimeMs(path, DecimalValue64(file.attributes["time"]));
    }
  }
}

// The user changed these two files after the install.
void EditUserFiles(const std::wstring& root) {
  WriteFileBytes(root + L"\\conf\\settings.ini", "user settings");
  WriteFileBytes(root + L"\\conf\\prefs.dat", "user prefs");
}

template <typename Record>
bool Excluded(const Record& record) {
  return record.excluded;
}
bool Excluded(const RegUpdateRecord&) { return false; }

// The records' `key` values (and `second`'s after a "|"), marked when excluded.
template <typename Record>
std::vector<std::string> Keys(const std::vector<Record>& records, const char* key, const char* second = nullptr) {
  std::vector<std::string> keys;
  for (const Record& record : records) {
    std::string text = FindAttribute(record.attributes, key);
    if (second) text += "|" + FindAttribute(record.attributes, second);
    keys.push_back(text + (Excluded(record) ? " [excluded]" : ""));
  }
  return keys;
}

std::vector<std::string> Files(const ComponentConfig& list) { return Keys(list.files, "path"); }
std::vector<std::string> Values(const ComponentConfig& list) { return Keys(list.regUpdates, "name"); }
std::vector<std::string> Rules(const ComponentConfig& list) { return Keys(list.runRules, "executable", "when"); }

using Strings = std::vector<std::string>;

// Installed fixture product in an install folder (its description in install\package),
// the new fixture product beside it, as an upgrade over an uninstall-style load would see them.
struct Scenario {
  TempFolder install;
  CCheckDiff diff;
  ComponentConfig deleteList;
  ComponentConfig addList;

  void LoadInstalled() {
    CopyTree(FixturePath(L"diff\\installed\\package"), install / L"package");
    LoadProduct(diff.installedProduct, install.path(), install.path());
  }
  void LoadNew(const std::wstring& fixture = L"diff\\new") {
    LoadProduct(diff.newProduct, FixturePath(fixture), install.path());
  }
  // The installed product on disk as its records describe it, the new one beside it.
  void LoadUpgrade() {
    LoadInstalled();
    LoadNew();
    PutOnDisk(diff.installedProduct, install.path());
  }
  int Run(int mode) { return diff.CheckProductDifference(deleteList, addList, mode); }
};

const Strings kNewRulesSorted{"bin\\added.dll|AfterCopy", "extras\\tool.exe|AfterCopy",
                              "bin\\app.exe|BeforeCopy [excluded]", "bin\\app.exe|OnRestartApp [excluded]"};

}  // namespace

TEST(CheckDiff, FullComparisonOfInstalledAndNewProducts) {
  Scenario s;
  s.LoadUpgrade();
  EditUserFiles(s.install.path());
  ASSERT_EQ(s.Run(CCheckDiff::kInstall), 0);
  EXPECT_EQ(s.diff.mode(), 0);
  EXPECT_EQ(s.diff.installRoot(), s.install.path());

  EXPECT_EQ(Files(s.deleteList), (Strings{"bin\\removed.dll", "legacy\\old.exe", "legacy\\data.db [excluded]"}));
  EXPECT_EQ(Values(s.deleteList), Strings{"gone"});
  EXPECT_EQ(Keys(s.deleteList.regModules, "path"), Strings{"bin\\removed.dll"});
  EXPECT_TRUE(s.deleteList.shortCuts.empty());
  EXPECT_EQ(Keys(s.deleteList.drivers, "path"), Strings{"drv\\old.sys [excluded]"});
  EXPECT_EQ(Rules(s.deleteList), (Strings{"bin\\added.dll|AfterCopy", "bin\\app.exe|BeforeCopy",
                                          "legacy\\old.exe|OnUnregister", "bin\\app.exe|OnRestartApp"}));

  // prefs.dat changed in the new product, but the user's copy stays ("isUpgrade" "false").
  EXPECT_EQ(Files(s.addList),
            (Strings{"bin\\changed.dll", "bin\\added.dll", "conf\\prefs.dat [excluded]", "extras\\tool.exe"}));
  EXPECT_EQ(Values(s.addList), (Strings{"ver", "new"}));
  EXPECT_EQ(Keys(s.addList.regModules, "path"), (Strings{"bin\\added.dll", "extras\\tool.exe"}));
  EXPECT_EQ(Keys(s.addList.shortCuts, "link"), Strings{"bin\\app.exe [excluded]"})
      << "the new start-menu shortcut; its program is not copied by this job";
  EXPECT_EQ(Keys(s.addList.drivers, "path"), Strings{"drv\\new.sys [excluded]"});
  EXPECT_EQ(Rules(s.addList), kNewRulesSorted);
}

TEST(CheckDiff, IdenticalProductsLeaveOnlyRunRules) {
  Scenario s;
  CopyTree(FixturePath(L"diff\\new\\package"), s.install / L"package");
  LoadProduct(s.diff.installedProduct, s.install.path(), s.install.path());
  s.LoadNew();
  PutOnDisk(s.diff.newProduct, s.install.path());
  ASSERT_EQ(s.Run(CCheckDiff::kInstall), 0);
  EXPECT_TRUE(s.deleteList.files.empty());
  EXPECT_EQ(Files(s.addList), Strings{"conf\\prefs.dat [excluded]"}) << "repaired, then kept as it stands";
  for (const ComponentConfig* list : {&s.deleteList, &s.addList}) {
    EXPECT_TRUE(list->regUpdates.empty());
    EXPECT_TRUE(list->regModules.empty());
    EXPECT_TRUE(list->shortCuts.empty());
    EXPECT_TRUE(list->drivers.empty());
  }
  EXPECT_EQ(Rules(s.deleteList).size(), 4u);
  EXPECT_EQ(Rules(s.addList).size(), 4u);
}

// The install job loads only the new product: every component is taken whole, protected
// files included, after what the lists held.
TEST(CheckDiff, InstallJobTakesTheNewProductWhole) {
  Scenario s;
  s.LoadNew();
  s.addList.files.emplace_back();
  s.addList.files.back().attributes = {{"path", "earlier.dll"}};
  ASSERT_EQ(s.Run(CCheckDiff::kInstall), 0);
  EXPECT_TRUE(s.deleteList.files.empty());
  EXPECT_TRUE(s.deleteList.runRules.empty());
  EXPECT_EQ(Files(s.addList), (Strings{"earlier.dll", "bin\\unchanged.dll", "bin\\changed.dll", "bin\\added.dll",
                                       "conf\\settings.ini", "conf\\prefs.dat", "bin\\app.exe", "extras\\tool.exe"}));
  EXPECT_EQ(Values(s.addList), (Strings{"ver", "keep", "new"}));
  EXPECT_EQ(Keys(s.addList.regModules, "path"), (Strings{"bin\\added.dll", "bin\\unchanged.dll", "extras\\tool.exe"}));
  EXPECT_EQ(Keys(s.addList.shortCuts, "link"), (Strings{"bin\\app.exe", "bin\\app.exe"}));
  EXPECT_EQ(Rules(s.addList), (Strings{"bin\\added.dll|AfterCopy", "extras\\tool.exe|AfterCopy",
                                       "bin\\app.exe|BeforeCopy", "bin\\app.exe|OnRestartApp"}));
}

// A reinstall over an earlier install: files already in place are not copied again, and
// install-if-absent or do-not-upgrade files the user edited are kept though unpaired.
TEST(CheckDiff, ReinstallKeepsFilesInPlaceAndTheUsersFiles) {
  Scenario s;
  s.LoadNew();
  PutOnDisk(s.diff.newProduct, s.install.path());
  EditUserFiles(s.install.path());
  WriteFileBytes(s.install / L"bin\\changed.dll", "stale");
  DeleteFileW((s.install / L"extras\\tool.exe").c_str());
  ASSERT_EQ(s.Run(CCheckDiff::kInstall), 0);
  EXPECT_EQ(Files(s.addList), (Strings{"bin\\unchanged.dll [excluded]", "bin\\changed.dll", "bin\\added.dll [excluded]",
                                       "conf\\settings.ini [excluded]", "conf\\prefs.dat [excluded]",
                                       "bin\\app.exe [excluded]", "extras\\tool.exe"}));
  EXPECT_EQ(Keys(s.addList.regModules, "path"),
            (Strings{"bin\\added.dll [excluded]", "bin\\unchanged.dll [excluded]", "extras\\tool.exe"}));
}

// The current directory is no install folder.
TEST(CheckDiff, ExistenceTestsLookInTheInstallFolder) {
  Scenario s;
  TempFolder elsewhere;
  s.LoadNew();
  PutOnDisk(s.diff.newProduct, elsewhere.path());
  wchar_t saved[MAX_PATH] = {};
  GetCurrentDirectoryW(MAX_PATH, saved);
  ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.path().c_str()));
  int result = s.Run(CCheckDiff::kUpdate);
  SetCurrentDirectoryW(saved);
  ASSERT_EQ(result, 0);
  for (const FileRecord& file : s.addList.files) EXPECT_FALSE(file.excluded) << FindAttribute(file.attributes, "path");
  EXPECT_EQ(s.addList.files.size(), 7u);
}

TEST(CheckDiff, UpdateInstallsDoNotUpgradeFilesOnlyWhenAbsent) {
  Scenario present;
  present.LoadUpgrade();
  EditUserFiles(present.install.path());
  ASSERT_EQ(present.Run(CCheckDiff::kUpdate), 0);
  EXPECT_EQ(Files(present.addList), (Strings{"bin\\changed.dll", "bin\\added.dll", "extras\\tool.exe"}));

  Scenario absent;
  absent.LoadUpgrade();
  DeleteFileW((absent.install / L"conf\\prefs.dat").c_str());
  ASSERT_EQ(absent.Run(CCheckDiff::kUpdate), 0);
  EXPECT_EQ(Files(absent.addList),
            (Strings{"bin\\changed.dll", "bin\\added.dll", "conf\\prefs.dat", "extras\\tool.exe"}));
}

TEST(CheckDiff, UninstallDeletesTheWholeInstalledProduct) {
  Scenario s;
  s.LoadInstalled();
  PutOnDisk(s.diff.installedProduct, s.install.path());
  ASSERT_EQ(s.Run(CCheckDiff::kUninstall), 0);
  EXPECT_EQ(Files(s.deleteList),
            (Strings{"bin\\unchanged.dll", "bin\\changed.dll", "bin\\removed.dll", "conf\\settings.ini",
                     "conf\\prefs.dat", "bin\\app.exe", "legacy\\old.exe", "legacy\\data.db [excluded]"}));
  EXPECT_EQ(Values(s.deleteList), (Strings{"ver", "keep", "gone"}));
  EXPECT_EQ(Keys(s.deleteList.regModules, "path"), (Strings{"bin\\removed.dll", "bin\\unchanged.dll"}));
  EXPECT_EQ(Keys(s.deleteList.shortCuts, "link"), Strings{"bin\\app.exe"});
  EXPECT_EQ(Rules(s.deleteList),
            (Strings{"bin\\app.exe|BeforeCopy", "bin\\app.exe|OnStopApp", "legacy\\old.exe|OnUnregister"}));
  EXPECT_TRUE(s.addList.files.empty()) << "the repair pass skips what the delete list holds";
  EXPECT_TRUE(s.addList.runRules.empty());
}

TEST(CheckDiff, LiveModeComparesRegistryValuesWithTheRegistry) {
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TamselEngineTests\\Diff", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  UniqueRegKey key(raw);
  auto setText = [&](const wchar_t* name, const std::wstring& value) {
    RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  };
  setText(L"ver", L"2");
  setText(L"new", L"Y");
  RegDeleteValueW(key.get(), L"keep");

  Scenario s;
  s.LoadUpgrade();
  ASSERT_EQ(s.Run(CCheckDiff::kLiveRegistry), 0);
  EXPECT_EQ(Values(s.addList), Strings{"keep"}) << "ver and new already hold the wanted values";
  EXPECT_EQ(Values(s.deleteList), Strings{"gone"}) << "the delete direction compares descriptions";
  EXPECT_EQ(Keys(s.addList.regModules, "path"),
            (Strings{"bin\\added.dll", "bin\\unchanged.dll [excluded]", "extras\\tool.exe"}));
  EXPECT_EQ(Keys(s.addList.drivers, "path"), Strings{"drv\\new.sys [excluded]"});
  RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TamselEngineTests\\Diff");
}

TEST(CheckDiff, LiveValuesResolveInstallRootLanguageAndNumbers) {
  const std::wstring keyPath = L"Software\\TamselEngineTests\\LiveValues";
  HKEY raw = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &raw, nullptr),
            ERROR_SUCCESS);
  UniqueRegKey key(raw);
  Scenario s;
  const char* config = R"(<R name_0409="Live"><Config><RegUpdate>
    <v key="HKCU\Software\TamselEngineTests\LiveValues" name="cmd" value="&quot;$InstallRoot\bin\app.exe&quot; -s" />
    <v key="hkcu\Software\TamselEngineTests\LiveValues" name="count" type="REG_DWORD" value="-5" />
    <v key="HKCU\Software\TamselEngineTests\LiveValues" name="lang" value="plain" value_0409="english" />
    <v key="HKCU\Software\TamselEngineTests\LiveValues" name="binary" value="00" />
    <v key="HKXX\Software\TamselEngineTests\LiveValues" name="cmd" value="x" />
  </RegUpdate></Config></R>)";
  WriteFileBytes(s.install / L"pkg\\package\\live.config", config);
  WriteFileBytes(
      s.install / L"pkg\\package\\Product.config",
      "<R type=\"offline\"><productinfo><components><c config=\"live.config\"/></components></productinfo></R>");
  LoadProduct(s.diff.installedProduct, s.install / L"pkg", s.install.path());
  LoadProduct(s.diff.newProduct, s.install / L"pkg", s.install.path());

  std::wstring command = L"\"" + s.install.path() + L"\\bin\\app.exe\" -s";
  RegSetValueExW(key.get(), L"cmd", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
  DWORD count = static_cast<DWORD>(-5);
  RegSetValueExW(key.get(), L"count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof(count));
  std::wstring english = L"English";
  RegSetValueExW(key.get(), L"lang", 0, REG_SZ, reinterpret_cast<const BYTE*>(english.c_str()),
                 static_cast<DWORD>((english.size() + 1) * sizeof(wchar_t)));
  BYTE zero = 0;
  RegSetValueExW(key.get(), L"binary", 0, REG_BINARY, &zero, 1);

  ASSERT_EQ(s.Run(CCheckDiff::kLiveRegistry), 0);
  Strings expected{"binary", "cmd"};
  if (GetSystemDefaultLCID() != 0x0409) expected.insert(expected.begin() + 1, "lang");
  EXPECT_EQ(Values(s.addList), expected) << "binary: unreadable type; cmd under HKXX: no such root";
  RegDeleteKeyW(HKEY_CURRENT_USER, keyPath.c_str());
}

TEST(CheckDiff, AddAllTakesNewComponentsWholeAndNothingElse) {
  Scenario s;
  s.LoadInstalled();
  s.LoadNew();
  PutOnDisk(s.diff.newProduct, s.install.path());
  ASSERT_EQ(s.Run(CCheckDiff::kAddAll), 0);
  EXPECT_TRUE(s.deleteList.files.empty());
  EXPECT_TRUE(s.deleteList.runRules.empty());
  EXPECT_EQ(Files(s.addList), (Strings{"bin\\unchanged.dll", "bin\\changed.dll", "bin\\added.dll", "conf\\settings.ini",
                                       "conf\\prefs.dat", "bin\\app.exe", "extras\\tool.exe"}));
  EXPECT_EQ(Rules(s.addList),
            (Strings{"bin\\app.exe|OnRestartApp", "bin\\app.exe|BeforeCopy", "bin\\added.dll|AfterCopy",
                     "BIN\\APP.EXE|beforecopy", "extras\\tool.exe|AfterCopy"}))
      << "unsorted, duplicates kept";
  for (const FileRecord& file : s.diff.installedProduct.components[0].files) EXPECT_FALSE(file.differsOnDisk);
}

// Components pair by "name_0409", ignoring case; only the first partner counts.
TEST(CheckDiff, PairsOnlyTheFirstComponentOfAName) {
  Scenario s;
  WriteFileBytes(s.install / L"package\\Product.config",
                 "<R type=\"offline\"><productinfo><components><c config=\"i1.config\"/><c config=\"i2.config\"/>"
                 "<c config=\"i3.config\"/></components></productinfo></R>");
  WriteFileBytes(s.install / L"package\\i1.config",
                 "<R name_0409=\"X\"><Config><Files><f path=\"a\"/></Files></Config></R>");
  WriteFileBytes(s.install / L"package\\i2.config",
                 "<R name_0409=\"x\"><Config><Files><f path=\"b\"/></Files></Config></R>");
  WriteFileBytes(s.install / L"package\\i3.config", "<R><Config><Files><f path=\"c\"/></Files></Config></R>");
  WriteFileBytes(s.install / L"new\\package\\Product.config",
                 "<R type=\"offline\"><productinfo><components><c config=\"n.config\"/><c config=\"m.config\"/>"
                 "</components></productinfo></R>");
  WriteFileBytes(s.install / L"new\\package\\n.config",
                 "<R name_0409=\"X\"><Config><Files><f path=\"a\"/><f path=\"b\"/></Files></Config></R>");
  WriteFileBytes(s.install / L"new\\package\\m.config",
                 "<R><Config><Files><f path=\"c\"/><f path=\"d\"/></Files></Config></R>");
  LoadProduct(s.diff.installedProduct, s.install.path(), s.install.path());
  LoadProduct(s.diff.newProduct, s.install / L"new", s.install.path());
  PutOnDisk(s.diff.installedProduct, s.install.path());
  ASSERT_EQ(s.Run(CCheckDiff::kInstall), 0);
  EXPECT_TRUE(s.deleteList.files.empty()) << "i1 and i2 both find n, i3 finds m (both without a name)";
  EXPECT_EQ(Files(s.addList), (Strings{"d", "b [excluded]"}))
      << "m pairs with i3; n pairs with i1 only, so b counts as new (and stands on disk already)";
}

// Missing installed files are copied again, install-if-absent ones included.
TEST(CheckDiff, MissingInstalledFilesAreCopiedAgain) {
  Scenario s;
  s.LoadUpgrade();
  DeleteFileW((s.install / L"bin\\unchanged.dll").c_str());
  DeleteFileW((s.install / L"conf\\settings.ini").c_str());
  ASSERT_EQ(s.Run(CCheckDiff::kInstall), 0);
  Strings files = Files(s.addList);
  EXPECT_NE(std::find(files.begin(), files.end(), "bin\\unchanged.dll"), files.end());
  EXPECT_NE(std::find(files.begin(), files.end(), "conf\\settings.ini"), files.end());
}

// A file the new product installs at the same place is not deleted, even where the old
// record has another identity: it is copied over, or kept as it stands.
TEST(CheckDiff, FilesKeptByTheAddListAreNotDeleted) {
  Scenario s;
  WriteFileBytes(
      s.install / L"old\\package\\Product.config",
      "<R type=\"offline\"><productinfo><components><c config=\"c.config\"/></components></productinfo></R>");
  WriteFileBytes(s.install / L"old\\package\\c.config",
                 "<R name_0409=\"C\"><Config><Files><f path=\"conf\\user.ini\" size=\"3\" time=\"1700000000000\"/>"
                 "<f path=\"bin\\same.dll\" size=\"4\" time=\"1700000000000\"/></Files></Config></R>");
  WriteFileBytes(
      s.install / L"new\\package\\Product.config",
      "<R type=\"offline\"><productinfo><components><c config=\"c.config\"/></components></productinfo></R>");
  WriteFileBytes(s.install / L"new\\package\\c.config",
                 "<R name_0409=\"C\"><Config><Files>"
                 "<f path=\"pkg\\user.ini\" newpath=\"conf\\user.ini\" isInstall=\"false\" size=\"3\"/>"
                 "<f path=\"pkg\\same.dll\" newpath=\"BIN\\same.dll\" size=\"4\" time=\"1700000000000\"/>"
                 "</Files></Config></R>");
  LoadProduct(s.diff.installedProduct, s.install / L"old", s.install.path());
  LoadProduct(s.diff.newProduct, s.install / L"new", s.install.path());
  WriteFileBytes(s.install / L"conf\\user.ini", "edited by the user");
  WriteFileBytes(s.install / L"bin\\same.dll", "same");
  SetWriteTimeMs(s.install / L"bin\\same.dll", 1700000000000);
  ASSERT_EQ(s.Run(CCheckDiff::kInstall), 0);
  EXPECT_EQ(Files(s.deleteList), (Strings{"conf\\user.ini [excluded]", "bin\\same.dll [excluded]"}));
  EXPECT_EQ(Files(s.addList), Strings{"pkg\\same.dll [excluded]"}) << "user.ini exists: not added";
}

TEST(DiffOrder, SortsByNumberAndDropsAdjacentDuplicates) {
  auto rule = [](const char* executable, const char* order) {
    RunRuleRecord record;
    record.attributes = {{"executable", executable}, {"when", "AfterCopy"}};
    if (order) record.attributes["order"] = order;
    return record;
  };
  std::vector<RunRuleRecord> rules{rule("ten", "10"), rule("none", nullptr), rule("two", "2"), rule("TWO", " 2x")};
  SortRunRules(rules);
  Strings executables;
  for (const RunRuleRecord& record : rules) executables.push_back(record.attributes.at("executable"));
  EXPECT_EQ(executables, (Strings{"two", "ten", "none"})) << "numbers, not texts; \"TWO\" repeats \"two\"";
  EXPECT_FALSE(LessRunRuleByOrder(rule("a", "1"), rule("b", nullptr)));
  EXPECT_FALSE(LessRunRuleByOrder(rule("a", nullptr), rule("b", "1")));
  EXPECT_TRUE(LessRunRuleByOrder(rule("a", "-1"), rule("b", "1")));

  std::vector<RegModuleRecord> modules(3);
  modules[0].attributes = {{"path", "b.dll"}, {"order", "3"}};
  modules[1].attributes = {{"path", "A.dll"}, {"order", "1"}};
  modules[2].attributes = {{"path", "a.DLL"}, {"order", "2"}};
  SortRegModules(modules);
  ASSERT_EQ(modules.size(), 2u);
  EXPECT_EQ(modules[0].attributes.at("path"), "A.dll");
  EXPECT_EQ(modules[1].attributes.at("path"), "b.dll");
}
