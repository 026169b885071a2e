#include "ui/core/paint/manager/layered_window_internal.h"

namespace SkinUI {

PFN_UpdateLayeredWindow LookUpUpdateLayeredWindow() {
  static PFN_UpdateLayeredWindow fn = reinterpret_cast<PFN_UpdateLayeredWindow>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "UpdateLayeredWindow")));
  return fn;
}

PFN_SetLayeredWindowAttributes LookUpSetLayeredWindowAttributes() {
  static PFN_SetLayeredWindowAttributes fn = reinterpret_cast<PFN_SetLayeredWindowAttributes>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"User32.dll"), "SetLayeredWindowAttributes")));
  return fn;
}

}  // namespace SkinUI
