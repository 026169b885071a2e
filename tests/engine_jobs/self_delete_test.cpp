// Self-deletion after an uninstall, in an installed copy of a program (its own process,
// since it ends itself): the folder and the program go; without a completed uninstall or
// with an "InstallPath" that cannot be read, nothing goes.
#include <gtest/gtest.h>

#include "engine/jobs/self_delete.h"
#include "engine/update/update_eng_ex.h"
#include "jobs_test_support.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

class DelSelf : public ::testing::Test {
 protected:
  DelSelf()
      : install_(folder_ / L"\u5b89\u88c5 \u76ee\u5f55"),
        program_(install_ + L"\\PackageManager.exe"),
        regKey_(L"HKCU\\Software\\TamselJobs\\" + UniqueName()) {
    InstallHelper(L"jobs_uninstaller.exe", program_);
    WriteFileBytes(install_ + L"\\data\\a.txt", "a");
    EXPECT_TRUE(CUpdateEngEx::UpdateRegistry(regKey_, L"InstallPath", L"REG_SZ", install_));
  }
  ~DelSelf() override { DeleteRegTree(HKEY_CURRENT_USER, regKey_.substr(5)); }

  DWORD Run(const std::wstring& mode) {
    std::wstring line = L"\"" + program_ + L"\" " + mode + L" \"" + (folder_ / L"logs") + L"\" \"" + regKey_ + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program_.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
      ADD_FAILURE() << "cannot start the uninstaller, err " << GetLastError();
      return 0xFFFFFFFF;
    }
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
  }

  TempFolder folder_;
  const std::wstring install_;
  const std::wstring program_;
  const std::wstring regKey_;
};

TEST_F(DelSelf, RemovesTheInstallFolderAndTheProgramOnceItHasEnded) {
  EXPECT_EQ(Run(L"uninstalled"), 0u);
  for (int i = 0; i < 150 && Exists(install_); ++i) Sleep(100);
  EXPECT_FALSE(Exists(program_));
  EXPECT_FALSE(Exists(install_)) << "the emptied folder stays";
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, regKey_.substr(5)));
  // Written out before the process ended itself.
  EXPECT_NE(updtest::LogText(folder_ / L"logs").find("DelSelf, cmdline " + Utf8(SelfDeleteCommand(program_, install_))),
            std::string::npos);
}

TEST_F(DelSelf, DeletesNothingWithoutACompletedUninstallOrWithAnUnreadableInstallPath) {
  EXPECT_EQ(Run(L"nojob"), 3u);
  EXPECT_TRUE(Exists(install_ + L"\\data\\a.txt"));
  EXPECT_EQ(Run(L"unreadable"), 3u);  // the job ran, then "InstallPath" came back as binary data
  Sleep(1000);
  EXPECT_TRUE(Exists(program_));
  const std::string text = updtest::LogText(folder_ / L"logs");
  EXPECT_NE(text.find("DelSelf, no uninstall completed in this process, nothing deleted"), std::string::npos);
  EXPECT_NE(text.find("DelSelf, InstallPath under " + Utf8(regKey_) + " is still there or unreadable"),
            std::string::npos);
}

}  // namespace
