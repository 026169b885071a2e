// The message formatter: the printf conversions the code base uses, wide arguments as UTF-8,
// and output that never claims bytes it did not write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "common/log/log_format.h"
#include "log_test_support.h"

using vemtal::vlog::formatUtf8;

namespace {

// Formats into a buffer of `size` bytes and checks the count, the terminator and the guard after it.
std::string fmtIn(size_t size, const char* format, ...) {
  std::string buf(size + 16, '#');
  va_list args;
  va_start(args, format);
  size_t n = formatUtf8(&buf[0], size, format, args);
  va_end(args);
  EXPECT_LT(n, size);
  EXPECT_EQ(buf[n], '\0') << "terminated where the count says";
  EXPECT_EQ(buf[size], '#') << "nothing written past the buffer";
  return buf.substr(0, n);
}

#define fmt(...) fmtIn(1024, __VA_ARGS__)

}  // namespace

TEST(LogFormat, NarrowConversions) {
  EXPECT_EQ(fmt("a%db%uc%xd%Xe%of", -5, 7u, 255u, 255u, 8u), "a-5b7cffdFFe10f");
  EXPECT_EQ(fmt("%lld|%llu", -9000000000LL, 18446744073709551615ULL), "-9000000000|18446744073709551615");
  EXPECT_EQ(fmt("%I64d|%I64u|%I64x", -42LL, 1ULL << 40, 0xABCDEF0123ULL), "-42|1099511627776|abcdef0123");
  EXPECT_EQ(fmt("%ld|%lu|%hd|%hhu", -7L, 4000000000UL, 70000, 300), "-7|4000000000|4464|44");
  EXPECT_EQ(fmt("%zu|%Iu|%I32d", static_cast<size_t>(123), static_cast<size_t>(9), -3), "123|9|-3");
  // A 64-bit or double argument between two ints must not shift the ones after it.
  EXPECT_EQ(fmt("%d %lld %d %f %d", 1, 0x100000002LL, 3, 2.5, 4), "1 4294967298 3 2.500000 4");
  EXPECT_EQ(fmt("%.2f|%e|%g|%5.1f", 3.14159, 1500.0, 0.5, 2.75), "3.14|1.500000e+03|0.5|  2.8");
  EXPECT_EQ(fmt("%c%c%%%c|100%%", 'a', 'b', 'c'), "ab%c|100%");
  char pointer[32];
  std::snprintf(pointer, sizeof(pointer), "%p", reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(fmt("%p", reinterpret_cast<void*>(0x1234)), pointer);
  EXPECT_EQ(fmt("[%5d][%-5d][%05d][%+d]", 42, 42, 42, 42), "[   42][42   ][00042][+42]");
  EXPECT_EQ(fmt("[%*d][%-*d][%*d]", 6, 7, 4, 8, -4, 9), "[     7][8   ][9   ]");
  EXPECT_EQ(fmt("[%.*f][%*.*f]", 1, 2.75, 8, 3, 1.0), "[2.8][   1.000]");
  EXPECT_EQ(fmt("[%.3s][%8s][%-4s][%.*s][%.*s]|%d", "abcdef", "hi", "x", 2, "abcdef", -1, "whole", 5),
            "[abc][      hi][x   ][ab][whole]|5");
}

TEST(LogFormat, WideArgumentsBecomeUtf8) {
  EXPECT_EQ(fmt("DeleteFile %S done", L"C:\\Users\\张三\\Tamsel游戏Pelluvo.exe"),
            "DeleteFile C:\\Users\\张三\\Tamsel游戏Pelluvo.exe done");
  EXPECT_EQ(fmt("%ls|%S|%hs|%s|%C%lc", L"游戏", L"abc", "narrow", "plain", L'游', L'戏'), "游戏|abc|narrow|plain|游戏");
  EXPECT_EQ(fmt("%S %d %lld %S %.1f", L"张", 7, 1LL << 33, L"三", 0.5), "张 7 8589934592 三 0.5");
  EXPECT_EQ(fmt("[%8S][%-4ls]", L"游", L"戏"), "[     游][戏 ]");
  EXPECT_EQ(fmt("[%.4S]", L"游戏"), "[游]") << "precision counts bytes but never splits a character";
  EXPECT_EQ(fmt("%S|%s", static_cast<const wchar_t*>(nullptr), static_cast<const char*>(nullptr)), "(null)|(null)");
  EXPECT_EQ(fmt("%S", L"\U0001F600"), "\xF0\x9F\x98\x80") << "a surrogate pair is one character";
}

TEST(LogFormat, TruncationCountsOnlyWrittenBytes) {
  EXPECT_EQ(fmtIn(8, "%s", "abcdefghijkl"), "abcdefg");
  EXPECT_EQ(fmtIn(8, "%d-%d", 123456, 789), "123456-");
  EXPECT_EQ(fmtIn(8, "%S", L"游戏游戏"), "游戏");  // no broken third character
  EXPECT_EQ(fmtIn(6, "ab%S", L"游戏"), "ab游");
  EXPECT_EQ(fmtIn(5, "%.3f", 123.456), "123.");
  EXPECT_EQ(fmtIn(1, "%s", "abc"), "");
  std::string cut = fmtIn(100, "%s %S", std::string(90, 'x').c_str(), L"游戏游戏游戏");
  EXPECT_EQ(cut.size(), 97u);  // 90 + blank + two characters of three bytes
  EXPECT_TRUE(vlogtest::validUtf8(cut));
}

TEST(LogFormat, UnknownConversionIsCopiedAndPercentNWritesNothing) {
  int target = 77;
  EXPECT_EQ(fmt("a%nb%d", &target, 5), "ab5");
  EXPECT_EQ(target, 77);
  EXPECT_EQ(fmt("x%ky %d|end%", 3), "x%ky 3|end%");
}

TEST(LogFormat, IntegersMatchTheRuntimeForEveryFlagAndWidth) {
  const char* const specs[] = {"%d", "%5d", "%-5d", "%05d", "%-05d", "%+d", "% d",   "%.3d",    "%u",      "%08u",
                               "%x", "%#x", "%08X", "%-8X", "%o",    "%#o", "%3lld", "%-20lld", "%020lld", "%llx"};
  const long long values[] = {0, 7, -7, 42, -42, 123456, -2147483647LL - 1, 4294967295LL, -9000000000LL};
  for (const char* spec : specs) {
    const bool wide = std::strstr(spec, "ll") != nullptr;
    for (long long value : values) {
      char expected[64];
      if (wide) {
        std::snprintf(expected, sizeof(expected), spec, value);
        EXPECT_EQ(fmt(spec, value), expected) << spec << " " << value;
      } else {
        std::snprintf(expected, sizeof(expected), spec, static_cast<int>(value));
        EXPECT_EQ(fmt(spec, static_cast<int>(value)), expected) << spec << " " << value;
      }
    }
  }
}
