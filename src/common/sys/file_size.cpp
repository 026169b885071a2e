#include "common/sys/file_size.h"

#include "common/log/vlog.h"
#include "common/sys/unique_handles.h"

DWORD GetFileSizeByPath(const std::wstring& path) {
  WIN32_FIND_DATAW entry{};
  UniqueFindHandle search(FindFirstFileW(path.c_str(), &entry));
  if (search.get() == INVALID_HANDLE_VALUE) {
    VLOG_WARN("GetFileSizeByPath, FindFirstFile %S failed, err %lu", path.c_str(), GetLastError());
    return INVALID_FILE_SIZE;
  }
  return entry.nFileSizeLow;
}
