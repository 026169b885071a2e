#include "app/install_folder.h"

#include <shlobj.h>

#include "app/app_log.h"

namespace {

bool IsUsablePart(const std::wstring& part) {
  if (part.empty() || part == L"." || part == L"..") return false;
  if (part.back() == L'.' || part.back() == L' ') return false;
  for (wchar_t c : part) {
    if (c < 32 || wcschr(L"<>:\"/|?*", c) != nullptr) return false;
  }
  return true;
}

// Checks the backslash-separated parts of path from `from` on.
bool PartsUsable(const std::wstring& path, size_t from) {
  while (from < path.size()) {
    size_t end = path.find(L'\\', from);
    if (end == std::wstring::npos) end = path.size();
    if (!IsUsablePart(path.substr(from, end - from))) return false;
    from = end + 1;
  }
  return true;
}

}  // namespace

bool IsUsableInstallFolder(const std::wstring& folder) {
  if (folder.size() < 3 || folder.size() > kMaxInstallFolder) return false;
  if (folder.back() == L'\\') return false;
  const bool drive = iswalpha(folder[0]) && folder[1] == L':' && folder[2] == L'\\';
  if (drive) return folder.size() > 3 && PartsUsable(folder, 3);
  if (folder.compare(0, 2, L"\\\\") != 0) return false;
  // "\\server\share\folder": a server and a share, then at least one folder.
  const size_t share = folder.find(L'\\', 2);
  if (share == std::wstring::npos) return false;
  const size_t below = folder.find(L'\\', share + 1);
  return below != std::wstring::npos && PartsUsable(folder, 2);
}

std::wstring AppendInstallSubFolder(std::wstring folder, const std::wstring& subFolder) {
  const std::wstring sub = subFolder.empty() ? L"\\Orvenna\\PelluvoV2" : subFolder;
  if (!folder.empty() && folder.back() == L'\\' && !sub.empty() && sub.front() == L'\\') folder.pop_back();
  return folder + sub;
}

std::wstring ChooseInstallFolder(HWND owner, const std::wstring& subFolder) {
  BROWSEINFOW info = {};
  info.hwndOwner = owner;
  info.lpszTitle = L"请选择安装目录：";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
  LPITEMIDLIST item = SHBrowseForFolderW(&info);
  if (item == nullptr) return std::wstring();
  wchar_t path[MAX_PATH] = {};
  const BOOL named = SHGetPathFromIDListW(item, path);
  CoTaskMemFree(item);
  if (!named || path[0] == L'\0') {
    AppLog(4, "ChooseInstallFolder, SHGetPathFromIDList failed");
    return std::wstring();
  }
  const std::wstring folder = AppendInstallSubFolder(path, subFolder);
  if (!IsUsableInstallFolder(folder)) {
    AppLog(4, "ChooseInstallFolder, folder %S not usable", folder.c_str());
    MessageBoxW(owner, L"所选目录不可用，请选择其他目录。", L"提示", MB_OK | MB_ICONWARNING);
    return std::wstring();
  }
  return folder;
}
