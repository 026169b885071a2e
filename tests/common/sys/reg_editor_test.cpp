#include "common/sys/reg_editor.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>

#include <cstring>

#include "sys_test_support.h"

namespace {

using systest::DeleteRegTree;
using systest::KeyExists;
using systest::ReadRegValue;
using systest::UniqueName;

// Every test works below its own key and removes it afterwards.
class RegEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    subkey_ = L"Software\\TamselSysTest\\" + UniqueName();
    path_ = L"HKCU\\" + subkey_;
  }
  void TearDown() override {
    DeleteRegTree(HKEY_CURRENT_USER, subkey_);
    DeleteRegTree(HKEY_LOCAL_MACHINE, subkey_, KEY_WOW64_32KEY);
  }

  std::wstring ReadString(const std::wstring& name, DWORD* type) {
    std::vector<BYTE> data;
    if (!ReadRegValue(HKEY_CURRENT_USER, subkey_, name, type, &data)) return L"<missing>";
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
  }

  DWORD ReadDword(const std::wstring& name) {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!ReadRegValue(HKEY_CURRENT_USER, subkey_, name, &type, &data) || type != REG_DWORD ||
        data.size() != sizeof(DWORD)) {
      ADD_FAILURE() << "no REG_DWORD value";
      return 0xDEADBEEF;
    }
    DWORD value = 0;
    std::memcpy(&value, data.data(), sizeof(value));
    return value;
  }

  std::wstring subkey_;
  std::wstring path_;
};

TEST_F(RegEditorTest, WritesTextWithItsTerminatingZero) {
  const std::wstring text = L"C:\\Program Files (x86)\\Orvenna\\\u6e38\u620f";
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Deeper\\Key", L"InstallPath", REG_SZ, text));
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(ReadRegValue(HKEY_CURRENT_USER, subkey_ + L"\\Deeper\\Key", L"InstallPath", &type, &data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  ASSERT_EQ(data.size(), (text.size() + 1) * sizeof(wchar_t));
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())), text);
}

TEST_F(RegEditorTest, BinaryTypeStoresTheTextsBytes) {
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Blob", REG_BINARY, L"AB"));
  DWORD type = 0;
  std::vector<BYTE> data;
  ASSERT_TRUE(ReadRegValue(HKEY_CURRENT_USER, subkey_, L"Blob", &type, &data));
  EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(data, (std::vector<BYTE>{'A', 0, 'B', 0, 0, 0}));
}

TEST_F(RegEditorTest, DwordTakesTheLeadingDecimalNumber) {
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Mixed", REG_DWORD, L"12ab"));
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"None", REG_DWORD, L"abc"));
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Blank", REG_DWORD, L"  42"));
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Big", REG_DWORD, L"3000000000"));
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Empty", REG_DWORD, L""));
  EXPECT_EQ(ReadDword(L"Mixed"), 12u);
  EXPECT_EQ(ReadDword(L"None"), 0u);
  EXPECT_EQ(ReadDword(L"Blank"), 42u);
  EXPECT_EQ(ReadDword(L"Big"), 3000000000u);
  EXPECT_EQ(ReadDword(L"Empty"), 0u);
}

TEST_F(RegEditorTest, RootLettersInAnyCase) {
  ASSERT_TRUE(CRegEditor::SetValue(L"hkcu\\" + subkey_, L"Lower", REG_SZ, L"lower"));
  ASSERT_TRUE(CRegEditor::SetValue(L"HkCu\\" + subkey_, L"Mixed", REG_SZ, L"mixed"));
  DWORD type = 0;
  EXPECT_EQ(ReadString(L"Lower", &type), std::wstring(L"lower\0", 6));
  EXPECT_EQ(ReadString(L"Mixed", &type), std::wstring(L"mixed\0", 6));
}

TEST_F(RegEditorTest, UnknownRootsAndTypesAreRefused) {
  EXPECT_FALSE(CRegEditor::SetValue(L"HKXX\\" + subkey_, L"v", REG_SZ, L"x"));
  EXPECT_FALSE(CRegEditor::SetValue(L"HK", L"v", REG_SZ, L"x"));
  EXPECT_FALSE(CRegEditor::SetValue(L"", L"v", REG_SZ, L"x"));
  EXPECT_FALSE(CRegEditor::SetValue(path_, L"v", REG_MULTI_SZ, L"x"));
  EXPECT_FALSE(CRegEditor::SetValue(path_, L"v", REG_EXPAND_SZ, L"x"));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, subkey_)) << "a refused write created its key";
  EXPECT_FALSE(CRegEditor::Clean(L"HKXX\\" + subkey_, L""));
  EXPECT_FALSE(CRegEditor::Clean(L"HKX", L"v"));
}

// A 32-bit process writing HKLM\Software lands in the 32-bit view (Wow6432Node).
TEST_F(RegEditorTest, MachineKeysLandInTheThirtyTwoBitView) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  if (!wow64) GTEST_SKIP() << "no 32-bit view in a 32-bit prefix";
  ASSERT_TRUE(CRegEditor::SetValue(L"HKLM\\" + subkey_, L"InstallPath", REG_SZ, L"C:\\x"));
  const std::wstring redirected = L"Software\\Wow6432Node" + subkey_.substr(8);
  DWORD type = 0;
  std::vector<BYTE> data;
  EXPECT_TRUE(ReadRegValue(HKEY_LOCAL_MACHINE, redirected, L"InstallPath", &type, &data, KEY_WOW64_64KEY));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, subkey_, KEY_WOW64_64KEY));

  EXPECT_TRUE(CRegEditor::Clean(L"HKLM\\" + subkey_, L""));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, redirected, KEY_WOW64_64KEY));
}

TEST_F(RegEditorTest, CleanWithANameRemovesThatValueOnly) {
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Gone", REG_SZ, L"1"));
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Stays", REG_SZ, L"2"));
  EXPECT_TRUE(CRegEditor::Clean(path_, L"Gone"));
  DWORD type = 0;
  EXPECT_EQ(ReadString(L"Gone", &type), L"<missing>");
  EXPECT_EQ(ReadString(L"Stays", &type), std::wstring(L"2\0", 2));
  EXPECT_FALSE(CRegEditor::Clean(path_, L"Gone")) << "a value already gone was reported removed";
  EXPECT_FALSE(CRegEditor::Clean(path_ + L"\\NoSuchKey", L"Stays"));
}

TEST_F(RegEditorTest, CleanWithoutANameRemovesTheKeyAndAllBelowIt) {
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Product", L"v", REG_SZ, L"1"));
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Product\\a\\b\\c", L"v", REG_DWORD, L"2"));
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Product\\d", L"v", REG_SZ, L"3"));
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Sibling", L"v", REG_SZ, L"4"));
  EXPECT_TRUE(CRegEditor::Clean(path_ + L"\\Product", L""));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\Product"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\Sibling"));
  EXPECT_FALSE(CRegEditor::Clean(path_ + L"\\Product", L"")) << "a key already gone was reported removed";
}

TEST_F(RegEditorTest, DeleteKeyTreeRefusesAnEmptySubkey) {
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Child", L"v", REG_SZ, L"1"));
  HKEY parent = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, subkey_.c_str(), 0, KEY_READ | KEY_WRITE, &parent), ERROR_SUCCESS);
  EXPECT_FALSE(CRegEditor::DeleteKeyTree(parent, L""));
  RegCloseKey(parent);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\Child"));
}

// A child that cannot be opened for writing stays, and so does its parent: not a success.
TEST_F(RegEditorTest, KeyThatStaysIsNotReportedRemoved) {
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Product\\Guarded", L"v", REG_SZ, L"1"));
  HKEY guarded = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (subkey_ + L"\\Product\\Guarded").c_str(), 0,
                          KEY_ALL_ACCESS, &guarded),
            ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1,
                                                                   &readOnly, nullptr));
  const LONG set = RegSetKeySecurity(guarded, DACL_SECURITY_INFORMATION, readOnly);
  LocalFree(readOnly);
  RegCloseKey(guarded);
  ASSERT_EQ(set, ERROR_SUCCESS);

  EXPECT_FALSE(CRegEditor::Clean(path_ + L"\\Product", L""));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\Product\\Guarded"));

  HKEY product = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (subkey_ + L"\\Product").c_str(), 0, KEY_ALL_ACCESS, &product),
            ERROR_SUCCESS);
  RegDeleteKeyW(product, L"Guarded");  // the test's own clean-up
  RegCloseKey(product);
}

}  // namespace
