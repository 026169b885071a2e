// The end of a download: the segment files go, the joined target's digest is compared.
#include <windows.h>

#include "common/log/vlog.h"
#include "engine/net/segment_downloader.h"

// The target already holds the ranges' bytes in order (joined while they arrived); what is
// left is the digest of the ranges that arrived beside the first, which runs on while the
// segment files are closed and deleted.
bool CSegmentDownloader::MergeSegments() {
  join_.Complete();
  for (const auto& segment : segments_) segment->file.reset();
  DeleteSegmentFiles();
  const std::string hex = join_.Finish();
  if (hex.empty()) {
    VLOG_ERROR("MergeSegments, the target %S was not joined whole", targetPath_.c_str());
    return false;
  }
  if (expectedMd5_.empty()) return true;
  if (_stricmp(hex.c_str(), expectedMd5_.c_str()) == 0) return true;
  VLOG_ERROR("MergeSegments, md5 mismatch, expected %s, got %s, file %S", expectedMd5_.c_str(), hex.c_str(),
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
