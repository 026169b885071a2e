// Product file changes: deleting the files the new product no longer holds, and putting new
// or changed files in place. A file in use is never overwritten: the new file waits beside it
// under a ".new" name and replaces it at the next restart.
#include <windows.h>
#include <shlobj.h>

#include <unordered_set>

#include "common/log/vlog.h"
#include "common/sys/file_delete.h"
#include "common/sys/unique_handles.h"
#include "engine/job/prompt.h"
#include "engine/parser/file_on_disk.h"
#include "engine/parser/text_compare.h"
#include "engine/update/folder_moves.h"
#include "engine/update/update_eng_ex.h"

namespace {

constexpr int kStepCopy = 9;
constexpr int kStepOther = 0;
constexpr int kCopyShare = 50;

// The record's times (RecordFileTimesOf). A file that already carries both times is not opened again: under Wine every
// open is a round trip to the server, and most files come out of the package with the right times.
void SetRecordTimes(const std::wstring& path, int64_t timeMs) {
  const RecordFileTimes times = RecordFileTimesOf(timeMs);
  WIN32_FILE_ATTRIBUTE_DATA now{};
  if (GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &now) &&
      CompareFileTime(&now.ftLastWriteTime, &times.written) == 0 &&
      CompareFileTime(&now.ftLastAccessTime, &times.accessed) == 0) {
    return;
  }
  UniqueHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!IsValid(file)) {
    VLOG_WARN("AddProductFile, open %S for its times failed, err %lu", path.c_str(), GetLastError());
    return;
  }
  if (!SetFileTime(file.get(), nullptr, &times.accessed, &times.written)) {
    VLOG_WARN("AddProductFile, SetFileTime %S failed, err %lu", path.c_str(), GetLastError());
  }
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder of a target (the product folder itself for a path without folder), made with
// every missing level. False when it is not a folder afterwards.
bool MakeTargetFolder(const std::wstring& folder) {
  const int result = SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  if (IsFolder(folder)) return true;
  VLOG_ERROR("AddProductFile, SHCreateDirectoryEx fail FileDstDir %S err %d", folder.c_str(), result);
  return false;
}

bool IsReadable(const std::wstring& path) {
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (IsValid(file)) return true;
  VLOG_ERROR("UpdateFile, cannot read %S, err %lu", path.c_str(), GetLastError());
  return false;
}

bool BeginsWith(const std::wstring& text, const std::wstring& prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

int CUpdateEngEx::ApplyFileChanges() {
  DeleteProductFile({});
  return AddProductFile();
}

int CUpdateEngEx::DeleteProductFile(std::vector<std::wstring> exclusions) {
  for (const FileRecord& record : deleteList.files) {
    if (record.excluded) continue;
    const std::wstring installed = GetInstalledPath(record);
    bool kept = false;
    for (const std::wstring& exclusion : exclusions) kept = kept || BeginsWith(installed, exclusion);
    if (kept) continue;
    const std::wstring full = installedProduct.productFolder + L"\\" + installed;
    // A file held open without share-delete can neither go now nor be moved aside: the
    // restart deletes it.
    if (PathExists(full) && DeleteFileOrDefer(full) != 0) ScheduleDeleteAtRestart(full);
    VLOG_INFO("DeleteProductFile, DeleteFile %S", full.c_str());
  }
  return 0;
}

int CUpdateEngEx::AddProductFile() {
  const std::vector<FileRecord>& files = addList.files;
  const int total = static_cast<int>(files.size());
  int done = 1;
  int result = 0;
  // Folders this loop made or found: each is made once, not once per file it holds.
  std::unordered_set<std::wstring> folders;
  const FolderMovePlan plan(files, newProduct.sourceFolder, newProduct.productFolder);
  size_t index = 0;
  while (index < files.size() && result == 0) {
    const FolderRun* run = plan.RunAt(index);
    if (run && MoveFolder(run->folder)) {
      for (; index <= run->last; ++index) {
        if (!files[index].excluded) ReportPlaced(files[index], done, total);
      }
      continue;
    }
    if (!files[index].excluded) result = PlaceFile(files[index], done, total, folders);
    ++index;
  }
  if (prompt) prompt->OnProgress(kStepOther, kCopyShare, L"");
  return result;
}

// One record's file from the source folder to its place: 0, or -1 / -2 as AddProductFile.
int CUpdateEngEx::PlaceFile(const FileRecord& record, int& done, int total, std::unordered_set<std::wstring>& folders) {
  const std::wstring installed = GetInstalledPath(record);
  const std::wstring source = newProduct.sourceFolder + L"\\" + GetAttributeW(record, "path");
  const size_t slash = installed.rfind(L'\\');
  const std::wstring folder =
      newProduct.productFolder + (slash == std::wstring::npos ? L"" : L"\\" + installed.substr(0, slash));
  if (folders.count(folder) == 0) {
    if (!MakeTargetFolder(folder)) return -1;
    folders.insert(folder);
  }
  const std::wstring target = newProduct.productFolder + L"\\" + installed;
  if (prompt) prompt->OnProgressEx(kStepCopy, done++, total, installed, kCopyShare);
  std::wstring waiting;
  const int updated = UpdateFile(source, target, waiting);
  if (updated < 0) {
    VLOG_ERROR("AddProductFile, UpdateFile fail FileSrc %S FileDst %S iUpdateRet %d err %lu", source.c_str(),
               target.c_str(), updated, GetLastError());
    return -2;
  }
  VLOG_INFO("AddProductFile, UpdateFile FileSrc %S FileDst %S", source.c_str(), target.c_str());
  SetTimesOf(record, updated == 1 ? waiting : target);
  return 0;
}

// A record whose file went into place with its folder: reported, logged and timed as if it
// had been moved alone.
void CUpdateEngEx::ReportPlaced(const FileRecord& record, int& done, int total) {
  const std::wstring installed = GetInstalledPath(record);
  const std::wstring target = newProduct.productFolder + L"\\" + installed;
  if (prompt) prompt->OnProgressEx(kStepCopy, done++, total, installed, kCopyShare);
  VLOG_INFO("AddProductFile, UpdateFile FileSrc %S FileDst %S",
            (newProduct.sourceFolder + L"\\" + GetAttributeW(record, "path")).c_str(), target.c_str());
  SetTimesOf(record, target);
}

// The folder of the source folder into the product folder, which has none of that name yet
// (a move never replaces). False leaves it where it was: its files then move one by one.
bool CUpdateEngEx::MoveFolder(const std::wstring& relative) {
  const std::wstring source = newProduct.sourceFolder + L"\\" + relative;
  const std::wstring target = newProduct.productFolder + L"\\" + relative;
  const std::wstring parent = target.substr(0, target.rfind(L'\\'));
  SHCreateDirectoryExW(nullptr, parent.c_str(), nullptr);
  if (!IsFolder(parent) || !MoveFileW(source.c_str(), target.c_str())) {
    VLOG_WARN("AddProductFile, MoveFile folder %S to %S failed, err %lu, its files move one by one", source.c_str(),
              target.c_str(), GetLastError());
    return false;
  }
  VLOG_INFO("AddProductFile, folder %S moved with its files to %S", source.c_str(), target.c_str());
  return true;
}

void CUpdateEngEx::SetTimesOf(const FileRecord& record, const std::wstring& path) {
  const std::string& time = FindAttribute(record.attributes, "time");
  if (!time.empty()) SetRecordTimes(path, DecimalValue64(time));
}

RecordFileTimesByPath CUpdateEngEx::AddListFileTimes() const {
  RecordFileTimesByPath times;
  for (const FileRecord& record : addList.files) {
    if (record.excluded) continue;
    const std::string& time = FindAttribute(record.attributes, "time");
    if (!time.empty()) times.emplace(GetAttributeW(record, "path"), RecordFileTimesOf(DecimalValue64(time)));
  }
  return times;
}

int CUpdateEngEx::UpdateFile(const std::wstring& source, const std::wstring& target, std::wstring& waiting) {
  waiting.clear();
  // Nothing at the target: the move is all.
  if (MoveFileW(source.c_str(), target.c_str())) return 0;
  // The source is checked before the target is touched: a source that is missing or cannot be
  // read must not cost the installed file.
  if (!PathExists(source)) {
    VLOG_ERROR("UpdateFile, error: 2, cannot find file: %S", source.c_str());
    return -1;
  }
  if (!IsReadable(source)) return -2;
  if (PathExists(target)) {
    // Deleted, or moved aside to a ".delete" name; a file deferred to the next restart
    // (before Windows 6) still holds the name and counts as in use.
    if (DeleteFileOrDefer(target) != 0 || PathExists(target)) {
      if (ReplaceOnReboot(source, target, waiting) != 0) return -2;
      VLOG_INFO("Reboot flag set on cover file, FileSrcPath: %S, FileDstPath: %S", source.c_str(), target.c_str());
      return 1;
    }
  }
  if (MoveFileW(source.c_str(), target.c_str())) return 0;
  if (CopyFileW(source.c_str(), target.c_str(), TRUE)) return 0;
  VLOG_ERROR("UpdateFile, CopyFile %S to %S failed, err %lu", source.c_str(), target.c_str(), GetLastError());
  return -2;
}

int CUpdateEngEx::ReplaceOnReboot(const std::wstring& source, const std::wstring& target, std::wstring& waiting) {
  waiting.clear();
  std::wstring candidate = target + L".new";
  for (unsigned counter = 1; PathExists(candidate); ++counter) candidate = target + L".new" + std::to_wstring(counter);
  if (!MoveFileW(source.c_str(), candidate.c_str())) {
    VLOG_ERROR("ReplaceOnReboot, MoveFile %S to %S failed, err %lu", source.c_str(), candidate.c_str(), GetLastError());
    return -1;
  }
  if (!MoveFileExW(candidate.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
    VLOG_ERROR("ReplaceOnReboot, MoveFileEx %S to %S failed, err %lu", candidate.c_str(), target.c_str(),
               GetLastError());
    MoveFileW(candidate.c_str(), source.c_str());  // nothing waits: give the source back
    return -1;
  }
  waiting = candidate;
  return 0;
}
