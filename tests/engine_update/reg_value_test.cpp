// The registry value reader: whole values of any length, text bounded by the stored bytes,
// and "missing" told apart from "could not be read".
#include <gtest/gtest.h>

#include "engine/job/reg_value.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

class RegValueReader : public ::testing::Test {
 protected:
  void SetUp() override { subkey_ = L"Software\\TamselUpdateTests\\" + UniqueName(); }
  void TearDown() override { DeleteRegTree(HKEY_CURRENT_USER, subkey_); }

  void PutText(const std::wstring& name, const std::wstring& text) {
    WriteRaw(HKEY_CURRENT_USER, subkey_, name, REG_SZ, text.c_str(),
             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  std::wstring Path() const { return L"HKCU\\" + subkey_; }

  std::wstring subkey_;
};

TEST_F(RegValueReader, ReadsTextOfAnyLengthWhole) {
  for (size_t length : {0u, 129u, 130u, 5000u, 70000u}) {
    std::wstring text;
    for (size_t i = 0; i < length; ++i) text += static_cast<wchar_t>(L'a' + i % 26);
    if (length > 2) text[1] = L'\u6e38';
    PutText(L"v", text);
    std::wstring read = L"unchanged";
    LONG error = -1;
    EXPECT_TRUE(ReadRegValue(Path(), L"v", read, &error)) << length;
    EXPECT_EQ(error, ERROR_SUCCESS);
    EXPECT_EQ(read, text) << length;
  }
}

TEST_F(RegValueReader, TextEndsAtTheStoredBytesWithoutTerminator) {
  const std::wstring text(300, L'x');
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"bare", REG_SZ, text.c_str(), static_cast<DWORD>(text.size() * 2));
  std::wstring read;
  ASSERT_TRUE(ReadRegValue(Path(), L"bare", read));
  EXPECT_EQ(read, text);
  // An odd byte count: the half character at the end is not text.
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"odd", REG_SZ, L"abc", 5);
  ASSERT_TRUE(ReadRegValue(Path(), L"odd", read));
  EXPECT_EQ(read, L"ab");
  // Text ends at its first zero character.
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"inner", REG_SZ, L"ab\0cd", 10);
  ASSERT_TRUE(ReadRegValue(Path(), L"inner", read));
  EXPECT_EQ(read, L"ab");
}

TEST_F(RegValueReader, DwordIsSignedDecimal) {
  const DWORD all = 0xFFFFFFFF;
  const DWORD some = 1234567;
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"all", REG_DWORD, &all, 4);
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"some", REG_DWORD, &some, 4);
  std::wstring read;
  ASSERT_TRUE(ReadRegValue(Path(), L"all", read));
  EXPECT_EQ(read, L"-1");
  ASSERT_TRUE(ReadRegValue(Path(), L"some", read));
  EXPECT_EQ(read, L"1234567");
}

TEST_F(RegValueReader, RootIgnoresCaseAndSkipsTheSeparator) {
  PutText(L"v", L"found");
  std::wstring read;
  EXPECT_TRUE(ReadRegValue(L"hkcu\\" + subkey_, L"v", read));
  EXPECT_EQ(read, L"found");
  read.clear();
  EXPECT_TRUE(ReadRegValue(L"HkCu/" + subkey_, L"v", read));
  EXPECT_EQ(read, L"found");
}

// The caller decides what a failure means: the reader itself logs nothing.
TEST_F(RegValueReader, MissingIsToldApartFromUnreadableWithoutALogLine) {
  LogCapture log;
  PutText(L"v", L"x");
  std::wstring read = L"unchanged";
  LONG error = 0;
  EXPECT_FALSE(ReadRegValue(Path(), L"absent", read, &error));
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(ReadRegValue(Path() + L"\\NoSuchKey", L"v", read, &error));
  EXPECT_EQ(error, ERROR_FILE_NOT_FOUND);

  WriteRaw(HKEY_CURRENT_USER, subkey_, L"expand", REG_EXPAND_SZ, L"%TEMP%", 14);
  EXPECT_FALSE(ReadRegValue(Path(), L"expand", read, &error));
  EXPECT_EQ(error, ERROR_UNSUPPORTED_TYPE);
  const WORD half = 7;
  WriteRaw(HKEY_CURRENT_USER, subkey_, L"short", REG_DWORD, &half, 2);
  EXPECT_FALSE(ReadRegValue(Path(), L"short", read, &error));
  EXPECT_EQ(error, ERROR_INVALID_DATA);
  EXPECT_FALSE(ReadRegValue(L"HKXX\\Software", L"v", read, &error));
  EXPECT_EQ(read, L"unchanged");
  EXPECT_EQ(log.Text().find("ReadRegValue"), std::string::npos) << log.Text();
}

TEST_F(RegValueReader, PathsWithoutRootOrSubkeyPartAreRefused) {
  std::wstring read = L"unchanged";
  LONG error = 0;
  for (const wchar_t* path : {L"HKCU", L"HKC", L"", L"HKXX\\Software"}) {
    EXPECT_FALSE(ReadRegValue(path, L"v", read, &error)) << Utf8(path);
    EXPECT_EQ(error, ERROR_BAD_PATHNAME) << Utf8(path);
  }
  EXPECT_EQ(read, L"unchanged");
}

TEST_F(RegValueReader, ReadsTheProcessViewOfTheMachineKey) {
  // A 32-bit process reads HKLM\Software through the 32-bit view, where it also writes.
  const std::wstring subkey = L"Software\\TamselUpdateTests\\" + UniqueName();
  const std::wstring text = L"thirty-two";
  WriteRaw(HKEY_LOCAL_MACHINE, subkey, L"view", REG_SZ, text.c_str(), 22, KEY_WOW64_32KEY);
  std::wstring read;
  EXPECT_TRUE(ReadRegValue(L"HKLM\\" + subkey, L"view", read));
  EXPECT_EQ(read, text);
  DeleteRegTree(HKEY_LOCAL_MACHINE, subkey, KEY_WOW64_32KEY);
}

}  // namespace
