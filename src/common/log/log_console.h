// The logger's console side. The setup program is a windowed process: standard output may
// be missing, a file, a pipe or a console, and printing never fails the caller.
#pragma once

#include <cstddef>

namespace vemtal {
namespace vlog {

// A line of a level: trace and debug go to standard output as they are; info to fatal
// only to a real console, in the level's colour, under the screen lock.
void showOnScreen(int level, const char* text, size_t length);

// The logger's own notices, shown at level 6 (fatal).
void showNotice(const char* format, ...);

// Plain text on standard output (configuration warnings).
void printOut(const char* format, ...);

}  // namespace vlog
}  // namespace vemtal
