// The product's entry in the system's list of installed programs.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

class IInstallUIPromptEx;

// "HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\TamselPelluvo"
extern const wchar_t kUninstallRecordKey[];

struct UninstallRecordInfo {
  std::wstring installFolder;   // holds "PackageManager.exe", the uninstaller
  std::wstring displayVersion;  // the new product's "ProductVer"
  int64_t unpackedBytes = 0;    // the program package's unpacked size
};

// Writes, in this order, "DisplayName", "DisplayVersion", "EstimatedSize" (kilobytes),
// "InstallDate" (local date, "%4d%02d%02d"), "Publisher", "UninstallString" (the quoted
// uninstaller and " /uninstall") and "DisplayIcon" under keyPath (registry path text), after
// reporting step 14 (+5) with the key path. 0 when all seven were written, else the registry
// error of the first write that failed (the values before it stay, none after it is written).
int CreateUninstallRegInfo(const UninstallRecordInfo& info, IInstallUIPromptEx* prompt,
                           const std::wstring& keyPath = kUninstallRecordKey);
