#include "timer_spy.h"

#include <cstring>
#include <utility>

namespace skinui_test {

namespace {

TimerSpy* g_spy = nullptr;
void* g_realSetTimer = nullptr;

UINT_PTR WINAPI OnSetTimer(HWND, UINT_PTR id, UINT elapse, TIMERPROC) {
  g_spy->intervals.push_back(elapse);
  g_spy->lastId = id;
  return id != 0 ? id : 1;
}

// Swaps the import address of user32's SetTimer in this program for `value`; gives the old one.
void* SwapSetTimer(void* value) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  DWORD at = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + at); imp->Name != 0; ++imp) {
    if (_stricmp(reinterpret_cast<char*>(base + imp->Name), "user32.dll") != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
    for (int i = 0; names[i].u1.AddressOfData != 0; ++i) {
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names[i].u1.AddressOfData);
      if (IMAGE_SNAP_BY_ORDINAL(names[i].u1.Ordinal) || strcmp(reinterpret_cast<char*>(byName->Name), "SetTimer") != 0)
        continue;
      void** slot = reinterpret_cast<void**>(base + imp->FirstThunk) + i;
      DWORD old = 0;
      VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
      std::swap(*slot, value);
      VirtualProtect(slot, sizeof(void*), old, &old);
      return value;
    }
  }
  return nullptr;
}

}  // namespace

TimerSpy::TimerSpy() {
  g_spy = this;
  g_realSetTimer = SwapSetTimer(reinterpret_cast<void*>(&OnSetTimer));
}

TimerSpy::~TimerSpy() {
  SwapSetTimer(g_realSetTimer);
  g_spy = nullptr;
}

}  // namespace skinui_test
