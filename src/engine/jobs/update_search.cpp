#include "engine/jobs/update_search.h"

#include <nlohmann/json.hpp>

#include <cwchar>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/net/http_client.h"
#include "engine/net/update_service.h"

namespace {

std::vector<std::wstring> SplitAtHash(const std::wstring& text) {
  std::vector<std::wstring> tokens;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(L'#', start);
    if (end == std::wstring::npos) end = text.size();
    if (end > start) tokens.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return tokens;
}

// The first entry whose "ver_range" is "<version>-<version>"; an empty package when none.
PackageInfo FindPackage(const nlohmann::json& blocks, const std::string& version) {
  const std::string wanted = version + "-" + version;
  PackageInfo package;
  for (const nlohmann::json& block : blocks) {
    if (block.at("ver_range").get<std::string>() != wanted) continue;
    package.url = block.at("url").get<std::string>();
    package.md5 = block.at("md5").get<std::string>();
    package.size = block.at("size").get<int>();
    package.fileName = block.at("fileName").get<std::string>();
    break;
  }
  return package;
}

}  // namespace

int ParseProgramFileName(const std::wstring& programPath, UpdateInfo& info) {
  size_t cut = programPath.rfind(L'\\');
  if (cut == std::wstring::npos) cut = programPath.rfind(L'/');
  if (cut == std::wstring::npos) return -1;
  const std::vector<std::wstring> tokens = SplitAtHash(programPath.substr(cut + 1));
  if (tokens.empty()) return -2;
  info.product = WideToUtf8(tokens[0]);
  if (tokens.size() < 2) return -3;
  info.channel = WideToUtf8(tokens[1]);
  const wchar_t first = tokens.size() > 2 ? tokens[2][0] : L'0';
  const int digit = first >= L'0' && first <= L'9' ? first - L'0' : 0;
  info.type = digit == 0 ? 2 : digit;
  info.ver = 1;
  return 0;
}

bool IsPlainFileName(const std::wstring& name) {
  if (name.empty() || name == L"." || name.find(L"..") != std::wstring::npos) return false;
  for (wchar_t c : name) {
    if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c)) return false;
  }
  return true;
}

int SearchPackage(const UpdateInfo& info, PackageInfo& package) {
  const std::string url = UpdateSearchUrl(info.channel, info.product, info.ver, info.type);
  VLOG_INFO("GetDownloadUrl, downloadurl %s", url.c_str());
  std::string reply;
  const int result = HttpGetRequest(url, reply);
  if (reply.empty()) {
    VLOG_ERROR("GetDownloadUrl, HttpGetRequest fail, nret %d", result);
    return -2;
  }
  return ParseSearchReply(reply, url, package);
}

int ParseSearchReply(const std::string& reply, const std::string& url, PackageInfo& package) {
  try {
    const nlohmann::json root = nlohmann::json::parse(reply);
    if (root.is_null()) {
      VLOG_ERROR("GetDownloadUrl, json::parse fail, url %s", url.c_str());
      return -3;
    }
    const nlohmann::json& data = root.at("data");
    const nlohmann::json& blocks = data.at("blockurl");
    const int code = root.at("code").get<int>();
    const std::string version = data.at("version").get<std::string>();
    if (code != 0) {
      VLOG_ERROR("GetDownloadUrl, code or version exception, code %d version %s", code, version.c_str());
      return -4;
    }
    PackageInfo found = FindPackage(blocks, version);
    if (found.url.empty() || found.md5.empty() || found.fileName.empty() || found.size == 0) {
      VLOG_FATAL("GetDownloadUrl, not find new package, url %s", url.c_str());
      return -6;
    }
    // The name becomes a path under the download folder and is then run.
    if (!IsPlainFileName(Utf8ToWide(found.fileName))) {
      VLOG_ERROR("GetDownloadUrl, fileName %s is not a plain file name, url %s", found.fileName.c_str(), url.c_str());
      return -6;
    }
    package = found;
  } catch (const nlohmann::json::exception& error) {
    VLOG_ERROR("GetDownloadUrl: json exception, errmsg %s", error.what());
    return -4;
  }
  return 0;
}
