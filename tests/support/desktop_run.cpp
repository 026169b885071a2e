// desktop_run DESKTOP PROGRAM [ARGUMENTS...]: runs PROGRAM on the named desktop of the window
// station (made when missing) and ends with its exit code. The test wrapper gives every program a
// desktop of its own, beside an X display of its own: the foreground window, keyboard focus and
// activation live per desktop, so no other test program can take them away mid-test. The tested
// program's threads, and the programs it starts, are on that desktop too. They all run in a job
// that ends them when this program ends, however it ends (ctest's timeout kills it with the test
// wrapper): Wine starts each program as a Unix process of its own, which would otherwise stay on
// the lane while it serves later tests.
//
// desktop_run DESKTOP: holds the desktop for the whole test run, until it is ended. Wine starts a
// desktop's window (its explorer) from the first program that needs it, handing it that
// program's standard error, and closes the desktop a second after its last program ends: started
// from a test program, it would keep that test's output open while the lane stays busy, and start
// again after every pause. Held from here, it starts once, with this program's handles.
#include <windows.h>

#include <cstdio>
#include <memory>
#include <string>
#include <type_traits>

#include "common/sys/unique_handles.h"

namespace {

struct DesktopCloser {
  void operator()(HDESK desk) const { ::CloseDesktop(desk); }
};
using UniqueDesktop = std::unique_ptr<std::remove_pointer_t<HDESK>, DesktopCloser>;

// Exit codes of our own, apart from what a test program returns.
constexpr int kUsage = 120;
constexpr int kNoDesktop = 121;
constexpr int kNotStarted = 122;
constexpr int kNoJob = 123;

// The rest of a command line after its first argument, byte for byte, by the rules the C runtime
// splits it with: quotes group blanks, and backslashes escape a quote only in front of one.
const wchar_t* SkipArgument(const wchar_t* p) {
  while (*p == L' ' || *p == L'\t') ++p;
  bool quoted = false;
  int backslashes = 0;
  for (; *p != L'\0'; ++p) {
    if (*p == L'\\') {
      ++backslashes;
      continue;
    }
    if (*p == L'"' && backslashes % 2 == 0) quoted = !quoted;
    if (!quoted && (*p == L' ' || *p == L'\t')) break;
    backslashes = 0;
  }
  while (*p == L' ' || *p == L'\t') ++p;
  return p;
}

// The named desktop, made when missing, with this thread on it; null after saying why.
UniqueDesktop JoinDesktop(const wchar_t* desktopName) {
  UniqueDesktop desktop{::CreateDesktopW(desktopName, nullptr, nullptr, 0, GENERIC_ALL, nullptr)};
  if (!desktop) {
    std::fprintf(stderr, "desktop_run, CreateDesktopW failed, err %lu\n", ::GetLastError());
    return nullptr;
  }
  // A new process takes its default desktop, the one its later threads start on, from the thread
  // that starts it; the startup desktop alone moves only its first thread.
  if (!::SetThreadDesktop(desktop.get())) {
    std::fprintf(stderr, "desktop_run, SetThreadDesktop failed, err %lu\n", ::GetLastError());
    return nullptr;
  }
  return desktop;
}

int Hold(const wchar_t* desktopName) {
  UniqueDesktop desktop = JoinDesktop(desktopName);
  if (!desktop) return kNoDesktop;
  if (::GetDesktopWindow() == nullptr) {
    std::fprintf(stderr, "desktop_run, the desktop has no window, err %lu\n", ::GetLastError());
    return kNoDesktop;
  }
  ::Sleep(INFINITE);
  return 0;
}

// A job whose processes are killed when its last handle, this program's, closes. It lets a program
// started with CREATE_BREAKAWAY_FROM_JOB (the engine asks for that) leave it, where a job that
// allows no breakaway would refuse to start it.
UniqueHandle KillOnCloseJob() {
  UniqueHandle job{::CreateJobObjectW(nullptr, nullptr)};
  if (!job) {
    std::fprintf(stderr, "desktop_run, CreateJobObjectW failed, err %lu\n", ::GetLastError());
    return nullptr;
  }
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof(limits))) {
    std::fprintf(stderr, "desktop_run, SetInformationJobObject failed, err %lu\n", ::GetLastError());
    return nullptr;
  }
  return job;
}

int RunOn(const wchar_t* desktopName, std::wstring commandLine) {
  UniqueDesktop desktop = JoinDesktop(desktopName);
  if (!desktop) return kNoDesktop;
  UniqueHandle job = KillOnCloseJob();
  if (!job) return kNoJob;
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  startup.lpDesktop = const_cast<wchar_t*>(desktopName);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION started = {};
  // Started suspended: in the job before it can start a program of its own.
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                        &startup, &started)) {
    std::fprintf(stderr, "desktop_run, CreateProcessW failed, err %lu\n", ::GetLastError());
    return kNotStarted;
  }
  UniqueHandle process{started.hProcess};
  UniqueHandle thread{started.hThread};
  if (!::AssignProcessToJobObject(job.get(), process.get())) {
    std::fprintf(stderr, "desktop_run, AssignProcessToJobObject failed, err %lu\n", ::GetLastError());
    ::TerminateProcess(process.get(), kNoJob);
    return kNoJob;
  }
  if (::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    std::fprintf(stderr, "desktop_run, ResumeThread failed, err %lu\n", ::GetLastError());
    ::TerminateProcess(process.get(), kNotStarted);
    return kNotStarted;
  }
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  // The job's handle closes on return: what the program left running ends with it.
  return static_cast<int>(code);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "desktop_run, usage: desktop_run DESKTOP [PROGRAM [ARGUMENTS...]]\n");
    return kUsage;
  }
  if (argc == 2) return Hold(argv[1]);
  return RunOn(argv[1], SkipArgument(SkipArgument(::GetCommandLineW())));
}
