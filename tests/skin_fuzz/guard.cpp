#include "guard.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

namespace skin_fuzz {

namespace {

const int kStackDepth = 32;

bool InCode(DWORD value) {
  const BYTE* base = reinterpret_cast<const BYTE*>(::GetModuleHandleW(nullptr));
  const IMAGE_NT_HEADERS* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const DWORD low = reinterpret_cast<DWORD>(base) + nt->OptionalHeader.BaseOfCode;
  return value >= low && value < low + nt->OptionalHeader.SizeOfCode;
}

// The return addresses into this program found on a thread's stack from `esp` up (a scan: the
// code keeps no frame pointers), for addr2line. Another thread's stack is read through the
// system, this thread's own directly.
int ScanStack(DWORD esp, DWORD* found, bool own) {
  DWORD top = esp + 16384;
  MEMORY_BASIC_INFORMATION stack = {};
  if (own && ::VirtualQuery(reinterpret_cast<void*>(esp), &stack, sizeof(stack)) == sizeof(stack))
    top = reinterpret_cast<DWORD>(stack.BaseAddress) + stack.RegionSize;
  int count = 0;
  for (DWORD at = esp; count < kStackDepth && at + 4 <= top; at += 4) {
    DWORD value = 0;
    SIZE_T read = 0;
    if (own)
      value = *reinterpret_cast<const DWORD*>(at);
    else if (!::ReadProcessMemory(::GetCurrentProcess(), reinterpret_cast<void*>(at), &value, 4, &read))
      break;
    if (InCode(value)) found[count++] = value;
  }
  return count;
}

void PrintStack(const char* what, DWORD eip, const DWORD* found, int count) {
  static char line[512];
  int used = snprintf(line, sizeof(line), "skin_fuzz: %s at 0x%08lX, returns to", what, eip);
  for (int i = 0; i < count && used > 0 && used < 490; ++i) used += snprintf(line + used, 12, " 0x%08lX", found[i]);
  if (used > 0 && used < 510) strcpy(line + used, "\n");
  DWORD written = 0;
  ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), line, static_cast<DWORD>(strlen(line)), &written, nullptr);
}

void PrintStack(const CONTEXT& context) {
  DWORD found[kStackDepth];
  PrintStack("the main thread", context.Eip, found, ScanStack(context.Esp, found, false));
}

// The main thread's stack as the last pulse saw it: a thread waiting in the system gives no
// context to another, but a modal loop still runs the pulse's timer.
struct Pulse {
  DWORD found[kStackDepth];
  int count = 0;
  DWORD tick = 0;
} g_pulse;

void CALLBACK OnPulse(HWND, UINT, UINT_PTR, DWORD) {
  DWORD esp = reinterpret_cast<DWORD>(&esp);
  g_pulse.count = ScanStack(esp, g_pulse.found, true);
  g_pulse.tick = ::GetTickCount();
  // A pop-up menu runs its own message loop; nobody is there to pick an item.
  ::EndMenu();
}

struct Record {
  CRITICAL_SECTION lock;
  std::string label;
  std::string row;
  DWORD started = 0;
  bool running = false;
  DWORD limit = 0;
  HANDLE mainThread = nullptr;
  std::wstring trail;
};

Record& Current() {
  static Record record;
  return record;
}

bool InModule(HMODULE module, ULONG_PTR address) {
  if (module == nullptr) return false;
  const BYTE* base = reinterpret_cast<const BYTE*>(module);
  const IMAGE_NT_HEADERS* nt =
      reinterpret_cast<const IMAGE_NT_HEADERS*>(base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
  return address >= reinterpret_cast<ULONG_PTR>(base) &&
         address < reinterpret_cast<ULONG_PTR>(base) + nt->OptionalHeader.SizeOfImage;
}

bool InProgram(ULONG_PTR address) { return InModule(::GetModuleHandleW(nullptr), address); }

// Wine 8.0's rich edit reads address 0xE4 when a word selected by a double click in a line of a
// very large font meets an arrow key; its own edit window (RICHEDIT50W, no framework) falls the
// same way: a font 200 pixels high (100 is fine), type "v", double-click it, press Right.
bool WineRichEditFault(const EXCEPTION_RECORD& e) {
  return e.ExceptionCode == EXCEPTION_ACCESS_VIOLATION && e.NumberParameters > 1 && e.ExceptionInformation[1] == 0xE4 &&
         InModule(::GetModuleHandleW(L"riched20.dll"), reinterpret_cast<ULONG_PTR>(e.ExceptionAddress));
}

void ReportException(const EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* e = info->ExceptionRecord;
  if (WineRichEditFault(*e)) FailCase("platform fault (Wine's rich edit, word selection and arrow key)", kExitPlatform);
  char what[128];
  snprintf(what, sizeof(what), "crash (exception 0x%08lX at %p, address %p)", e->ExceptionCode, e->ExceptionAddress,
           e->NumberParameters > 1 ? reinterpret_cast<void*>(e->ExceptionInformation[1]) : nullptr);
  PrintStack(*info->ContextRecord);
  FailCase(what, kExitCrash);
}

// Seen before anyone handles it: Wine (like 64-bit Windows) swallows an exception raised in a
// window procedure that the system called back (painting, sizing, creating), so the filter below
// would never hear of it. Only faults of this program count here: the system's own code may take
// and handle faults of its own.
LONG WINAPI OnException(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD* e = info->ExceptionRecord;
  const ULONG_PTR at = reinterpret_cast<ULONG_PTR>(e->ExceptionAddress);
  const ULONG_PTR target = e->NumberParameters > 1 ? e->ExceptionInformation[1] : 0;
  const bool freedBlock = (at >> 16) == 0xFEEE || (target >> 16) == 0xFEEE;  // Wine's fill of freed blocks
  switch (e->ExceptionCode) {
    case EXCEPTION_STACK_OVERFLOW:
      ReportException(info);
      break;
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_PRIV_INSTRUCTION:
      if (InProgram(at) || freedBlock || at < 0x10000) ReportException(info);
      break;
    default:
      break;
  }
  return EXCEPTION_CONTINUE_SEARCH;
}

LONG WINAPI OnUnhandledException(EXCEPTION_POINTERS* info) {
  ReportException(info);
  return EXCEPTION_CONTINUE_SEARCH;
}

DWORD WINAPI Watchdog(void*) {
  Record& r = Current();
  for (;;) {
    ::Sleep(250);
    ::EnterCriticalSection(&r.lock);
    const bool hung = r.running && ::GetTickCount() - r.started > r.limit;
    ::LeaveCriticalSection(&r.lock);
    if (hung) {
      CONTEXT context = {};
      context.ContextFlags = CONTEXT_FULL;
      ::SuspendThread(r.mainThread);
      if (::GetThreadContext(r.mainThread, &context)) {
        PrintStack(context);
      } else {
        char what[64];
        snprintf(what, sizeof(what), "the main thread %lu ms ago", ::GetTickCount() - g_pulse.tick);
        PrintStack(what, 0, g_pulse.found, g_pulse.count);
      }
      char what[64];
      snprintf(what, sizeof(what), "hang (no end after %lu ms)", r.limit);
      FailCase(what, kExitHang);
    }
  }
}

}  // namespace

void InstallGuard(DWORD hangLimitMs, const std::wstring& trail) {
  Record& r = Current();
  r.trail = trail;
  ::InitializeCriticalSection(&r.lock);
  r.limit = hangLimitMs;
  ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(), &r.mainThread, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
  ::AddVectoredExceptionHandler(1, OnException);
  ::SetUnhandledExceptionFilter(OnUnhandledException);
  std::set_terminate([] { FailCase("crash (std::terminate)", kExitCrash); });
  ::CloseHandle(::CreateThread(nullptr, 0, Watchdog, nullptr, 0, nullptr));
  ::SetTimer(nullptr, 0, 100, OnPulse);
}

void BeginCase(const std::string& label, const std::string& row) {
  Record& r = Current();
  ::EnterCriticalSection(&r.lock);
  r.label = label;
  r.row = row;
  r.started = ::GetTickCount();
  r.running = true;
  ::LeaveCriticalSection(&r.lock);
  if (r.trail.empty()) return;
  HANDLE file = ::CreateFileW(r.trail.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, label.data(), static_cast<DWORD>(label.size()), &written, nullptr);
  ::CloseHandle(file);
}

void EndCase() {
  Record& r = Current();
  ::EnterCriticalSection(&r.lock);
  r.running = false;
  ::LeaveCriticalSection(&r.lock);
}

void FailCase(const char* what, int exitCode) {
  // The record is read without the lock: the thread that holds it may be the one that failed. Plain
  // writes, for a thread whose stack has run out.
  Record& r = Current();
  HANDLE err = ::GetStdHandle(STD_ERROR_HANDLE);
  for (const char* piece : {"skin_fuzz: ", what, " in ", r.label.c_str(), "\n", r.row.c_str(), "\n"}) {
    DWORD written = 0;
    ::WriteFile(err, piece, static_cast<DWORD>(strlen(piece)), &written, nullptr);
  }
  ::TerminateProcess(::GetCurrentProcess(), static_cast<UINT>(exitCode));
  for (;;) ::Sleep(INFINITE);
}

bool HeapsIntact() {
  std::vector<HANDLE> heaps(64);
  DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (count > heaps.size()) {
    heaps.resize(count);
    count = ::GetProcessHeaps(count, heaps.data());
  }
  for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
    if (!::HeapValidate(heaps[i], 0, nullptr)) return false;
  }
  return true;
}

}  // namespace skin_fuzz
