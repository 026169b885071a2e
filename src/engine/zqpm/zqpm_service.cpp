// The engine object's operations on the update service: the package search made from the
// program's own file name, the download progress it hands to the window, and the uninstall
// feedback.
#include <nlohmann/json.hpp>

#include "common/log/vlog.h"
#include "common/sys/self_path.h"
#include "common/sys/text_convert.h"
#include "engine/jobs/update_search.h"
#include "engine/jobs/web_install_job.h"
#include "engine/net/http_client.h"
#include "engine/net/update_service.h"
#include "engine/zqpm/zqpm.h"

int ZQPM::ParseFileName(UpdateInfo& info) { return ParseProgramFileName(SelfPath(), info); }

int ZQPM::GetDownloadUrl(PackageInfo& package) {
  UpdateInfo info;
  if (ParseFileName(info) != 0) {
    VLOG_ERROR("GetDownloadUrl, ParseFileName fail");
    return -1;
  }
  return SearchPackage(info, package);
}

void ZQPM::OnDownloadProgress(unsigned int total, unsigned int received, double speed) {
  GetInstance()->m_UIPrompt.OnProgressEx(ProgressStep::kDownload, static_cast<int>(received), static_cast<int>(total),
                                         DownloadSpeedText(speed), 90);
}

int ZQPM::CommitInfo(const OpePARAMEx* record) {
  if (!record || record->feedback.empty()) return 0;
  const std::string body = WideToUtf8(record->feedback);
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
