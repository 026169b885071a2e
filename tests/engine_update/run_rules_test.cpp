// Run rules: each phase's rules in order, waiting and stopping, DLL calls in and out of the
// process, stopping by name, and the log lines printed whole.
#include <gtest/gtest.h>

#include "engine/update/update_eng_ex.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

RunRuleRecord Rule(std::initializer_list<std::pair<const char*, std::string>> pairs) {
  RunRuleRecord rule;
  rule.attributes = Attributes(pairs);
  return rule;
}

class RunRules : public ::testing::Test {
 protected:
  RunRules() {
    engine_.newProduct.productFolder = folder_ / L"product";
    engine_.installedProduct.productFolder = folder_ / L"product";
    InstallHelper(L"update_child.exe", Product(L"bin\\child.exe"));
  }
  std::wstring Product(const std::wstring& relative) const {
    return engine_.newProduct.productFolder + L"\\" + relative;
  }
  // Child arguments: log into the shared order log, with a tag, sleeping when asked.
  std::string Args(const std::string& tag, int sleepMs = 0) const {
    std::string args = "\"log=" + Utf8(OrderLog()) + "\" tag=" + tag;
    return sleepMs ? args + " sleep=" + std::to_string(sleepMs) : args;
  }
  std::wstring OrderLog() const { return folder_ / L"order.log"; }
  // The tags of the start lines, in order.
  std::vector<std::string> Started() const {
    std::vector<std::string> tags;
    for (const std::wstring& line : ChildLog(OrderLog())) {
      const size_t at = line.find(L"tag=");
      if (line.rfind(L"start", 0) == 0 && at != std::wstring::npos) tags.push_back(Utf8(line.substr(at + 4, 1)));
    }
    return tags;
  }
  size_t Ended() const {
    size_t count = 0;
    for (const std::wstring& line : ChildLog(OrderLog())) count += line.rfind(L"end", 0) == 0;
    return count;
  }

  TempFolder folder_;
  CUpdateEngEx engine_;
};

TEST_F(RunRules, EachPhaseRunsItsRulesInOrder) {
  auto waiting = [&](const char* when, const char* cmd, const char* tag) {
    return Rule(
        {{"when", when}, {"executable", "bin\\child.exe"}, {"cmd", cmd}, {"args", Args(tag)}, {"bwaitend", "true"}});
  };
  // Phase and command names match only in their own case.
  const std::vector<RunRuleRecord> rules = {waiting("BeforeCopy", "EXEC", "1"), waiting("AfterCopy", "EXEC", "x"),
                                            waiting("BeforeCopy", "EXEC", "2"), waiting("beforecopy", "EXEC", "c"),
                                            waiting("BeforeCopy", "exec", "e"), waiting("BeforeCopy", "EXEC", "3")};
  engine_.addList.runRules = rules;
  engine_.deleteList.runRules = rules;

  engine_.DoRunruleInAddList("BeforeCopy", 0);
  EXPECT_EQ(Started(), (std::vector<std::string>{"1", "2", "3"}));
  engine_.DoRunruleInAddList("AfterCopy", 0);
  EXPECT_EQ(Started(), (std::vector<std::string>{"1", "2", "3", "x"}));
  engine_.DoRunruleInDeleteList("BeforeCopy");
  EXPECT_EQ(Started(), (std::vector<std::string>{"1", "2", "3", "x", "3", "2", "1"}))
      << "the installed product's rules run from the highest order down";
  engine_.DoRunruleInAddList("AfterUpdate", 0);
  EXPECT_EQ(Started().size(), 7u);
}

TEST_F(RunRules, AddListWaitsForAnyCaseOfTrueDeleteListOnlyForTrue) {
  engine_.addList.runRules = {Rule({{"when", "AfterCopy"},
                                    {"executable", "bin\\child.exe"},
                                    {"cmd", "EXEC"},
                                    {"args", Args("a", 1500)},
                                    {"bwaitend", "TRUE"}})};
  engine_.DoRunruleInAddList("AfterCopy", 0);
  EXPECT_EQ(Ended(), 1u) << "waited for the program";

  engine_.deleteList.runRules = {Rule({{"when", "OnStopApp"},
                                       {"executable", "bin\\child.exe"},
                                       {"cmd", "EXEC"},
                                       {"args", Args("d", 4000)},
                                       {"bwaitend", "TRUE"}})};
  engine_.DoRunruleInDeleteList("OnStopApp");
  EXPECT_EQ(Ended(), 1u) << "\"TRUE\" is no wait in the delete list";
  EXPECT_EQ(WaitForChildLog(OrderLog(), 3).size(), 3u) << "started";
  EXPECT_EQ(WaitForChildLog(OrderLog(), 4).size(), 4u) << "ended";

  engine_.addList.runRules = {
      Rule({{"when", "AfterCopy"}, {"executable", "bin\\child.exe"}, {"cmd", "EXEC"}, {"args", Args("n", 4000)}})};
  engine_.DoRunruleInAddList("AfterCopy", 0);
  EXPECT_EQ(Ended(), 2u) << "no \"bwaitend\": the add list does not wait";
  EXPECT_EQ(WaitForChildLog(OrderLog(), 6).size(), 6u);
}

TEST_F(RunRules, AddListWaitsAtMostFifteenSeconds) {
  const std::wstring name = L"slow " + UniqueName() + L".exe";
  InstallHelper(L"update_child.exe", Product(name));
  engine_.addList.runRules = {Rule({{"when", "OnRegister"},
                                    {"executable", Utf8(name)},
                                    {"cmd", "EXEC"},
                                    {"args", Args("s", 60000)},
                                    {"bwaitend", "true"}})};
  engine_.DoRunruleInAddList("OnRegister", 0);
  const DWORD id = ProcessIdByName(name);
  EXPECT_NE(id, 0u) << "the program keeps running after the wait";
  EXPECT_EQ(Ended(), 0u);
  EndProcess(id);
}

TEST_F(RunRules, DeleteListStopsTheProgramItStartedAfterTenSeconds) {
  const std::wstring name = L"late " + UniqueName() + L".exe";
  InstallHelper(L"update_child.exe", Product(name));
  // A program of the same name that the rule did not start (the user's) must survive.
  InstallHelper(L"update_child.exe", folder_ / (L"elsewhere\\" + name));
  RunningChild users(folder_ / (L"elsewhere\\" + name), L"sleep=60000");
  ASSERT_TRUE(users.running());
  engine_.deleteList.runRules = {
      Rule({{"when", "OnStopApp"}, {"executable", Utf8(name)}, {"args", Args("l", 60000)}})};  // EXEC, wait
  engine_.DoRunruleInDeleteList("OnStopApp");
  EXPECT_EQ(Started(), std::vector<std::string>{"l"});
  EXPECT_EQ(Ended(), 0u);
  EXPECT_TRUE(users.running()) << "only the rule's own process is stopped";
  const DWORD id = ProcessIdByName(name);
  EXPECT_EQ(id, users.id()) << "the rule's process is gone";
}

TEST_F(RunRules, RestartAppPhaseNeverWaitsForOrStopsTheClient) {
  const std::wstring name = L"client " + UniqueName() + L".exe";
  InstallHelper(L"update_child.exe", Product(name));
  engine_.deleteList.runRules = {
      Rule({{"when", "OnRestartApp"}, {"executable", Utf8(name)}, {"args", Args("r", 60000)}})};
  engine_.addList.runRules = {Rule({{"when", "OnRestartApp"},
                                    {"executable", Utf8(name)},
                                    {"cmd", "EXEC"},
                                    {"args", Args("q", 60000)},
                                    {"bwaitend", "true"}})};
  engine_.DoRunruleInDeleteList("OnRestartApp");
  engine_.DoRunruleInAddList("OnRestartApp", 0);
  const std::vector<std::wstring> log = WaitForChildLog(OrderLog(), 2);
  EXPECT_EQ(log.size(), 2u);
  EXPECT_EQ(Ended(), 0u);
  for (int i = 0; i < 2; ++i) {
    const DWORD id = ProcessIdByName(name);
    EXPECT_NE(id, 0u) << "both clients still run";
    EndProcess(id);
  }
}

TEST_F(RunRules, KillStopsTheProcessByFileNameWhereverItRuns) {
  const std::wstring name = L"victim " + UniqueName() + L".exe";
  InstallHelper(L"update_child.exe", Product(L"sub\\" + name));
  InstallHelper(L"update_child.exe", folder_ / (L"running from here\\" + name));
  RunningChild victim(folder_ / (L"running from here\\" + name), L"sleep=60000");
  ASSERT_TRUE(victim.running());

  engine_.addList.runRules = {Rule({{"when", "BeforeCopy"}, {"executable", "absent\\" + Utf8(name)}, {"cmd", "KILL"}})};
  engine_.DoRunruleInAddList("BeforeCopy", 0);
  EXPECT_TRUE(victim.running()) << "a KILL rule whose file is not in the product folder does nothing";

  engine_.addList.runRules = {Rule({{"when", "BeforeCopy"}, {"executable", "sub\\" + Utf8(name)}, {"cmd", "KILL"}})};
  engine_.DoRunruleInAddList("BeforeCopy", 0);
  EXPECT_FALSE(victim.running());
}

TEST_F(RunRules, AsUserStartsThroughTheUsersToken) {
  StartDesktopShell();
  engine_.addList.runRules = {Rule({{"when", "AfterCopy"},
                                    {"executable", "bin\\child.exe"},
                                    {"cmd", "EXEC"},
                                    {"runMode", "asUser"},
                                    {"args", Args("u")},
                                    {"bwaitend", "true"}})};
  engine_.DoRunruleInAddList("AfterCopy", 0);
  EXPECT_EQ(Started(), std::vector<std::string>{"u"});
}

TEST_F(RunRules, DllCallRunsA32BitExportInThisProcessOnThisThread) {
  InstallHelper(L"update_export.dll", Product(L"bin\\export.dll"));
  engine_.addList.runRules = {
      Rule({{"when", "AfterCopy"}, {"executable", "bin\\export.dll"}, {"cmd", "DLLCALL"}, {"args", "MarkCalled"}})};
  engine_.DoRunruleInAddList("AfterCopy", 0);
  EXPECT_EQ(ReadFileBytes(Product(L"bin\\export.dll.called")), std::to_string(GetCurrentThreadId()));
  EXPECT_EQ(GetModuleHandleW(Product(L"bin\\export.dll").c_str()), nullptr) << "the DLL is freed again";
}

TEST_F(RunRules, DllCallHandsA64BitDllToTheHostProgramAndWaits) {
  const std::wstring host = Product(L"Setup\\DllRegX64.exe");
  InstallHelper(L"update_child.exe", host);
  WriteFakePe64(Product(L"bin\\x64 \u6e38.dll"));
  engine_.addList.runRules = {Rule(
      {{"when", "OnRegister"}, {"executable", "bin\\x64 \xE6\xB8\xB8.dll"}, {"cmd", "DLLCALL"}, {"args", "Export64"}})};
  engine_.DoRunruleInAddList("OnRegister", 0);
  const std::vector<std::wstring> log = ChildLog(host + L".log");
  ASSERT_EQ(log.size(), 2u) << "the walk resumes only after the host program ended";
  EXPECT_EQ(log[0].substr(0, log[0].rfind(L'\t')),
            L"start\t\"" + host + L"\"  /c \"" + Product(L"bin\\x64 \u6e38.dll") + L"\" Export64");
}

TEST_F(RunRules, DeleteListDefaultsToWaitingExec) {
  engine_.deleteList.runRules = {
      Rule({{"when", "OnUnregister"}, {"executable", "bin\\child.exe"}, {"args", Args("w", 1000)}})};
  engine_.DoRunruleInDeleteList("OnUnregister");
  EXPECT_EQ(Ended(), 1u);
}

TEST_F(RunRules, LogLinesCarryEachArgumentWhole) {
  LogCapture log;
  InstallHelper(L"update_export.dll", Product(L"bin\\export.dll"));
  engine_.deleteList.runRules = {
      Rule({{"when", "OnStopApp"}, {"executable", "bin\\child.exe"}, {"cmd", "EXEC"}, {"args", Args("1")}}),
      Rule({{"when", "OnStopApp"}, {"executable", "bin\\export.dll"}, {"cmd", "DLLCALL"}, {"args", "MarkCalled"}}),
      Rule({{"when", "OnStopApp"}, {"executable", "bin\\missing.exe"}}),
  };
  engine_.addList.runRules = {
      Rule({{"when", "AfterCopy"}, {"executable", "bin\\export.dll"}, {"cmd", "DLLCALL"}, {"args", "NoSuchExport"}})};
  engine_.DoRunruleInDeleteList("OnStopApp");
  engine_.DoRunruleInAddList("AfterCopy", 0);
  const std::string text = log.Text();
  const std::string child = Utf8(Product(L"bin\\child.exe"));
  const std::string dll = Utf8(Product(L"bin\\export.dll"));
  EXPECT_NE(text.find("RunProgram, When: OnStopApp, ExecPath: " + child + ", ExecArgs: " + Args("1") + " | "),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("DLLCALL, When: OnStopApp, ExecPath:" + dll + ", ExecArgs:MarkCalled | "), std::string::npos);
  EXPECT_NE(text.find("----------Not exist: DoRunruleInDeleteList, When: OnStopApp, ExecPath: bin\\missing.exe | "),
            std::string::npos);
  EXPECT_NE(text.find("DoRunruleInAddList, When AfterCopy"), std::string::npos);
  EXPECT_NE(text.find("DLLCALL, When: AfterCopy, ExecPath:" + dll + ", ExecArgs:NoSuchExport "), std::string::npos);
  EXPECT_NE(text.find("DllCall failed, ExecPath: " + dll + ", ExecArgs: NoSuchExport | "), std::string::npos);
}

TEST(DllCall, ReportsWhatCouldNotBeCalled) {
  TempFolder folder;
  InstallHelper(L"update_export.dll", folder / L"export.dll");
  EXPECT_TRUE(CUpdateEngEx::DllCall(folder / L"host.exe", folder / L"export.dll", L"MarkCalled"));
  EXPECT_FALSE(CUpdateEngEx::DllCall(folder / L"host.exe", folder / L"export.dll", L"Absent"));
  EXPECT_FALSE(CUpdateEngEx::DllCall(folder / L"host.exe", folder / L"absent.dll", L"MarkCalled"));
  WriteFakePe64(folder / L"x64.dll");
  EXPECT_FALSE(CUpdateEngEx::DllCall(folder / L"no host.exe", folder / L"x64.dll", L"Export")) << "host missing";
}

}  // namespace
