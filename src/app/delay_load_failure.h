// The program loads some system DLLs at their first use instead of at its start (the network
// libraries' DLLs, see CMakeLists.txt). One that cannot be loaded then ends the program where
// it is needed, as a missing DLL would have stopped it at its start; the log says which.
#pragma once

#include <windows.h>

#include <delayimp.h>

#include <string>

// The log line of a failed load: "LoadLibrary WS2_32.dll failed, err 126" or
// "GetProcAddress WS2_32.dll WSAStartup failed, err 127" (an ordinal as "#12").
std::string DelayLoadFailureText(unsigned notify, const DelayLoadInfo& info);

// The delay-load failure hook: logs and writes the log out, and returns null, so the loader
// raises its exception (0xC06D007E for a DLL, 0xC06D007F for a function).
FARPROC WINAPI DelayLoadFailure(unsigned notify, PDelayLoadInfo info);
