// The program of the test wrapper's own checks (wrapper_check.sh): it starts a copy of itself and
// both sleep until they are killed, as a hung test would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/sys/unique_handles.h"

TEST(Sleeper, SleepsWithAChildUntilKilled) {
  if (::GetEnvironmentVariableW(L"TAMSEL_SLEEPER_CHILD", nullptr, 0) == 0) {
    ::SetEnvironmentVariableW(L"TAMSEL_SLEEPER_CHILD", L"1");
    std::wstring line = ::GetCommandLineW();
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child = {};
    ASSERT_TRUE(::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child))
        << "err " << ::GetLastError();
    UniqueHandle process{child.hProcess};
    UniqueHandle thread{child.hThread};
  }
  ::Sleep(INFINITE);
}
