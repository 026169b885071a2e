// Run by ctest entries that set the Unix locale of the Wine process (LC_ALL) together with
// what it must give: TAMSEL_EXPECT_LANG (language code, "-" for none) and TAMSEL_EXPECT_ACP.
#include <gtest/gtest.h>
#include <windows.h>

#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "sys_test_support.h"

namespace {

using systest::EnvText;

TEST(LanguagePhase, LanguageCodeFollowsTheSystemLocale) {
  const std::wstring expected = EnvText(L"TAMSEL_EXPECT_LANG");
  ASSERT_FALSE(expected.empty()) << "run by the sys_language_* ctest entries";
  EXPECT_EQ(SystemInfo::GetInstance().LanguageCode(), expected == L"-" ? L"" : expected);
}

TEST(LanguagePhase, AnsiTextUsesTheLocalesCodePage) {
  const std::wstring acp = EnvText(L"TAMSEL_EXPECT_ACP");
  ASSERT_FALSE(acp.empty()) << "run by the sys_language_* ctest entries";
  ASSERT_EQ(std::to_wstring(GetACP()), acp);
  const std::wstring chinese = L"Tamsel\u4e2d\u6587Pelluvo";  // 中文: in code pages 936, 950 and 932
  const std::string ansi = WideToAnsi(chinese);
  switch (GetACP()) {
    case 936:
      EXPECT_EQ(ansi, "Tamsel\xD6\xD0\xCE\xC4Pelluvo");
      EXPECT_EQ(WideToAnsi(L"\u6e38\u620f"), "\xD3\xCE\xCF\xB7");  // 游戏
      break;
    case 950:
      EXPECT_EQ(ansi, "Tamsel\xA4\xA4\xA4\xE5Pelluvo");
      break;
    case 932:
      EXPECT_EQ(ansi, "Tamsel\x92\x86\x95\xB6Pelluvo");
      break;
    default:
      EXPECT_EQ(ansi, "Tamsel??Pelluvo");
      break;  // 1252: no Chinese
  }
  // Text the code page holds comes back unchanged from the ANSI side.
  if (GetACP() != 1252) {
    wchar_t back[64] = {};
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, back, 64);
    EXPECT_EQ(std::wstring(back), chinese);
  }
  EXPECT_EQ(Utf8ToWide(WideToUtf8(chinese)), chinese);  // UTF-8 does not depend on the locale
}

}  // namespace
