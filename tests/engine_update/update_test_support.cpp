#include "update_test_support.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwctype>
#include <functional>

#include "common/log/vlog.h"

namespace updtest {

namespace {

constexpr uint64_t kUnixEpochAsFileTime = 116444736000000000ULL;

std::wstring Widen(const std::string& utf8) {
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(length, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], length);
  return wide;
}

std::wstring TempRoot() {
  wchar_t path[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH, path);
  std::wstring root = path;
  if (!root.empty() && root.back() == L'\\') root.pop_back();
  return root;
}

std::wstring ThisProgramFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring full = path;
  return full.substr(0, full.rfind(L'\\'));
}

bool SameIgnoringCase(const std::wstring& a, const std::wstring& b) { return _wcsicmp(a.c_str(), b.c_str()) == 0; }

int64_t FileTimeMs(const std::wstring& path, bool access) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  const FILETIME& time = access ? data.ftLastAccessTime : data.ftLastWriteTime;
  const uint64_t value = (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return (static_cast<int64_t>(value) - static_cast<int64_t>(kUnixEpochAsFileTime)) / 10000;
}

std::wstring StripDevicePrefix(std::wstring path) {
  if (!path.empty() && path.front() == L'!') path.erase(0, 1);
  if (path.rfind(L"\\??\\", 0) == 0) path.erase(0, 4);
  return path;
}

}  // namespace

std::wstring UniqueName() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "_" + info->name() : "update";
  for (char& c : name) {
    if (c == '/') c = '_';
  }
  return Widen(name) + L"_" + std::to_wstring(GetCurrentProcessId());
}

TempFolder::TempFolder(const std::wstring& suffix) : path_(TempRoot() + L"\\upd " + UniqueName() + suffix) {
  RemoveTree(path_);
  MakeFolder(path_);
}

TempFolder::~TempFolder() {
  // A program that just ended may still hold its image for a moment: its file goes a little
  // later, and only then its folder can.
  for (int attempt = 0; attempt < 50 && Exists(path_); ++attempt) {
    if (attempt) Sleep(100);
    RemoveTree(path_);
  }
}

void MakeFolder(const std::wstring& path) {
  for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
  }
  CreateDirectoryW(path.c_str(), nullptr);
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  MakeFolder(path.substr(0, path.rfind(L'\\')));
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << "cannot write " << U8(path);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveTree(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path.c_str());
    return;
  }
  WIN32_FIND_DATAW entry;
  HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &entry);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = entry.cFileName;
      if (name != L"." && name != L"..") RemoveTree(path + L"\\" + name);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  }
  RemoveDirectoryW(path.c_str());
}

int64_t WriteTimeMs(const std::wstring& path) { return FileTimeMs(path, false); }
int64_t AccessTimeMs(const std::wstring& path) { return FileTimeMs(path, true); }

std::wstring Helper(const std::wstring& name) { return ThisProgramFolder() + L"\\" + name; }

void InstallHelper(const std::wstring& name, const std::wstring& path) {
  MakeFolder(path.substr(0, path.rfind(L'\\')));
  ASSERT_TRUE(CopyFileW(Helper(name).c_str(), path.c_str(), FALSE)) << "copy " << U8(name) << " to " << U8(path);
}

void WriteFakePe64(const std::wstring& path) {
  std::string image(512, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  image[0x3C] = static_cast<char>(0x80);
  image.replace(0x80, 4, std::string("PE\0\0", 4));
  image[0x84] = static_cast<char>(0x64);
  image[0x85] = static_cast<char>(0x86);
  WriteFileBytes(path, image);
}

std::vector<std::wstring> ChildLog(const std::wstring& logPath) {
  const std::string text = ReadFileBytes(logPath);
  std::vector<std::wstring> lines;
  if (text == "<missing>") return lines;
  size_t begin = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', begin)) {
    lines.push_back(Widen(text.substr(begin, end - begin)));
    begin = end + 1;
  }
  return lines;
}

std::vector<std::wstring> WaitForChildLog(const std::wstring& logPath, size_t count) {
  std::vector<std::wstring> lines;
  for (int i = 0; i < 300; ++i) {
    lines = ChildLog(logPath);
    if (lines.size() >= count) break;
    Sleep(100);
  }
  return lines;
}

RunningChild::RunningChild(const std::wstring& program, const std::wstring& args) {
  std::wstring commandLine = L"\"" + program + L"\" " + args;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &info_)) {
    ADD_FAILURE() << "cannot start " << U8(program) << ", err " << GetLastError();
    info_ = {};
  }
}

RunningChild::~RunningChild() {
  if (!info_.hProcess) return;
  TerminateProcess(info_.hProcess, 0);
  WaitForSingleObject(info_.hProcess, 10000);
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool RunningChild::running() const {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

bool IsProcessRunning(DWORD id) {
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, id);
  if (!process) return false;
  const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
  CloseHandle(process);
  return running;
}

void EndProcess(DWORD id) {
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
  if (!process) return;
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 10000);
  CloseHandle(process);
}

DWORD ProcessIdByName(const std::wstring& fileName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  DWORD id = 0;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && !id; more = Process32NextW(snapshot, &entry)) {
    if (SameIgnoringCase(entry.szExeFile, fileName)) id = entry.th32ProcessID;
  }
  CloseHandle(snapshot);
  return id;
}

void StartDesktopShell() {
  GetDesktopWindow();
  ASSERT_NE(ProcessIdByName(L"explorer.exe"), 0u) << "no desktop shell: is DISPLAY set?";
}

LockedFile::LockedFile(const std::wstring& path)
    : handle_(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                          nullptr)) {}

LockedFile::~LockedFile() { Close(); }

void LockedFile::Close() {
  if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  handle_ = INVALID_HANDLE_VALUE;
}

std::vector<std::pair<std::wstring, std::wstring>> PendingRenames() {
  std::vector<std::pair<std::wstring, std::wstring>> pairs;
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRaw(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager",
               L"PendingFileRenameOperations", &type, &data) ||
      type != REG_MULTI_SZ) {
    return pairs;
  }
  data.resize(data.size() + 4, 0);
  const wchar_t* p = reinterpret_cast<const wchar_t*>(data.data());
  const wchar_t* stop = p + data.size() / sizeof(wchar_t);
  while (p < stop && *p) {
    const std::wstring source = p;
    p += source.size() + 1;
    if (p >= stop) break;
    const std::wstring target = p;
    p += target.size() + 1;
    pairs.emplace_back(StripDevicePrefix(source), StripDevicePrefix(target));
  }
  return pairs;
}

bool IsPendingRename(const std::wstring& source, const std::wstring& target) {
  for (const auto& pending : PendingRenames()) {
    if (SameIgnoringCase(pending.first, source) && SameIgnoringCase(pending.second, target)) return true;
  }
  return false;
}

bool ReadRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD* type, std::vector<BYTE>* data,
             REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  LONG err = RegQueryValueExW(key, name.c_str(), nullptr, type, nullptr, &size);
  if (err == ERROR_SUCCESS) {
    data->assign(size, 0);
    err = RegQueryValueExW(key, name.c_str(), nullptr, type, data->data(), &size);
    data->resize(size);
  }
  RegCloseKey(key);
  return err == ERROR_SUCCESS;
}

std::wstring ReadText(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view) {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRaw(root, subkey, name, &type, &data, view)) return L"<missing>";
  if (type != REG_SZ) return L"<type " + std::to_wstring(type) + L">";
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

DWORD ReadNumber(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view) {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRaw(root, subkey, name, &type, &data, view) || type != REG_DWORD || data.size() != 4) return 0xDEADBEEF;
  DWORD number = 0;
  memcpy(&number, data.data(), 4);
  return number;
}

void WriteRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type, const void* data,
              DWORD bytes, REGSAM view) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), bytes), ERROR_SUCCESS);
  RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void DeleteRegTree(HKEY root, const std::wstring& subkey, REGSAM view) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_ALL_ACCESS | view, &key) != ERROR_SUCCESS) return;
  RegDeleteTreeW(key, nullptr);
  RegCloseKey(key);
  RegDeleteKeyExW(root, subkey.c_str(), view, 0);
}

AttributeMap Attributes(std::initializer_list<std::pair<const char*, std::string>> pairs) {
  AttributeMap map;
  for (const auto& pair : pairs) map[pair.first] = pair.second;
  return map;
}

std::string U8(const std::wstring& wide) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                         nullptr);
  std::string utf8(length, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &utf8[0], length, nullptr, nullptr);
  return utf8;
}

void RecordingPrompt::OnProgress(int step, int delta, std::wstring detail) {
  calls.push_back(L"P " + std::to_wstring(step) + L" " + std::to_wstring(delta) + L" " + detail);
}

void RecordingPrompt::OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {
  calls.push_back(L"X " + std::to_wstring(step) + L" " + std::to_wstring(done) + L" " + std::to_wstring(total) +
                  L" " + detail + L" " + std::to_wstring(parts));
}

LogCapture::LogCapture() : folder_(L"_log") {
  using vemtal::vlog::IVlogManager;
  IVlogManager* log = IVlogManager::getInstance();
  const std::string path = U8(folder_.path()) + "\\update.log";
  EXPECT_TRUE(log->setLoggerPath(0, path.c_str()));
  EXPECT_TRUE(log->start());
  EXPECT_TRUE(log->setLoggerLevel(0, 0));
}

std::string LogCapture::Text() {
  vemtal::vlog::IVlogManager::getInstance()->drain();
  std::string text;
  std::function<void(const std::wstring&)> collect = [&](const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        collect(folder + L"\\" + name);
      } else {
        text += ReadFileBytes(folder + L"\\" + name);
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  };
  collect(folder_.path());
  return text;
}

}  // namespace updtest
