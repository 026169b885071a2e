#include <gtest/gtest.h>

#include <string>

#include "ui/core/base/ui_string.h"

using SkinUI::CUIString;

TEST(UIString, ShortTextStaysInlineLongTextGoesToHeap) {
  CUIString s(std::wstring(62, L'x').c_str());
  EXPECT_TRUE(s.IsInline());
  EXPECT_EQ(62, s.GetLength());
  s = std::wstring(63, L'y').c_str();
  EXPECT_FALSE(s.IsInline());
  EXPECT_EQ(63, s.GetLength());
  s = L"ten units!";
  EXPECT_TRUE(s.IsInline());
  EXPECT_STREQ(L"ten units!", s.GetData());
}

TEST(UIString, AppendCrossesToHeapAndKeepsText) {
  CUIString s(L"abc");
  for (int i = 0; i < 30; ++i) s += L"de";
  EXPECT_FALSE(s.IsInline());
  EXPECT_EQ(63, s.GetLength());
  EXPECT_EQ(0, s.Left(5).Compare(L"abcde"));
  EXPECT_EQ(0, s.Right(4).Compare(L"dede"));
  s += L'!';
  EXPECT_EQ(L'!', s.GetAt(63));
}

TEST(UIString, AssignTakesExactlyLengthUnits) {
  CUIString s;
  s.Assign(L"abcdef", 3);
  EXPECT_STREQ(L"abc", s.GetData());
  s.Assign(L"ab", 5);
  EXPECT_STREQ(L"ab", s.GetData());
  s.Assign(nullptr);
  EXPECT_TRUE(s.IsEmpty());
  CUIString fromNull(nullptr);
  EXPECT_TRUE(fromNull.IsEmpty());
}

TEST(UIString, AppendingOrAssigningItselfIsSafe) {
  std::wstring longText(100, L'q');
  CUIString s(longText.c_str());
  s += s;
  EXPECT_EQ(200, s.GetLength());
  s.Append(s.GetData() + 150);
  EXPECT_EQ(250, s.GetLength());
  s.Assign(s.GetData() + 10, 20);
  EXPECT_EQ(20, s.GetLength());
  CUIString inlineText(L"hello");
  inlineText += inlineText;
  EXPECT_STREQ(L"hellohello", inlineText.GetData());
  inlineText = inlineText.GetData() + 5;
  EXPECT_STREQ(L"hello", inlineText.GetData());
  CUIString grow(std::wstring(60, L'g').c_str());
  grow.Append(grow.GetData());  // inline source, heap destination
  EXPECT_EQ(120, grow.GetLength());
  EXPECT_EQ(std::wstring(120, L'g'), grow.GetData());
}

TEST(UIString, FindEdgeCases) {
  CUIString abc(L"abc");
  EXPECT_EQ(0, abc.Find(L"", 0));
  EXPECT_EQ(-1, abc.Find(L"b", 3));
  EXPECT_EQ(-1, abc.Find(L'c', 3));
  EXPECT_EQ(2, abc.Find(L'c', 1));
  EXPECT_EQ(-1, abc.Find(L"a", -1));
  EXPECT_EQ(-1, abc.Find(L"a", 4));
  EXPECT_EQ(-1, CUIString().Find(L'x', 0));
  EXPECT_EQ(5, CUIString(L"abcabc").ReverseFind(L'c'));
  EXPECT_EQ(-1, CUIString(L"abc").ReverseFind(L'z'));
}

TEST(UIString, LeftMidRight) {
  CUIString abcd(L"abcd");
  EXPECT_STREQ(L"bcd", abcd.Mid(1, -1).GetData());
  EXPECT_STREQ(L"cd", abcd.Mid(2, 10).GetData());
  EXPECT_STREQ(L"", abcd.Left(-1).GetData());
  EXPECT_STREQ(L"abcd", abcd.Right(10).GetData());
  EXPECT_STREQ(L"", abcd.Mid(4).GetData());
}

TEST(UIString, ReplaceNeverSearchesReplacedText) {
  CUIString s(L"aaa");
  EXPECT_EQ(3, s.Replace(L"a", L"aa"));
  EXPECT_STREQ(L"aaaaaa", s.GetData());
  CUIString tip(L"a<n>b<n>");
  EXPECT_EQ(2, tip.Replace(L"<n>", L"\r\n"));
  EXPECT_STREQ(L"a\r\nb\r\n", tip.GetData());
  EXPECT_EQ(0, tip.Replace(L"", L"x"));
}

TEST(UIString, CompareAndCase) {
  CUIString s(L"Hello");
  EXPECT_EQ(0, s.Compare(L"Hello"));
  EXPECT_EQ(-1, s.Compare(L"hello"));
  EXPECT_EQ(0, s.CompareNoCase(L"hELLO"));
  EXPECT_TRUE(s == L"Hello");
  EXPECT_TRUE(s != L"World");
  EXPECT_TRUE(CUIString(L"a") < CUIString(L"b"));
  s.MakeLower();
  EXPECT_STREQ(L"hello", s.GetData());
  CUIString plus = CUIString(L"x") + CUIString(L"y");
  EXPECT_STREQ(L"xy", plus.GetData());
}

TEST(UIString, FormatsWideArgumentsOfAnyLength) {
  CUIString s;
  EXPECT_EQ(11, s.Format(L"C%lsUI %d", L"Button", 7));
  EXPECT_STREQ(L"CButtonUI 7", s.GetData());
  std::wstring big(5000, L'z');
  int n = s.Format(L"[%ls]", big.c_str());
  EXPECT_EQ(5002, n);
  EXPECT_EQ(5002, s.GetLength());
  EXPECT_EQ(L']', s.GetAt(5001));
  s.Format(L"%ls", L"安装完成");
  EXPECT_STREQ(L"安装完成", s.GetData());
}

TEST(UIString, SmallFormatCutsLongOutput) {
  CUIString s;
  EXPECT_EQ(3, s.SmallFormat(L"%d%%", 50));
  EXPECT_STREQ(L"50%", s.GetData());
  std::wstring big(300, L'w');
  int n = s.SmallFormat(L"%ls", big.c_str());
  EXPECT_EQ(127, n);
  EXPECT_EQ(127, s.GetLength());
}
