// PelluvoPostInstall.exe: the sample product's helper program for the run rules. Each run
// appends its command line to "postinstall.log" beside itself and ends (code 0). While the
// event "TamselPelluvoHold" exists unsignalled it waits for it first (at most a minute): a test
// can hold the install job in its middle that way.
#include <windows.h>

#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
  if (HANDLE hold = OpenEventW(SYNCHRONIZE, FALSE, L"TamselPelluvoHold")) {
    WaitForSingleObject(hold, 60000);
    CloseHandle(hold);
  }
  wchar_t self[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring log(self, n);
  log = log.substr(0, log.rfind(L'\\')) + L"\\postinstall.log";
  const std::wstring line = std::wstring(commandLine) + L"\r\n";
  const int size =
      WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size > 0 ? size : 0, '\0');
  if (size > 0)
    WideCharToMultiByte(CP_UTF8, 0, line.c_str(), static_cast<int>(line.size()), &bytes[0], size, nullptr, nullptr);
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok ? 0 : 2;
}
