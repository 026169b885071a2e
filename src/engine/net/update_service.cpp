#include "engine/net/update_service.h"

#include <windows.h>

#include <vector>

#include "common/log/vlog.h"

#ifndef TAMSEL_UPDATE_HOST_DEFAULT
#error "TAMSEL_UPDATE_HOST_DEFAULT must name the built-in update service host"
#endif

const char kUpdateSearchPath[] = "/soft/update/search";
const char kUninstallTypeListPath[] = "/soft/uninstall/getTypeList";
const char kUninstallConfirmPath[] = "/soft/uninstall/confirmForm";

namespace {

constexpr wchar_t kHostVariable[] = L"TAMSEL_UPDATE_HOST";

// host[:port]: a name, an IPv4 address or a bracketed IPv6 address, and digits behind
// the colon; nothing that would change the URL's path, query or user part.
bool IsValidHost(const std::string& host) {
  if (host.empty()) return false;
  for (char c : host) {
    bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
              c == '_' || c == ':' || c == '[' || c == ']';
    if (!ok) return false;
  }
  return true;
}

std::string HostFromEnvironment() {
  DWORD size = GetEnvironmentVariableW(kHostVariable, nullptr, 0);
  if (size == 0) return std::string();
  std::vector<wchar_t> value(size);
  DWORD length = GetEnvironmentVariableW(kHostVariable, value.data(), size);
  if (length == 0 || length >= size) return std::string();
  // Anything outside printable ASCII turns into a character no host may hold.
  std::string host;
  for (DWORD i = 0; i < length; ++i) host += value[i] > 0x20 && value[i] < 0x7F ? static_cast<char>(value[i]) : ' ';
  if (!IsValidHost(host)) {
    VLOG_ERROR("UpdateServiceHost, TAMSEL_UPDATE_HOST %S is not a host, using %s", value.data(),
               TAMSEL_UPDATE_HOST_DEFAULT);
    return std::string();
  }
  return host;
}

// RFC 3986 percent-encoding of every byte outside the unreserved set.
std::string PercentEncode(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(text.size());
  for (unsigned char c : text) {
    bool unreserved = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                      c == '.' || c == '_' || c == '~';
    if (unreserved) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

}  // namespace

std::string UpdateServiceHost() {
  std::string host = HostFromEnvironment();
  return host.empty() ? std::string(TAMSEL_UPDATE_HOST_DEFAULT) : host;
}

std::string UpdateServiceUrl(const std::string& path) { return "http://" + UpdateServiceHost() + path; }

std::string UpdateSearchUrl(const std::string& channel, const std::string& product, int ver, int type) {
  return UpdateServiceUrl(kUpdateSearchPath) + "?channel=" + PercentEncode(channel) +
         "&product=" + PercentEncode(product) + "&ver=" + std::to_string(ver) + "&type=" + std::to_string(type);
}
