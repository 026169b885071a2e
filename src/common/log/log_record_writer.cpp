#include "common/log/log_record_writer.h"

#include <cstring>

namespace vemtal {
namespace vlog {

namespace {

constexpr int kNumberRoom = 65;

struct DigitPairs {
  char pairs[200];
  DigitPairs() {
    for (int i = 0; i < 100; ++i) {
      pairs[i * 2] = static_cast<char>('0' + i / 10);
      pairs[i * 2 + 1] = static_cast<char>('0' + i % 10);
    }
  }
};
const DigitPairs kDigits;

// Decimal digits of `value`, two at a time, into the end of `buf`; returns the start.
char* decimal(uint64_t value, char* end) {
  char* p = end;
  do {
    unsigned pair = static_cast<unsigned>(value % 100);
    value /= 100;
    *--p = kDigits.pairs[pair * 2 + 1];
    *--p = kDigits.pairs[pair * 2];
  } while (value != 0);
  if (*p == '0' && p + 1 < end) ++p;  // odd number of digits
  return p;
}

}  // namespace

void RecordWriter::number(uint64_t value, int minWidth) {
  if (room() < kNumberRoom) return;
  char buf[32];
  char* end = buf + sizeof(buf);
  char* start = decimal(value, end);
  int digits = static_cast<int>(end - start);
  char* out = record_.content + record_.contentLength;
  int pad = minWidth > digits ? minWidth - digits : 0;
  if (pad > room() - digits - 1) pad = room() - digits - 1;
  std::memset(out, '0', static_cast<size_t>(pad));
  std::memcpy(out + pad, start, static_cast<size_t>(digits));
  record_.contentLength += pad + digits;
}

void RecordWriter::signedNumber(int64_t value, int minWidth) {
  if (room() < kNumberRoom) return;
  if (value < 0) {
    record_.content[record_.contentLength++] = '-';
    number(0 - static_cast<uint64_t>(value), minWidth);
  } else {
    number(static_cast<uint64_t>(value), minWidth);
  }
}

void RecordWriter::character(char c) {
  if (room() <= 1) return;
  record_.content[record_.contentLength++] = c;
}

void RecordWriter::text(const char* text, size_t length) {
  if (!text) return;
  size_t n = length < static_cast<size_t>(room()) ? length : static_cast<size_t>(room());
  std::memcpy(record_.content + record_.contentLength, text, n);
  record_.contentLength += static_cast<int>(n);
}

void RecordWriter::text(const char* text) {
  if (text) this->text(text, std::strlen(text));
}

}  // namespace vlog
}  // namespace vemtal
