// One HTTP GET or POST on a libcurl easy handle, the reply body collected into a narrow
// string. Every request takes two attempts before it counts as failed; cookies that a
// server sets survive in the process-wide cookie store.
#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <string>

#include "engine/net/curl_handles.h"

// Result codes of CHttpClient::Get and CHttpClient::Post (and so of the wrappers).
constexpr int kHttpOk = 0;
constexpr int kHttpNoHandle = 2;
constexpr int kHttpFailed = 22;

class CHttpClient {
 public:
  CHttpClient() = default;
  CHttpClient(const CHttpClient&) = delete;
  CHttpClient& operator=(const CHttpClient&) = delete;

  // Replaces `reply` with the body of a successful (200) answer; on failure `reply` is
  // left empty. Returns kHttpOk, kHttpNoHandle or kHttpFailed.
  int Get(const std::string& url, std::string& reply);
  // As Get, sending `body` (up to its first zero byte) as the request body.
  int Post(const std::string& url, const std::string& body, std::string& reply);

  // Writes libcurl's verbose trace of each request to the log (trace level).
  void SetVerbose(bool verbose) { verbose_ = verbose; }

  // Copies the handle's cookies into the process-wide store.
  static void SaveCookies(CURL* handle);

 private:
  int Request(const char* operation, const std::string& url, const std::string* body, std::string& reply);
  void SetOptions(const std::string& url, const std::string* body, std::string& reply);
  bool Attempt(const char* operation, const std::string& url, int attempt, std::string& reply);

  net::UniqueEasy handle_;
  bool verbose_ = false;
};

// libcurl write callback: appends the received bytes to the std::string `reply`.
size_t HttpWriteCallback(char* data, size_t size, size_t count, void* reply);

// A fresh client, up to two Get calls with a pause after each failed one.
int HttpGetRequest(const std::string& url, std::string& reply);
// A fresh client, up to two Post calls without a pause between them.
int HttpPostRequest(const std::string& url, const std::string& body, std::string& reply);

// The pauses between attempts go through this function (Sleep by default). Returns the
// previous one. Lets a test watch the retry schedule without waiting it out.
using HttpPauseFunction = void (*)(unsigned long milliseconds);
HttpPauseFunction SetHttpPauseFunction(HttpPauseFunction pause);
