// Owners of libcurl handles: each handle is cleaned up by exactly one owner.
#pragma once

#include <curl/curl.h>

#include <memory>

namespace net {

struct EasyCleanup {
  void operator()(CURL* handle) const { curl_easy_cleanup(handle); }
};
struct MultiCleanup {
  void operator()(CURLM* handle) const { curl_multi_cleanup(handle); }
};
struct SlistFree {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};

using UniqueEasy = std::unique_ptr<CURL, EasyCleanup>;
using UniqueMulti = std::unique_ptr<CURLM, MultiCleanup>;
using UniqueSlist = std::unique_ptr<curl_slist, SlistFree>;

}  // namespace net
