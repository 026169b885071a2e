// printf-style formatting of log messages into UTF-8. Wide-string arguments ("%S",
// "%ls", "%C", "%lc") are converted to UTF-8 here; every other conversion is handed to
// the C runtime one at a time.
#pragma once

#include <cstdarg>
#include <cstddef>

#include "common/log/vlog.h"

namespace vemtal {
namespace vlog {

// Writes at most size - 1 bytes and a terminating zero into `out`; returns the number of
// bytes actually written (never more than size - 1). A text cut for room never ends in
// the middle of a UTF-8 sequence.
size_t formatUtf8(char* out, size_t size, const char* format, va_list args);

// The log call for any manager and logger: test, make, format, push.
void logTo(IVlogManager& manager, int id, int level, const char* file, int line, const char* format, va_list args);
void logToF(IVlogManager& manager, int id, int level, const char* file, int line, const char* format, ...);

}  // namespace vlog
}  // namespace vemtal
