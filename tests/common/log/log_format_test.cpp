// The message formatter: every printf conversion the code base uses, wide arguments as
// UTF-8, and output that never claims bytes it did not write.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "common/log/log_format.h"
#include "log_test_support.h"

using vemtal::vlog::formatUtf8;

namespace {

std::string fmt(size_t size, const char* format, ...) {
  std::string buf(size + 16, '#');
  va_list args;
  va_start(args, format);
  size_t n = formatUtf8(&buf[0], size, format, args);
  va_end(args);
  EXPECT_LT(n, size == 0 ? 1 : size);
  if (size > 0) {
    EXPECT_EQ(buf[n], '\0') << "terminated where the count says";
  }
  EXPECT_EQ(buf[size], '#') << "nothing written past the buffer";
  return buf.substr(0, n);
}

std::string fmt(const char* format, ...) {
  char buf[1024];
  va_list args;
  va_start(args, format);
  size_t n = formatUtf8(buf, sizeof(buf), format, args);
  va_end(args);
  return std::string(buf, n);
}

}  // namespace

TEST(LogFormat, IntegersOfEveryWidth) {
  EXPECT_EQ(fmt("a%db%uc%xd%Xe%of", -5, 7u, 255u, 255u, 8u), "a-5b7cffdFFe10f");
  EXPECT_EQ(fmt("%lld|%llu", -9000000000LL, 18446744073709551615ULL), "-9000000000|18446744073709551615");
  EXPECT_EQ(fmt("%I64d|%I64u|%I64x", -42LL, 1ULL << 40, 0xABCDEF0123ULL), "-42|1099511627776|abcdef0123");
  EXPECT_EQ(fmt("%ld|%lu|%hd|%hhu", -7L, 4000000000UL, 70000, 300), "-7|4000000000|4464|44");
  EXPECT_EQ(fmt("%zu|%Iu|%I32d", static_cast<size_t>(123), static_cast<size_t>(9), -3), "123|9|-3");
  // A 64-bit argument between two ints must not shift the ones after it.
  EXPECT_EQ(fmt("%d %lld %d", 1, 0x100000002LL, 3), "1 4294967298 3");
}

TEST(LogFormat, FloatsPointersCharsAndPercent) {
  EXPECT_EQ(fmt("%.2f|%e|%g|%5.1f", 3.14159, 1500.0, 0.5, 2.75), "3.14|1.500000e+03|0.5|  2.8");
  EXPECT_EQ(fmt("%d %f %d", 1, 2.5, 3), "1 2.500000 3");
  EXPECT_EQ(fmt("%c%c%%%c", 'a', 'b', 'c'), "ab%c");
  void* p = reinterpret_cast<void*>(0x1234);
  char expected[32];
  std::snprintf(expected, sizeof(expected), "%p", p);
  EXPECT_EQ(fmt("%p", p), expected);
  EXPECT_EQ(fmt("100%%"), "100%");
}

TEST(LogFormat, WidthsAndPrecisionIncludingStar) {
  EXPECT_EQ(fmt("[%5d][%-5d][%05d][%+d]", 42, 42, 42, 42), "[   42][42   ][00042][+42]");
  EXPECT_EQ(fmt("[%*d][%-*d]", 6, 7, 4, 8), "[     7][8   ]");
  EXPECT_EQ(fmt("[%*d]", -4, 9), "[9   ]");  // negative width: left-aligned
  EXPECT_EQ(fmt("[%.*f][%*.*f]", 1, 2.75, 8, 3, 1.0), "[2.8][   1.000]");
  EXPECT_EQ(fmt("[%.3s][%8s][%-4s]", "abcdef", "hi", "x"), "[abc][      hi][x   ]");
  EXPECT_EQ(fmt("[%.*s]|%d", 2, "abcdef", 5), "[ab]|5");
  EXPECT_EQ(fmt("[%.*s]", -1, "whole"), "[whole]");
}

TEST(LogFormat, WideArgumentsBecomeUtf8) {
  EXPECT_EQ(fmt("DeleteFile %S done", L"C:\\Users\\张三\\Tamsel游戏Pelluvo.exe"),
            "DeleteFile C:\\Users\\张三\\Tamsel游戏Pelluvo.exe done");
  EXPECT_EQ(fmt("%ls|%S|%hs|%s", L"游戏", L"abc", "narrow", "plain"), "游戏|abc|narrow|plain");
  EXPECT_EQ(fmt("%C%lc", L'游', L'戏'), "游戏");
  EXPECT_EQ(fmt("[%8S][%-4ls]", L"游", L"戏"), "[     游][戏 ]");
  // Precision counts bytes but never splits a character.
  EXPECT_EQ(fmt("[%.4S]", L"游戏"), "[游]");
  EXPECT_EQ(fmt("%S|%s", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)), "(null)|(null)");
  // Characters outside the basic plane travel as surrogate pairs.
  EXPECT_EQ(fmt("%S", L"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(LogFormat, WideArgumentsKeepTheArgumentsAfterThem) {
  EXPECT_EQ(fmt("%S %d %lld %S %.1f", L"张", 7, 1LL << 33, L"三", 0.5), "张 7 8589934592 三 0.5");
}

TEST(LogFormat, TruncationCountsOnlyWrittenBytes) {
  EXPECT_EQ(fmt(8, "%s", "abcdefghijkl"), "abcdefg");
  EXPECT_EQ(fmt(8, "%d-%d", 123456, 789), "123456-");
  EXPECT_EQ(fmt(8, "%S", L"游戏游戏"), "游戏");  // two whole characters, no broken third
  EXPECT_EQ(fmt(6, "ab%S", L"游戏"), "ab游");
  EXPECT_EQ(fmt(5, "%.3f", 123.456), "123.");
  EXPECT_EQ(fmt(1, "%s", "abc"), "");
  std::string cut = fmt(100, "%s %S", std::string(90, 'x').c_str(), L"游戏游戏游戏");
  EXPECT_EQ(cut.size(), 97u);  // 90 + blank + two characters of three bytes
  EXPECT_TRUE(vlogtest::validUtf8(cut));
}

TEST(LogFormat, UnknownConversionIsCopiedAndPercentNWritesNothing) {
  int target = 77;
  EXPECT_EQ(fmt("a%nb%d", &target, 5), "ab5");
  EXPECT_EQ(target, 77);
  EXPECT_EQ(fmt("x%ky %d", 3), "x%ky 3");
  EXPECT_EQ(fmt("end%"), "end%");
}
