// Names the case that brings the driver down: the case being run is recorded, and a crash (an
// exception nobody handles), a hang (a case that runs longer than the limit, seen by a watchdog
// thread) or a damaged heap prints it as a row and ends the process with a code of its own. A
// pulse on the main thread (a thread timer, so modal loops run it too) ends pop-up menus that
// nobody would close and keeps a picture of the stack for the report of a hang.
#pragma once
#include <windows.h>

#include <string>

namespace skin_fuzz {

// kExitPlatform: a known fault of the platform itself (Wine's), met by the case; a long round goes
// on with the next case.
enum ExitCode {
  kExitOk = 0,
  kExitUsage = 2,
  kExitCrash = 3,
  kExitHang = 4,
  kExitHeap = 5,
  kExitGrowth = 6,
  kExitPlatform = 7
};

// `trail`, when not empty, is a file that always names the case being run: a process the platform
// ends at once (Xlib does on some errors) leaves it behind.
void InstallGuard(DWORD hangLimitMs, const std::wstring& trail);
void BeginCase(const std::string& label, const std::string& row);
void EndCase();
// Prints the failure with the recorded case and ends the process.
[[noreturn]] void FailCase(const char* what, int exitCode);
// Every heap of the process passes the platform's validation.
bool HeapsIntact();

}  // namespace skin_fuzz
