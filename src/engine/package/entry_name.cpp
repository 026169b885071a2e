#include "engine/package/entry_name.h"

#include <cwctype>

namespace {

bool IsSeparator(wchar_t c) { return c == L'/' || c == L'\\'; }

bool IsForbiddenCharacter(wchar_t c) {
  return c < 0x20 || c == L':' || c == L'<' || c == L'>' || c == L'"' || c == L'|' || c == L'?' || c == L'*';
}

std::wstring Upper(const std::wstring& text) {
  std::wstring out(text);
  for (wchar_t& c : out) c = static_cast<wchar_t>(std::towupper(c));
  return out;
}

// Windows opens a device for these names, with or without an extension.
bool IsDeviceName(const std::wstring& component) {
  const std::wstring base = Upper(component.substr(0, component.find(L'.')));
  static const wchar_t* const kDevices[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* device : kDevices) {
    if (base == device) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0) && base[3] >= L'0' &&
      base[3] <= L'9') {
    return true;
  }
  return false;
}

bool IsSafeComponent(const std::wstring& component) {
  if (component.empty()) return false;
  const wchar_t last = component.back();
  // "." and ".." end in a dot; Windows drops trailing dots and blanks, so "a." would be "a".
  if (last == L'.' || last == L' ') return false;
  for (wchar_t c : component) {
    if (IsForbiddenCharacter(c)) return false;
  }
  return !IsDeviceName(component);
}

}  // namespace

bool ToSafeRelativePath(const std::wstring& name, std::wstring* relative) {
  if (name.empty() || IsSeparator(name.front())) return false;
  std::wstring out;
  size_t start = 0;
  for (;;) {
    size_t end = start;
    while (end < name.size() && !IsSeparator(name[end])) ++end;
    const std::wstring component = name.substr(start, end - start);
    if (!IsSafeComponent(component)) return false;
    out += component;
    if (end == name.size()) break;
    out += L'\\';
    start = end + 1;
  }
  *relative = out;
  return true;
}
