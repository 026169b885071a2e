// Helpers of the job tests: the update service the jobs talk to, a recording window, the
// engine services as the engine object wires them, and an installed product on disk.
#pragma once

#include <string>
#include <vector>

#include "engine/job/prompt.h"
#include "engine/jobs/job_services.h"
#include "net_test_support.h"

class CUpdateEngEx;

namespace jobstest {

// Points the engine's update-service requests at host ("127.0.0.1:port") and makes HTTP
// retries pause-free while it lives.
class ServiceHost {
 public:
  explicit ServiceHost(const std::string& host);
  ~ServiceHost();
};

// Every report as a line: "P step delta detail", "X step done total detail parts",
// "F", "N reply", "M text code" (UTF-8).
struct Prompt : IInstallUIPromptEx {
  void OnProgress(int step, int delta, std::wstring detail) override;
  void OnProgressEx(int step, int done, int total, std::wstring detail, int parts) override;
  void OnFinish(const char* text, int code) override;
  void NotifyUpdateWnd(std::string reply) override;
  void OnMessage(std::wstring message, int code) override;
  std::vector<std::string> events;
};

// The services as ZQPM gives them: its preparation and service operations, with the given
// program path in the package search, a download folder of the test's own in place of
// %TEMP%\~ZQDownload, and the download progress going to the window registered with ZQPM.
JobServices Services(CUpdateEngEx& engine, IInstallUIPromptEx* prompt, const std::wstring& selfPath,
                     const std::wstring& downloadFolder = L"");

// An installed product in folder: package\Product.config (RegKey regKey) naming one
// component "client.config" with the given sections, package\productlist.ini, and
// "InstallPath" = folder under regKey.
void WriteInstalledProduct(const std::wstring& folder, const std::wstring& regKey, const std::string& sections);

}  // namespace jobstest
