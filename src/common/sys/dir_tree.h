// Creating a folder path level by level and deleting a folder tree.
#pragma once

#include <string>
#include <vector>

#include <windows.h>

// Creates every missing level of path ("\" separates levels; "/" is an ordinary character).
// 0 when the folder exists afterwards, else the Win32 error of the level that failed
// (ERROR_ALREADY_EXISTS when a file holds the folder's name).
DWORD CreateDirectoryTree(const std::wstring& path);

// Deletes the folder's files and subfolders, then the folder. Files of the top folder whose
// names equal one of keepNames (exactly) stay. A directory link or junction is never entered:
// only the link itself is removed. Whatever cannot go now is deleted at the next restart.
// Always 0; an empty path does nothing.
int DeleteDirectoryTree(const std::wstring& folder, const std::vector<std::wstring>& keepNames);
