// One range request per segment and the write side of its transfer.
#include <cerrno>
#include <cstdio>
#include <string>
#include <utility>

#include "common/log/vlog.h"
#include "engine/net/curl_trace.h"
#include "engine/net/segment_downloader.h"
#include "engine/net/transfer_limits.h"

bool CSegmentDownloader::AddSegment(net::UniqueEasy handle, unsigned int index, int64_t first, int64_t last) {
  // Beside the target, one distinct name per range, however long the target path is.
  std::wstring name = targetPath_ + L"-" + std::to_wstring(index);
  segmentFileNames_.push_back(name);
  auto segment = std::make_unique<Segment>();
  segment->file.reset(_wfopen(name.c_str(), L"wb+"));
  if (!segment->file) {
    VLOG_ERROR("AddSegment, cannot create segment file %S, errno %d", name.c_str(), errno);
    return false;
  }
  // The received pieces (16 KB frames over HTTP/2) reach the file in large writes.
  setvbuf(segment->file.get(), nullptr, _IOFBF, net::kSegmentFileBufferBytes);
  segment->owner = this;
  segment->index = index;
  segment->first = first;
  segment->last = last;
  segment->handle = std::move(handle);

  const std::string range = std::to_string(first) + "-" + std::to_string(last);
  CURL* h = segment->handle.get();
  curl_easy_setopt(h, CURLOPT_RANGE, range.c_str());
  curl_easy_setopt(h, CURLOPT_WRITEDATA, segment.get());
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &CSegmentDownloader::WriteSegment);
  curl_easy_setopt(h, CURLOPT_URL, downloadUrl_.c_str());
  net::EnableCurlTrace(h);
  curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_2_0));
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  // Waiting for a multiplexed connection pays only where TLS tells at once whether the
  // server speaks HTTP/2; on plain HTTP the other ranges would wait for the first to end.
  if (downloadUrl_.compare(0, 8, "https://") == 0) curl_easy_setopt(h, CURLOPT_PIPEWAIT, 1L);
  // The length probe follows redirects, so the ranges must reach the same file.
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, net::kMaxRedirects);
  net::SetStallLimits(h);
  curl_easy_setopt(h, CURLOPT_BUFFERSIZE, net::kReceiveBufferBytes);
  segments_.push_back(std::move(segment));
  return true;
}

size_t CSegmentDownloader::WriteSegment(char* data, size_t size, size_t count, void* context) {
  auto* segment = static_cast<Segment*>(context);
  const size_t bytes = size * count;
  if (!segment) return bytes;
  long status = 0;
  curl_easy_getinfo(segment->handle.get(), CURLINFO_RESPONSE_CODE, &status);
  if (status != 206 || segment->written + static_cast<int64_t>(bytes) > segment->Length()) {
    // Not the range asked for (a whole file, an error page, or too much): stop at once.
    if (!segment->refused) {
      VLOG_ERROR("WriteSegment, range %u (%lld-%lld) answered with http status %ld, %lld bytes after %lld",
                 segment->index, static_cast<long long>(segment->first), static_cast<long long>(segment->last), status,
                 static_cast<long long>(bytes), static_cast<long long>(segment->written));
    }
    segment->refused = true;
    return 0;
  }
  size_t items = fwrite(data, size, count, segment->file.get());
  // A target that cannot take the bytes ends the transfer as a short write does.
  if (!segment->owner->join_.Write(segment->index, data, items * size)) return 0;
  segment->written += static_cast<int64_t>(items * size);
  segment->owner->ReportProgress(*segment, items * size);
  return items;
}

void CSegmentDownloader::ReportProgress(Segment& segment, size_t bytes) {
  std::lock_guard<std::mutex> guard(lock_);
  bytesReceived_ += static_cast<int64_t>(bytes);
  curl_off_t speed = 0;
  curl_easy_getinfo(segment.handle.get(), CURLINFO_SPEED_DOWNLOAD_T, &speed);
  if (progress_ && totalLength_ != 0 && bytesReceived_ != 0) {
    progress_(static_cast<unsigned int>(totalLength_), static_cast<unsigned int>(bytesReceived_),
              static_cast<double>(speed));
  }
}
