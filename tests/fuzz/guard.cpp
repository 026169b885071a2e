#include "guard.h"

#include <windows.h>

#include <atomic>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <new>

#include "common/sys/dir_tree.h"

namespace fuzz {

namespace {

GuardLimits g_limits;
std::wstring g_outFolder;
HANDLE g_out = INVALID_HANDLE_VALUE;

// The input being read.
std::atomic<const std::string*> g_input{nullptr};
std::string g_reader;
uint64_t g_number = 0;
std::atomic<DWORD> g_startTick{0};
// The reading thread and its processor time at the input's start (100 ns units): a reader
// starved of processor time by a busy machine is not hanging.
HANDLE g_readerThread = nullptr;
std::atomic<uint64_t> g_cpuAtStart{0};
// A reader that waits instead of computing counts as hanging after this many time limits.
constexpr unsigned kWaitLimits = 10;

// Bytes held through operator new; the bound counts from the input's start.
std::atomic<int64_t> g_held{0};
int64_t g_heldAtStart = 0;
std::atomic<bool> g_armed{false};
std::atomic<size_t> g_refused{0};

void WriteOut(const char* text, size_t length) {
  DWORD written = 0;
  WriteFile(g_out, text, static_cast<DWORD>(length), &written, nullptr);
}

[[noreturn]] void Fail(const char* what, const char* detail) {
  const std::string* input = g_input.load();
  if (input != nullptr) {
    const std::wstring path = SaveInput(g_reader, what, g_number, *input);
    Print("FAIL %s: reader %s input %llu (%s), saved as %ls\n", what, g_reader.c_str(),
          static_cast<unsigned long long>(g_number), detail, path.c_str());
  } else {
    Print("FAIL %s outside any input (%s)\n", what, detail);
  }
  TerminateProcess(GetCurrentProcess(), 70);
  for (;;) Sleep(1000);
}

LONG WINAPI OnUnhandled(EXCEPTION_POINTERS* info) {
  char detail[64];
  snprintf(detail, sizeof detail, "exception 0x%08lx", info->ExceptionRecord->ExceptionCode);
  Fail("crash", detail);
}

void OnTerminate() { Fail("crash", "std::terminate"); }

void OnAbort(int) { Fail("crash", "abort"); }

uint64_t ThreadCpu(HANDLE thread) {
  FILETIME created, ended, kernel, user;
  if (!GetThreadTimes(thread, &created, &ended, &kernel, &user)) return 0;
  return (static_cast<uint64_t>(kernel.dwHighDateTime) << 32 | kernel.dwLowDateTime) +
         (static_cast<uint64_t>(user.dwHighDateTime) << 32 | user.dwLowDateTime);
}

DWORD WINAPI Watchdog(void*) {
  for (;;) {
    Sleep(50);
    const DWORD start = g_startTick.load();
    if (start == 0) continue;
    // The tick read here may be older than the start just stored: the difference is signed.
    const int32_t waited = static_cast<int32_t>(GetTickCount() - start);
    const int64_t computed = static_cast<int64_t>(ThreadCpu(g_readerThread) - g_cpuAtStart.load()) / 10000;
    char detail[80];
    if (computed > g_limits.timeLimitMs) {
      snprintf(detail, sizeof detail, "still reading after %u ms of processor time", g_limits.timeLimitMs);
      Fail("hang", detail);
    }
    if (waited > static_cast<int32_t>(g_limits.timeLimitMs * kWaitLimits)) {
      snprintf(detail, sizeof detail, "still waiting after %d ms", waited);
      Fail("hang", detail);
    }
  }
}

// The header in front of each block holds its size; it keeps the block 8-byte aligned.
constexpr size_t kHeader = 16;

void* Allocate(size_t size, bool nothrow) {
  if (g_armed.load(std::memory_order_relaxed) &&
      g_held.load(std::memory_order_relaxed) + static_cast<int64_t>(size) - g_heldAtStart >
          static_cast<int64_t>(g_limits.allocationBound)) {
    size_t previous = g_refused.load();
    while (size > previous && !g_refused.compare_exchange_weak(previous, size)) {}
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  char* block = size <= SIZE_MAX - kHeader ? static_cast<char*>(std::malloc(size + kHeader)) : nullptr;
  if (block == nullptr) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  *reinterpret_cast<size_t*>(block) = size;
  g_held.fetch_add(static_cast<int64_t>(size), std::memory_order_relaxed);
  return block + kHeader;
}

void Release(void* pointer) {
  if (pointer == nullptr) return;
  char* block = static_cast<char*>(pointer) - kHeader;
  g_held.fetch_sub(static_cast<int64_t>(*reinterpret_cast<size_t*>(block)), std::memory_order_relaxed);
  std::free(block);
}

}  // namespace

void StartGuard(const GuardLimits& limits, const std::wstring& outFolder) {
  g_limits = limits;
  g_outFolder = outFolder;
  DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_OUTPUT_HANDLE), GetCurrentProcess(), &g_out, 0, FALSE,
                  DUPLICATE_SAME_ACCESS);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  SetUnhandledExceptionFilter(OnUnhandled);
  std::set_terminate(OnTerminate);
  std::signal(SIGABRT, OnAbort);
  CloseHandle(CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
}

void InputBegin(const std::string& reader, uint64_t number, const std::string& input) {
  if (g_reader != reader) g_reader = reader;
  g_number = number;
  g_input = &input;
  g_refused = 0;
  g_heldAtStart = g_held.load();
  g_armed = true;
  if (g_readerThread == nullptr) {
    DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &g_readerThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  }
  g_cpuAtStart = ThreadCpu(g_readerThread);
  g_startTick = GetTickCount() | 1;
}

bool InputEnd(size_t* refusedBytes) {
  g_startTick = 0;
  g_armed = false;
  g_input = nullptr;
  *refusedBytes = g_refused.load();
  return *refusedBytes != 0;
}

std::wstring SaveInput(const std::string& reader, const char* what, uint64_t number, const std::string& input) {
  CreateDirectoryTree(g_outFolder);
  wchar_t name[160];
  swprintf(name, 160, L"\\%hs-%hs-%llu.bin", reader.c_str(), what, static_cast<unsigned long long>(number));
  const std::wstring path = g_outFolder + name;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (file != INVALID_HANDLE_VALUE) {
    WriteFile(file, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
    CloseHandle(file);
  }
  return path;
}

void Print(const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  const int n = vsnprintf(text, sizeof text, format, args);
  va_end(args);
  WriteOut(text, n < 0 ? 0 : (static_cast<size_t>(n) < sizeof text ? static_cast<size_t>(n) : sizeof text - 1));
}

}  // namespace fuzz

// Every allocation of the program through new goes through the bound's accounting.
void* operator new(size_t size) { return fuzz::Allocate(size, false); }
void* operator new[](size_t size) { return fuzz::Allocate(size, false); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return fuzz::Allocate(size, true); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return fuzz::Allocate(size, true); }
void operator delete(void* pointer) noexcept { fuzz::Release(pointer); }
void operator delete[](void* pointer) noexcept { fuzz::Release(pointer); }
void operator delete(void* pointer, size_t) noexcept { fuzz::Release(pointer); }
void operator delete[](void* pointer, size_t) noexcept { fuzz::Release(pointer); }
void operator delete(void* pointer, const std::nothrow_t&) noexcept { fuzz::Release(pointer); }
void operator delete[](void* pointer, const std::nothrow_t&) noexcept { fuzz::Release(pointer); }
