#include "common/log/log_format.h"

#include <windows.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/log/log_text.h"

namespace vemtal {
namespace vlog {

namespace {

// Bounded output: keeps room for the terminating zero.
class Output {
 public:
  Output(char* buf, size_t size) : buf_(buf), size_(size) {}

  size_t left() const { return size_ == 0 ? 0 : size_ - 1 - used_; }
  size_t used() const { return used_; }

  void put(const char* text, size_t length) {
    size_t n = length;
    if (n > left()) {
      n = left();
      while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
      full_ = true;
    }
    std::memcpy(buf_ + used_, text, n);
    used_ += n;
  }
  void fill(char c, size_t count) {
    size_t n = count < left() ? count : left();
    std::memset(buf_ + used_, c, n);
    used_ += n;
  }
  // Runs snprintf into the free room and counts only what it really wrote.
  template <typename T>
  void print(const char* spec, T value) {
    if (left() == 0) return;
    int n = std::snprintf(buf_ + used_, left() + 1, spec, value);
    if (n < 0) return;
    size_t written = static_cast<size_t>(n) < left() ? static_cast<size_t>(n) : left();
    used_ += written;
  }
  void finish() {
    if (size_ != 0) buf_[used_] = '\0';
  }
  bool full() const { return full_ || left() == 0; }

 private:
  char* buf_;
  size_t size_;
  size_t used_ = 0;
  bool full_ = false;
};

enum class Length { kNone, kChar, kShort, kLong, kLongLong, kLongDouble, kSize };

struct Spec {
  std::string flags;
  int width = -1;
  int precision = -1;
  Length length = Length::kNone;
  char conversion = 0;
};

// va_list travels by pointer so every helper consumes from the same position.
struct Args {
  va_list list;
};

int readNumber(const char*& p) {
  int value = 0;
  while (*p >= '0' && *p <= '9') {
    if (value < 100000) value = value * 10 + (*p - '0');
    ++p;
  }
  return value;
}

Length readLength(const char*& p) {
  switch (*p) {
    case 'h':
      ++p;
      if (*p == 'h') {
        ++p;
        return Length::kChar;
      }
      return Length::kShort;
    case 'l':
      ++p;
      if (*p == 'l') {
        ++p;
        return Length::kLongLong;
      }
      return Length::kLong;
    case 'L':
      ++p;
      return Length::kLongDouble;
    case 'q':
    case 'j':
      ++p;
      return Length::kLongLong;
    case 'z':
    case 't':
      ++p;
      return Length::kSize;
    case 'I':
      if (p[1] == '6' && p[2] == '4') {
        p += 3;
        return Length::kLongLong;
      }
      if (p[1] == '3' && p[2] == '2') {
        p += 3;
        return Length::kNone;
      }
      ++p;
      return Length::kSize;
    default:
      return Length::kNone;
  }
}

// Parses the part after "%"; `p` ends after the conversion character.
Spec readSpec(const char*& p, Args& args) {
  Spec spec;
  while (*p && std::strchr("-+ #0'", *p)) spec.flags += *p++;
  if (*p == '*') {
    ++p;
    spec.width = va_arg(args.list, int);
    if (spec.width < 0) {
      spec.flags += '-';
      spec.width = spec.width == INT_MIN ? INT_MAX : -spec.width;
    }
  } else if (*p >= '0' && *p <= '9') {
    spec.width = readNumber(p);
  }
  if (*p == '.') {
    ++p;
    if (*p == '*') {
      ++p;
      spec.precision = va_arg(args.list, int);
      if (spec.precision < 0) spec.precision = -1;
    } else {
      spec.precision = readNumber(p);
    }
  }
  spec.length = readLength(p);
  spec.conversion = *p;
  if (*p) ++p;
  return spec;
}

// The spec rebuilt for snprintf with numbers in place of "*" and a portable length.
std::string printfSpec(const Spec& spec, const char* length) {
  std::string out = "%" + spec.flags;
  if (spec.width >= 0) out += std::to_string(spec.width);
  if (spec.precision >= 0) out += "." + std::to_string(spec.precision);
  out += length;
  out += spec.conversion;
  return out;
}

bool leftAligned(const Spec& spec) { return spec.flags.find('-') != std::string::npos; }

// A string argument, already UTF-8: precision cuts bytes (never inside a character),
// width pads with blanks.
void putString(Output& out, const Spec& spec, const char* text, size_t length) {
  if (spec.precision >= 0 && length > static_cast<size_t>(spec.precision)) {
    length = static_cast<size_t>(spec.precision);
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
  }
  size_t pad = spec.width > 0 && static_cast<size_t>(spec.width) > length ? spec.width - length : 0;
  if (!leftAligned(spec)) out.fill(' ', pad);
  out.put(text, length);
  if (leftAligned(spec)) out.fill(' ', pad);
}

void putWideString(Output& out, const Spec& spec, const wchar_t* text) {
  if (!text) {
    putString(out, spec, "(null)", 6);
    return;
  }
  std::string utf8 = wideToUtf8(text, std::wcslen(text));
  putString(out, spec, utf8.data(), utf8.size());
}

void putNarrowString(Output& out, const Spec& spec, const char* text) {
  if (!text) text = "(null)";
  putString(out, spec, text, std::strlen(text));
}

void putWideChar(Output& out, const Spec& spec, wchar_t c) {
  std::string utf8 = wideToUtf8(&c, 1);
  putString(out, spec, utf8.data(), utf8.size());
}

// Plain integer conversions ("%d", "%5u", "%08X", "%-4lld") are written here: the runtime's
// printf costs far more per call than the digits. False for any other flag or a precision,
// which the runtime formats.
bool putPlainInteger(Output& out, const Spec& spec, bool negative, unsigned long long magnitude) {
  if (spec.precision >= 0) return false;
  bool zeros = false, left = false;
  for (char flag : spec.flags) {
    if (flag == '0') {
      zeros = true;
    } else if (flag == '-') {
      left = true;
    } else {
      return false;
    }
  }
  const unsigned base = spec.conversion == 'x' || spec.conversion == 'X' ? 16 : spec.conversion == 'o' ? 8 : 10;
  const char* alphabet = spec.conversion == 'X' ? "0123456789ABCDEF" : "0123456789abcdef";
  char digits[24];
  char* const end = digits + sizeof(digits);
  char* first = end;
  do {
    *--first = alphabet[magnitude % base];
    magnitude /= base;
  } while (magnitude != 0);
  const size_t length = static_cast<size_t>(end - first) + (negative ? 1 : 0);
  const size_t pad = spec.width > 0 && static_cast<size_t>(spec.width) > length ? spec.width - length : 0;
  if (!left && !zeros) out.fill(' ', pad);
  if (negative) out.put("-", 1);
  if (!left && zeros) out.fill('0', pad);
  out.put(first, static_cast<size_t>(end - first));
  if (left) out.fill(' ', pad);
  return true;
}

template <typename T>
void putSignedValue(Output& out, const Spec& spec, const char* length, T value) {
  const bool negative = value < 0;
  const unsigned long long magnitude =
      negative ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
  if (!putPlainInteger(out, spec, negative, magnitude)) out.print(printfSpec(spec, length).c_str(), value);
}

template <typename T>
void putUnsignedValue(Output& out, const Spec& spec, const char* length, T value) {
  if (!putPlainInteger(out, spec, false, value)) out.print(printfSpec(spec, length).c_str(), value);
}

void putSigned(Output& out, const Spec& spec, Args& args) {
  switch (spec.length) {
    case Length::kLong:
      putSignedValue(out, spec, "l", va_arg(args.list, long));
      break;
    case Length::kLongLong:
      putSignedValue(out, spec, "ll", va_arg(args.list, long long));
      break;
    case Length::kSize:
      if (sizeof(ptrdiff_t) == sizeof(long long)) {
        putSignedValue(out, spec, "ll", va_arg(args.list, long long));
      } else {
        putSignedValue(out, spec, "", va_arg(args.list, int));
      }
      break;
    case Length::kChar:
      out.print(printfSpec(spec, "hh").c_str(), va_arg(args.list, int));
      break;
    case Length::kShort:
      out.print(printfSpec(spec, "h").c_str(), va_arg(args.list, int));
      break;
    default:
      putSignedValue(out, spec, "", va_arg(args.list, int));
      break;
  }
}

void putUnsigned(Output& out, const Spec& spec, Args& args) {
  switch (spec.length) {
    case Length::kLong:
      putUnsignedValue(out, spec, "l", va_arg(args.list, unsigned long));
      break;
    case Length::kLongLong:
      putUnsignedValue(out, spec, "ll", va_arg(args.list, unsigned long long));
      break;
    case Length::kSize:
      if (sizeof(size_t) == sizeof(unsigned long long)) {
        putUnsignedValue(out, spec, "ll", va_arg(args.list, unsigned long long));
      } else {
        putUnsignedValue(out, spec, "", va_arg(args.list, unsigned int));
      }
      break;
    case Length::kChar:
      out.print(printfSpec(spec, "hh").c_str(), va_arg(args.list, unsigned int));
      break;
    case Length::kShort:
      out.print(printfSpec(spec, "h").c_str(), va_arg(args.list, unsigned int));
      break;
    default:
      putUnsignedValue(out, spec, "", va_arg(args.list, unsigned int));
      break;
  }
}

void putFloating(Output& out, const Spec& spec, Args& args) {
  if (spec.length == Length::kLongDouble) {
    out.print(printfSpec(spec, "L").c_str(), va_arg(args.list, long double));
  } else {
    out.print(printfSpec(spec, "").c_str(), va_arg(args.list, double));
  }
}

// One conversion; false for an unknown one (its text is copied and formatting goes on).
bool putConversion(Output& out, const Spec& spec, Args& args) {
  switch (spec.conversion) {
    case 'd':
    case 'i':
      putSigned(out, spec, args);
      return true;
    case 'u':
    case 'o':
    case 'x':
    case 'X':
      putUnsigned(out, spec, args);
      return true;
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
    case 'a':
    case 'A':
      putFloating(out, spec, args);
      return true;
    case 'p':
      out.print(printfSpec(spec, "").c_str(), va_arg(args.list, void*));
      return true;
    case 's':
      if (spec.length == Length::kLong) {
        putWideString(out, spec, va_arg(args.list, const wchar_t*));
      } else {
        putNarrowString(out, spec, va_arg(args.list, const char*));
      }
      return true;
    case 'S':
      if (spec.length == Length::kShort) {
        putNarrowString(out, spec, va_arg(args.list, const char*));
      } else {
        putWideString(out, spec, va_arg(args.list, const wchar_t*));
      }
      return true;
    case 'c':
      if (spec.length == Length::kLong) {
        putWideChar(out, spec, static_cast<wchar_t>(va_arg(args.list, int)));
      } else {
        char c = static_cast<char>(va_arg(args.list, int));
        putString(out, spec, &c, 1);
      }
      return true;
    case 'C':
      putWideChar(out, spec, static_cast<wchar_t>(va_arg(args.list, int)));
      return true;
    case 'n':
      va_arg(args.list, void*);
      return true;  // never writes through a pointer
    default:
      return false;
  }
}

}  // namespace

size_t formatUtf8(char* buf, size_t size, const char* format, va_list list) {
  Output out(buf, size);
  if (!format) {
    out.finish();
    return 0;
  }
  Args args;
  va_copy(args.list, list);
  const char* p = format;
  while (*p && !out.full()) {
    const char* percent = std::strchr(p, '%');
    if (!percent) {
      out.put(p, std::strlen(p));
      break;
    }
    out.put(p, static_cast<size_t>(percent - p));
    const char* specStart = percent;
    p = percent + 1;
    if (*p == '%') {
      out.put("%", 1);
      ++p;
      continue;
    }
    Spec spec = readSpec(p, args);
    if (!putConversion(out, spec, args)) out.put(specStart, static_cast<size_t>(p - specStart));
  }
  va_end(args.list);
  out.finish();
  return out.used();
}

void logTo(IVlogManager& manager, int id, int level, const char* file, int line, const char* format, va_list args) {
  if (!manager.prePushLog(id, level)) return;
  LogData* record = manager.makeLogData(id, level);
  if (!record) return;
  size_t room = static_cast<size_t>(kLogContentSize - record->contentLength);
  record->contentLength += static_cast<int>(formatUtf8(record->content + record->contentLength, room, format, args));
  manager.pushLog(record, file, line);
}

void logToF(IVlogManager& manager, int id, int level, const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  logTo(manager, id, level, file, line, format, args);
  va_end(args);
}

void LogFormatV(int level, const char* file, int line, const char* format, va_list args) {
  logTo(*IVlogManager::getInstance(), 0, level, file, line, format, args);
}

void LogFormat(int level, const char* file, int line, const char* format, ...) {
  va_list args;
  va_start(args, format);
  LogFormatV(level, file, line, format, args);
  va_end(args);
}

}  // namespace vlog
}  // namespace vemtal
