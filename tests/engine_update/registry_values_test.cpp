// Registry values of the components: each type written, read back and removed; failures
// are reported; the Run key only with its flag; the 32-bit view of HKLM\Software.
#include <gtest/gtest.h>

#include <cwctype>

#include "common/sys/system_info.h"
#include "engine/job/reg_value.h"
#include "engine/update/update_eng_ex.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

RegUpdateRecord Value(std::initializer_list<std::pair<const char*, std::string>> pairs) {
  RegUpdateRecord record;
  record.attributes = Attributes(pairs);
  return record;
}

// The name of the subkey as the registry stores it (its letter case).
std::wstring StoredSubkeyName(HKEY root, const std::wstring& parent, size_t index = 0) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, parent.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<no parent>";
  wchar_t name[256] = {};
  DWORD length = 256;
  const LONG err = RegEnumKeyExW(key, static_cast<DWORD>(index), name, &length, nullptr, nullptr, nullptr, nullptr);
  RegCloseKey(key);
  return err == ERROR_SUCCESS ? name : L"<none>";
}

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override {
    parent_ = L"Software\\TamselUpdateTests\\" + UniqueName();
    subkey_ = parent_ + L"\\Values";
    engine_.prompt = &prompt_;
  }
  void TearDown() override { DeleteRegTree(HKEY_CURRENT_USER, parent_); }
  std::wstring Path() const { return L"HKCU\\" + subkey_; }
  std::string PathU8() const { return Utf8(Path()); }
  std::wstring Text(const std::wstring& name) const { return ReadText(HKEY_CURRENT_USER, subkey_, name); }

  std::wstring parent_;
  std::wstring subkey_;
  CUpdateEngEx engine_;
  RecordingPrompt prompt_;
};

TEST_F(RegistryValues, WritesEachTypeAndReadsItBack) {
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"text", L"REG_SZ", L"Tamsel\u6e38\u620f"));
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"lower", L"reg_sz", L"any case"));
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"number", L"REG_DWORD", L"12abc"));
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"negative", L"REG_DWORD_LITTLE_ENDIAN", L" -5"));
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"none", L"REG_DWORD", L"abc"));
  EXPECT_EQ(Text(L"text"), L"Tamsel\u6e38\u620f");
  EXPECT_EQ(Text(L"lower"), L"any case");
  EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, subkey_, L"number"), 12u);
  EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, subkey_, L"negative"), 0xFFFFFFFBu);
  EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, subkey_, L"none"), 0u);
  std::wstring read;
  EXPECT_TRUE(ReadRegValue(Path(), L"negative", read));
  EXPECT_EQ(read, L"-5");

  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"text", L"DELETE", L""));
  EXPECT_EQ(Text(L"text"), L"<missing>");
  EXPECT_EQ(Text(L"lower"), L"any case");
}

TEST_F(RegistryValues, VersionIsReplacedWhateverIsStored) {
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"Version", L"REG_SZ", L"16.2.181222"));
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(Path(), L"Version", L"REG_SZ", L"16.1.0"));
  EXPECT_EQ(Text(L"Version"), L"16.1.0");
}

TEST_F(RegistryValues, TypesThatAreNotWrittenAreFailures) {
  for (const wchar_t* type : {L"REG_MULTI_SZ", L"REG_BINARY", L"REG_EXPAND_SZ", L"REG_QDWORD", L"REG_NONE", L"BOGUS"}) {
    EXPECT_FALSE(CUpdateEngEx::UpdateRegistry(Path(), L"v", type, L"1")) << Utf8(type);
  }
  DWORD type = 0;
  std::vector<BYTE> data;
  EXPECT_FALSE(ReadRegValue(HKEY_CURRENT_USER, subkey_, L"v", &type, &data));
}

TEST_F(RegistryValues, DeletingAMissingValueFailsAndLeavesTheKey) {
  EXPECT_FALSE(CUpdateEngEx::UpdateRegistry(Path(), L"absent", L"DELETE", L""));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, subkey_));
}

TEST_F(RegistryValues, PathsWithoutRootOrSubkeyWriteNothing) {
  EXPECT_FALSE(CUpdateEngEx::UpdateRegistry(L"HKCU", L"v", L"REG_SZ", L"x"));
  EXPECT_FALSE(CUpdateEngEx::UpdateRegistry(L"HKXX\\" + subkey_, L"v", L"REG_SZ", L"x"));
  EXPECT_FALSE(CUpdateEngEx::UpdateRegistry(Path(), L"v", L"", L"x"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, subkey_));
  EXPECT_EQ(ReadText(HKEY_CURRENT_USER, L"", L"v"), L"<missing>");
}

TEST_F(RegistryValues, RefusedWriteIsAFailure) {
  // Value names longer than 16383 characters are refused by the registry.
  const std::wstring tooLong(20000, L'n');
  EXPECT_FALSE(CUpdateEngEx::UpdateRegistry(Path(), tooLong, L"REG_SZ", L"x"));
  EXPECT_FALSE(CUpdateEngEx::UpdateRegistry(Path(), tooLong, L"REG_DWORD", L"1"));
}

TEST_F(RegistryValues, MachineValuesLandInTheThirtyTwoBitView) {
  const std::wstring subkey = L"Software\\TamselUpdateTests\\" + UniqueName();
  EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(L"HKLM\\" + subkey, L"InstallPath", L"REG_SZ", L"C:\\x"));
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, subkey, L"InstallPath", KEY_WOW64_32KEY), L"C:\\x");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, subkey, L"InstallPath", KEY_WOW64_64KEY), L"<missing>");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\TamselUpdateTests\\" + UniqueName(), L"InstallPath",
                     KEY_WOW64_64KEY),
            L"C:\\x");
  DeleteRegTree(HKEY_LOCAL_MACHINE, subkey, KEY_WOW64_32KEY);
}

TEST_F(RegistryValues, InstallPicksTheValueTextByLanguage) {
  const std::string lang = Utf8(SystemInfo::GetInstance().LanguageCode());
  const std::string localizedName = "value_" + lang;
  engine_.addList.regUpdates = {
      Value({{"key", PathU8()}, {"name", "both"}, {"type", "REG_SZ"}, {"value", "plain"}, {"value_0804", "zh"}}),
      Value({{"key", PathU8()}, {"name", "localized"}, {"type", "REG_SZ"}, {localizedName.c_str(), "mine"}}),
      Value({{"key", PathU8()}, {"name", "other"}, {"type", "REG_SZ"}, {"value_9999", "not mine"}}),
      Value({{"key", PathU8()}, {"name", "count"}, {"type", "REG_DWORD"}, {"value_9999", "7"}}),
  };
  EXPECT_EQ(engine_.InstallRegs(false), 0);
  EXPECT_EQ(Text(L"both"), L"plain");
  EXPECT_EQ(Text(L"localized"), lang.empty() ? L"" : L"mine");
  EXPECT_EQ(Text(L"other"), L"");
  EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, subkey_, L"count"), 0u);
}

TEST_F(RegistryValues, RunKeyValuesOnlyWithTheFlag) {
  std::wstring upper = Path();
  for (wchar_t& ch : upper) ch = static_cast<wchar_t>(towupper(ch));
  const std::string runKey = "hklm\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  const std::string name = "TamselRun" + Utf8(UniqueName());
  engine_.addList.regUpdates = {
      Value({{"key", runKey}, {"name", name}, {"type", "REG_SZ"}, {"value", "C:\\client.exe"}}),
      Value({{"key", PathU8()}, {"name", "after"}, {"type", "REG_SZ"}, {"value", "x"}}),
  };
  engine_.InstallRegs(false);
  const std::wstring run = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, run, UniqueName(), KEY_WOW64_32KEY), L"<missing>");
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, run, L"TamselRun" + UniqueName(), KEY_WOW64_32KEY), L"<missing>");
  EXPECT_EQ(prompt_.calls, (std::vector<std::wstring>{L"X 13 1 2 " + upper + L" 5", L"P 13 5 "}));
  EXPECT_EQ(StoredSubkeyName(HKEY_CURRENT_USER, parent_), L"VALUES") << "a new key gets the upper-cased name";

  engine_.InstallRegs(true);
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, run, L"TamselRun" + UniqueName(), KEY_WOW64_32KEY), L"C:\\client.exe");
  engine_.deleteList.regUpdates = {engine_.addList.regUpdates[0]};
  engine_.UninstallRegs();
  EXPECT_EQ(ReadText(HKEY_LOCAL_MACHINE, run, L"TamselRun" + UniqueName(), KEY_WOW64_32KEY), L"<missing>");
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, run, KEY_WOW64_32KEY)) << "the Run key itself stays";
}

TEST_F(RegistryValues, WithTheFlagKeysKeepTheirCase) {
  engine_.addList.regUpdates = {Value({{"key", PathU8()}, {"name", "v"}, {"type", "REG_SZ"}, {"value", "x"}})};
  engine_.InstallRegs(true);
  EXPECT_EQ(StoredSubkeyName(HKEY_CURRENT_USER, parent_), L"Values");
}

TEST_F(RegistryValues, UninstallRemovesOnlyTheNamedValues) {
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"foreign", REG_SZ, L"keep", 10);
  engine_.addList.regUpdates = {
      Value({{"key", PathU8()}, {"name", "a"}, {"type", "REG_SZ"}, {"value", "1"}}),
      Value({{"key", PathU8()}, {"name", "b"}, {"type", "REG_DWORD"}, {"value", "2"}}),
      Value({{"key", PathU8()}, {"name", ""}, {"type", "REG_SZ"}, {"value", "default"}}),
      Value({{"key", PathU8()}, {"name", "foreign"}, {"type", "DELETE"}}),
      Value({{"key", PathU8()}, {"name", "incomplete"}}),
  };
  engine_.InstallRegs(true);
  EXPECT_EQ(Text(L""), L"default");
  EXPECT_EQ(Text(L"foreign"), L"<missing>") << "the DELETE record removed it";
  EXPECT_EQ(Text(L"incomplete"), L"<missing>");
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"foreign", REG_SZ, L"keep", 10);

  engine_.deleteList.regUpdates = engine_.addList.regUpdates;
  EXPECT_EQ(engine_.UninstallRegs(), 0);
  EXPECT_EQ(Text(L"a"), L"<missing>");
  EXPECT_EQ(ReadNumber(HKEY_CURRENT_USER, subkey_, L"b"), 0xDEADBEEFu);
  EXPECT_EQ(Text(L""), L"<missing>");
  EXPECT_EQ(Text(L"foreign"), L"keep") << "values of other software survive";
  EXPECT_EQ(prompt_.calls.size(), 6u) << "the uninstall reports no progress";
}

}  // namespace
