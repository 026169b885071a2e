// libcurl's verbose trace (connection notes and header lines) goes to the log at trace
// level rather than to the standard error stream.
#pragma once

#include <curl/curl.h>

#include <cstddef>

namespace net {

int CurlTraceCallback(CURL* handle, curl_infotype type, char* data, size_t size, void* context);

// CURLOPT_VERBOSE with the trace going to the log.
void EnableCurlTrace(CURL* handle);

}  // namespace net
