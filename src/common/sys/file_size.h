// The size of a file named by path.
#pragma once

#include <windows.h>

#include <string>

// The low 32 bits of the size of the first file the path matches; 0xFFFFFFFF when none does.
DWORD GetFileSizeByPath(const std::wstring& path);
