// Limits shared by the downloader's requests: how many redirects to follow, and when a
// connection that stopped delivering counts as failed (rather than waiting forever).
#pragma once

#include <curl/curl.h>

#include <cstddef>

namespace net {

constexpr long kMaxRedirects = 5;
constexpr long kConnectTimeoutSeconds = 120;
constexpr long kStallSeconds = 120;
// Large receive buffers: fewer socket reads per byte (each costs far more under Wine).
constexpr long kReceiveBufferBytes = 512 * 1024;
// Write buffer of each segment file.
constexpr size_t kSegmentFileBufferBytes = 1024 * 1024;

inline void SetStallLimits(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, kConnectTimeoutSeconds);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
}

}  // namespace net
