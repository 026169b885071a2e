// Start-up of the finished sample setup program, from process start to the first paint of its
// install window (it extracts its setup package and reads the product on the way), beside an
// NSIS wizard (zlib) of the same product files, from process start to its first page painted;
// both whole processes under the same Wine in the same run. Figures and their ratio only.
//
// Both are timed the same way: WaitForInputIdle, which Wine signals once the process waits
// for input with an empty queue, i.e. after its first WM_PAINT (and those of the wizard's child
// controls); then the expected window must be visible with no part left to paint, and answer a
// sent message. Top-level validation alone comes before the wizard's controls are drawn.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "common/sys/dir_tree.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "bench_host.h"
#include "bench_startup_paths.h"
#include "bench_timing.h"

namespace {

constexpr DWORD kHostWaitMs = 120000;
constexpr DWORD kWindowWaitMs = 30000;
constexpr DWORD kCloseWaitMs = 10000;
constexpr int kRuns = 11;

// /a/b -> Z:\a\b
std::wstring WinePath(const char* unixPath) {
  std::wstring path = L"Z:" + Utf8ToWide(unixPath);
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

std::wstring TempFolder(const wchar_t* name) {
  wchar_t temp[MAX_PATH + 1] = {};
  const DWORD n = GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp, n <= MAX_PATH ? n : 0) + name;
}

// A job that lists every process the measured program starts.
UniqueHandle TrackingJob() {
  UniqueHandle job{CreateJobObjectW(nullptr, nullptr)};
  if (!job) printf("CreateJobObject failed, err %lu\n", GetLastError());
  return job;
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* windowClass;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  wchar_t name[64] = {};
  if (processId != search->processId || !IsWindowVisible(window) || !GetClassNameW(window, name, 64) ||
      wcscmp(name, search->windowClass) != 0) {
    return TRUE;
  }
  search->found = window;
  return FALSE;
}

HWND VisibleWindow(DWORD processId, const wchar_t* windowClass) {
  WindowSearch search{processId, windowClass, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CountUnpainted(HWND child, LPARAM param) {
  RECT rect;
  if (IsWindowVisible(child) && GetUpdateRect(child, &rect, FALSE)) ++*reinterpret_cast<int*>(param);
  return TRUE;
}

// Nothing of the window or its visible children is waiting for WM_PAINT.
bool FullyPainted(HWND window) {
  RECT rect;
  if (GetUpdateRect(window, &rect, FALSE)) return false;
  int unpainted = 0;
  EnumChildWindows(window, CountUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return unpainted == 0;
}

// The painted window once the process went idle; nullptr when none came within the wait.
HWND WaitForFirstPaint(HANDLE process, DWORD processId, const wchar_t* windowClass) {
  const DWORD idle = WaitForInputIdle(process, kWindowWaitMs);
  if (idle != 0) {
    printf("WaitForInputIdle returned %lu, err %lu\n", idle, GetLastError());
    return nullptr;
  }
  const Stopwatch waited;
  while (waited.Seconds() * 1000 < kWindowWaitMs && WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
    HWND window = VisibleWindow(processId, windowClass);
    DWORD_PTR answer = 0;
    if (window != nullptr && FullyPainted(window) &&
        SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, kWindowWaitMs, &answer)) {
      return window;
    }
    Sleep(1);
  }
  printf("no painted %ls window\n", windowClass);
  return nullptr;
}

// True for Wine's own programs (desktop, services) that a start brings up on demand: on
// Windows they run already, and ending them would break the session.
bool IsSystemProgram(HANDLE process) {
  wchar_t windows[MAX_PATH] = {}, image[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
  return length > 0 && QueryFullProcessImageNameW(process, 0, image, &size) && _wcsnicmp(image, windows, length) == 0 &&
         image[length] == L'\\';
}

// The job's processes still running, without Wine's own programs.
std::vector<UniqueHandle> RunningPrograms(HANDLE job) {
  struct {
    JOBOBJECT_BASIC_PROCESS_ID_LIST list;
    ULONG_PTR more[31];
  } ids{};
  std::vector<UniqueHandle> running;
  if (!QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) return running;
  for (ULONG i = 0; i < ids.list.NumberOfProcessIdsInList; ++i) {
    UniqueHandle process{OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE, FALSE,
                                     static_cast<DWORD>(ids.list.ProcessIdList[i]))};
    if (process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT && !IsSystemProgram(process.get())) {
      running.push_back(std::move(process));
    }
  }
  return running;
}

// Asks the program to close, ends it when it does not, and ends whatever it started.
void Close(HWND window, HANDLE process, HANDLE job) {
  if (window != nullptr) PostMessageW(window, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process, kCloseWaitMs) != WAIT_OBJECT_0) {
    printf("the program did not close within %lu s: ended\n", kCloseWaitMs / 1000);
    TerminateProcess(process, 1);
    WaitForSingleObject(process, kCloseWaitMs);
  }
  const Stopwatch waited;
  std::vector<UniqueHandle> left = RunningPrograms(job);
  while (!left.empty() && waited.Seconds() * 1000 < kCloseWaitMs) {
    Sleep(10);
    left = RunningPrograms(job);
  }
  for (const UniqueHandle& program : left) {
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    QueryFullProcessImageNameW(program.get(), 0, image, &size);
    printf("still running after the run: %ls, ended\n", image);
    TerminateProcess(program.get(), 1);
  }
}

// Seconds from process start to the first paint of its windowClass window; -1 on failure.
double TimeFirstPaint(const std::wstring& program, const wchar_t* windowClass) {
  UniqueHandle job = TrackingJob();
  if (!job) return -1;
  // A program without a console on Windows: under Wine it would inherit this one and print there.
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  UniqueHandle nul{CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                               OPEN_EXISTING, 0, nullptr)};
  std::wstring line = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = startup.hStdOutput = startup.hStdError = nul.get();
  PROCESS_INFORMATION info{};
  const Stopwatch watch;
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &info)) {
    printf("cannot start %ls, err %lu\n", program.c_str(), GetLastError());
    return -1;
  }
  UniqueHandle process{info.hProcess}, thread{info.hThread};
  if (!AssignProcessToJobObject(job.get(), process.get())) {
    printf("AssignProcessToJobObject failed, err %lu\n", GetLastError());
    TerminateProcess(process.get(), 1);
    return -1;
  }
  ResumeThread(thread.get());
  HWND window = WaitForFirstPaint(process.get(), info.dwProcessId, windowClass);
  const double seconds = watch.Seconds();
  Close(window, process.get(), job.get());
  return window != nullptr ? seconds : -1;
}

// Each run starts like a first start: without the work folder a previous run left.
double TimeSetup(const std::wstring& setup) {
  DeleteDirectoryTree(TempFolder(L"~ZQSetup"), {});
  return TimeFirstPaint(setup, L"InstallWnd");
}

void PrintRuns(const char* name, const std::vector<double>& seconds) {
  printf("%s runs:", name);
  for (double value : seconds) printf(" %.3f", value);
  printf("\n");
}

int Drive() {
  const std::wstring setup = WinePath(TAMSEL_BENCH_SETUP);
  const std::wstring work = setup.substr(0, setup.rfind(L"\\out\\")) + L"\\bench-startup";
  CreateDirectoryTree(work);
  if (!RunHostCommand(TAMSEL_BENCH_HOST_SCRIPT, work, "prepare", L"ready.json", kHostWaitMs,
                      " '" + std::string(TAMSEL_BENCH_STAGE) + "'")) {
    return 1;
  }
  // The desktop comes up with this program rather than inside the first measured one.
  GetDesktopWindow();
  const std::wstring nsis = work + L"\\startup_nsis.exe";
  // One untimed start of each first: the file cache and Wine's own first loads.
  bool ok = TimeSetup(setup) >= 0 && TimeFirstPaint(nsis, L"#32770") >= 0;
  std::vector<double> ours, theirs;
  for (int run = 0; ok && run < kRuns; ++run) {
    ours.push_back(TimeSetup(setup));
    theirs.push_back(TimeFirstPaint(nsis, L"#32770"));
    ok = ours.back() >= 0 && theirs.back() >= 0;
  }
  DeleteDirectoryTree(TempFolder(L"~ZQSetup"), {});
  const std::string ready = ReadText(work + L"\\ready.json");
  RunHostCommand(TAMSEL_BENCH_HOST_SCRIPT, work, "clean", L"clean.json", kHostWaitMs);
  if (!ok) {
    printf("a start did not reach its first paint\n");
    return 1;
  }
  printf("product files %s\n", ready.c_str());
  PrintRuns("ours", ours);
  PrintRuns("NSIS", theirs);
  printf("start to first paint, median of %d: ours %.3f s, NSIS wizard (zlib) %.3f s\n", kRuns, Median(ours),
         Median(theirs));
  printf("ratio ours / NSIS: %.2f\n", Median(ours) / Median(theirs));
  return 0;
}

}  // namespace

int wmain() { return Drive(); }
