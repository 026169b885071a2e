// Joins the ranges of a segmented download into the target while they arrive: each range's
// bytes go to their place in the target, and a thread of its own digests the target in order
// as far as the ranges before have arrived. The first range is digested as it comes; after
// the transfer only the ranges that arrived beside it are left to digest.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/sys/unique_handles.h"
#include "common/zip/md5.h"

class SegmentJoin {
 public:
  SegmentJoin() = default;
  ~SegmentJoin();
  SegmentJoin(const SegmentJoin&) = delete;
  SegmentJoin& operator=(const SegmentJoin&) = delete;

  // The target (already created) with its ranges (first byte, length), in order; false
  // (logged) when it cannot be opened for writing and reading.
  bool Open(const std::wstring& target, const std::vector<std::pair<int64_t, int64_t>>& ranges);
  // The next bytes of range index, in the order they arrived; false (logged) when the target
  // cannot be written.
  bool Write(unsigned index, const char* data, size_t length);
  // Every range arrived whole: the bytes held back are written; the digest then runs to its
  // end on its own. False (logged) when the target could not be written.
  bool Complete();
  // Waits for the digest of the whole target (Complete first if not done): lowercase hex, or
  // empty (logged) when the target could not be written or mapped.
  std::string Finish();
  // The download failed: the digest stops and the target is emptied again.
  void Abandon();

 private:
  struct Range {
    int64_t first = 0;
    int64_t length = 0;
    int64_t written = 0;     // in the target, ready to digest (guarded by lock_)
    std::vector<char> held;  // arrived, not yet written
  };

  bool Flush(Range& range);
  void Digest();
  void Stop();

  std::wstring target_;
  UniqueHandle writer_;
  UniqueHandle mapping_;
  std::vector<Range> ranges_;
  CMD5 md5_;
  bool writeFailed_ = false;
  bool readFailed_ = false;  // set by the digest thread, read after it ended
  std::mutex lock_;
  std::condition_variable arrived_;
  bool stop_ = false;
  std::thread digester_;
};
