#include "engine/update/uninstall_record.h"

#include <cwchar>

#include "common/log/vlog.h"
#include "common/sys/reg_path.h"
#include "common/sys/unique_handles.h"
#include "engine/job/prompt.h"

const wchar_t kUninstallRecordKey[] = L"HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo";

namespace {

constexpr int kStepUninstallRecord = 14;
constexpr int kUninstallRecordShare = 5;

std::wstring InstallDateText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  wchar_t text[16] = {};
  swprintf(text, 16, L"%4d%02d%02d", now.wYear, now.wMonth, now.wDay);
  return text;
}

// One value of the record, written through the key the caller created.
struct RecordValue {
  const wchar_t* name;
  DWORD type;
  std::wstring text;  // REG_SZ
  DWORD number;       // REG_DWORD
};

LONG Write(HKEY key, const RecordValue& value) {
  if (value.type == REG_DWORD) {
    return RegSetValueExW(key, value.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value.number),
                          sizeof(value.number));
  }
  return RegSetValueExW(key, value.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.c_str()),
                        static_cast<DWORD>((value.text.size() + 1) * sizeof(wchar_t)));
}

}  // namespace

int CreateUninstallRegInfo(const UninstallRecordInfo& info, IInstallUIPromptEx* prompt, const std::wstring& keyPath) {
  const std::wstring date = InstallDateText();
  if (prompt) prompt->OnProgress(kStepUninstallRecord, kUninstallRecordShare, keyPath);
  RegistryPath where;
  if (!ParseRegistryPath(keyPath, &where) || where.subkey.empty()) {
    VLOG_ERROR("CreateUninstallRegInfo, %S is no registry key path", keyPath.c_str());
    return ERROR_BAD_PATHNAME;
  }
  HKEY raw = nullptr;
  LONG err = RegCreateKeyExW(where.root, where.subkey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                             KEY_READ | KEY_WRITE, nullptr, &raw, nullptr);
  if (err != ERROR_SUCCESS) {
    VLOG_ERROR("CreateUninstallRegInfo, RegCreateKeyEx %S failed, err %ld", keyPath.c_str(), err);
    return static_cast<int>(err);
  }
  UniqueRegKey key(raw);
  const std::wstring uninstaller = info.installFolder + L"\\PackageManager.exe";
  const RecordValue values[] = {
      {L"DisplayName", REG_SZ, L"TamselPelluvo", 0},
      {L"DisplayVersion", REG_SZ, info.displayVersion, 0},
      {L"EstimatedSize", REG_DWORD, L"", static_cast<DWORD>(info.unpackedBytes / 1024)},
      {L"InstallDate", REG_SZ, date, 0},
      {L"Publisher", REG_SZ, L"Orvenna", 0},
      {L"UninstallString", REG_SZ, L"\"" + uninstaller + L"\" /uninstall", 0},
      {L"DisplayIcon", REG_SZ, uninstaller, 0},
  };
  for (const RecordValue& value : values) {
    err = Write(key.get(), value);
    if (err != ERROR_SUCCESS) {
      VLOG_ERROR("CreateUninstallRegInfo, RegSetValueEx %S\\%S failed, err %ld", keyPath.c_str(), value.name, err);
      return static_cast<int>(err);
    }
  }
  return 0;
}
