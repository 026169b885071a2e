// Stand-in for the game-account client "Tamsel游戏Pelluvo.exe": it records each start in
// "starts.log" beside itself and stays alive, with a hidden window of the class
// "TamselPelluvoClient", until that window is closed (WM_CLOSE) or the session ends.
#include <windows.h>

#include <string>

namespace {

const wchar_t kWindowClass[] = L"TamselPelluvoClient";

std::wstring FolderOfSelf() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path, n);
  return text.substr(0, text.rfind(L'\\'));
}

std::string Utf8(const std::wstring& text) {
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? n : 0, '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], n, nullptr, nullptr);
  return out;
}

// One line per start: local time, process id and command line.
void RecordStart(const wchar_t* commandLine) {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  wchar_t stamp[64];
  wsprintfW(stamp, L"%04u-%02u-%02u %02u:%02u:%02u pid %lu args ", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
            t.wSecond, GetCurrentProcessId());
  const std::string line = Utf8(std::wstring(stamp) + commandLine + L"\r\n");
  const std::wstring log = FolderOfSelf() + L"\\starts.log";
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcW(window, message, wparam, lparam);
  }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
  RecordStart(commandLine);
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  if (!RegisterClassW(&windowClass)) return 1;
  // Never shown: the stand-in has nothing to draw, it only has to be running.
  HWND window = CreateWindowExW(0, kWindowClass, L"Tamsel游戏Pelluvo", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 320, 200, nullptr, nullptr, instance, nullptr);
  if (window == nullptr) return 2;
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}
