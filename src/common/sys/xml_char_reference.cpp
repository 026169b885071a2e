#include <cstdint>

#include "common/log/vlog.h"
#include "common/sys/xml_text.h"

namespace {

int DigitValue(char c, bool hex) {
  if (c >= '0' && c <= '9') return c - '0';
  if (!hex) return -1;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void AppendUtf8(uint32_t value, std::string* out) {
  if (value < 0x80) {
    out->push_back(static_cast<char>(value));
  } else if (value < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (value >> 6)));
    out->push_back(static_cast<char>(0x80 | (value & 0x3F)));
  } else if (value < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (value >> 12)));
    out->push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (value & 0x3F)));
  } else if (value < 0x200000) {
    out->push_back(static_cast<char>(0xF0 | (value >> 18)));
    out->push_back(static_cast<char>(0x80 | ((value >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((value >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (value & 0x3F)));
  }
}

const char* Malformed(const char* p, const char* end) {
  const int shown = static_cast<int>(end - p < 24 ? end - p : 24);
  VLOG_WARN("ReadCharReference, malformed character reference \"%.*s\"", shown, p);
  return nullptr;
}

}  // namespace

const char* ReadCharReference(const char* p, const char* end, std::string* out) {
  const char* q = p + 2;
  const bool hex = q < end && *q == 'x';
  if (hex) ++q;
  const char* digits = q;
  uint32_t value = 0;
  for (; q < end && *q != ';'; ++q) {
    const int digit = DigitValue(*q, hex);
    if (digit < 0) return Malformed(p, end);
    value = value * (hex ? 16u : 10u) + static_cast<uint32_t>(digit);
  }
  if (q == end || q == digits) return Malformed(p, end);
  AppendUtf8(value, out);
  return q + 1;
}
