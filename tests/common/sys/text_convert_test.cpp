#include "common/sys/text_convert.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

const wchar_t kChinese[] = L"Tamsel\u6e38\u620fPelluvo \u5b89\u88c5\u5b8c\u6210";  // Tamsel游戏Pelluvo 安装完成
const char kChineseUtf8[] =
    "Tamsel\xE6\xB8\xB8\xE6\x88\x8FPelluvo \xE5\xAE\x89\xE8\xA3\x85\xE5\xAE\x8C\xE6\x88\x90";

TEST(TextConvert, ChineseTextRoundTripsThroughUtf8) {
  EXPECT_EQ(WideToUtf8(kChinese), kChineseUtf8);
  EXPECT_EQ(WideToUtf8(std::wstring(kChinese)), kChineseUtf8);
  EXPECT_EQ(WideStrToUtf8(kChinese), kChineseUtf8);
  EXPECT_EQ(Utf8ToWide(kChineseUtf8), kChinese);
  EXPECT_EQ(Utf8ToWide(std::string(kChineseUtf8)), kChinese);
  EXPECT_EQ(Utf8ToWide(WideToUtf8(kChinese)), kChinese);
}

TEST(TextConvert, CharactersOutsideTheBasicPlaneRoundTrip) {
  const std::wstring face = L"smile \U0001F600 \u20AC";  // a surrogate pair and the euro sign
  const std::string utf8 = WideToUtf8(face);
  EXPECT_EQ(utf8, "smile \xF0\x9F\x98\x80 \xE2\x82\xAC");
  EXPECT_EQ(Utf8ToWide(utf8), face);
  EXPECT_EQ(WideStrToUtf8(face.c_str()), utf8);
}

TEST(TextConvert, EmptyAndNullGiveEmptyText) {
  EXPECT_EQ(WideToUtf8(L""), "");
  EXPECT_EQ(WideToUtf8(static_cast<const wchar_t*>(nullptr)), "");
  EXPECT_EQ(Utf8ToWide(""), L"");
  EXPECT_EQ(Utf8ToWide(static_cast<const char*>(nullptr)), L"");
  EXPECT_EQ(WideStrToUtf8(nullptr), "");
  EXPECT_EQ(WideStrToUtf8(L""), "");
  EXPECT_EQ(WideToAnsi(L""), "");
}

TEST(TextConvert, ConversionsEndAtTheFirstZero) {
  const std::wstring wide(L"ab\0cd", 5);
  EXPECT_EQ(WideToUtf8(wide), "ab");
  EXPECT_EQ(Utf8ToWide(std::string("ab\0cd", 5)), L"ab");
  // WideToAnsi converts the whole string and cuts its result at the first zero byte.
  EXPECT_EQ(WideToAnsi(wide), "ab");
}

TEST(TextConvert, InvalidUtf8FollowsTheSystemConverter) {
  const std::wstring wide = Utf8ToWide("a\xFF" "b");
  ASSERT_EQ(wide.size(), 3u);
  EXPECT_EQ(wide[0], L'a');
  EXPECT_EQ(wide[1], 0xFFFD);  // the replacement character
  EXPECT_EQ(wide[2], L'b');
}

TEST(TextConvert, AnsiKeepsWhatTheCodePageHolds) {
  EXPECT_EQ(WideToAnsi(L"Setup 1.0 C:\\Program Files"), "Setup 1.0 C:\\Program Files");
}

// The default ANSI code page of the test run (1252 unless a locale entry says otherwise) has no
// Chinese and no "a with macron": both become "?", never a look-alike such as "a".
TEST(TextConvert, AnsiUsesTheDefaultCharacterNotALookAlike) {
  if (GetACP() != 1252) GTEST_SKIP() << "checked under code page 1252 only";
  EXPECT_EQ(WideToAnsi(L"\u6e38\u620f"), "??");
  EXPECT_EQ(WideToAnsi(L"x\u0101y"), "x?y");   // best fit would give "xay"
  EXPECT_EQ(WideToAnsi(L"caf\u00e9"), "caf\xE9");  // in the code page: converted
}

}  // namespace
