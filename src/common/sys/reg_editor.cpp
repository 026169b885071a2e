#include "common/sys/reg_editor.h"

#include <cwctype>

#include "common/log/vlog.h"
#include "common/sys/reg_path.h"
#include "common/sys/unique_handles.h"

namespace {

constexpr DWORD kMaxKeyNameLength = 260;

// A registry path text with a root and a non-empty subkey. Without a subkey the operation
// would act on the root key itself, which these helpers never write or remove.
bool ResolveKeyPath(const char* operation, const std::wstring& path, RegistryPath* out) {
  if (!ParseRegistryPath(path, out)) {
    VLOG_ERROR("%s, %S names no registry root", operation, path.c_str());
    return false;
  }
  if (out->subkey.empty()) {
    VLOG_ERROR("%s, %S has no subkey, refused", operation, path.c_str());
    return false;
  }
  return true;
}

// The decimal number the text begins with (blanks and one sign allowed), modulo 2^32; 0 when none.
DWORD LeadingNumber(const std::wstring& text) {
  size_t i = 0;
  while (i < text.size() && std::iswspace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
  DWORD number = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    number = number * 10 + static_cast<DWORD>(text[i] - L'0');
  }
  return negative ? 0u - number : number;
}

LONG WriteValue(HKEY key, const std::wstring& name, DWORD type, const std::wstring& value) {
  if (type == REG_DWORD) {
    const DWORD number = LeadingNumber(value);
    return RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof(number));
  }
  const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  return RegSetValueExW(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()), bytes);
}

}  // namespace

bool CRegEditor::SetValue(const std::wstring& path, const std::wstring& name, DWORD type, const std::wstring& value) {
  if (type != REG_SZ && type != REG_BINARY && type != REG_DWORD) {
    VLOG_ERROR("CRegEditor::SetValue, type %lu of %S\\%S is not written", type, path.c_str(), name.c_str());
    return false;
  }
  RegistryPath key;
  if (!ResolveKeyPath("CRegEditor::SetValue", path, &key)) return false;
  HKEY raw = nullptr;
  LONG err = RegCreateKeyExW(key.root, key.subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE,
                             nullptr, &raw, nullptr);
  if (err != ERROR_SUCCESS) {
    VLOG_ERROR("CRegEditor::SetValue, RegCreateKeyEx %S failed, err %ld", path.c_str(), err);
    return false;
  }
  UniqueRegKey opened(raw);
  err = WriteValue(opened.get(), name, type, value);
  if (err != ERROR_SUCCESS) {
    VLOG_ERROR("CRegEditor::SetValue, RegSetValueEx %S\\%S failed, err %ld", path.c_str(), name.c_str(), err);
    return false;
  }
  return true;
}

bool CRegEditor::Clean(const std::wstring& path, const std::wstring& name) {
  RegistryPath key;
  if (!ResolveKeyPath("CRegEditor::Clean", path, &key)) return false;
  if (name.empty()) return DeleteKeyTree(key.root, key.subkey);

  HKEY raw = nullptr;
  LONG err = RegOpenKeyExW(key.root, key.subkey.c_str(), 0, KEY_WRITE, &raw);
  if (err != ERROR_SUCCESS) {
    VLOG_WARN("CRegEditor::Clean, RegOpenKeyEx %S failed, err %ld", path.c_str(), err);
    return false;
  }
  UniqueRegKey opened(raw);
  err = RegDeleteValueW(opened.get(), name.c_str());
  if (err != ERROR_SUCCESS) {
    VLOG_WARN("CRegEditor::Clean, RegDeleteValue %S\\%S failed, err %ld", path.c_str(), name.c_str(), err);
    return false;
  }
  return true;
}

bool CRegEditor::DeleteKeyTree(HKEY parent, const std::wstring& subkey) {
  if (subkey.empty()) {
    VLOG_ERROR("CRegEditor::DeleteKeyTree, empty subkey refused: the parent key stays");
    return false;
  }
  HKEY raw = nullptr;
  LONG err = RegOpenKeyExW(parent, subkey.c_str(), 0, KEY_READ | KEY_WRITE, &raw);
  if (err != ERROR_SUCCESS) {
    VLOG_WARN("CRegEditor::DeleteKeyTree, RegOpenKeyEx %S failed, err %ld", subkey.c_str(), err);
    return false;
  }
  {
    UniqueRegKey key(raw);
    for (;;) {
      wchar_t child[kMaxKeyNameLength];
      DWORD length = kMaxKeyNameLength;
      if (RegEnumKeyExW(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
        break;
      }
      if (!DeleteKeyTree(key.get(), child)) break;  // never read the same child again
    }
  }
  err = RegDeleteKeyW(parent, subkey.c_str());
  if (err != ERROR_SUCCESS) {
    VLOG_ERROR("CRegEditor::DeleteKeyTree, RegDeleteKey %S failed, err %ld", subkey.c_str(), err);
    return false;
  }
  return true;
}
