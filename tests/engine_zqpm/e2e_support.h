// The sample product as the end-to-end tests expect it installed: its staged files with the
// records' times, its names in the system's language, the shell folders of its shortcuts,
// and the clean-up of what an install leaves in the shared test prefix.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace zqtest {

struct ExpectedFile {
  std::wstring installed;  // relative to the install folder
  std::wstring staged;     // relative to the stage folder
  int64_t timeMs = -1;     // the record's "time"; -1 for files without a record
};

// The stage folder the package maker read (compile-time path).
std::wstring StageDir();
// The product files and configurations an install of the sample puts in place on this system.
std::vector<ExpectedFile> ExpectedProductFiles();
// The number of file records of the sample's component configurations, fitting or not.
int SampleFileRecordCount();
// The number of registry records ("<reg ") of the sample.
int SampleRegistryRecordCount();
// Bytes of package #0 unpacked: the sum of the sizes of the files of list0.txt.
int64_t ProgramPackageBytes();

// The sample's display name in the system's language ("Tamsel Pelluvo" for English).
std::wstring ProductName();
std::wstring UninstallLinkName();
std::wstring ShellFolder(int csidl);
std::wstring QuickLaunchPinDir();
// The target and arguments of a shell link, read back through IShellLinkW.
bool ReadShortcut(const std::wstring& path, std::wstring* target, std::wstring* args);

// The rename pairs of PendingFileRenameOperations ("\??\from", "!\??\to" or "").
std::vector<std::pair<std::wstring, std::wstring>> PendingRenames();
// Drops the pairs whose source begins with prefix.
void DropPendingRenames(const std::wstring& prefix);

// Removes what an install of the sample leaves outside its folder: product and uninstall
// keys, the COM marker, the Run value, shortcuts.
void CleanInstalledTraces();

extern const wchar_t kProductKey[];    // "Software\TamselPLVV2" under HKLM
extern const wchar_t kUninstallKey[];  // "Software\Microsoft\Windows\CurrentVersion\Uninstall\TamselPelluvo"
extern const wchar_t kComMarkerKey[];  // "Software\Orvenna\PelluvoHelper"
extern const wchar_t kRunKey[];        // "Software\Microsoft\Windows\CurrentVersion\Run"

}  // namespace zqtest
