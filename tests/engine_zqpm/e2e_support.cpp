#include "e2e_support.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <regex>

#include "common/sys/system_info.h"
#include "zqpm_test_support.h"

namespace zqtest {

const wchar_t kProductKey[] = L"Software\\TamselPLVV2";
const wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo";
const wchar_t kComMarkerKey[] = L"Software\\Orvenna\\PelluvoHelper";
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

namespace {

std::string Attribute(const std::string& tag, const char* name) {
  const std::regex pattern(std::string("\\b") + name + "=\"([^\"]*)\"");
  std::smatch match;
  return std::regex_search(tag, match, pattern) ? match[1].str() : std::string();
}

// Whether a file record fits this system, by the sample's own "platform" and "os" values.
bool Fits(const std::string& tag) {
  const std::string platform = Attribute(tag, "platform");
  if (!platform.empty()) {
    SYSTEM_INFO info;
    GetNativeSystemInfo(&info);
    const bool x64 = info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
    if (platform != (x64 ? "x64" : "x86")) return false;
  }
  const std::string os = Attribute(tag, "os");
  if (os.empty()) return true;
  const std::wstring version = SystemInfo::GetInstance().VersionText();  // "6.1"
  const int running = (version[0] - L'0') * 10 + (version.size() > 2 ? version[2] - L'0' : 0);
  if (os == "5.1-5.2") return running >= 51 && running <= 52;
  if (os == "6.0") return running == 60;
  if (os == "6.1+") return running >= 61;
  ADD_FAILURE() << "the sample has an os value this test does not know: " << os;
  return false;
}

void AddRecordsOf(const std::wstring& config, std::vector<ExpectedFile>& files) {
  const std::string text = ReadFileBytes(StageDir() + L"\\package\\" + config);
  const std::regex tagPattern("<file\\b[^>]*>");
  for (auto it = std::sregex_iterator(text.begin(), text.end(), tagPattern); it != std::sregex_iterator(); ++it) {
    const std::string tag = it->str();
    if (!Fits(tag)) continue;
    const std::string path = Attribute(tag, "path");
    const std::string newPath = Attribute(tag, "newpath");
    files.push_back({Wide(newPath.empty() ? path : newPath), Wide(path), std::stoll(Attribute(tag, "time"))});
  }
}

}  // namespace

std::wstring StageDir() { return Wide(ZQ_E2E_STAGE_DIR); }

std::vector<ExpectedFile> ExpectedProductFiles() {
  std::vector<ExpectedFile> files;
  AddRecordsOf(L"PLV.config", files);
  AddRecordsOf(L"setup.config", files);
  for (const wchar_t* config : {L"Product.config", L"PLV.config", L"setup.config"}) {
    files.push_back({std::wstring(L"package\\") + config, std::wstring(L"package\\") + config, -1});
  }
  return files;
}

namespace {
int CountTags(const char* tag) {
  int count = 0;
  for (const wchar_t* config : {L"PLV.config", L"setup.config"}) {
    const std::string text = ReadFileBytes(StageDir() + L"\\package\\" + config);
    for (size_t at = text.find(tag); at != std::string::npos; at = text.find(tag, at + 1)) ++count;
  }
  return count;
}
}  // namespace

int SampleFileRecordCount() { return CountTags("<file "); }

int SampleRegistryRecordCount() { return CountTags("<reg "); }

int64_t ProgramPackageBytes() {
  const std::string list = ReadFileBytes(StageDir() + L"\\list0.txt");
  int64_t total = 0;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find("\r\n", start);
    if (end == std::string::npos) end = list.size();
    const std::wstring path = StageDir() + L"\\" + Wide(list.substr(start, end - start));
    if (end > start) {
      WIN32_FILE_ATTRIBUTE_DATA data;
      if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) total += data.nFileSizeLow;
    }
    start = end + 2;
  }
  return total;
}

std::wstring ProductName() {
  const std::wstring language = SystemInfo::GetInstance().LanguageCode();
  if (language == L"0804") return L"Tamsel\u6e38\u620fPelluvo";
  if (language == L"0404") return L"Tamsel\u904a\u6232Pelluvo";
  return L"Tamsel Pelluvo";
}

std::wstring UninstallLinkName() {
  const std::wstring language = SystemInfo::GetInstance().LanguageCode();
  if (language == L"0804") return L"\u5378\u8f7d" + ProductName();
  if (language == L"0404") return L"\u89e3\u9664\u5b89\u88dd" + ProductName();
  return L"Uninstall " + ProductName();
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  return SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : L"";
}

std::wstring QuickLaunchPinDir() {
  return ShellFolder(CSIDL_APPDATA) + L"\\Microsoft\\Internet Explorer\\Quick Launch\\User Pinned\\TaskBar";
}

bool ReadShortcut(const std::wstring& path, std::wstring* target, std::wstring* args) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  bool read = SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(path.c_str(), STGM_READ));
  if (read) {
    wchar_t text[MAX_PATH * 2] = {};
    read = SUCCEEDED(link->GetPath(text, MAX_PATH * 2, nullptr, SLGP_RAWPATH));
    *target = text;
    text[0] = 0;
    link->GetArguments(text, MAX_PATH * 2);
    *args = text;
  }
  if (file) file->Release();
  link->Release();
  return read;
}

namespace {
const wchar_t kSessionManager[] = L"System\\CurrentControlSet\\Control\\Session Manager";

std::vector<std::wstring> ReadPendingList() {
  std::vector<std::wstring> items;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return items;
  DWORD size = 0, type = 0;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
      type == REG_MULTI_SZ) {
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    data.resize(size / sizeof(wchar_t));
    // Pairs of texts, each ended by a zero; an empty target is a deletion.
    size_t at = 0;
    while (at < data.size()) {
      const size_t end = data.find(L'\0', at);
      if (end == std::wstring::npos) break;
      items.push_back(data.substr(at, end - at));
      at = end + 1;
    }
  }
  RegCloseKey(key);
  return items;
}
}  // namespace

std::vector<std::pair<std::wstring, std::wstring>> PendingRenames() {
  const std::vector<std::wstring> items = ReadPendingList();
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  for (size_t i = 0; i + 1 < items.size(); i += 2) pairs.emplace_back(items[i], items[i + 1]);
  return pairs;
}

void DropPendingRenames(const std::wstring& prefix) {
  std::wstring kept;
  for (const auto& pair : PendingRenames()) {
    if (pair.first.compare(0, prefix.size(), prefix) == 0) continue;
    kept += pair.first + L'\0' + pair.second + L'\0';
  }
  kept += L'\0';
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return;
  RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(kept.data()),
                 static_cast<DWORD>(kept.size() * sizeof(wchar_t)));
  RegCloseKey(key);
}

void CleanInstalledTraces() {
  DeleteKey32(HKEY_LOCAL_MACHINE, kProductKey);
  DeleteKey32(HKEY_LOCAL_MACHINE, kUninstallKey);
  DeleteKey32(HKEY_LOCAL_MACHINE, kComMarkerKey);
  HKEY run = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &run) == ERROR_SUCCESS) {
    RegDeleteValueW(run, L"TamselPelluvo");
    RegCloseKey(run);
  }
  DeleteFileW((ShellFolder(CSIDL_DESKTOP) + L"\\" + ProductName() + L".lnk").c_str());
  DeleteFileW((QuickLaunchPinDir() + L"\\" + ProductName() + L".lnk").c_str());
  RemoveTree(ShellFolder(CSIDL_PROGRAMS) + L"\\" + ProductName());
}

}  // namespace zqtest
