#include "engine/parser/text_compare.h"

#include <limits>

namespace {

template <typename Char>
Char LowerAscii(Char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c;
}

template <typename String>
bool EqualsNoCaseT(const String& a, const String& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

bool EqualsNoCase(const std::string& a, const std::string& b) { return EqualsNoCaseT(a, b); }
bool EqualsNoCase(const std::wstring& a, const std::wstring& b) { return EqualsNoCaseT(a, b); }

int64_t DecimalValue64(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  // Accumulate towards the sign so that the most negative value stays representable.
  const int64_t limit = negative ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    int digit = text[i] - '0';
    if (negative) {
      if (value < (limit + digit) / 10) return limit;
      value = value * 10 - digit;
    } else {
      if (value > (limit - digit) / 10) return limit;
      value = value * 10 + digit;
    }
  }
  return value;
}

int32_t DecimalValue(const std::string& text) {
  int64_t value = DecimalValue64(text);
  if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  return static_cast<int32_t>(value);
}
