#include "engine/job/reg_value.h"

#include <cstring>
#include <cwchar>
#include <vector>

#include "common/sys/reg_path.h"
#include "common/sys/unique_handles.h"

namespace {

// The value's type and all of its data. The size is asked first; a value that grows between
// the two calls is asked for again.
LONG QueryWholeValue(HKEY key, const std::wstring& name, DWORD* type, std::vector<BYTE>* data) {
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    LONG err = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
    if (err != ERROR_SUCCESS) return err;
    data->assign(size, 0);
    err = RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
    if (err == ERROR_MORE_DATA) continue;
    if (err == ERROR_SUCCESS) data->resize(size);
    return err;
  }
  return ERROR_MORE_DATA;
}

// The text of REG_SZ data: bounded by the data's size, ended by its first zero character.
std::wstring TextOf(const std::vector<BYTE>& data) {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
  text.resize(wcsnlen(text.c_str(), text.size()));
  return text;
}

LONG ReadAsText(const std::wstring& keyPath, const std::wstring& valueName, std::wstring& value) {
  RegistryPath path;
  if (keyPath.size() < 5 || !ParseRegistryPath(keyPath, &path)) return ERROR_BAD_PATHNAME;
  HKEY raw = nullptr;
  LONG err = RegOpenKeyExW(path.root, path.subkey.c_str(), 0, KEY_READ, &raw);
  if (err != ERROR_SUCCESS) return err;
  if (!raw) return ERROR_INVALID_HANDLE;
  UniqueRegKey key(raw);
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
  err = QueryWholeValue(key.get(), valueName, &type, &data);
  if (err != ERROR_SUCCESS) return err;
  if (type == REG_SZ) {
    value = TextOf(data);
    return ERROR_SUCCESS;
  }
  if (type == REG_DWORD) {
    if (data.size() < sizeof(int32_t)) return ERROR_INVALID_DATA;
    int32_t number = 0;
    memcpy(&number, data.data(), sizeof(number));
    value = std::to_wstring(number);
    return ERROR_SUCCESS;
  }
  return ERROR_UNSUPPORTED_TYPE;
}

}  // namespace

bool ReadRegValue(const std::wstring& keyPath, const std::wstring& valueName, std::wstring& value, LONG* error) {
  // The caller decides whether a value that cannot be read is worth a log line.
  const LONG err = ReadAsText(keyPath, valueName, value);
  if (error) *error = err;
  return err == ERROR_SUCCESS;
}
