// Starting and stopping programs for the engine: hidden with the setup's own rights, as the
// user logged on to the desktop, or stopped by file name.
#pragma once

#include <windows.h>

#include <string>

// The command line handed to CreateProcess: the program path in double quotes (unless it is
// quoted already), one blank, then the arguments (the blank stays when they are empty).
// Unquoted, "C:\Program Files (x86)\..." would let "C:\Program.exe" run first.
std::wstring BuildCommandLine(const std::wstring& program, const std::wstring& args);

// The folder a started program works in: its path up to the last backslash (surrounding
// quotes removed); empty for a path without one, which keeps the setup's current folder.
std::wstring WorkingFolderOf(const std::wstring& program);

class CProgram {
 public:
  virtual ~CProgram() = default;

  // Starts the program hidden (CREATE_NO_WINDOW) with the setup's own rights. 0 when started,
  // else the Win32 error. With process given, the caller receives the process handle and
  // closes it; without, it is closed here.
  static int RunProgram(const std::wstring& program, const std::wstring& args, HANDLE* process);

  // Starts the program as the user of the desktop shell, with a duplicate of the shell's
  // token. 0 when started, -1 when there is no user token, else the Win32 error.
  static int RunProgramAsUser(const std::wstring& program, const std::wstring& args, HANDLE* process);

  // Terminates the first running process whose file name (without folder) equals fileName
  // ignoring case, and waits until it has ended. 0 terminated, -1 no process snapshot,
  // -2 the process cannot be opened, -3 it cannot be terminated, -4 no such process.
  static int KillProgram(const std::wstring& fileName);

  // A primary token of the user whose "explorer.exe" runs first, or null. The caller closes it.
  static HANDLE GetLoggedOnUserToken();

  // Enables one privilege in the process's token. 0, or the Win32 error.
  static int EnablePrivilege(HANDLE process, const wchar_t* privilege);
};
