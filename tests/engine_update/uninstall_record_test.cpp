// The uninstall record: seven values in the 32-bit view of HKLM\Software, the uninstaller's
// path quoted, and the registry's own error when a write is refused.
#include <gtest/gtest.h>

#include "engine/update/uninstall_record.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

class UninstallRecord : public ::testing::Test {
 protected:
  void SetUp() override { subkey_ = L"Software\\TamselUpdateTests\\" + UniqueName() + L"\\TamselPelluvo"; }
  void TearDown() override {
    DeleteRegTree(HKEY_LOCAL_MACHINE, L"Software\\TamselUpdateTests\\" + UniqueName(), KEY_WOW64_32KEY);
    DeleteRegTree(HKEY_CURRENT_USER, L"Software\\TamselUpdateTests\\" + UniqueName());
  }
  std::wstring Value(const std::wstring& name) const {
    return ReadText(HKEY_LOCAL_MACHINE, subkey_, name, KEY_WOW64_32KEY);
  }

  std::wstring subkey_;
};

TEST_F(UninstallRecord, WritesTheSevenValues) {
  RecordingPrompt prompt;
  UninstallRecordInfo info;
  info.installFolder = L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2";
  info.displayVersion = L"16.2.181222";
  info.unpackedBytes = 1048575;
  SYSTEMTIME today;
  GetLocalTime(&today);
  ASSERT_EQ(CreateUninstallRegInfo(info, &prompt, L"HKLM\\" + subkey_), 0);

  wchar_t date[16];
  swprintf(date, 16, L"%04d%02d%02d", today.wYear, today.wMonth, today.wDay);
  EXPECT_EQ(Value(L"DisplayName"), L"TamselPelluvo");
  EXPECT_EQ(Value(L"DisplayVersion"), L"16.2.181222");
  EXPECT_EQ(ReadNumber(HKEY_LOCAL_MACHINE, subkey_, L"EstimatedSize", KEY_WOW64_32KEY), 1023u);
  EXPECT_EQ(Value(L"InstallDate"), date);
  EXPECT_EQ(Value(L"Publisher"), L"Orvenna");
  EXPECT_EQ(Value(L"UninstallString"),
            L"\"C:\\Program Files (x86)\\Orvenna\\PelluvoV2\\PackageManager.exe\" /uninstall");
  EXPECT_EQ(Value(L"DisplayIcon"), L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2\\PackageManager.exe");
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, subkey_, KEY_WOW64_64KEY)) << "a 32-bit process writes the 32-bit view";
  EXPECT_EQ(prompt.calls, std::vector<std::wstring>{L"P 14 5 HKLM\\" + subkey_});
}

TEST_F(UninstallRecord, SizeIsInWholeKilobytes) {
  UninstallRecordInfo info;
  info.installFolder = L"C:\\P";
  info.unpackedBytes = 1023;
  ASSERT_EQ(CreateUninstallRegInfo(info, nullptr, L"HKLM\\" + subkey_), 0);
  EXPECT_EQ(ReadNumber(HKEY_LOCAL_MACHINE, subkey_, L"EstimatedSize", KEY_WOW64_32KEY), 0u);
}

TEST_F(UninstallRecord, RefusedKeyGivesTheRegistryError) {
  // A key under a volatile key must be volatile too: the registry refuses the record's key.
  const std::wstring parent = L"Software\\TamselUpdateTests\\" + UniqueName();
  HKEY stable = nullptr;  // the levels above stay non-volatile for the other tests
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\TamselUpdateTests", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &stable, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(stable);
  HKEY volatileKey = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, parent.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr,
                            &volatileKey, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(volatileKey);
  UninstallRecordInfo info;
  info.installFolder = L"C:\\P";
  EXPECT_EQ(CreateUninstallRegInfo(info, nullptr, L"HKCU\\" + parent + L"\\Record"), ERROR_CHILD_MUST_BE_VOLATILE);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, parent + L"\\Record"));
  EXPECT_EQ(CreateUninstallRegInfo(info, nullptr, L"HKXX\\Software"), ERROR_BAD_PATHNAME);
}

TEST_F(UninstallRecord, TheRecordsKeyIsTheSystemsListEntry) {
  EXPECT_EQ(std::wstring(kUninstallRecordKey),
            L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo");
}

}  // namespace
