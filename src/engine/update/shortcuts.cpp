// Shell shortcuts on the desktop, in a start-menu folder and among the taskbar's pinned items.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <set>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/file_delete.h"
#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "engine/job/prompt.h"
#include "engine/parser/file_on_disk.h"
#include "engine/update/update_eng_ex.h"

namespace {

constexpr int kStepShortcut = 12;
constexpr int kStepOther = 0;
constexpr int kShortcutShare = 5;

// Releases a COM interface once.
template <typename T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  void** out() { return reinterpret_cast<void**>(&p); }
};

std::wstring ShellFolder(int csidl) {
  LPITEMIDLIST list = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) return L"";
  wchar_t path[MAX_PATH] = {};
  const BOOL found = SHGetPathFromIDListW(list, path);
  CoTaskMemFree(list);
  return found ? path : L"";
}

// "name_" + the language code; on a system of another language the English names, so that
// install and uninstall find the same shortcuts.
std::string NameAttribute() {
  const std::wstring& code = SystemInfo::GetInstance().LanguageCode();
  return "name_" + (code.empty() ? std::string("0409") : WideToUtf8(code));
}

std::wstring StartMenuFolderName(const ShortCutRecord& record) {
  return Utf8ToWide(FindAttribute(record.folder, NameAttribute()));
}

// The folder a record's shortcut lives in; empty when the shell cannot give it.
std::wstring FolderOf(const ShortCutRecord& record) {
  switch (record.location) {
    case kShortCutDesktop:
      return GetDesktopDir();
    case kShortCutStartMenu: {
      const std::wstring programs = GetProgramsDir();
      return programs.empty() ? L"" : programs + L"\\" + StartMenuFolderName(record);
    }
    case kShortCutQuickLaunch:
      return GetQuickLaunchPinDir();
  }
  return L"";
}

std::wstring WithLinkExtension(const std::wstring& path) {
  const bool has = path.size() >= 4 && path.compare(path.size() - 4, 4, L".lnk") == 0;
  return has ? path : path + L".lnk";
}

// A folder with a name of its own (start menu) or the pinned-items folder, made when missing.
void MakeShortcutFolder(const ShortCutRecord& record, const std::wstring& folder) {
  const bool own = (record.location == kShortCutStartMenu && !StartMenuFolderName(record).empty()) ||
                   record.location == kShortCutQuickLaunch;
  if (own) SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
}

}  // namespace

std::wstring GetDesktopDir() { return ShellFolder(CSIDL_DESKTOP); }

std::wstring GetProgramsDir() { return ShellFolder(CSIDL_PROGRAMS); }

std::wstring GetQuickLaunchPinDir() {
  const std::wstring appData = ShellFolder(CSIDL_APPDATA);
  return appData.empty() ? L"" : appData + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
}

void CUpdateEngEx::InstallShortcuts(bool desktopFlag) {
  const int total = static_cast<int>(addList.shortCuts.size());
  int done = 1;
  const std::string nameAttribute = NameAttribute();
  for (const ShortCutRecord& record : addList.shortCuts) {
    if (record.excluded || (record.location == kShortCutDesktop && !desktopFlag)) continue;
    const std::wstring folder = FolderOf(record);
    const std::wstring name = Utf8ToWide(FindAttribute(record.attributes, nameAttribute));
    const std::wstring link = Utf8ToWide(FindAttribute(record.attributes, "link"));
    if (folder.empty() || name.empty() || link.empty()) {
      VLOG_ERROR("InstallShortcuts, skipped: location %d, folder %S, %s %S, link %S", record.location, folder.c_str(),
                 nameAttribute.c_str(), name.c_str(), link.c_str());
      continue;
    }
    MakeShortcutFolder(record, folder);
    const std::wstring target = newProduct.productFolder + L"\\" + link;
    const std::wstring args = Utf8ToWide(FindAttribute(record.attributes, "argv"));
    std::wstring path = folder + L"\\" + name;
    if (prompt) prompt->OnProgressEx(kStepShortcut, done++, total, path, kShortcutShare);
    path = WithLinkExtension(path);
    VLOG_INFO("InstallShortcuts, CreateShortCut, ShortcutPath:%S, ShortcutLink:%S, ShortcutArg:%S | ", path.c_str(),
              target.c_str(), args.c_str());
    const int result = CreateShortCut(path, target, args);
    if (result != 0) {
      VLOG_ERROR(
          "InstallShortcuts, CreateShortCut failed, iRet:%d, ShortcutPath:%S, ShortcutLink:%S, ShortcutArg:%S | ",
          result, path.c_str(), target.c_str(), args.c_str());
    }
  }
  if (prompt) prompt->OnProgress(kStepOther, kShortcutShare, L"");
}

void CUpdateEngEx::UninstallShortcuts() {
  std::set<std::wstring> startMenuFolders;
  const std::string nameAttribute = NameAttribute();
  for (const ShortCutRecord& record : deleteList.shortCuts) {
    const std::wstring folder = FolderOf(record);
    const std::wstring name = Utf8ToWide(FindAttribute(record.attributes, nameAttribute));
    if (folder.empty() || name.empty()) continue;  // the install made nothing for it either
    if (record.location == kShortCutStartMenu && !StartMenuFolderName(record).empty()) startMenuFolders.insert(folder);
    const std::wstring path = WithLinkExtension(folder + L"\\" + name);
    if (PathExists(path)) DeleteFileOrDefer(path);
  }
  for (const std::wstring& folder : startMenuFolders) DeleteDirectoryTree(folder, {});
}

int CUpdateEngEx::CreateShortCut(const std::wstring& path, const std::wstring& target, const std::wstring& args) {
  ComPtr<IShellLinkW> link;
  HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.out());
  if (FAILED(hr) || !link.p) {
    VLOG_ERROR("CreateShortCut, CoCreateInstance ShellLink failed, hr %lx", static_cast<unsigned long>(hr));
    return -2;
  }
  const size_t slash = target.rfind(L'\\');
  const std::wstring folder = slash == std::wstring::npos ? target : target.substr(0, slash);
  link.p->SetPath(target.c_str());
  link.p->SetArguments(args.c_str());
  link.p->SetShowCmd(SW_SHOW);
  link.p->SetWorkingDirectory(folder.c_str());
  ComPtr<IPersistFile> file;
  hr = link.p->QueryInterface(IID_IPersistFile, file.out());
  if (FAILED(hr) || !file.p) {
    VLOG_ERROR("CreateShortCut, no IPersistFile, hr %lx", static_cast<unsigned long>(hr));
    return -1;
  }
  hr = file.p->Save(path.c_str(), TRUE);
  if (FAILED(hr)) {
    VLOG_ERROR("CreateShortCut, Save %S failed, hr %lx", path.c_str(), static_cast<unsigned long>(hr));
    return -3;
  }
  return 0;
}
