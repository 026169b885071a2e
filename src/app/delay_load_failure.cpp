#include "app/delay_load_failure.h"

#include <cstdio>

#include "app/app_log.h"

std::string DelayLoadFailureText(unsigned notify, const DelayLoadInfo& info) {
  const char* dll = info.szDll != nullptr ? info.szDll : "?";
  char line[512];
  if (notify == dliFailGetProc) {
    char ordinal[16];
    const char* function = ordinal;
    if (info.dlp.fImportByName) {
      function = info.dlp.szProcName != nullptr ? info.dlp.szProcName : "?";
    } else {
      snprintf(ordinal, sizeof ordinal, "#%lu", info.dlp.dwOrdinal);
    }
    snprintf(line, sizeof line, "GetProcAddress %s %s failed, err %lu", dll, function, info.dwLastError);
  } else {
    snprintf(line, sizeof line, "LoadLibrary %s failed, err %lu", dll, info.dwLastError);
  }
  return line;
}

FARPROC WINAPI DelayLoadFailure(unsigned notify, PDelayLoadInfo info) {
  if (info != nullptr) AppLog(4, "DelayLoad, %s", DelayLoadFailureText(notify, *info).c_str());
  AppLogFlush();
  return nullptr;
}
