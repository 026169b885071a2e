#include "test_support.h"

#include <cstdio>

namespace skinui_test {

std::wstring HostPath(const char* unixDir, const std::wstring& name) {
  std::wstring path = L"Z:";
  for (const char* c = unixDir; *c != '\0'; ++c) path += (*c == '/') ? L'\\' : static_cast<wchar_t>(*c);
  path += L'\\';
  for (wchar_t c : name) path += (c == L'/') ? L'\\' : c;
  return path;
}

std::wstring FixturePath(const std::wstring& name) { return HostPath(SKINUI_FIXTURES, name); }

std::vector<BYTE> ReadFixture(const std::wstring& name) {
  std::vector<BYTE> bytes;
  FILE* f = _wfopen(FixturePath(name).c_str(), L"rb");
  if (f == nullptr) return bytes;
  BYTE buffer[65536];
  size_t n;
  while ((n = fread(buffer, 1, sizeof(buffer), f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  fclose(f);
  return bytes;
}

std::wstring MakeTempDir(const std::wstring& tag) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  wchar_t name[64];
  swprintf(name, 64, L"skinui_%ls_%lu_%lu", tag.c_str(), GetCurrentProcessId(), GetTickCount());
  std::wstring dir = std::wstring(temp) + name;
  CreateDirectoryW(dir.c_str(), nullptr);
  return dir + L"\\";
}

void WriteFileBytes(const std::wstring& path, const void* data, size_t size) {
  FILE* f = _wfopen(path.c_str(), L"wb");
  if (f == nullptr) return;
  fwrite(data, 1, size, f);
  fclose(f);
}

std::vector<HANDLE> OpenKernelHandles() {
  std::vector<HANDLE> open;
  for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
    DWORD flags = 0;
    if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) open.push_back(reinterpret_cast<HANDLE>(value));
  }
  return open;
}

int CountKernelHandles() { return static_cast<int>(OpenKernelHandles().size()); }

int GdiHeadroom() {
  std::vector<HBITMAP> made;
  for (;;) {
    HBITMAP b = ::CreateBitmap(1, 1, 1, 32, nullptr);
    if (b == nullptr || made.size() >= 100000) {
      if (b != nullptr) ::DeleteObject(b);
      break;
    }
    made.push_back(b);
  }
  for (HBITMAP b : made) ::DeleteObject(b);
  return static_cast<int>(made.size());
}

std::vector<std::pair<DWORD, DWORD>> LiveGdiObjects() {
  std::vector<std::pair<DWORD, DWORD>> live;
  for (DWORD entry = 1; entry < 0x10000; ++entry) {
    const DWORD type = ::GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(entry)));
    if (type != 0) live.emplace_back(entry, type);
  }
  return live;
}

int CountGdiObjects(DWORD type) {
  int count = 0;
  for (const auto& [entry, t] : LiveGdiObjects()) count += type == 0 || t == type ? 1 : 0;
  return count;
}

}  // namespace skinui_test
