// Resolving the paths of component records on this machine.
#include <windows.h>
#include <shlobj.h>

#include "engine/parser/product_config.h"

namespace {

std::wstring ShellFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return L"";
  return buffer;
}

std::wstring SystemFolder() {
  wchar_t buffer[MAX_PATH] = {};
  UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  return (length > 0 && length < MAX_PATH) ? buffer : L"";
}

std::wstring WindowsFolder() {
  wchar_t buffer[MAX_PATH] = {};
  UINT length = GetWindowsDirectoryW(buffer, MAX_PATH);
  return (length > 0 && length < MAX_PATH) ? buffer : L"";
}

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

std::wstring ProductConfig::ExpandPathVariables(const std::wstring& path) const {
  std::wstring lower = path;
  if (!lower.empty()) CharLowerBuffW(&lower[0], static_cast<DWORD>(lower.size()));

  struct Variable {
    const wchar_t* name;
    std::wstring (*folder)();
  };
  static const Variable kVariables[] = {
      {L"%programfiles%", [] { return ShellFolder(CSIDL_PROGRAM_FILES); }},
      {L"$desktop", [] { return ShellFolder(CSIDL_DESKTOP); }},
      {L"$system32", SystemFolder},
      {L"$windir", WindowsFolder},
  };
  for (const Variable& variable : kVariables) {
    std::wstring name = variable.name;
    if (!StartsWith(lower, name)) continue;
    std::wstring folder = variable.folder();
    return folder.empty() ? L"" : folder + lower.substr(name.size());
  }
  return configFolder + lower;
}
