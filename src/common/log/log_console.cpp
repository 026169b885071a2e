#include "common/log/log_console.h"

#include <io.h>
#include <windows.h>

#include <cstdarg>
#include <cstdio>

#include "common/log/log_format.h"
#include "common/log/log_helpers.h"

namespace vemtal {
namespace vlog {

namespace {

LockHelper& screenLock() {
  static LockHelper lock;
  return lock;
}

// A windowed process has no standard output; writing to it must not be tried.
bool stdoutUsable() {
  int fd = _fileno(stdout);
  if (fd < 0) return false;
  intptr_t handle = _get_osfhandle(fd);
  return handle != -1 && handle != -2 && handle != 0;
}

void writeOut(const char* text, size_t length) {
  if (!stdoutUsable()) return;
  std::fwrite(text, 1, length, stdout);
  std::fflush(stdout);
}

WORD levelColour(int level) {
  switch (level) {
    case 2:
      return 3;
    case 3:
      return 6;
    case 4:
      return 4;
    case 5:
      return 2;
    default:
      return 5;
  }
}

void showInColour(int level, const char* text, size_t length) {
  LockGuard guard(screenLock());
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (out == nullptr || out == INVALID_HANDLE_VALUE) return;
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(out, &info)) return;
  SetConsoleTextAttribute(out, levelColour(level));
  DWORD written = 0;
  WriteFile(out, text, static_cast<DWORD>(length), &written, nullptr);
  SetConsoleTextAttribute(out, info.wAttributes);
}

}  // namespace

void showOnScreen(int level, const char* text, size_t length) {
  if (level >= LOG_LEVEL_INFO && level <= LOG_LEVEL_FATAL) {
    showInColour(level, text, length);
  } else {
    writeOut(text, length);
  }
}

void showNotice(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  size_t n = formatUtf8(text, sizeof(text), format, args);
  va_end(args);
  showOnScreen(LOG_LEVEL_FATAL, text, n);
}

void printOut(const char* format, ...) {
  char text[kLogContentSize];
  va_list args;
  va_start(args, format);
  size_t n = formatUtf8(text, sizeof(text), format, args);
  va_end(args);
  writeOut(text, n);
}

}  // namespace vlog
}  // namespace vemtal
