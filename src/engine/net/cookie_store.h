// The process-wide cookie store shared by every HTTP client: one line per cookie in the
// Netscape cookie-file format that libcurl's cookie list speaks. Empty at process start.
#pragma once

#include <curl/curl.h>

namespace net {

class CookieStore {
 public:
  // Hands the stored cookies to a handle whose cookie engine is on; an empty store
  // clears the handle's cookies ("ALL").
  static void LoadInto(CURL* handle);
  // Replaces the store with the handle's cookies; a handle without cookies (or a failed
  // query) leaves the store as it was.
  static void SaveFrom(CURL* handle);
};

}  // namespace net
