#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace skinui_test {

// Windows path (under Wine's Z: drive) of a file in a build folder given as a Unix path.
std::wstring HostPath(const char* unixDir, const std::wstring& name);
// Windows path of a generated fixture file.
std::wstring FixturePath(const std::wstring& name);
std::vector<BYTE> ReadFixture(const std::wstring& name);
// A fresh folder under the temporary folder, unique to this test.
std::wstring MakeTempDir(const std::wstring& tag);
void WriteFileBytes(const std::wstring& path, const void* data, size_t size);
// The kernel handles of the process: the values below 64K that name one (under Wine the process's
// handle count answers 0).
int CountKernelHandles();
std::vector<HANDLE> OpenKernelHandles();
// The GDI objects the process can still make (under Wine GetGuiResources answers 0): a left-behind
// object makes it fall.
int GdiHeadroom();
// The live GDI objects of the process as (table entry, type), walked by entry: under Wine a
// handle's low word names its entry, and GetObjectType takes it alone.
std::vector<std::pair<DWORD, DWORD>> LiveGdiObjects();
// The live GDI objects of one type (OBJ_REGION, ...), or of every type for 0.
int CountGdiObjects(DWORD type = 0);

}  // namespace skinui_test
