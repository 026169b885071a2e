#include "jobs_test_support.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "engine/jobs/update_search.h"
#include "engine/net/http_client.h"
#include "engine/update/update_eng_ex.h"
#include "engine/zqpm/zqpm.h"
#include "update_test_support.h"

namespace jobstest {

namespace {
void NoPause(unsigned long) {}
}  // namespace

ServiceHost::ServiceHost(const std::string& host) {
  SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", nettest::Wide(host).c_str());
  SetHttpPauseFunction(&NoPause);
}

ServiceHost::~ServiceHost() {
  SetEnvironmentVariableW(L"TAMSEL_UPDATE_HOST", nullptr);
  SetHttpPauseFunction(nullptr);
}

void Prompt::OnProgress(int step, int delta, std::wstring detail) {
  events.push_back("P " + std::to_string(step) + " " + std::to_string(delta) + " " + nettest::Utf8(detail));
}

void Prompt::OnProgressEx(int step, int done, int total, std::wstring detail, int parts) {
  events.push_back("X " + std::to_string(step) + " " + std::to_string(done) + " " + std::to_string(total) + " " +
                   nettest::Utf8(detail) + " " + std::to_string(parts));
}

void Prompt::OnFinish(const char*, int) { events.push_back("F"); }

void Prompt::NotifyUpdateWnd(std::string reply) { events.push_back("N " + reply); }

void Prompt::OnMessage(std::wstring message, int code) {
  events.push_back("M " + nettest::Utf8(message) + " " + std::to_string(code));
}

JobServices Services(CUpdateEngEx& engine, IInstallUIPromptEx* prompt, const std::wstring& selfPath,
                     const std::wstring& downloadFolder) {
  ZQPM* zqpm = ZQPM::GetInstance();
  JobServices services;
  services.prompt = prompt;
  services.updateEng = &engine;
  services.selfPath = selfPath;
  services.loadComponentConfigs = [zqpm](OpePARAMEx& record, ProductConfig& product) {
    return zqpm->LoadComponentConfigs(&record, product);
  };
  services.readProductConfig = [zqpm](ProductConfig& product, const std::wstring& folder) {
    return zqpm->GetProductConfigInfo(product, folder, zqpm->ReadProductList(folder + L"\\package\\productlist.ini"));
  };
  services.createTempInstallDir = [downloadFolder](const std::wstring&) {
    updtest::RemoveTree(downloadFolder);
    updtest::MakeFolder(downloadFolder);
    return downloadFolder;
  };
  services.getRegInstallPath = [zqpm](std::wstring& out, const std::wstring& keyPath) {
    return zqpm->GetRegInstallPath(out, keyPath);
  };
  // ZQPM::GetDownloadUrl, for the given program path in place of this test program's.
  services.getDownloadUrl = [selfPath](PackageInfo& package) {
    UpdateInfo info;
    return ParseProgramFileName(selfPath, info) != 0 ? -1 : SearchPackage(info, package);
  };
  services.downloadProgress = &ZQPM::OnDownloadProgress;
  services.commitInfo = [zqpm](const OpePARAMEx& record) { return zqpm->CommitInfo(&record); };
  services.deleteRegInfo = [zqpm](const std::wstring& keyPath) { return zqpm->DeleteRegInfo(keyPath); };
  return services;
}

void WriteInstalledProduct(const std::wstring& folder, const std::wstring& regKey, const std::string& sections) {
  const std::string key = nettest::Utf8(regKey);
  updtest::WriteFileBytes(folder + L"\\package\\Product.config",
                          "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ProductRoot type=\"OffLine\"><ProductInfo>"
                          "<Components><Component name=\"client\" config=\"client.config\"/></Components>"
                          "</ProductInfo><InstallInfo RegKey=\"" +
                              key + "\"/></ProductRoot>");
  updtest::WriteFileBytes(folder + L"\\package\\client.config",
                          "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<ComponentRoot name_0804=\"c\" "
                          "name_0404=\"c\" name_0409=\"c\" type=\"Client\" version=\"1.0\">" +
                              sections + "</ComponentRoot>");
  updtest::WriteFileBytes(folder + L"\\package\\productlist.ini",
                          "[products]\r\ncount=1\r\nproduct1=Product.config\r\n");
  ASSERT_TRUE(CUpdateEngEx::UpdateRegistry(regKey, L"InstallPath", L"REG_SZ", folder));
}

}  // namespace jobstest
