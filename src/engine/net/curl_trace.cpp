#include "engine/net/curl_trace.h"

#include "common/log/vlog.h"

namespace net {

int CurlTraceCallback(CURL*, curl_infotype type, char* data, size_t size, void*) {
  if (type != CURLINFO_TEXT && type != CURLINFO_HEADER_IN && type != CURLINFO_HEADER_OUT) return 0;
  while (size > 0 && (data[size - 1] == '\n' || data[size - 1] == '\r')) --size;
  const char* direction = type == CURLINFO_HEADER_IN ? "<" : type == CURLINFO_HEADER_OUT ? ">" : "*";
  VLOG_TRACE("curl, %s %.*s", direction, static_cast<int>(size), data);
  return 0;
}

void EnableCurlTrace(CURL* handle) {
  curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, &CurlTraceCallback);
  curl_easy_setopt(handle, CURLOPT_VERBOSE, 1L);
}

}  // namespace net
