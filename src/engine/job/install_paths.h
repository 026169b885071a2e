// The fixed folder and key names of a job and the rules that derive a record's folders.
#pragma once

#include <string>

#include "engine/job/job_record.h"

extern const wchar_t kWorkFolderName[];        // "~ZQSetup"
extern const wchar_t kDefaultRegKeyPath[];     // "HKLM\Software\TamselPLVV2"
extern const wchar_t kDefaultInstallSubDir[];  // "\Orvenna\PelluvoV2"
extern const wchar_t kInstallRoot[];           // "C:\Program Files (x86)\"

// The text after the last backslash (the whole text without one).
std::wstring FileNameOf(const std::wstring& path);
// The text before the last backslash (empty without one).
std::wstring FolderOf(const std::wstring& path);

// A folder an install may fill: "X:\..." or "\\server\share\...", with trailing backslashes
// dropped ("D:\Games\" gives "D:\Games", "D:\" gives "D:"). Empty for anything else (an empty,
// relative or drive-relative path), which would install beside the current folder.
std::wstring InstallFolderOf(const std::wstring& path);

// The install folder and sub-folder for the description's install Path ("\Games\App" or
// "Games\App" both give kInstallRoot + "Games\App" and "\Games\App"); an empty Path keeps
// the record's folder and gives the default sub-folder.
void ApplyInstallPath(const std::wstring& descriptionPath, OpePARAMEx& record);

// The registry key path of the product's "InstallPath": the description's RegKey, else
// kDefaultRegKeyPath.
std::wstring RegKeyPathOf(const std::wstring& regKey);

// The mode a prepared job runs in: an install or uninstall of a product of the web type (the
// description's type 2) becomes a silent web install (the newest full setup is fetched and run).
int JobModeFor(int productType, int mode);
