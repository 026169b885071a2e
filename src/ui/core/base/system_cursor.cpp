#include "ui/core/base/system_cursor.h"

#include <atomic>

namespace SkinUI {

namespace {

// The system cursors' ids: IDC_ARROW (32512) to IDC_HELP (32651).
constexpr WORD kFirstId = 32512;
constexpr WORD kLastId = 32651;

}  // namespace

HCURSOR SystemCursor(WORD id) {
  if (id < kFirstId || id > kLastId) return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
  // A shared cursor is never destroyed: its handle holds for the process.
  static std::atomic<HCURSOR> loaded[kLastId - kFirstId + 1];
  std::atomic<HCURSOR>& slot = loaded[id - kFirstId];
  HCURSOR cursor = slot.load(std::memory_order_relaxed);
  if (cursor == nullptr) {
    cursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
    slot.store(cursor, std::memory_order_relaxed);
  }
  return cursor;
}

void ShowSystemCursor(WORD id) { ::SetCursor(SystemCursor(id)); }

}  // namespace SkinUI
