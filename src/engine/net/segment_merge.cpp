// Joins the segment files into the target, digesting the bytes in the same pass.
#include <windows.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "common/log/vlog.h"
#include "common/zip/md5.h"
#include "engine/net/segment_downloader.h"

namespace {

// Large blocks: each read and write is a system call, and far dearer under Wine.
constexpr size_t kBlockSize = 1024 * 1024;

// Digests the blocks in order on a thread of its own while the merge copies the next one:
// the digest and the copy each take about as long as the other.
class BlockDigest {
 public:
  BlockDigest() : thread_([this] { Run(); }) {}
  ~BlockDigest() { Finish(); }
  BlockDigest(const BlockDigest&) = delete;
  BlockDigest& operator=(const BlockDigest&) = delete;

  // Waits for the block before, then digests this one; its bytes must stay untouched until
  // the next call or Finish.
  void Add(const char* data, size_t length) {
    std::unique_lock<std::mutex> lock(lock_);
    idle_.wait(lock, [this] { return !busy_; });
    data_ = data;
    length_ = length;
    busy_ = true;
    work_.notify_one();
  }
  // Waits for the last block; the digest is complete afterwards.
  CMD5& Finish() {
    {
      std::unique_lock<std::mutex> lock(lock_);
      idle_.wait(lock, [this] { return !busy_; });
      done_ = true;
      work_.notify_one();
    }
    if (thread_.joinable()) thread_.join();
    return md5_;
  }

 private:
  void Run() {
    std::unique_lock<std::mutex> lock(lock_);
    for (;;) {
      work_.wait(lock, [this] { return busy_ || done_; });
      if (!busy_) return;
      lock.unlock();
      md5_.Update(data_, length_);
      lock.lock();
      busy_ = false;
      idle_.notify_one();
    }
  }

  CMD5 md5_;
  std::mutex lock_;
  std::condition_variable work_, idle_;
  const char* data_ = nullptr;
  size_t length_ = 0;
  bool busy_ = false;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace

bool CSegmentDownloader::MergeSegments() {
  std::unique_ptr<FILE, int (*)(FILE*)> target(_wfopen(targetPath_.c_str(), L"wb+"), &fclose);
  if (!target) {
    VLOG_ERROR("MergeSegments, cannot open target %S, errno %d", targetPath_.c_str(), errno);
    return false;
  }
  // Two blocks: one is read and written while the other is digested. Declared before the
  // digest, so that the digest's thread is done with them before they go.
  std::vector<char> blocks[2] = {std::vector<char>(kBlockSize), std::vector<char>(kBlockSize)};
  BlockDigest digest;
  int current = 0;
  for (const auto& segment : segments_) {
    FILE* file = segment->file.get();
    rewind(file);
    size_t read = 0;
    while ((read = fread(blocks[current].data(), 1, kBlockSize, file)) > 0) {
      if (fwrite(blocks[current].data(), 1, read, target.get()) != read) {
        VLOG_ERROR("MergeSegments, write to %S failed, errno %d", targetPath_.c_str(), errno);
        return false;
      }
      digest.Add(blocks[current].data(), read);
      current ^= 1;
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
  std::string hex = digest.Finish().HexDigest();
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
