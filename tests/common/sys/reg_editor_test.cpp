// CRegEditor below a key of each test's own, checked through the plain registry API. Root keys
// at risk are proved in a private prefix (phase_root_test.cpp).
#include "common/sys/reg_editor.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <windows.h>

#include "sys_test_support.h"

namespace {

using systest::KeyExists;

class RegEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    subkey_ = L"Software\\TamselSysTest\\" + systest::UniqueName();
    path_ = L"HKCU\\" + subkey_;
  }
  void TearDown() override {
    systest::DeleteRegTree(HKEY_CURRENT_USER, subkey_);
    systest::DeleteRegTree(HKEY_LOCAL_MACHINE, subkey_, KEY_WOW64_32KEY);
  }
  // The value's type and bytes; type 0 when missing.
  std::pair<DWORD, std::vector<BYTE>> Read(const std::wstring& name, const std::wstring& below = L"") {
    std::pair<DWORD, std::vector<BYTE>> value;
    if (!systest::ReadRegValue(HKEY_CURRENT_USER, subkey_ + below, name, &value.first, &value.second)) value.first = 0;
    return value;
  }
  static std::vector<BYTE> Bytes(const std::wstring& text) {  // with the terminating zero
    const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(p, p + (text.size() + 1) * sizeof(wchar_t));
  }
  static std::vector<BYTE> Bytes(DWORD number) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&number);
    return std::vector<BYTE>(p, p + sizeof(number));
  }
  std::wstring subkey_;
  std::wstring path_;
};

TEST_F(RegEditorTest, WritesEachTypeAndCreatesTheKeys) {
  const std::wstring text = L"C:\\Program Files (x86)\\Orvenna\\\u6e38\u620f";
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Deeper\\Key", L"InstallPath", REG_SZ, text));
  EXPECT_EQ(Read(L"InstallPath", L"\\Deeper\\Key"), std::make_pair(DWORD(REG_SZ), Bytes(text)));
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Blob", REG_BINARY, L"AB"));
  EXPECT_EQ(Read(L"Blob"), std::make_pair(DWORD(REG_BINARY), Bytes(L"AB")));
  ASSERT_TRUE(CRegEditor::SetValue(L"hkcu\\" + subkey_, L"Lower", REG_SZ, L"lower"));
  ASSERT_TRUE(CRegEditor::SetValue(L"HkCu\\" + subkey_, L"Mixed", REG_SZ, L"mixed"));
  EXPECT_EQ(Read(L"Lower").second, Bytes(L"lower")) << "root letters in any case";
  EXPECT_EQ(Read(L"Mixed").second, Bytes(L"mixed"));
  // A DWORD takes the decimal number the text begins with.
  const std::pair<const wchar_t*, DWORD> numbers[] = {
      {L"12ab", 12}, {L"abc", 0}, {L"  42", 42}, {L"3000000000", 3000000000u}, {L"", 0}};
  for (const auto& n : numbers) {
    ASSERT_TRUE(CRegEditor::SetValue(path_, L"Number", REG_DWORD, n.first));
    EXPECT_EQ(Read(L"Number"), std::make_pair(DWORD(REG_DWORD), Bytes(n.second))) << '"' << n.first << '"';
  }
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
  EXPECT_TRUE(systest::ReadRegValue(HKEY_LOCAL_MACHINE, redirected, L"InstallPath", &type, &data, KEY_WOW64_64KEY));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, subkey_, KEY_WOW64_64KEY));
  EXPECT_TRUE(CRegEditor::Clean(L"HKLM\\" + subkey_, L""));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, redirected, KEY_WOW64_64KEY));
}

// A value or key that was not there is not reported removed.
TEST_F(RegEditorTest, CleanRemovesAValueOrAWholeKey) {
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Gone", REG_SZ, L"1"));
  ASSERT_TRUE(CRegEditor::SetValue(path_, L"Stays", REG_SZ, L"2"));
  EXPECT_TRUE(CRegEditor::Clean(path_, L"Gone"));
  EXPECT_EQ(Read(L"Gone").first, 0u);
  EXPECT_EQ(Read(L"Stays").second, Bytes(L"2"));
  EXPECT_FALSE(CRegEditor::Clean(path_, L"Gone"));
  EXPECT_FALSE(CRegEditor::Clean(path_ + L"\\NoSuchKey", L"Stays"));
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Product\\a\\b\\c", L"v", REG_DWORD, L"2"));
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Product\\d", L"v", REG_SZ, L"3"));
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Sibling", L"v", REG_SZ, L"4"));
  EXPECT_TRUE(CRegEditor::Clean(path_ + L"\\Product", L""));
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\Product"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, subkey_ + L"\\Sibling"));
  EXPECT_FALSE(CRegEditor::Clean(path_ + L"\\Product", L""));
}

// A child that cannot be opened for writing stays, and so does its parent: not a success.
TEST_F(RegEditorTest, KeyThatStaysIsNotReportedRemoved) {
  ASSERT_TRUE(CRegEditor::SetValue(path_ + L"\\Product\\Guarded", L"v", REG_SZ, L"1"));
  HKEY guarded = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, (subkey_ + L"\\Product\\Guarded").c_str(), 0, KEY_ALL_ACCESS, &guarded),
            ERROR_SUCCESS);
  PSECURITY_DESCRIPTOR readOnly = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
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
