// The folder trees an uninstall may delete: an install folder read from the registry or
// from the program's location must never turn out to be a drive or a folder of the system.
#pragma once

#include <string>

// False for an empty or relative path, a drive or share root, and the system's own folders
// (Windows, system, program files, common files, the profile, application data, documents,
// desktop, the temporary folder) and any folder above them.
bool IsRemovableInstallFolder(const std::wstring& folder);

// One folder written two ways: separators, letter case and trailing backslashes aside.
bool IsSameFolder(const std::wstring& a, const std::wstring& b);

// The folder an uninstall may empty: the one the installed product was read from (verified,
// empty when none was) and, above that, a removable install folder.
bool IsVerifiedInstallFolder(const std::wstring& folder, const std::wstring& verified);
