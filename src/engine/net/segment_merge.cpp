// Joins the segment files into the target, digesting the bytes in the same pass.
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "common/log/vlog.h"
#include "common/zip/md5.h"
#include "engine/net/segment_downloader.h"

namespace {
// Large blocks: each read and write is a system call, and far dearer under Wine.
constexpr size_t kBlockSize = 1024 * 1024;
}  // namespace

bool CSegmentDownloader::MergeSegments() {
  std::unique_ptr<FILE, int (*)(FILE*)> target(_wfopen(targetPath_.c_str(), L"wb+"), &fclose);
  if (!target) {
    VLOG_ERROR("MergeSegments, cannot open target %S, errno %d", targetPath_.c_str(), errno);
    return false;
  }
  CMD5 md5;
  std::vector<char> buffer(kBlockSize);
  char* const block = buffer.data();
  for (const auto& segment : segments_) {
    FILE* file = segment->file.get();
    rewind(file);
    size_t read = 0;
    while ((read = fread(block, 1, kBlockSize, file)) > 0) {
      md5.Update(block, read);
      if (fwrite(block, 1, read, target.get()) != read) {
        VLOG_ERROR("MergeSegments, write to %S failed, errno %d", targetPath_.c_str(), errno);
        return false;
      }
    }
    if (ferror(file)) {
      VLOG_ERROR("MergeSegments, read of segment %u failed, errno %d", segment->index, errno);
      return false;
    }
    segment->file.reset();
  }
  if (fclose(target.release()) != 0) {
    VLOG_ERROR("MergeSegments, closing %S failed, errno %d", targetPath_.c_str(), errno);
    return false;
  }
  if (expectedMd5_.empty()) return true;
  std::string digest = md5.HexDigest();
  if (_stricmp(digest.c_str(), expectedMd5_.c_str()) == 0) return true;
  VLOG_ERROR("MergeSegments, md5 mismatch, expected %s, got %s, file %S", expectedMd5_.c_str(), digest.c_str(),
             targetPath_.c_str());
  return false;
}

void CSegmentDownloader::DeleteSegmentFiles() {
  for (const std::wstring& name : segmentFileNames_) {
    if (!DeleteFileW(name.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND) {
      VLOG_WARN("DeleteSegmentFiles, DeleteFileW %S failed, err %lu", name.c_str(), GetLastError());
    }
  }
  segmentFileNames_.clear();
}
