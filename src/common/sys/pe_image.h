// Tells whether an executable file is built for 64-bit x86.
#pragma once

#include <string>

// True only for a PE image whose machine is x86-64 (0x8664); false for 32-bit x86, Itanium,
// Arm, any other file, a file too short for its headers, and anything that cannot be read.
bool IsPE64(const std::wstring& path);
