// The running program's own file, however long its path.
#pragma once

#include <string>

// The program's full path; empty when the system cannot give it (GetLastError tells why).
std::wstring SelfPath();
// The folder of SelfPath, without a trailing backslash; empty when the path is.
std::wstring SelfFolder();
