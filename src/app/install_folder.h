// Checks of the folder an install goes into, and the choice of it by the user.
#pragma once

#include <windows.h>

#include <string>

// Longest install folder accepted: the product's own files need room below it.
constexpr size_t kMaxInstallFolder = 180;

// An absolute local ("C:\...") or network ("\\server\share\...") folder path without empty,
// "." or ".." parts, characters a file name cannot hold, or trailing dots and blanks.
bool IsUsableInstallFolder(const std::wstring& folder);

// The folder dialog, owned by `owner`: the chosen folder with subFolder (or
// "\Orvenna\PelluvoV2" when that is empty) appended; empty when cancelled, or when the result
// is not usable (the user is told).
std::wstring ChooseInstallFolder(HWND owner, const std::wstring& subFolder);

// folder + subFolder (or the default sub-folder), without a doubled backslash.
std::wstring AppendInstallSubFolder(std::wstring folder, const std::wstring& subFolder);
