#include "engine/net/segment_downloader.h"

#include <winsock2.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>
#include <utility>

#include "common/log/vlog.h"

namespace {

constexpr long kLongestSelectMs = 2000;
constexpr DWORD kNoSocketPollMs = 100;

bool Perform(CURLM* multi, int* running) {
  CURLMcode code = curl_multi_perform(multi, running);
  if (code == CURLM_OK) return true;
  VLOG_ERROR("RunTransfers, curl_multi_perform failed, code %d (%s)", static_cast<int>(code),
             curl_multi_strerror(code));
  return false;
}

timeval SelectTimeout(CURLM* multi) {
  timeval timeout{1, 0};
  long wait = -1;
  curl_multi_timeout(multi, &wait);
  if (wait >= 0 && wait < kLongestSelectMs) {
    timeout.tv_sec = wait / 1000;
    timeout.tv_usec = (wait % 1000) * 1000;
  }
  return timeout;
}

}  // namespace

CSegmentDownloader::CSegmentDownloader(std::string downloadUrl, std::string probeUrl, std::wstring targetPath,
                                       std::string expectedMd5, DownloadProgressCallback progress, void* context,
                                       unsigned int segmentCount)
    : downloadUrl_(std::move(downloadUrl)),
      probeUrl_(std::move(probeUrl)),
      targetPath_(std::move(targetPath)),
      expectedMd5_(std::move(expectedMd5)),
      progress_(progress),
      context_(context),
      segmentCount_(segmentCount == 0 ? 1 : segmentCount) {}

CSegmentDownloader::~CSegmentDownloader() = default;

bool CSegmentDownloader::Download() {
  {
    std::unique_ptr<FILE, int (*)(FILE*)> target(_wfopen(targetPath_.c_str(), L"wb+"), &fclose);
    if (!target) {
      VLOG_ERROR("Download, cannot create target %S, errno %d", targetPath_.c_str(), errno);
      return false;
    }
  }
  totalLength_ = GetContentLength(probeUrl_);
  if (totalLength_ < 0) {
    VLOG_ERROR("Download, length of %s unknown, nothing downloaded", probeUrl_.c_str());
    return false;
  }
  net::UniqueMulti multi(curl_multi_init());
  if (!multi) {
    VLOG_ERROR("Download, curl_multi_init failed");
    return false;
  }
  bool transferred = AddSegments(multi.get()) && OpenJoin() && RunTransfers(multi.get());
  for (const auto& segment : segments_) curl_multi_remove_handle(multi.get(), segment->handle.get());
  multi.reset();
  if (transferred) {
    for (const auto& segment : segments_) transferred = SegmentComplete(*segment) && transferred;
  }
  bool result = transferred && MergeSegments();
  // Nothing of a download whose ranges did not all arrive stays in the target.
  if (!transferred) join_.Abandon();
  segments_.clear();
  DeleteSegmentFiles();
  return result;
}

// Ranges of equal size, the last taking the remainder; never more ranges than bytes, so
// every range holds at least one byte (an empty file needs none).
bool CSegmentDownloader::AddSegments(CURLM* multi) {
  const int64_t count = std::min<int64_t>(segmentCount_, totalLength_);
  const int64_t chunk = count > 0 ? totalLength_ / count : 0;
  for (int64_t i = 0; i < count; ++i) {
    net::UniqueEasy handle(curl_easy_init());
    if (!handle) {
      VLOG_ERROR("AddSegments, curl_easy_init failed for range %d", static_cast<int>(i));
      return false;
    }
    int64_t first = i * chunk;
    int64_t last = i + 1 == count ? totalLength_ - 1 : (i + 1) * chunk - 1;
    if (!AddSegment(std::move(handle), static_cast<unsigned int>(i), first, last)) return false;
    CURLMcode code = curl_multi_add_handle(multi, segments_.back()->handle.get());
    if (code != CURLM_OK) {
      VLOG_ERROR("AddSegments, curl_multi_add_handle failed, code %d", static_cast<int>(code));
      return false;
    }
  }
  return true;
}

bool CSegmentDownloader::OpenJoin() {
  std::vector<std::pair<int64_t, int64_t>> ranges;
  for (const auto& segment : segments_) ranges.emplace_back(segment->first, segment->Length());
  return join_.Open(targetPath_, ranges);
}

// Drives every range to its end on this thread; stops early once one range has failed.
bool CSegmentDownloader::RunTransfers(CURLM* multi) {
  curl_multi_setopt(multi, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
  int running = 0;
  if (!Perform(multi, &running)) return false;
  while (running > 0) {
    CollectResults(multi);
    if (AnySegmentFailed()) return false;
    timeval timeout = SelectTimeout(multi);
    fd_set readSet, writeSet, errorSet;
    FD_ZERO(&readSet);
    FD_ZERO(&writeSet);
    FD_ZERO(&errorSet);
    int maxFd = -1;
    CURLMcode code = curl_multi_fdset(multi, &readSet, &writeSet, &errorSet, &maxFd);
    if (code != CURLM_OK) {
      fprintf(stderr, "curl_multi_fdset() failed, code %d.\n", static_cast<int>(code));
      VLOG_ERROR("RunTransfers, curl_multi_fdset failed, code %d", static_cast<int>(code));
      return false;
    }
    if (maxFd == -1) {
      Sleep(kNoSocketPollMs);
    } else if (select(maxFd + 1, &readSet, &writeSet, &errorSet, &timeout) == SOCKET_ERROR) {
      // Let libcurl run its own time-outs rather than spin on a failing select.
      VLOG_WARN("RunTransfers, select failed, err %d", WSAGetLastError());
      Sleep(kNoSocketPollMs);
    }
    if (!Perform(multi, &running)) return false;
  }
  CollectResults(multi);
  return !AnySegmentFailed();
}

void CSegmentDownloader::CollectResults(CURLM* multi) {
  int left = 0;
  while (CURLMsg* message = curl_multi_info_read(multi, &left)) {
    if (message->msg != CURLMSG_DONE) continue;
    for (const auto& segment : segments_) {
      if (segment->handle.get() != message->easy_handle) continue;
      segment->done = true;
      segment->result = message->data.result;
    }
  }
}

bool CSegmentDownloader::AnySegmentFailed() const {
  for (const auto& segment : segments_) {
    if (segment->refused || (segment->done && !SegmentComplete(*segment))) return true;
  }
  return false;
}

// A range counts only when it ended without error as a 206 answer of exactly its length.
bool CSegmentDownloader::SegmentComplete(const Segment& segment) const {
  long status = 0;
  curl_easy_getinfo(segment.handle.get(), CURLINFO_RESPONSE_CODE, &status);
  if (segment.done && segment.result == CURLE_OK && !segment.refused && status == 206 &&
      segment.written == segment.Length()) {
    return true;
  }
  VLOG_ERROR("Download, range %u (%lld-%lld) of %s failed, curl code %d (%s), http status %ld, %lld of %lld bytes",
             segment.index, static_cast<long long>(segment.first), static_cast<long long>(segment.last),
             downloadUrl_.c_str(), static_cast<int>(segment.result), curl_easy_strerror(segment.result), status,
             static_cast<long long>(segment.written), static_cast<long long>(segment.Length()));
  return false;
}
