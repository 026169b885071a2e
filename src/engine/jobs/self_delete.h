// Removing what an uninstall left: the install folder with the running program's own file,
// after the uninstall window has closed.
#pragma once

#include <string>

#include "engine/jobs/job_services.h"

// True only when "InstallPath" under the key (registry path text) is missing, the key
// itself or the value; a value that exists but cannot be read does not count as removed.
bool InstallPathRemoved(const std::wstring& keyPath);

// The arguments of the "cmd.exe" that removes the program's file and then the emptied folder
// once this process has ended.
std::wstring SelfDeleteCommand(const std::wstring& self, const std::wstring& folder);

// When this process's uninstall job completed, "InstallPath" under record.regKeyPath is
// removed and record.installDir is services.verifiedInstallFolder: deletes the install folder
// (except the program's own file), has "cmd.exe" delete the program's file once this process
// has ended, writes out the queued log lines and ends the process with 0. Otherwise returns -1
// and deletes nothing.
int DelSelf(const OpePARAMEx& record, const JobServices& services);
