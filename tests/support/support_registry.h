// Registry helpers of the tests, through the plain API. view: 0, KEY_WOW64_32KEY or KEY_WOW64_64KEY.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

bool ReadRegValue(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD* type, std::vector<BYTE>* data,
                  REGSAM view = 0);
bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view = 0);
void DeleteRegTree(HKEY root, const std::wstring& subkey, REGSAM view = 0);  // test cleanup only

// PendingFileRenameOperations as (source, target) pairs, "\??\" and "!" removed; an empty
// target is a deletion.
std::vector<std::pair<std::wstring, std::wstring>> PendingRenames();

}  // namespace testsupport
