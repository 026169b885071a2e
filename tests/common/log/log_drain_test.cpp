// A windowed program without standard output, with a Chinese name, logs through the process
// logger's macros, drains and ends itself with ExitProcess: no line may be lost, and the
// logger works on after a drain.
#include <gtest/gtest.h>
#include <windows.h>

#include "log_test_support.h"

namespace {

// Runs `commandLine` detached, without console or standard handles; returns its exit code.
DWORD runDetached(const std::wstring& exe, std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr, nullptr,
                      &startup, &process)) {
    return 1000 + GetLastError();
  }
  DWORD code = 999;
  if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

}  // namespace

TEST(LogDrain, ExitProcessAfterDrainLosesNoLine) {
  vlogtest::TempFolder folder(L"_王小明");
  wchar_t self[MAX_PATH];
  std::wstring child(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  child = child.substr(0, child.find_last_of(L'\\') + 1) + L"log_exit_child.exe";
  std::wstring exe = folder.widePath() + L"Tamsel游戏Pelluvo.exe";
  ASSERT_TRUE(CopyFileW(child.c_str(), exe.c_str(), FALSE));
  const int count = 5000;
  ASSERT_EQ(runDetached(exe, L"\"" + exe + L"\" \"" + folder.widePath() + L"logs\" " + std::to_wstring(count)), 0u);

  std::vector<vlogtest::FoundFile> files = vlogtest::readFiles(folder.path() + "logs/");
  ASSERT_FALSE(files.empty());
  int lines = 0;
  bool afterDrain = false;
  for (const vlogtest::FoundFile& file : files) {
    EXPECT_EQ(file.relativePath.rfind("setup.log/Tamsel游戏Pelluvo_Main_", 0), 0u) << file.relativePath;
    for (const std::string& line : vlogtest::splitLines(file.content)) {
      if (line.find("LOG_TRACE Child, line ") == std::string::npos) {
        afterDrain = afterDrain || line.find("LOG_INFO Child, after drain log_exit_child.cpp:") != std::string::npos;
        continue;
      }
      ASSERT_NE(line.find("LOG_TRACE Child, line " + std::to_string(lines) + " of 游戏 log_exit_child.cpp:"),
                std::string::npos)
          << line;
      ++lines;
    }
  }
  EXPECT_EQ(lines, count);
  EXPECT_TRUE(afterDrain) << "the logger works on after a drain";
}
