#include "engine/net/net_init.h"

#include <curl/curl.h>

#include "common/log/vlog.h"

bool NetGlobalInit() {
  CURLcode code = curl_global_init(CURL_GLOBAL_ALL);
  if (code != CURLE_OK) {
    VLOG_ERROR("NetGlobalInit, curl_global_init failed, code %d (%s)", static_cast<int>(code),
               curl_easy_strerror(code));
    return false;
  }
  return true;
}

void NetGlobalCleanup() { curl_global_cleanup(); }
