#include "engine/job/install_paths.h"

#include <cwctype>

const wchar_t kWorkFolderName[] = L"~ZQSetup";
const wchar_t kDefaultRegKeyPath[] = L"HKLM\\Software\\TamselPLVV2";
const wchar_t kDefaultInstallSubDir[] = L"\\Orvenna\\PelluvoV2";
const wchar_t kInstallRoot[] = L"C:\\Program Files (x86)\\";

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

std::wstring InstallFolderOf(const std::wstring& path) {
  const bool drive = path.size() >= 3 && iswalpha(path[0]) && path[1] == L':' && path[2] == L'\\';
  const bool share = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'\\';
  if (!drive && !share) return std::wstring();
  std::wstring folder = path;
  while (folder.size() > 2 && folder.back() == L'\\') folder.pop_back();
  return folder;
}

void ApplyInstallPath(const std::wstring& descriptionPath, OpePARAMEx& record) {
  record.installSubDir = kDefaultInstallSubDir;
  if (descriptionPath.empty()) return;
  const bool rooted = descriptionPath[0] == L'\\' || descriptionPath[0] == L'/';
  record.installDir = kInstallRoot + (rooted ? descriptionPath.substr(1) : descriptionPath);
  record.installSubDir = rooted ? descriptionPath : L"\\" + descriptionPath;
}

std::wstring RegKeyPathOf(const std::wstring& regKey) {
  return regKey.empty() ? std::wstring(kDefaultRegKeyPath) : regKey;
}

int JobModeFor(int productType, int mode) {
  constexpr int kProductTypeWeb = 2;
  const bool prepared = mode == OpePARAMEx::CMD_INSTALL || mode == OpePARAMEx::CMD_SILENT_INSTALL ||
                        mode == OpePARAMEx::CMD_UNINSTALL || mode == OpePARAMEx::CMD_SILENT_UNINSTALL;
  return prepared && productType == kProductTypeWeb ? OpePARAMEx::CMD_WEB_SILENT_INSTALL : mode;
}
