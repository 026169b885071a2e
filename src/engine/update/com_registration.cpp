// COM servers of the product: programs register themselves by switch, 32-bit DLLs in this
// process through their export, 64-bit DLLs through the 64-bit registrar program.
#include <windows.h>

#include "common/log/vlog.h"
#include "common/sys/pe_image.h"
#include "common/sys/system_info.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "engine/job/prompt.h"
#include "engine/parser/text_compare.h"
#include "engine/update/update_eng_ex.h"

namespace {

constexpr int kStepRegister = 11;
constexpr int kRegisterShare = 5;

struct Registration {
  const wchar_t* programSwitch;
  const wchar_t* registrarSwitch;
  const char* exportName;
};

const Registration kRegister = {L"/regserver", L"/r", "DllRegisterServer"};
const Registration kUnregister = {L"/unregserver", L"/u", "DllUnregisterServer"};

bool IsProgram(const std::wstring& module) {
  return module.size() >= 3 && EqualsNoCase(module.substr(module.size() - 3), std::wstring(L"exe"));
}

// Starts the program and waits for it to end; its exit code is not examined.
void RunAndWait(const std::wstring& program, const std::wstring& args) {
  HANDLE raw = nullptr;
  if (CProgram::RunProgram(program, args, &raw) != 0) {
    VLOG_ERROR("RegComponent, %S %S not started: nothing registered", program.c_str(), args.c_str());
    return;
  }
  UniqueHandle process(raw);
  WaitForSingleObject(process.get(), INFINITE);
}

int CallExport(const std::wstring& module, const char* exportName) {
  HMODULE library = LoadLibraryExW(module.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library) library = LoadLibraryW(module.c_str());
  if (!library) {
    const DWORD err = GetLastError();
    return err != 0 ? static_cast<int>(err) : ERROR_MOD_NOT_FOUND;
  }
  const FARPROC function = GetProcAddress(library, exportName);
  if (!function) {
    FreeLibrary(library);
    return -2;
  }
  const HRESULT hr = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(reinterpret_cast<void*>(function))();
  FreeLibrary(library);
  return hr < 0 ? static_cast<int>(hr) : 0;
}

int Apply(const Registration& what, const std::wstring& module, const std::wstring& registrar) {
  if (IsProgram(module)) {
    RunAndWait(module, what.programSwitch);
    return 0;
  }
  if (IsPE64(module) && SystemInfo::GetInstance().Architecture() == L"x64") {
    RunAndWait(registrar, std::wstring(L" ") + what.registrarSwitch + L" \"" + module + L"\"");
    return 0;
  }
  return CallExport(module, what.exportName);
}

bool HasPath(const RegModuleRecord& record, const char* operation) {
  if (!FindAttribute(record.attributes, "path").empty()) return true;
  VLOG_ERROR("%s, a server without \"path\" is skipped", operation);
  return false;
}

std::wstring RegistrarIn(const std::wstring& productFolder) { return productFolder + L"\\Setup\\DllRegX64.exe"; }

}  // namespace

int RegComponent(const std::wstring& module, const std::wstring& registrar) {
  return Apply(kRegister, module, registrar);
}

int UnregComponent(const std::wstring& module, const std::wstring& registrar) {
  return Apply(kUnregister, module, registrar);
}

void CUpdateEngEx::InstallDlls() {
  const int total = static_cast<int>(addList.regModules.size());
  int done = 0;
  const std::wstring registrar = RegistrarIn(newProduct.productFolder);
  for (const RegModuleRecord& record : addList.regModules) {
    if (record.excluded || !HasPath(record, "InstallDlls")) continue;
    const std::wstring module = newProduct.productFolder + L"\\" + Utf8ToWide(FindAttribute(record.attributes, "path"));
    const wchar_t* path = module.c_str();
    VLOG_INFO("InstallDlls, RegComponent, DllPath: %S | ", path);
    if (prompt) prompt->OnProgressEx(kStepRegister, done++, total, module, kRegisterShare);
    const int result = RegComponent(module, registrar);
    if (result == -2) {
      VLOG_ERROR("InstallDlls, RegComponent failed, GetProcAddress failed, DllPath: %S | ", path);
    } else if (result < 0) {
      VLOG_ERROR("InstallDlls, RegComponent failed, DllRegisterServer ret: %x, DllPath: %S | ", result, path);
    } else if (result > 0) {
      VLOG_ERROR("InstallDlls, RegComponent failed, LoadLibraryEx err: %x, DllPath: %S | ", result, path);
    }
  }
  if (prompt) prompt->OnProgress(kStepRegister, kRegisterShare, L"");
}

void CUpdateEngEx::UninstallDlls() {
  const std::wstring registrar = RegistrarIn(installedProduct.productFolder);
  for (const RegModuleRecord& record : deleteList.regModules) {
    if (record.excluded || !HasPath(record, "UninstallDlls")) continue;
    const std::wstring module =
        installedProduct.productFolder + L"\\" + Utf8ToWide(FindAttribute(record.attributes, "path"));
    const int result = UnregComponent(module, registrar);
    if (result != 0) {
      VLOG_FATAL("UninstallDlls, UnregComponent failed, iRet: %d, DllPath: %S | ", result, module.c_str());
    }
  }
}
