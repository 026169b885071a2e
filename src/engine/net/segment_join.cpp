#include "engine/net/segment_join.h"

#include <algorithm>

#include "common/log/vlog.h"

namespace {

// The arrived pieces (16 KB frames over HTTP/2) reach the target and the digest in large
// blocks: each write is a system call, and far dearer under Wine.
constexpr size_t kBlockBytes = 1024 * 1024;

OVERLAPPED At(int64_t offset) {
  OVERLAPPED at{};
  at.Offset = static_cast<DWORD>(offset);
  at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
  return at;
}

bool WriteAt(HANDLE file, int64_t offset, const char* data, size_t length) {
  while (length > 0) {
    OVERLAPPED at = At(offset);
    DWORD done = 0;
    if (!WriteFile(file, data, static_cast<DWORD>(length), &done, &at) || done == 0) return false;
    data += done;
    length -= done;
    offset += done;
  }
  return true;
}

// Views of the target are mapped in windows of this size (a multiple of the 64 KB
// granularity of views): the digest reads the written bytes where they lie, without a copy.
constexpr int64_t kViewBytes = 16 * 1024 * 1024;

}  // namespace

SegmentJoin::~SegmentJoin() { Stop(); }

bool SegmentJoin::Open(const std::wstring& target, const std::vector<std::pair<int64_t, int64_t>>& ranges) {
  target_ = target;
  int64_t total = 0;
  for (const auto& range : ranges) total = std::max(total, range.first + range.second);
  writer_.reset(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  // The target takes its whole length at once, so that every range's place can be mapped.
  LARGE_INTEGER end{};
  end.QuadPart = total;
  if (!IsValid(writer_) || !SetFilePointerEx(writer_.get(), end, nullptr, FILE_BEGIN) || !SetEndOfFile(writer_.get())) {
    VLOG_ERROR("SegmentJoin, cannot open target %S at %lld bytes, err %lu", target.c_str(),
               static_cast<long long>(total), GetLastError());
    writer_.reset();
    return false;
  }
  if (total > 0) {
    mapping_.reset(CreateFileMappingW(writer_.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
    if (!mapping_) {
      VLOG_ERROR("SegmentJoin, cannot map target %S, err %lu", target.c_str(), GetLastError());
      return false;
    }
  }
  for (const auto& range : ranges) {
    ranges_.emplace_back();
    ranges_.back().first = range.first;
    ranges_.back().length = range.second;
  }
  digester_ = std::thread([this] { Digest(); });
  return true;
}

bool SegmentJoin::Write(unsigned index, const char* data, size_t length) {
  Range& range = ranges_[index];
  range.held.insert(range.held.end(), data, data + length);
  return range.held.size() < kBlockBytes || Flush(range);
}

bool SegmentJoin::Flush(Range& range) {
  if (range.held.empty()) return true;
  int64_t at = 0;
  {
    std::lock_guard<std::mutex> guard(lock_);
    at = range.first + range.written;
  }
  if (!WriteAt(writer_.get(), at, range.held.data(), range.held.size())) {
    VLOG_ERROR("SegmentJoin, write to %S at %lld failed, err %lu", target_.c_str(), static_cast<long long>(at),
               GetLastError());
    return false;
  }
  {
    std::lock_guard<std::mutex> guard(lock_);
    range.written += static_cast<int64_t>(range.held.size());
  }
  arrived_.notify_one();
  range.held.clear();
  return true;
}

// In range order, each as far as it is written; a range is begun once the one before is done.
void SegmentJoin::Digest() {
  for (const Range& range : ranges_) {
    int64_t done = 0;
    while (done < range.length) {
      int64_t ready = 0;
      {
        std::unique_lock<std::mutex> lock(lock_);
        arrived_.wait(lock, [&] { return stop_ || range.written > done; });
        if (stop_) return;
        ready = range.written;
      }
      while (done < ready) {
        const int64_t at = range.first + done;
        const int64_t base = at - at % kViewBytes;
        const int64_t length = std::min(ready - done, base + kViewBytes - at);
        UniqueFileView view(MapViewOfFile(mapping_.get(), FILE_MAP_READ, static_cast<DWORD>(base >> 32),
                                          static_cast<DWORD>(base), static_cast<SIZE_T>(at - base + length)));
        if (!view) {
          readFailed_ = true;
          VLOG_ERROR("SegmentJoin, mapping %S at %lld failed, err %lu", target_.c_str(), static_cast<long long>(base),
                     GetLastError());
          return;
        }
        md5_.Update(static_cast<const char*>(view.get()) + (at - base), static_cast<size_t>(length));
        done += length;
      }
    }
  }
}

bool SegmentJoin::Complete() {
  for (Range& range : ranges_) writeFailed_ = !Flush(range) || writeFailed_;
  return !writeFailed_;
}

std::string SegmentJoin::Finish() {
  if (!Complete()) {
    Stop();
    return "";
  }
  if (digester_.joinable()) digester_.join();
  mapping_.reset();
  writer_.reset();
  return readFailed_ ? "" : md5_.HexDigest();
}

void SegmentJoin::Abandon() {
  Stop();
  mapping_.reset();  // a mapped file cannot be cut
  if (IsValid(writer_)) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(writer_.get(), start, nullptr, FILE_BEGIN) || !SetEndOfFile(writer_.get())) {
      VLOG_WARN("SegmentJoin, emptying %S failed, err %lu", target_.c_str(), GetLastError());
    }
  }
  writer_.reset();
}

void SegmentJoin::Stop() {
  {
    std::lock_guard<std::mutex> guard(lock_);
    stop_ = true;
  }
  arrived_.notify_one();
  if (digester_.joinable()) digester_.join();
}
