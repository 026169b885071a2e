#include "common/sys/self_path.h"

#include <windows.h>

namespace {

// A path longer than this is no path the system can open.
const size_t kLongestPath = 32768;

}  // namespace

std::wstring SelfPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    // A full buffer may hold a cut path: ask again with more room.
    if (path.size() >= kLongestPath) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return std::wstring();
    }
    path.resize(path.size() * 2);
  }
}

std::wstring SelfFolder() {
  const std::wstring path = SelfPath();
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}
