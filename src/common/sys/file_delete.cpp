#include "common/sys/file_delete.h"

#include <windows.h>

#include "common/log/vlog.h"
#include "common/sys/system_info.h"

namespace {

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring FreeDeleteName(const std::wstring& path) {
  std::wstring name = path + L".delete";
  for (unsigned counter = 1; Exists(name); ++counter) {
    name = path + L".delete" + std::to_wstring(counter);
  }
  return name;
}

}  // namespace

bool ScheduleDeleteAtRestart(const std::wstring& path) {
  if (!MoveFileExW(path.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) {
    VLOG_ERROR("ScheduleDeleteAtRestart, MoveFileEx %S failed, err %lu", path.c_str(), GetLastError());
    return false;
  }
  return true;
}

int MoveToDeleteName(const std::wstring& path) {
  const std::wstring aside = FreeDeleteName(path);
  if (!MoveFileW(path.c_str(), aside.c_str())) {
    VLOG_WARN("MoveToDeleteName, MoveFile %S to %S failed, err %lu", path.c_str(), aside.c_str(), GetLastError());
    return -1;
  }
  ScheduleDeleteAtRestart(aside);  // the name is free either way; a failure is logged there
  return 0;
}

int DeleteFileOrDefer(const std::wstring& path) {
  if (DeleteFileW(path.c_str())) return 0;
  const DWORD err = GetLastError();
  VLOG_INFO("DeleteFileOrDefer, DeleteFile %S failed, err %lu, deferred", path.c_str(), err);
  if (SystemInfo::GetInstance().MajorVersion() >= 6) return MoveToDeleteName(path);
  return ScheduleDeleteAtRestart(path) ? 0 : -1;
}
