#include "engine/jobs/install_folder_guard.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "common/log/vlog.h"

namespace {

std::wstring Normalized(std::wstring path) {
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  while (path.size() > 1 && path.back() == L'\\') path.pop_back();
  if (!path.empty()) CharUpperBuffW(&path[0], static_cast<DWORD>(path.size()));
  return path;
}

// "C:" or "\\server\share" (after Normalized).
bool IsRoot(const std::wstring& path) {
  if (path.size() == 2 && path[1] == L':') return true;
  if (path.compare(0, 2, L"\\\\") != 0) return false;
  const size_t server = path.find(L'\\', 2);
  return server == std::wstring::npos || path.find(L'\\', server + 1) == std::wstring::npos;
}

bool IsAbsolute(const std::wstring& path) {
  return (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') || path.compare(0, 2, L"\\\\") == 0;
}

std::vector<std::wstring> SystemFolders() {
  static const int kFolders[] = {CSIDL_WINDOWS,
                                 CSIDL_SYSTEM,
                                 CSIDL_SYSTEMX86,
                                 CSIDL_PROGRAM_FILES,
                                 CSIDL_PROGRAM_FILESX86,
                                 CSIDL_PROGRAM_FILES_COMMON,
                                 CSIDL_PROFILE,
                                 CSIDL_APPDATA,
                                 CSIDL_LOCAL_APPDATA,
                                 CSIDL_COMMON_APPDATA,
                                 CSIDL_PERSONAL,
                                 CSIDL_DESKTOPDIRECTORY,
                                 CSIDL_COMMON_DESKTOPDIRECTORY,
                                 CSIDL_PROGRAMS,
                                 CSIDL_COMMON_PROGRAMS};
  std::vector<std::wstring> folders;
  for (int id : kFolders) {
    wchar_t path[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path))) folders.push_back(path);
  }
  wchar_t temp[MAX_PATH + 1] = {};
  if (GetTempPathW(MAX_PATH + 1, temp)) folders.push_back(temp);
  return folders;
}

// folder is system or lies above it.
bool Holds(const std::wstring& folder, const std::wstring& system) {
  return system.compare(0, folder.size(), folder) == 0 &&
         (system.size() == folder.size() || system[folder.size()] == L'\\');
}

}  // namespace

bool IsRemovableInstallFolder(const std::wstring& folder) {
  const std::wstring path = Normalized(folder);
  bool removable = IsAbsolute(path) && !IsRoot(path) && path.find(L"\\..") == std::wstring::npos;
  for (const std::wstring& system : SystemFolders()) {
    if (!removable) break;
    removable = !Holds(path, Normalized(system));
  }
  if (!removable) VLOG_ERROR("IsRemovableInstallFolder, %S is not an install folder, kept", folder.c_str());
  return removable;
}

bool IsSameFolder(const std::wstring& a, const std::wstring& b) { return Normalized(a) == Normalized(b); }

bool IsVerifiedInstallFolder(const std::wstring& folder, const std::wstring& verified) {
  if (verified.empty() || !IsSameFolder(folder, verified)) {
    VLOG_ERROR("IsVerifiedInstallFolder, %S is not the folder the installed product was read from (%S)", folder.c_str(),
               verified.c_str());
    return false;
  }
  return IsRemovableInstallFolder(folder);
}
