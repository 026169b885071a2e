#include "engine/net/http_client.h"

#include <windows.h>

#include <atomic>
#include <new>

#include "common/log/vlog.h"
#include "engine/net/cookie_store.h"
#include "engine/net/curl_trace.h"
#include "engine/net/net_init.h"

namespace {

constexpr int kAttempts = 2;
constexpr long kTimeoutSeconds = 120;
constexpr long kDnsCacheSeconds = 259200;  // three days
constexpr unsigned long kAttemptPauseMs = 50;
constexpr unsigned long kGetCallPauseMs = 3000;

void SleepPause(unsigned long milliseconds) { Sleep(milliseconds); }

std::atomic<HttpPauseFunction> g_pause{SleepPause};

void Pause(unsigned long milliseconds) { g_pause.load()(milliseconds); }

}  // namespace

HttpPauseFunction SetHttpPauseFunction(HttpPauseFunction pause) { return g_pause.exchange(pause ? pause : SleepPause); }

int CHttpClient::Get(const std::string& url, std::string& reply) {
  return Request("CHttpClient::Get", url, nullptr, reply);
}

int CHttpClient::Post(const std::string& url, const std::string& body, std::string& reply) {
  return Request("CHttpClient::Post", url, &body, reply);
}

void CHttpClient::SaveCookies(CURL* handle) { net::CookieStore::SaveFrom(handle); }

int CHttpClient::Request(const char* operation, const std::string& url, const std::string* body, std::string& reply) {
  reply.clear();
  if (!handle_) {
    NetGlobalInit();
    handle_.reset(curl_easy_init());
    if (!handle_) {
      VLOG_ERROR("%s, curl_easy_init failed, url %s", operation, url.c_str());
      return kHttpNoHandle;
    }
  }
  SetOptions(url, body, reply);
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    if (Attempt(operation, url, attempt, reply)) {
      SaveCookies(handle_.get());
      return kHttpOk;
    }
    Pause(kAttemptPauseMs);
  }
  return kHttpFailed;
}

void CHttpClient::SetOptions(const std::string& url, const std::string* body, std::string& reply) {
  CURL* h = handle_.get();
  if (verbose_) {
    net::EnableCurlTrace(h);
  } else {
    curl_easy_setopt(h, CURLOPT_VERBOSE, 0L);
  }
  curl_easy_setopt(h, CURLOPT_URL, url.c_str());
  curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
  net::CookieStore::LoadInto(h);
  if (body) {
    curl_easy_setopt(h, CURLOPT_POST, 1L);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body->c_str());
  } else {
    // A client that posted before must not post again.
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
  }
  curl_easy_setopt(h, CURLOPT_READFUNCTION, nullptr);
  curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &HttpWriteCallback);
  curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);
  curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);
  curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT, kTimeoutSeconds);
  curl_easy_setopt(h, CURLOPT_TIMEOUT, kTimeoutSeconds);
  curl_easy_setopt(h, CURLOPT_DNS_CACHE_TIMEOUT, kDnsCacheSeconds);
  curl_easy_setopt(h, CURLOPT_FORBID_REUSE, 1L);
}

// One transfer. The reply holds only what this attempt received, and nothing unless it
// succeeded: a failed attempt's error page never reaches the caller or the next attempt.
bool CHttpClient::Attempt(const char* operation, const std::string& url, int attempt, std::string& reply) {
  reply.clear();
  CURLcode code = curl_easy_perform(handle_.get());
  long status = 0;
  curl_easy_getinfo(handle_.get(), CURLINFO_RESPONSE_CODE, &status);
  if (code == CURLE_OK && status == 200) return true;
  VLOG_WARN("%s, attempt %d failed, url %s, curl code %d (%s), http status %ld", operation, attempt, url.c_str(),
            static_cast<int>(code), curl_easy_strerror(code), status);
  reply.clear();
  return false;
}

size_t HttpWriteCallback(char* data, size_t size, size_t count, void* reply) {
  const size_t refuse = static_cast<size_t>(-1);
  auto* text = static_cast<std::string*>(reply);
  size_t bytes = size * count;
  if (!text || !data || bytes == 0) return refuse;
  try {
    text->append(data, bytes);
  } catch (const std::bad_alloc&) {
    VLOG_ERROR("HttpWriteCallback, out of memory, %u bytes held", static_cast<unsigned>(text->size()));
    return refuse;
  }
  return bytes;
}

int HttpGetRequest(const std::string& url, std::string& reply) {
  CHttpClient client;
  int result = kHttpFailed;
  for (int call = 1; call <= kAttempts; ++call) {
    result = client.Get(url, reply);
    if (result == kHttpOk) break;
    Pause(kGetCallPauseMs);
  }
  return result;
}

int HttpPostRequest(const std::string& url, const std::string& body, std::string& reply) {
  CHttpClient client;
  int result = kHttpFailed;
  for (int call = 1; call <= kAttempts; ++call) {
    result = client.Post(url, body, reply);
    if (result == kHttpOk) break;
  }
  return result;
}
