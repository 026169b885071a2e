#pragma once

#include <cstdarg>
#include <string>

// printf-style formatting into a narrow string of any length.
std::string FormatTextV(const char* format, va_list args);
