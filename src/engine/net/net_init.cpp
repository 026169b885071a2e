#include "engine/net/net_init.h"

#include <curl/curl.h>

#include "common/log/vlog.h"

bool NetGlobalInit() {
  static const bool ready = [] {
    CURLcode code = curl_global_init(CURL_GLOBAL_ALL);
    if (code != CURLE_OK) {
      VLOG_ERROR("NetGlobalInit, curl_global_init failed, code %d (%s)", static_cast<int>(code),
                 curl_easy_strerror(code));
      return false;
    }
    return true;
  }();
  return ready;
}

void NetGlobalCleanup() { curl_global_cleanup(); }
