#include <windows.h>

#include <cstring>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "common/sys/xml_text.h"

namespace {

bool StartsWith(const char* p, const char* end, const char* prefix) {
  const size_t length = std::strlen(prefix);
  return static_cast<size_t>(end - p) >= length && std::memcmp(p, prefix, length) == 0;
}

const char* Find(const char* from, const char* end, char c) {
  return from < end ? static_cast<const char*>(std::memchr(from, c, static_cast<size_t>(end - from))) : nullptr;
}

// A string value (REG_EXPAND_SZ taken unexpanded) under HKEY_LOCAL_MACHINE, as UTF-8; empty otherwise.
std::string ReadMachineRegistryText(const std::string& subkey, const std::string& name) {
  HKEY raw = nullptr;
  LONG err = RegOpenKeyExW(HKEY_LOCAL_MACHINE, Utf8ToWide(subkey).c_str(), 0, KEY_READ, &raw);
  if (err != ERROR_SUCCESS) {
    VLOG_WARN("ExpandMacroText, RegOpenKeyEx HKLM\\%s failed, err %ld", subkey.c_str(), err);
    return std::string();
  }
  UniqueRegKey key(raw);
  const std::wstring valueName = Utf8ToWide(name);
  std::vector<wchar_t> data(128);
  for (;;) {
    DWORD type = 0;
    DWORD bytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));  // room for a zero
    err = RegQueryValueExW(key.get(), valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
    if (err == ERROR_MORE_DATA) {
      data.assign(bytes / sizeof(wchar_t) + 2, L'\0');
      continue;
    }
    if (err != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
      VLOG_WARN("ExpandMacroText, HKLM\\%s value %s is no readable text, err %ld, type %lu", subkey.c_str(),
                name.c_str(), err, type);
      return std::string();
    }
    data[bytes / sizeof(wchar_t)] = L'\0';  // stored strings need not end in a zero
    return WideToUtf8(data.data());
  }
}

}  // namespace

std::string GetEnvironmentText(const std::string& name) {
  const std::wstring wideName = Utf8ToWide(name);
  DWORD size = GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
  while (size > 0) {
    std::vector<wchar_t> value(size, L'\0');
    const DWORD length = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    if (length == 0) break;
    if (length < size) return WideToUtf8(value.data());
    size = length;  // it grew in between
  }
  VLOG_INFO("GetEnvironmentText, %s is unset or empty", name.c_str());
  return std::string();
}

const char* ExpandMacroText(const char* p, const char* end, std::string* out) {
  if (StartsWith(p, end, "reg:")) {
    const char* subkey = p + 4;
    const char* comma = Find(subkey, end, ',');
    if (!comma) return subkey;
    const char* semicolon = Find(comma + 1, end, ';');
    if (!semicolon) return comma + 1;
    out->append(ReadMachineRegistryText(std::string(subkey, comma), std::string(comma + 1, semicolon)));
    return semicolon + 1;
  }
  if (StartsWith(p, end, "env:")) {
    const char* name = p + 4;
    const char* semicolon = Find(name, end, ';');
    if (!semicolon) return name;
    out->append(GetEnvironmentText(std::string(name, semicolon)));
    return semicolon + 1;
  }
  if (StartsWith(p, end, "sh:")) {
    const char* semicolon = Find(p + 3, end, ';');
    return semicolon ? semicolon + 1 : p + 3;
  }
  return p;
}
