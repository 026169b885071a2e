// Owners for the Windows handles the system helpers open: each closes its handle once,
// on every road out of the function that opened it.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

struct FindCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) FindClose(h);
  }
};
using UniqueFindHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, FindCloser>;

struct RegKeyCloser {
  void operator()(HKEY key) const {
    if (key) RegCloseKey(key);
  }
};
using UniqueRegKey = std::unique_ptr<std::remove_pointer_t<HKEY>, RegKeyCloser>;

struct ViewUnmapper {
  void operator()(const void* view) const {
    if (view) UnmapViewOfFile(view);
  }
};
using UniqueFileView = std::unique_ptr<const void, ViewUnmapper>;

// A handle that Create* functions report as INVALID_HANDLE_VALUE or null on failure.
inline bool IsValid(const UniqueHandle& h) { return h && h.get() != INVALID_HANDLE_VALUE; }
