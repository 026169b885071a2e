#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace skinui_test {

// Windows path of a generated fixture file.
std::wstring FixturePath(const std::wstring& name);
std::vector<BYTE> ReadFixture(const std::wstring& name);
// A fresh folder under the temporary folder, unique to this test.
std::wstring MakeTempDir(const std::wstring& tag);
void WriteFileBytes(const std::wstring& path, const void* data, size_t size);

}  // namespace skinui_test
