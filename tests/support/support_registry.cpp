#include "support_registry.h"

namespace testsupport {

namespace {

std::wstring StripDevicePrefix(std::wstring path) {
  if (!path.empty() && path.front() == L'!') path.erase(0, 1);
  if (path.rfind(L"\\??\\", 0) == 0) path.erase(0, 4);
  return path;
}

}  // namespace

bool ReadRegValue(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD* type, std::vector<BYTE>* data,
                  REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG err = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
  if (err == ERROR_SUCCESS) {
    data->assign(size, 0);
    err = RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
    data->resize(size);
  }
  RegCloseKey(key);
  return err == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteRegTree(HKEY root, const std::wstring& subkey, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeW(key, nullptr);
  RegCloseKey(key);
  RegDeleteKeyExW(root, subkey.c_str(), view, 0);
}

std::vector<std::pair<std::wstring, std::wstring>> PendingRenames() {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRegValue(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
                    L"PendingFileRenameOperations", &type, &data) ||
      type != REG_MULTI_SZ) {
    return pairs;
  }
  data.resize(data.size() + 4, 0);
  const wchar_t* p = reinterpret_cast<const wchar_t*>(data.data());
  const wchar_t* stop = p + data.size() / sizeof(wchar_t);
  while (p < stop && *p) {
    const std::wstring source = p;
    p += source.size() + 1;
    if (p >= stop) break;
    const std::wstring target = p;
    p += target.size() + 1;
    pairs.emplace_back(StripDevicePrefix(source), StripDevicePrefix(target));
  }
  return pairs;
}

}  // namespace testsupport
