#include "engine/jobs/service_requests.h"

#include <nlohmann/json.hpp>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "engine/net/http_client.h"
#include "engine/net/update_service.h"
#include "engine/prompt.h"

int CommitInfo(const OpePARAMEx& record) {
  if (record.feedback.empty()) return 0;
  const std::string body = WideToUtf8(record.feedback);
  const std::string url = UpdateServiceUrl(kUninstallConfirmPath);
  std::string reply;
  const int result = HttpPostRequest(url, body, reply);
  if (result != kHttpOk) {
    VLOG_ERROR("CommitInfo, HttpPostRequest fail, url %s, nRet: %d", url.c_str(), result);
    return -1;
  }
  try {
    const nlohmann::json root = nlohmann::json::parse(reply);
    if (root.is_null()) {
      VLOG_ERROR("CommitInfo, json::parse fail, url %s", url.c_str());
      return -2;
    }
    const int code = root.at("code").get<int>();
    if (code != 0) {
      VLOG_ERROR("CommitInfo, post return data code is %d, url %s", code, url.c_str());
      return -3;
    }
  } catch (const nlohmann::json::exception& error) {
    VLOG_ERROR("CommitInfo: json exception, errmsg %s", error.what());
    return -4;
  }
  return 0;
}

int GetUninstallTypeList(IInstallUIPromptEx* prompt) {
  const std::string url = UpdateServiceUrl(kUninstallTypeListPath);
  std::string reply;
  const int result = HttpGetRequest(url, reply);
  if (reply.empty()) {
    VLOG_ERROR("GetUninstallTypeList, HttpGetRequest fail, url %s, nret %d", url.c_str(), result);
    return -2;
  }
  if (prompt) prompt->NotifyUpdateWnd(reply);
  return 0;
}
