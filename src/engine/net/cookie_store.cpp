#include "engine/net/cookie_store.h"

#include <mutex>
#include <string>
#include <vector>

#include "common/log/vlog.h"
#include "engine/net/curl_handles.h"

namespace net {
namespace {

std::mutex& StoreLock() {
  static std::mutex lock;
  return lock;
}

std::vector<std::string>& StoreLines() {
  static std::vector<std::string> lines;
  return lines;
}

}  // namespace

void CookieStore::LoadInto(CURL* handle) {
  std::lock_guard<std::mutex> guard(StoreLock());
  const std::vector<std::string>& lines = StoreLines();
  if (lines.empty()) {
    curl_easy_setopt(handle, CURLOPT_COOKIELIST, "ALL");
    return;
  }
  for (const std::string& line : lines) {
    CURLcode code = curl_easy_setopt(handle, CURLOPT_COOKIELIST, line.c_str());
    if (code != CURLE_OK) VLOG_WARN("CookieStore::LoadInto, cookie line refused, code %d", static_cast<int>(code));
  }
}

void CookieStore::SaveFrom(CURL* handle) {
  std::lock_guard<std::mutex> guard(StoreLock());
  curl_slist* raw = nullptr;
  CURLcode code = curl_easy_getinfo(handle, CURLINFO_COOKIELIST, &raw);
  UniqueSlist list(raw);
  if (code != CURLE_OK) {
    VLOG_WARN("CookieStore::SaveFrom, CURLINFO_COOKIELIST failed, code %d", static_cast<int>(code));
    return;
  }
  if (!list) return;
  std::vector<std::string>& lines = StoreLines();
  lines.clear();
  for (curl_slist* item = list.get(); item; item = item->next) lines.emplace_back(item->data);
}

}  // namespace net
