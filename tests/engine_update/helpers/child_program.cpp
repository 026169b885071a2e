// A child program for the update tests: it records its start (command line and working
// folder) in a log file, sleeps when asked, and records its end.
// Arguments (any order, among any others): log=<file> (default: this program's path + ".log"),
// sleep=<milliseconds>.
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring OwnPath() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH * 2);
  return path;
}

std::wstring Option(int argc, wchar_t** argv, const std::wstring& name) {
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    if (arg.compare(0, name.size(), name) == 0) return arg.substr(name.size());
  }
  return L"";
}

// Appends one UTF-8 line; other children may write the same file, so a busy file is retried.
void AppendLine(const std::wstring& path, const std::wstring& line) {
  const std::wstring text = line + L"\n";
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &utf8[0], bytes, nullptr, nullptr);
  for (int attempt = 0; attempt < 200; ++attempt) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      DWORD written = 0;
      WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
      CloseHandle(file);
      return;
    }
    Sleep(10);
  }
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring log = Option(argc, argv, L"log=");
  if (log.empty()) log = OwnPath() + L".log";
  wchar_t folder[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, folder);
  AppendLine(log, L"start\t" + std::wstring(GetCommandLineW()) + L"\t" + folder);
  const std::wstring sleep = Option(argc, argv, L"sleep=");
  if (!sleep.empty()) Sleep(static_cast<DWORD>(_wtoi(sleep.c_str())));
  AppendLine(log, L"end\t" + OwnPath());
  LocalFree(argv);
  return 0;
}
