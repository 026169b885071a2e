#include "common/sys/reg_path.h"

#include <cwctype>

namespace {

struct RootName {
  const wchar_t* name;
  HKEY key;
};

const RootName kRoots[] = {
    {L"HKCR", HKEY_CLASSES_ROOT},  {L"HKCC", HKEY_CURRENT_CONFIG}, {L"HKCU", HKEY_CURRENT_USER},
    {L"HKLM", HKEY_LOCAL_MACHINE}, {L"HKUS", HKEY_USERS},
};

bool SameLettersIgnoringCase(const std::wstring& text, const wchar_t* name) {
  for (size_t i = 0; i < 4; ++i) {
    if (std::towupper(text[i]) != static_cast<wint_t>(name[i])) return false;
  }
  return true;
}

}  // namespace

bool ParseRegistryPath(const std::wstring& path, RegistryPath* out) {
  if (path.size() < 4) return false;
  for (const RootName& root : kRoots) {
    if (SameLettersIgnoringCase(path, root.name)) {
      out->root = root.key;
      out->subkey = path.size() > 5 ? path.substr(5) : std::wstring();
      return true;
    }
  }
  return false;
}
