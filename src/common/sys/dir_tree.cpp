#include "common/sys/dir_tree.h"

#include <algorithm>

#include "common/log/vlog.h"
#include "common/sys/file_delete.h"
#include "common/sys/unique_handles.h"

namespace {

bool IsDirectory(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsLinkAttributes(DWORD attributes) {
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Leading separators ("\" of a root-relative path, "\\" of a UNC path) name no level to create.
bool OnlySeparators(const std::wstring& prefix) { return prefix.find_first_not_of(L'\\') == std::wstring::npos; }

// Removes an empty folder (or a directory link itself); one that cannot go now goes at the
// next restart. A folder that is already gone needs nothing.
void RemoveFolderOrDefer(const std::wstring& folder) {
  if (RemoveDirectoryW(folder.c_str())) return;
  const DWORD err = GetLastError();
  if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return;
  VLOG_INFO("DeleteDirectoryTree, RemoveDirectory %S failed, err %lu, deferred", folder.c_str(), err);
  ScheduleDeleteAtRestart(folder);
}

void DeleteFileEntry(const std::wstring& path) {
  if (DeleteFileOrDefer(path) == -1) ScheduleDeleteAtRestart(path);
}

bool IsKept(const std::wstring& name, const std::vector<std::wstring>& keepNames) {
  return std::find(keepNames.begin(), keepNames.end(), name) != keepNames.end();
}

void DeleteEntries(const std::wstring& folder, const std::vector<std::wstring>& keepNames) {
  std::wstring prefix = folder;
  if (prefix.back() != L'\\' && prefix.back() != L'/') prefix += L'\\';
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle search(FindFirstFileW((prefix + L"*").c_str(), &entry));
  if (search.get() == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    if (err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND) {
      VLOG_WARN("DeleteDirectoryTree, FindFirstFile %S failed, err %lu", prefix.c_str(), err);
    }
    return;
  }
  do {
    const std::wstring name = entry.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = prefix + name;
    if (IsLinkAttributes(entry.dwFileAttributes)) {
      RemoveFolderOrDefer(path);  // the link, never what it points to
    } else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      DeleteDirectoryTree(path, {});
    } else if (!IsKept(name, keepNames)) {
      DeleteFileEntry(path);
    }
  } while (FindNextFileW(search.get(), &entry));
}

}  // namespace

DWORD CreateDirectoryTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return 0;
    VLOG_ERROR("CreateDirectoryTree, %S exists and is not a folder", path.c_str());
    return ERROR_ALREADY_EXISTS;
  }
  std::wstring work = path;
  if (work.empty() || work.back() != L'\\') work += L'\\';
  for (size_t end = work.find(L'\\'); end != std::wstring::npos; end = work.find(L'\\', end + 1)) {
    const std::wstring level = work.substr(0, end);
    if (OnlySeparators(level) || GetFileAttributesW(level.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    if (!CreateDirectoryW(level.c_str(), nullptr)) {
      const DWORD err = GetLastError();
      // Made meanwhile by another thread or process: what was wanted.
      if (err == ERROR_ALREADY_EXISTS && IsDirectory(level)) continue;
      VLOG_ERROR("CreateDirectoryTree, CreateDirectory %S failed, err %lu", level.c_str(), err);
      return err;
    }
  }
  if (!IsDirectory(path)) {
    VLOG_ERROR("CreateDirectoryTree, %S is no folder after creating its levels", path.c_str());
    return ERROR_PATH_NOT_FOUND;
  }
  return 0;
}

int DeleteDirectoryTree(const std::wstring& folder, const std::vector<std::wstring>& keepNames) {
  if (folder.empty()) return 0;
  const DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD err = GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return 0;  // nothing to delete
  }
  if (attributes == INVALID_FILE_ATTRIBUTES || !IsLinkAttributes(attributes)) {
    DeleteEntries(folder, keepNames);
  }
  RemoveFolderOrDefer(folder);
  return 0;
}
