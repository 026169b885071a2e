// Registry values named by the components: written by the install, removed by the uninstall.
#include <windows.h>

#include <cwctype>

#include "common/log/vlog.h"
#include "common/sys/reg_editor.h"
#include "common/sys/reg_path.h"
#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "engine/job/prompt.h"
#include "engine/job/reg_value.h"
#include "engine/parser/text_compare.h"
#include "engine/update/update_eng_ex.h"

namespace {

constexpr int kStepRegistry = 13;
constexpr int kRegistryShare = 5;
constexpr int kDeleteType = -1;
constexpr int kUnknownType = -2;
const wchar_t kRunKey[] = L"HKLM\\SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";

struct TypeName {
  const wchar_t* name;
  int number;
};

const TypeName kTypes[] = {
    {L"REG_SZ", REG_SZ},
    {L"DELETE", kDeleteType},
    {L"REG_BINARY", REG_BINARY},
    {L"REG_DWORD", REG_DWORD},
    {L"REG_QDWORD", REG_QWORD},
    {L"REG_DWORD_LITTLE_ENDIAN", REG_DWORD_LITTLE_ENDIAN},
    {L"REG_QDWORD_LITTLE_ENDIAN", REG_QWORD_LITTLE_ENDIAN},
    {L"REG_DWORD_BIG_ENDIAN", REG_DWORD_BIG_ENDIAN},
    {L"REG_EXPAND_SZ", REG_EXPAND_SZ},
    {L"REG_LINK", REG_LINK},
    {L"REG_MULTI_SZ", REG_MULTI_SZ},
    {L"REG_NONE", REG_NONE},
    {L"REG_RESOURCE_LIST", REG_RESOURCE_LIST},
};

int TypeNumber(const std::wstring& name) {
  for (const TypeName& type : kTypes) {
    if (EqualsNoCase(name, std::wstring(type.name))) return type.number;
  }
  return kUnknownType;
}

// The texts of one record, as the walks read them.
struct RegValueText {
  std::wstring key;
  std::wstring name;
  std::wstring type;
  std::wstring value;
  bool complete = false;  // "key", "name" and "type" are all there
};

// "value" when not empty, else "value_" + the system's language code, else empty.
RegValueText ReadRecord(const RegUpdateRecord& record) {
  const AttributeMap& a = record.attributes;
  RegValueText text;
  text.key = Utf8ToWide(FindAttribute(a, "key"));
  text.name = Utf8ToWide(FindAttribute(a, "name"));
  text.type = Utf8ToWide(FindAttribute(a, "type"));
  text.complete = a.count("key") && a.count("name") && a.count("type");
  text.value = Utf8ToWide(FindAttribute(a, "value"));
  if (text.value.empty()) {
    text.value = Utf8ToWide(FindAttribute(a, "value_" + WideToUtf8(SystemInfo::GetInstance().LanguageCode())));
  }
  return text;
}

void UpperCase(std::wstring& text) {
  for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
}

LONG SetValue(HKEY key, const std::wstring& name, DWORD type, const void* data, DWORD bytes) {
  return RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes);
}

// REG_DWORD of the decimal number the text begins with (blanks and a sign allowed; 0 when none).
LONG SetNumber(HKEY key, const std::wstring& name, const std::wstring& value) {
  const DWORD number = static_cast<DWORD>(DecimalValue(WideToUtf8(value)));
  return SetValue(key, name, REG_DWORD, &number, sizeof(number));
}

LONG SetText(HKEY key, const std::wstring& name, const std::wstring& value) {
  return SetValue(key, name, REG_SZ, value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// A stored "version" is replaced whatever it holds; the old one is kept in the log.
bool SetVersion(const std::wstring& path, const std::wstring& name, const std::wstring& value) {
  std::wstring stored;
  if (ReadRegValue(path, name, stored)) {
    VLOG_INFO("UpdateRegistry, %S\\%S %S replaced by %S", path.c_str(), name.c_str(), stored.c_str(), value.c_str());
  }
  return CRegEditor::SetValue(path, name, REG_SZ, value);
}

bool WriteByType(HKEY key, int type, const std::wstring& path, const std::wstring& name, const std::wstring& value) {
  LONG err = ERROR_SUCCESS;
  switch (type) {
    case kDeleteType:
      err = RegDeleteValueW(key, name.c_str());
      break;
    case REG_SZ:
      if (EqualsNoCase(name, std::wstring(L"version"))) return SetVersion(path, name, value);
      err = SetText(key, name, value);
      break;
    case REG_DWORD:
      err = SetNumber(key, name, value);
      break;
    default:
      VLOG_ERROR("UpdateRegistry, type %d of %S\\%S is not written", type, path.c_str(), name.c_str());
      return false;
  }
  if (err != ERROR_SUCCESS) {
    VLOG_ERROR("UpdateRegistry, %s %S\\%S failed, err %ld", type == kDeleteType ? "RegDeleteValue" : "RegSetValueEx",
               path.c_str(), name.c_str(), err);
    return false;
  }
  return true;
}

// Removes the value; an empty name is the key's default value (CRegEditor::Clean would take
// the whole key with it).
bool RemoveValue(const std::wstring& path, const std::wstring& name) {
  if (!name.empty()) return CRegEditor::Clean(path, name);
  RegistryPath where;
  if (!ParseRegistryPath(path, &where) || where.subkey.empty()) return false;
  HKEY raw = nullptr;
  LONG err = RegOpenKeyExW(where.root, where.subkey.c_str(), 0, KEY_WRITE, &raw);
  if (err == ERROR_SUCCESS) {
    UniqueRegKey key(raw);
    err = RegDeleteValueW(key.get(), L"");
  }
  if (err != ERROR_SUCCESS) VLOG_WARN("UninstallRegs, default value of %S not removed, err %ld", path.c_str(), err);
  return err == ERROR_SUCCESS;
}

}  // namespace

int CUpdateEngEx::InstallRegs(bool runKeyFlag) {
  const int total = static_cast<int>(addList.regUpdates.size());
  int done = 1;
  for (const RegUpdateRecord& record : addList.regUpdates) {
    RegValueText text = ReadRecord(record);
    if (!runKeyFlag) {
      UpperCase(text.key);
      if (text.key == kRunKey) continue;
    }
    const wchar_t* key = text.key.c_str();
    const wchar_t* name = text.name.c_str();
    const wchar_t* type = text.type.c_str();
    const wchar_t* value = text.value.c_str();
    VLOG_INFO("InstallRegs, UpdateRegistry, KeyPath:%S, KeyName:%S, KeyType:%S, KeyValue:%S | ", key, name, type,
              value);
    if (prompt) prompt->OnProgressEx(kStepRegistry, done++, total, text.key, kRegistryShare);
    if (!text.complete || !UpdateRegistry(text.key, text.name, text.type, text.value)) {
      VLOG_ERROR("InstallRegs, UpdateRegistry failed, KeyPath:%S, KeyName:%S, KeyType:%S, KeyValue:%S | ", key, name,
                 type, value);
    }
  }
  if (prompt) prompt->OnProgress(kStepRegistry, kRegistryShare, L"");
  return 0;
}

bool CUpdateEngEx::UpdateRegistry(const std::wstring& path, const std::wstring& name, const std::wstring& type,
                                  const std::wstring& value) {
  RegistryPath where;
  // A root alone has no subkey text; "HKLM\" addresses the root key itself.
  if (path.size() < 5 || type.empty() || !ParseRegistryPath(path, &where)) {
    VLOG_ERROR("UpdateRegistry, %S is no registry path, or the type is empty", path.c_str());
    return false;
  }
  HKEY raw = nullptr;
  const LONG err = RegCreateKeyExW(where.root, where.subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_READ | KEY_WRITE, nullptr, &raw, nullptr);
  if (err != ERROR_SUCCESS || !raw) {
    VLOG_ERROR("UpdateRegistry, RegCreateKeyEx %S failed, err %ld", path.c_str(), err);
    return false;
  }
  UniqueRegKey key(raw);
  const int number = TypeNumber(type);
  if (number == kUnknownType) {
    VLOG_ERROR("UpdateRegistry, unknown type %S for %S\\%S", type.c_str(), path.c_str(), name.c_str());
    return false;
  }
  return WriteByType(key.get(), number, path, name, value);
}

int CUpdateEngEx::UninstallRegs() {
  for (const RegUpdateRecord& record : deleteList.regUpdates) {
    const RegValueText text = ReadRecord(record);
    VLOG_INFO("UninstallRegs, UpdateRegistry, KeyPath:%S, KeyName:%S, KeyType:%S, KeyValue:%S | ", text.key.c_str(),
              text.name.c_str(), text.type.c_str(), text.value.c_str());
    // Only the named value goes: other values of the key may be other software's. A "DELETE"
    // record wrote nothing to remove.
    if (!text.complete || TypeNumber(text.type) == kDeleteType) continue;
    if (!RemoveValue(text.key, text.name)) {
      VLOG_ERROR("UninstallRegs, CRegEditor::Clean failed, KeyPath:%S, KeyName:%S | ", text.key.c_str(),
                 text.name.c_str());
    }
  }
  return 0;
}
