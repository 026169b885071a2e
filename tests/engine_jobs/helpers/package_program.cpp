// A stand-in for a downloaded full setup: it appends its arguments, joined by "|", as one
// UTF-8 line to the file named by JOBS_PACKAGE_RECORD and exits with the code in
// JOBS_PACKAGE_EXIT (0 when unset).
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {

std::wstring Variable(const wchar_t* name) {
  wchar_t value[1024] = {};
  const DWORD length = GetEnvironmentVariableW(name, value, 1024);
  return length > 0 && length < 1024 ? value : L"";
}

}  // namespace

int main() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::wstring line;
  for (int i = 1; i < argc; ++i) line += (i > 1 ? L"|" : L"") + std::wstring(argv[i]);
  line += L"\n";
  LocalFree(argv);
  const int bytes =
      WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(bytes, '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &utf8[0], bytes, nullptr, nullptr);
  HANDLE file = CreateFileW(Variable(L"JOBS_PACKAGE_RECORD").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
    CloseHandle(file);
  }
  return _wtoi(Variable(L"JOBS_PACKAGE_EXIT").c_str());
}
