// Names of package entries: a file's path relative to the package root. Extraction joins
// them to its target folder, so a name must not be able to reach outside that folder.
#pragma once

#include <string>

// Turns an entry name ("/" or "\" between folders) into a relative Windows path with "\".
// False for a name that is empty, absolute, holds a drive letter or any colon, has an
// empty, "." or ".." component, a component that Windows would alter or treat as a device
// (trailing dot or blank, reserved names such as "CON" or "nul.txt"), or characters that no
// file name may hold.
bool ToSafeRelativePath(const std::wstring& name, std::wstring* relative);
