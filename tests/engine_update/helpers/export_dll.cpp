// A DLL with one exported function and no COM registration: MarkCalled writes the file
// "<this DLL's path>.called" holding the id of the thread that called it.
#include <windows.h>

#include <string>

namespace {
HMODULE g_module = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) void WINAPI MarkCalled() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(g_module, path, MAX_PATH * 2);
  const std::wstring marker = std::wstring(path) + L".called";
  HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string text = std::to_string(GetCurrentThreadId());
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}
