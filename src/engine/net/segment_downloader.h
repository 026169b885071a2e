// Downloads one file over HTTP(S) in several byte ranges at once, each range into a
// segment file of its own, over one libcurl multi handle (HTTP/2 multiplexing where the
// server offers it); the same bytes are joined into the target as they arrive, and its MD5
// is checked at the end. The transfers run on the calling thread, the digest beside them.
#pragma once

#include <curl/curl.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/net/curl_handles.h"
#include "engine/net/segment_join.h"

// Progress report: total length and bytes received so far (each its low 32 bits), and
// the current speed in bytes per second of the range that just received data.
using DownloadProgressCallback = void (*)(unsigned int total, unsigned int received, double speed);

class CSegmentDownloader {
 public:
  // `context` is kept for the caller and not passed to the callback. A segment count of 0
  // counts as 1.
  CSegmentDownloader(std::string downloadUrl, std::string probeUrl, std::wstring targetPath, std::string expectedMd5,
                     DownloadProgressCallback progress, void* context, unsigned int segmentCount);
  ~CSegmentDownloader();
  CSegmentDownloader(const CSegmentDownloader&) = delete;
  CSegmentDownloader& operator=(const CSegmentDownloader&) = delete;

  // True when every range arrived whole (206, its exact length) and the joined target
  // matches the expected MD5 in any letter case (or none was given). Runs once.
  bool Download();

  void* Context() const { return context_; }

 private:
  struct Segment {
    CSegmentDownloader* owner = nullptr;
    unsigned int index = 0;
    int64_t first = 0;
    int64_t last = 0;
    int64_t written = 0;
    bool refused = false;  // answered without 206, or more bytes than the range holds
    CURLcode result = CURLE_OK;
    bool done = false;
    std::unique_ptr<FILE, int (*)(FILE*)> file{nullptr, &fclose};
    net::UniqueEasy handle;
    int64_t Length() const { return last - first + 1; }
  };

  // Length of the file behind `url` from a header-only GET; -1 when it is unknown, the
  // request fails or the answer is not 200.
  static int64_t GetContentLength(const std::string& url);
  bool AddSegment(net::UniqueEasy handle, unsigned int index, int64_t first, int64_t last);
  bool AddSegments(CURLM* multi);
  bool OpenJoin();
  bool RunTransfers(CURLM* multi);
  void CollectResults(CURLM* multi);
  bool AnySegmentFailed() const;
  bool SegmentComplete(const Segment& segment) const;
  bool MergeSegments();
  void DeleteSegmentFiles();
  void ReportProgress(Segment& segment, size_t bytes);
  static size_t WriteSegment(char* data, size_t size, size_t count, void* segment);
  static size_t HeaderCallback(char* data, size_t size, size_t count, void* text);

  const std::string downloadUrl_;
  const std::string probeUrl_;
  const std::wstring targetPath_;
  const std::string expectedMd5_;
  const DownloadProgressCallback progress_;
  void* const context_;
  const unsigned int segmentCount_;

  int64_t totalLength_ = 0;
  int64_t bytesReceived_ = 0;
  std::mutex lock_;  // bytesReceived_ and the progress report
  std::vector<std::unique_ptr<Segment>> segments_;
  std::vector<std::wstring> segmentFileNames_;  // every name formed, in segment order
  SegmentJoin join_;                            // the target, written and digested while the ranges arrive
};
