// PelluvoHelper.dll: the sample product's COM helper. Registration writes a marker key
// naming the DLL, unregistration removes it; PelluvoDllCall (run by a DLLCALL run rule)
// records each call in "dllcall.log" beside the DLL.
#include <windows.h>

#include <string>

namespace {

HMODULE g_module = nullptr;
const wchar_t kMarkerKey[] = L"Software\\Orvenna\\PelluvoHelper";

std::wstring ModulePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD n = GetModuleFileNameW(g_module, path, MAX_PATH);
  return std::wstring(path, n);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    g_module = instance;
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT __stdcall DllRegisterServer() {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMarkerKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                            &key, nullptr);
  if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  const std::wstring path = ModulePath();
  rc = RegSetValueExW(key, L"Registered", 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                      static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(rc);
}

extern "C" HRESULT __stdcall DllUnregisterServer() {
  const LONG rc = RegDeleteKeyW(HKEY_LOCAL_MACHINE, kMarkerKey);
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
}

extern "C" void __stdcall PelluvoDllCall() {
  const std::wstring path = ModulePath();
  const std::wstring log = path.substr(0, path.rfind(L'\\')) + L"\\dllcall.log";
  HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char line[64];
  const int n = wsprintfA(line, "PelluvoDllCall pid %lu\r\n", GetCurrentProcessId());
  DWORD written = 0;
  WriteFile(file, line, static_cast<DWORD>(n), &written, nullptr);
  CloseHandle(file);
}
