// Starting the installed client (quick start of the web-install and install windows) and
// the size text of a file.
#include <gtest/gtest.h>

#include "engine/jobs/client_start.h"
#include "engine/jobs/file_size_text.h"
#include "engine/update/update_eng_ex.h"
#include "jobs_test_support.h"
#include "update_test_support.h"

namespace {

using namespace updtest;
using nettest::Utf8;

void EndAll(const std::wstring& fileName) {
  for (DWORD id; (id = ProcessIdByName(fileName)) != 0;) EndProcess(id);
}

TEST(ClientStart, StartByOtherStartsTheInstalledClientAndLeavesItRunning) {
  TempFolder folder;
  const std::wstring id = UniqueName();
  const std::wstring install = folder / L"\u5b89\u88c5 \u76ee\u5f55";
  const std::wstring regKey = L"HKCU\\Software\\TamselJobs\\" + id;
  const std::wstring client = L"\u5ba2\u6237\u7aef " + id + L".exe";
  InstallHelper(L"update_child.exe", install + L"\\" + client);
  // A waiting rule of the installed product: any other phase would stop it after 10 s.
  jobstest::WriteInstalledProduct(install, regKey,
                                  "<RunRule><rule executable=\"" + Utf8(client) +
                                      "\" cmd=\"EXEC\" args=\"sleep=60000 &quot;log=" + Utf8(folder / L"client.log") +
                                      "&quot;\" order=\"1002\" when=\"OnRestartApp\"/></RunRule>");
  CUpdateEngEx engine;
  const JobServices services = jobstest::Services(engine, nullptr, L"");
  OpePARAMEx record;
  record.mode = OpePARAMEx::CMD_WEB_SILENT_INSTALL;

  engine.installedProduct.regKey = regKey + L"-missing";
  EXPECT_EQ(StartByOther(record, services), -1);  // neither a value nor a folder of the record's
  engine.installedProduct.regKey = regKey;
  ASSERT_EQ(StartByOther(record, services), 0);
  EXPECT_EQ(record.installDir, install);
  ASSERT_EQ(WaitForChildLog(folder / L"client.log", 1).size(), 1u);
  EXPECT_NE(ProcessIdByName(client), 0u);
  // A second quick start reads the product afresh: one more client, not two. Without a readable
  // value the record's own folder serves.
  engine.installedProduct.regKey = regKey + L"-missing";
  ASSERT_EQ(StartByOther(record, services), 0);
  EXPECT_EQ(record.installDir, install);
  WaitForChildLog(folder / L"client.log", 2);
  Sleep(500);
  EXPECT_EQ(ChildLog(folder / L"client.log").size(), 2u);
  EndAll(client);
  EXPECT_EQ(ChildLog(folder / L"client.log").size(), 2u);  // stopped by nobody but the test

  DeleteFileW((install + L"\\package\\Product.config").c_str());
  EXPECT_EQ(StartByOther(record, services), -2);
  DeleteRegTree(HKEY_CURRENT_USER, regKey.substr(5));
}

TEST(ClientStart, RestartAppRunsTheNewProductsRulesOnlyWhenAllowed) {
  TempFolder folder;
  CUpdateEngEx engine;
  engine.newProduct.productFolder = folder.path();
  InstallHelper(L"update_child.exe", folder / L"client.exe");
  RunRuleRecord rule;
  rule.attributes = Attributes({{"executable", "client.exe"},
                                {"cmd", "EXEC"},
                                {"when", "OnRestartApp"},
                                {"args", "\"log=" + Utf8(folder / L"client.log") + "\""}});
  engine.addList.runRules.push_back(rule);
  OpePARAMEx record;
  record.restartAllowed = false;
  EXPECT_EQ(RestartApp(record, engine), 0);
  Sleep(300);
  EXPECT_FALSE(Exists(folder / L"client.log"));
  record.restartAllowed = true;
  EXPECT_EQ(RestartApp(record, engine), 0);
  EXPECT_EQ(WaitForChildLog(folder / L"client.log", 2).size(), 2u);
}

TEST(FileSizeText, MegabytesOfAThousandSquaredAndTheProgramsOwnFile) {
  TempFolder folder;
  FileSizeInfo info;
  WriteFileBytes(folder / L"a.bin", std::string(2970712, 'a'));
  ASSERT_EQ(GetFileSizeText(&info, folder / L"a.bin"), 0);
  EXPECT_EQ(info.size, 2970712);
  EXPECT_EQ(info.sizeText, L"2.97M");
  EXPECT_EQ(info.path, folder / L"a.bin");
  WriteFileBytes(folder / L"\u6e38\u620f.bin", std::string(1048576, 'b'));
  ASSERT_EQ(GetFileSizeText(&info, folder / L"\u6e38\u620f.bin"), 0);
  EXPECT_EQ(info.sizeText, L"1.05M");
  EXPECT_EQ(GetFileSizeText(&info, folder / L"missing.bin"), -1);
  EXPECT_EQ(info.sizeText, L"1.05M");  // untouched
  ASSERT_EQ(GetFileSizeText(&info, L""), 0);
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  EXPECT_EQ(info.path, self);
  EXPECT_EQ(info.size, static_cast<int32_t>(ReadFileBytes(self).size()));
}

}  // namespace
