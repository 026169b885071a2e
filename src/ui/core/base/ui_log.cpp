#include "ui/core/base/ui_log.h"

#include <windows.h>

#include <cstdarg>
#include <cwchar>

namespace SkinUI {

namespace {
UILogSink g_sink = nullptr;
}  // namespace

void SetUILogSink(UILogSink sink) { g_sink = sink; }

void UILog(const wchar_t* format, ...) {
  wchar_t line[1024];
  va_list args;
  va_start(args, format);
  int written = vswprintf(line, sizeof(line) / sizeof(line[0]), format, args);
  va_end(args);
  if (written < 0) line[sizeof(line) / sizeof(line[0]) - 1] = L'\0';  // cut to the buffer
  if (g_sink != nullptr)
    g_sink(line);
  else
    ::OutputDebugStringW(line);
}

}  // namespace SkinUI
