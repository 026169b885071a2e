// Files, paths and host services for the network tests. The tests run under Wine; the
// services (fake update service, nginx) run on the host, started by the ctest fixture
// into <build>/tests/engine_net/services. Host paths are reached through drive Z:.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "support_text.h"

namespace nettest {

using testsupport::Utf8;
using testsupport::Wide;
// Z:\a\b <-> /a/b
std::string UnixPath(const std::wstring& windowsPath);
std::wstring WindowsPath(const std::string& unixPath);

std::wstring BuildDir();
std::wstring ServicesDir();
// A fresh folder for the running test (removed first when it exists).
std::wstring TestWorkDir();

std::string ReadFileBytes(const std::wstring& path);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool FileExists(const std::wstring& path);
// Names of the files in a folder.
std::vector<std::wstring> ListFolder(const std::wstring& folder);
// Deterministic bytes that differ at every position a range could be cut.
std::string PatternBytes(size_t size, uint32_t seed);
std::string Md5Hex(const std::string& bytes);
std::string ToUpper(std::string text);
// Steps of the fake update service's script (fields: see fake_update_service.py).
namespace steps {
nlohmann::json TextReply(const std::string& body, int status = 200);
nlohmann::json JsonReply(const nlohmann::json& value, int status = 200);
// A host file served with byte ranges.
nlohmann::json FileReply(const std::string& unixPath);
// The step with one more field ("headers", "short", "ranges", "length", "delay_ms").
nlohmann::json With(nlohmann::json step, const std::string& field, const nlohmann::json& value);
// Header lines: [[name, value], ...] (names may repeat).
nlohmann::json Headers(std::initializer_list<std::pair<std::string, std::string>> lines);
}  // namespace steps

// Path -> the steps answering its 1st, 2nd, ... request (the last one repeats).
using Routes = std::map<std::string, std::vector<nlohmann::json>>;

// One instance of the fake update service with a script of its own (see
// fake_update_service.py), ended when the object goes.
class FakeUpdateService {
 public:
  explicit FakeUpdateService(const Routes& routes);
  ~FakeUpdateService();
  FakeUpdateService(const FakeUpdateService&) = delete;
  FakeUpdateService& operator=(const FakeUpdateService&) = delete;

  bool Started() const { return port_ != 0; }
  std::string Host() const;                        // 127.0.0.1:port
  std::string Url(const std::string& path) const;  // http://127.0.0.1:port/path
  // Every request received so far, in order of arrival.
  std::vector<nlohmann::json> Requests() const;
  std::vector<nlohmann::json> RequestsTo(const std::string& path) const;

 private:
  std::wstring base_;
  int port_ = 0;
};

// The fixture's nginx: TLS with HTTP/2 on 127.0.0.1, serving a host folder.
class NginxService {
 public:
  NginxService();
  bool Started() const { return port_ != 0; }
  // Puts a file into the served folder and gives its https URL.
  std::string Put(const std::string& name, const std::string& bytes) const;
  std::string Url(const std::string& name) const;
  // The same file from the server that speaks only HTTP/1.1 (over TLS, 200 KB/s per request).
  std::string Http1Url(const std::string& name) const;
  // Access-log lines for one file: "$connection $connection_requests $server_protocol
  // $request_method $uri "$http_range" $status $body_bytes_sent $request_time $msec".
  std::vector<std::string> AccessLines(const std::string& name) const;

 private:
  int port_ = 0;
  int http1Port_ = 0;
  std::wstring root_;
  std::wstring accessLog_;
};

}  // namespace nettest
