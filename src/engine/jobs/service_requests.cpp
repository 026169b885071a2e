#include "engine/jobs/service_requests.h"

#include "common/log/vlog.h"
#include "engine/job/prompt.h"
#include "engine/net/http_client.h"
#include "engine/net/update_service.h"

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
