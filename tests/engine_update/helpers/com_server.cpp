// A COM server stand-in for the update tests: registering writes the value named after the
// DLL's file name under HKCU\Software\TamselUpdateTests\Com, unregistering removes it. A DLL
// whose file name holds "fail" refuses with E_FAIL and writes nothing.
#include <windows.h>

#include <string>

namespace {

HMODULE g_module = nullptr;
const wchar_t kMarkerKey[] = L"Software\\TamselUpdateTests\\Com";

std::wstring OwnFileName() {
  wchar_t path[MAX_PATH * 2] = {};
  GetModuleFileNameW(g_module, path, MAX_PATH * 2);
  const std::wstring full = path;
  return full.substr(full.rfind(L'\\') + 1);
}

bool Refuses() { return OwnFileName().find(L"fail") != std::wstring::npos; }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_module = instance;
  return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
  if (Refuses()) return E_FAIL;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, kMarkerKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return E_UNEXPECTED;
  }
  const std::wstring value = L"registered";
  RegSetValueExW(key, OwnFileName().c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
  return S_OK;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
  if (Refuses()) return E_FAIL;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kMarkerKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return S_OK;
  RegDeleteValueW(key, OwnFileName().c_str());
  RegCloseKey(key);
  return S_OK;
}
