#include "net_test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "common/zip/md5.h"
#include "engine/net/net_init.h"

namespace nettest {

namespace fs = std::filesystem;

std::string UnixPath(const std::wstring& windowsPath) {
  std::wstring path = windowsPath;
  if (path.size() >= 2 && (path[0] == L'Z' || path[0] == L'z') && path[1] == L':') path = path.substr(2);
  std::replace(path.begin(), path.end(), L'\\', L'/');
  return Utf8(path);
}

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = L"Z:" + Wide(unixPath);
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

std::wstring BuildDir() {
  wchar_t value[1024];
  DWORD length = GetEnvironmentVariableW(L"TAMSEL_BUILD_DIR", value, 1024);
  if (length > 0 && length < 1024) return WindowsPath(Utf8(value));
  // Run by hand: the exe sits in <build>\bin.
  wchar_t module[1024];
  GetModuleFileNameW(nullptr, module, 1024);
  std::wstring path = module;
  path = path.substr(0, path.find_last_of(L'\\'));
  return path.substr(0, path.find_last_of(L'\\'));
}

std::wstring ServicesDir() { return BuildDir() + L"\\tests\\engine_net\\services"; }

namespace {

bool WaitForFile(const std::wstring& path, DWORD milliseconds) {
  for (DWORD waited = 0; waited < milliseconds; waited += 20) {
    if (FileExists(path)) return true;
    Sleep(20);
  }
  return FileExists(path);
}

// Brings libcurl's global state up once per test process.
class NetEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { ASSERT_TRUE(NetGlobalInit()); }
  void TearDown() override { NetGlobalCleanup(); }
};
const auto* const kNetEnvironment = ::testing::AddGlobalTestEnvironment(new NetEnvironment);

}  // namespace

std::wstring TestWorkDir() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "no-test";
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == ':') c = '_';
  }
  std::wstring folder = BuildDir() + L"\\tests\\engine_net\\work\\" + Wide(name);
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder, ignored);
  return folder;
}

std::string ReadFileBytes(const std::wstring& path) {
  std::ifstream in(fs::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
  out << bytes;
  out.close();
  return !out.fail();
}

bool FileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::wstring> ListFolder(const std::wstring& folder) {
  std::vector<std::wstring> names;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    names.push_back(it->path().filename().wstring());
  }
  return names;
}

std::string PatternBytes(size_t size, uint32_t seed) {
  std::string bytes(size, '\0');
  uint32_t state = seed * 2654435761u + 12345u;
  for (size_t i = 0; i < size; ++i) {
    state = state * 1664525u + 1013904223u;
    bytes[i] = static_cast<char>(state >> 24);
  }
  return bytes;
}

std::string Md5Hex(const std::string& bytes) {
  CMD5 md5;
  md5.Update(bytes.data(), bytes.size());
  return md5.HexDigest();
}

std::string ToUpper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](char c) { return c >= 'a' && c <= 'z' ? c - 32 : c; });
  return text;
}

namespace steps {

nlohmann::json TextReply(const std::string& body, int status) { return {{"status", status}, {"body", body}}; }

nlohmann::json JsonReply(const nlohmann::json& value, int status) { return {{"status", status}, {"json", value}}; }

nlohmann::json FileReply(const std::string& unixPath) { return {{"file", unixPath}}; }

nlohmann::json With(nlohmann::json step, const std::string& field, const nlohmann::json& value) {
  step[field] = value;
  return step;
}

nlohmann::json Headers(std::initializer_list<std::pair<std::string, std::string>> lines) {
  nlohmann::json list = nlohmann::json::array();
  for (const auto& line : lines) list.push_back(nlohmann::json::array({line.first, line.second}));
  return list;
}

}  // namespace steps

FakeUpdateService::FakeUpdateService(const Routes& routes) {
  nlohmann::json script = nlohmann::json::object();
  script["routes"] = nlohmann::json::object();
  for (const auto& route : routes) script["routes"][route.first] = route.second;
  std::wstring spawn = ServicesDir() + L"\\spawn";
  if (!FileExists(spawn)) {
    ADD_FAILURE() << "no fake update service: run tests/engine_net/net_services.py start " << UnixPath(ServicesDir())
                  << " (ctest does it)";
    return;
  }
  // Wine reuses process ids from test to test: a GUID keeps every instance apart.
  GUID guid;
  wchar_t name[64] = L"";
  if (CoCreateGuid(&guid) != S_OK || StringFromGUID2(guid, name, 64) == 0) {
    ADD_FAILURE() << "CoCreateGuid failed";
    return;
  }
  base_ = spawn + L"\\" + std::wstring(name).substr(1, 36);
  if (!WriteFileBytes(base_ + L".tmp", script.dump()) ||
      !MoveFileExW((base_ + L".tmp").c_str(), (base_ + L".json").c_str(), MOVEFILE_REPLACE_EXISTING)) {
    ADD_FAILURE() << "cannot write the service script " << Utf8(base_);
    return;
  }
  if (!WaitForFile(base_ + L".port", 10000)) {
    ADD_FAILURE() << "the fake update service did not start an instance: " << ReadFileBytes(base_ + L".error");
    return;
  }
  port_ = std::atoi(ReadFileBytes(base_ + L".port").c_str());
}

FakeUpdateService::~FakeUpdateService() {
  if (port_ != 0) WriteFileBytes(base_ + L".stop", "");
}

std::string FakeUpdateService::Host() const { return "127.0.0.1:" + std::to_string(port_); }

std::string FakeUpdateService::Url(const std::string& path) const { return "http://" + Host() + path; }

std::vector<nlohmann::json> FakeUpdateService::Requests() const {
  std::vector<nlohmann::json> requests;
  std::istringstream lines(ReadFileBytes(base_ + L".record.jsonl"));
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty()) requests.push_back(nlohmann::json::parse(line));
  }
  return requests;
}

std::vector<nlohmann::json> FakeUpdateService::RequestsTo(const std::string& path) const {
  std::vector<nlohmann::json> requests;
  for (auto& request : Requests()) {
    if (request["path"] == path) requests.push_back(request);
  }
  return requests;
}

NginxService::NginxService() {
  std::string text = ReadFileBytes(ServicesDir() + L"\\nginx.json");
  if (text.empty()) {
    ADD_FAILURE() << "no nginx: run tests/engine_net/net_services.py start " << UnixPath(ServicesDir());
    return;
  }
  nlohmann::json info = nlohmann::json::parse(text);
  port_ = info["port"].get<int>();
  http1Port_ = info["http1_port"].get<int>();
  root_ = WindowsPath(info["root"].get<std::string>());
  accessLog_ = WindowsPath(info["access_log"].get<std::string>());
}

std::string NginxService::Put(const std::string& name, const std::string& bytes) const {
  EXPECT_TRUE(WriteFileBytes(root_ + L"\\" + Wide(name), bytes));
  return Url(name);
}

std::string NginxService::Url(const std::string& name) const {
  return "https://127.0.0.1:" + std::to_string(port_) + "/" + name;
}

std::string NginxService::Http1Url(const std::string& name) const {
  return "https://127.0.0.1:" + std::to_string(http1Port_) + "/" + name;
}

std::vector<std::string> NginxService::AccessLines(const std::string& name) const {
  std::vector<std::string> lines;
  std::istringstream log(ReadFileBytes(accessLog_));
  std::string line;
  const std::string uri = " /" + name + " ";
  while (std::getline(log, line)) {
    if (line.find(uri) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

}  // namespace nettest
