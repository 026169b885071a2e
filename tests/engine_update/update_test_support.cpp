#include "update_test_support.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwctype>
#include <functional>

#include "common/log/vlog.h"

namespace updtest {

namespace {

std::wstring ThisProgramFolder() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  std::wstring full = path;
  return full.substr(0, full.rfind(L'\\'));
}

}  // namespace

std::wstring Helper(const std::wstring& name) { return ThisProgramFolder() + L"\\" + name; }

void InstallHelper(const std::wstring& name, const std::wstring& path) {
  MakeFolder(path.substr(0, path.rfind(L'\\')));
  ASSERT_TRUE(CopyFileW(Helper(name).c_str(), path.c_str(), FALSE)) << "copy " << Utf8(name) << " to " << Utf8(path);
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
    lines.push_back(testsupport::Wide(text.substr(begin, end - begin)));
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
    ADD_FAILURE() << "cannot start " << Utf8(program) << ", err " << GetLastError();
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

bool RunningChild::running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

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
    if (testsupport::SameIgnoringCase(entry.szExeFile, fileName)) id = entry.th32ProcessID;
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

bool IsPendingRename(const std::wstring& source, const std::wstring& target) {
  for (const auto& pending : PendingRenames()) {
    using testsupport::SameIgnoringCase;
    if (SameIgnoringCase(pending.first, source) && SameIgnoringCase(pending.second, target)) return true;
  }
  return false;
}

std::wstring ReadText(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view) {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRegValue(root, subkey, name, &type, &data, view)) return L"<missing>";
  if (type != REG_SZ) return L"<type " + std::to_wstring(type) + L">";
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
  if (!text.empty() && text.back() == L'\0') text.pop_back();
  return text;
}

DWORD ReadNumber(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view) {
  DWORD type = 0;
  std::vector<BYTE> data;
  if (!ReadRegValue(root, subkey, name, &type, &data, view) || type != REG_DWORD || data.size() != 4) return 0xDEADBEEF;
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

AttributeMap Attributes(std::initializer_list<std::pair<const char*, std::string>> pairs) {
  AttributeMap map;
  for (const auto& pair : pairs) map[pair.first] = pair.second;
  return map;
}

void RecordingPrompt::OnProgress(int step, int delta, std::wstring detail) {
  calls.push_back(L"P " + std::to_wstring(step) + L" " + std::to_wstring(delta) + L" " + detail);
}

void RecordingPrompt::OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {
  calls.push_back(L"X " + std::to_wstring(step) + L" " + std::to_wstring(done) + L" " + std::to_wstring(total) + L" " +
                  detail + L" " + std::to_wstring(parts));
}

LogCapture::LogCapture() : folder_(L"_log") {
  using vemtal::vlog::IVlogManager;
  IVlogManager* log = IVlogManager::getInstance();
  const std::string path = Utf8(folder_.path()) + "\\update.log";
  EXPECT_TRUE(log->setLoggerPath(0, path.c_str()));
  EXPECT_TRUE(log->start());
  EXPECT_TRUE(log->setLoggerLevel(0, 0));
}

std::string LogText(const std::wstring& folder) {
  vemtal::vlog::IVlogManager::getInstance()->drain();
  std::string text;
  std::function<void(const std::wstring&)> collect = [&](const std::wstring& at) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((at + L"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
      const std::wstring name = entry.cFileName;
      if (name == L"." || name == L"..") continue;
      if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        collect(at + L"\\" + name);
      } else {
        text += ReadFileBytes(at + L"\\" + name);
      }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
  };
  collect(folder);
  return text;
}

std::string LogCapture::Text() { return LogText(folder_.path()); }

}  // namespace updtest
