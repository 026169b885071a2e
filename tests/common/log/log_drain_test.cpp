// A program that ends itself with ExitProcess loses no line once it drained the logger,
// keeps logging after a drain, has no standard output, and may have a Chinese file name.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/log/log_text.h"
#include "log_test_support.h"

using vemtal::vlog::utf8ToWide;

namespace {

std::wstring besideThisProgram(const wchar_t* name) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, n);
  return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

// Runs `exe` detached, without console or standard handles; returns its exit code.
DWORD runDetached(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\" " + arguments;
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
  std::wstring exe = folder.widePath() + L"Tamsel游戏Pelluvo.exe";
  ASSERT_TRUE(CopyFileW(besideThisProgram(L"log_exit_child.exe").c_str(), exe.c_str(), FALSE));
  const int count = 5000;
  std::wstring logFolder = folder.widePath() + L"logs";
  ASSERT_EQ(runDetached(exe, L"\"" + logFolder + L"\" " + std::to_wstring(count)), 0u);

  std::vector<vlogtest::FoundFile> files = vlogtest::readFiles(folder.path() + "logs/");
  ASSERT_FALSE(files.empty());
  int lines = 0;
  bool afterDrain = false;
  for (const vlogtest::FoundFile& file : files) {
    EXPECT_EQ(file.relativePath.rfind("setup.log/Tamsel游戏Pelluvo_Main_", 0), 0u) << file.relativePath;
    int expectedNext = lines;
    for (const std::string& line : vlogtest::splitLines(file.content)) {
      if (line.find("LOG_TRACE Child, line ") == std::string::npos) {
        afterDrain = afterDrain || line.find("LOG_INFO Child, after drain log_exit_child.cpp:") != std::string::npos;
        continue;
      }
      ASSERT_NE(line.find("LOG_TRACE Child, line " + std::to_string(expectedNext) + " of 游戏 log_exit_child.cpp:"),
                std::string::npos)
          << line;
      ++expectedNext;
    }
    lines = expectedNext;
  }
  EXPECT_EQ(lines, count);
  EXPECT_TRUE(afterDrain) << "the logger works on after a drain";
}
