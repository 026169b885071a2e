// The length probe: a header-only GET of the file.
#include <string>

#include "common/log/vlog.h"
#include "engine/net/net_init.h"
#include "engine/net/segment_downloader.h"
#include "engine/net/transfer_limits.h"

int64_t CSegmentDownloader::GetContentLength(const std::string& url) {
  NetGlobalInit();
  net::UniqueEasy handle(curl_easy_init());
  if (!handle) {
    VLOG_ERROR("GetContentLength, curl_easy_init failed, url %s", url.c_str());
    return -1;
  }
  CURL* h = handle.get();
  std::string headers;
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "GET");
  curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
  curl_easy_setopt(h, CURLOPT_MAXREDIRS, net::kMaxRedirects);
  curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &CSegmentDownloader::HeaderCallback);
  curl_easy_setopt(h, CURLOPT_HEADERDATA, &headers);
  curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 1L);
  if (url.compare(0, 8, "https://") == 0) {
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  } else {
    // Certificates stay checked here: against the system's own certificate store.
    curl_easy_setopt(h, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_NATIVE_CA));
  }
  net::SetStallLimits(h);

  CURLcode code = curl_easy_perform(h);
  if (code != CURLE_OK) {
    VLOG_ERROR("GetContentLength, request failed, url %s, curl code %d (%s)", url.c_str(), static_cast<int>(code),
               curl_easy_strerror(code));
    return -1;
  }
  long status = 0;
  curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
  if (status != 200) {
    VLOG_ERROR("GetContentLength, url %s answered http status %ld", url.c_str(), status);
    return -1;
  }
  curl_off_t length = -1;
  curl_easy_getinfo(h, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  if (length < 0) VLOG_ERROR("GetContentLength, url %s sent no content length", url.c_str());
  return length < 0 ? -1 : static_cast<int64_t>(length);
}

size_t CSegmentDownloader::HeaderCallback(char* data, size_t size, size_t count, void* text) {
  size_t bytes = size * count;
  if (text) static_cast<std::string*>(text)->append(data, bytes);
  return bytes;
}
