// Wide text to and from UTF-8 and the ANSI code page; the locales' code pages are proved by
// the sys_language_* entries (phase_locale_test.cpp).
#include "common/sys/text_convert.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

TEST(TextConvert, Utf8RoundTripsEveryCharacter) {
  const wchar_t chinese[] = L"Tamsel\u6e38\u620fPelluvo \u5b89\u88c5\u5b8c\u6210";  // Tamsel游戏Pelluvo 安装完成
  const char utf8[] = "Tamsel\xE6\xB8\xB8\xE6\x88\x8FPelluvo \xE5\xAE\x89\xE8\xA3\x85\xE5\xAE\x8C\xE6\x88\x90";
  EXPECT_EQ(WideToUtf8(chinese), utf8);
  EXPECT_EQ(WideToUtf8(std::wstring(chinese)), utf8);
  EXPECT_EQ(WideStrToUtf8(chinese), utf8);
  EXPECT_EQ(Utf8ToWide(utf8), chinese);
  EXPECT_EQ(Utf8ToWide(std::string(utf8)), chinese);
  const std::wstring face = L"smile \U0001F600 \u20AC";  // a surrogate pair and the euro sign
  EXPECT_EQ(WideToUtf8(face), "smile \xF0\x9F\x98\x80 \xE2\x82\xAC");
  EXPECT_EQ(WideStrToUtf8(face.c_str()), WideToUtf8(face));
  EXPECT_EQ(Utf8ToWide(WideToUtf8(face)), face);
  EXPECT_EQ(Utf8ToWide("a\xFF"
                       "b"),
            L"a\xFFFD"
            L"b")
      << "invalid UTF-8 as the system converter gives it";
}

TEST(TextConvert, EmptyNullAndEmbeddedZeros) {
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(WideToUtf8(static_cast<const wchar_t*>(nullptr)), "");
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(Utf8ToWide(static_cast<const char*>(nullptr)), L"");
  EXPECT_EQ(WideStrToUtf8(nullptr), "");
  EXPECT_EQ(WideStrToUtf8(L""), "");
  EXPECT_EQ(WideToAnsi(L""), "");
  const std::wstring wide(L"ab\0cd", 5);
  EXPECT_EQ(WideToUtf8(wide), "ab");
  EXPECT_EQ(Utf8ToWide(std::string("ab\0cd", 5)), L"ab");
  EXPECT_EQ(WideToAnsi(wide), "ab") << "converted whole, cut at the first zero byte";
}

// Code page 1252 has no Chinese and no "a with macron": both become "?", never a look-alike.
TEST(TextConvert, AnsiUsesTheDefaultCharacterNotALookAlike) {
  if (GetACP() != 1252) GTEST_SKIP() << "checked under code page 1252 only";
  EXPECT_EQ(WideToAnsi(L"Setup 1.0 C:\\Program Files"), "Setup 1.0 C:\\Program Files");
  EXPECT_EQ(WideToAnsi(L"\u6e38\u620f"), "??");
  EXPECT_EQ(WideToAnsi(L"x\u0101y"), "x?y");  // best fit would give "xay"
  EXPECT_EQ(WideToAnsi(L"caf\u00e9"), "caf\xE9");
}

}  // namespace
