// Process launching: the command line built for CreateProcess, the working folder, start as
// the desktop user, and stopping by file name.
#include <gtest/gtest.h>

#include "engine/update/program.h"
#include "update_test_support.h"

namespace {

using namespace updtest;

TEST(CommandLine, QuotesAProgramPathWithBlanks) {
  EXPECT_EQ(BuildCommandLine(L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2\\Setup.exe", L"/silent"),
            L"\"C:\\Program Files (x86)\\Orvenna\\PelluvoV2\\Setup.exe\" /silent");
  EXPECT_EQ(BuildCommandLine(L"C:\\Tools\\a.exe", L""), L"\"C:\\Tools\\a.exe\" ") << "the blank stays";
  EXPECT_EQ(BuildCommandLine(L"\"C:\\Program Files\\a.exe\"", L"-x"), L"\"C:\\Program Files\\a.exe\" -x")
      << "a quoted path is not quoted twice";
  EXPECT_EQ(BuildCommandLine(L"C:\\Setup\\DllRegX64.exe", L" /r \"C:\\m.dll\""),
            L"\"C:\\Setup\\DllRegX64.exe\"  /r \"C:\\m.dll\"");
}

TEST(CommandLine, WorkingFolderIsTheProgramsFolder) {
  EXPECT_EQ(WorkingFolderOf(L"C:\\Program Files (x86)\\Orvenna\\a.exe"), L"C:\\Program Files (x86)\\Orvenna");
  EXPECT_EQ(WorkingFolderOf(L"\"C:\\Program Files\\a.exe\""), L"C:\\Program Files");
  EXPECT_EQ(WorkingFolderOf(L"a.exe"), L"");
}

TEST(RunProgram, StartsTheProgramInItsFolderNotAPrefixOfItsPath) {
  TempFolder folder;
  const std::wstring program = folder / L"Program Files (x86)\\Tamsel\u6e38\u620f\\child.exe";
  const std::wstring decoy = folder / L"Program.exe";  // what an unquoted command line may run
  InstallHelper(L"update_child.exe", program);
  InstallHelper(L"update_child.exe", decoy);
  HANDLE process = nullptr;
  ASSERT_EQ(CProgram::RunProgram(program, L"/silent", &process), 0);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  CloseHandle(process);
  const std::vector<std::wstring> log = ChildLog(program + L".log");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0], L"start\t\"" + program + L"\" /silent\t" + folder / L"Program Files (x86)\\Tamsel\u6e38\u620f");
  EXPECT_FALSE(Exists(decoy + L".log")) << "C:\\...\\Program.exe ran";
}

TEST(RunProgram, WithoutAPlaceForTheHandleItIsClosed) {
  TempFolder folder;
  const std::wstring program = folder / L"child.exe";
  InstallHelper(L"update_child.exe", program);
  EXPECT_EQ(CProgram::RunProgram(program, L"", nullptr), 0);
  EXPECT_EQ(WaitForChildLog(program + L".log", 2).size(), 2u);
}

TEST(RunProgram, ProgramWithoutFolderStartsInTheCurrentFolder) {
  // A bare name is found beside the running program; its "folder" is no working folder.
  TempFolder folder;
  HANDLE process = nullptr;
  ASSERT_EQ(CProgram::RunProgram(L"update_child.exe", L"\"log=" + (folder / L"bare.log") + L"\"", &process), 0);
  EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  CloseHandle(process);
  wchar_t current[MAX_PATH * 2] = {};
  GetCurrentDirectoryW(MAX_PATH * 2, current);
  const std::vector<std::wstring> log = ChildLog(folder / L"bare.log");
  ASSERT_EQ(log.size(), 2u);
  EXPECT_EQ(log[0].substr(log[0].rfind(L'\t') + 1), current);
}

TEST(RunProgram, MissingProgramGivesTheWin32Error) {
  TempFolder folder;
  HANDLE process = nullptr;
  EXPECT_EQ(CProgram::RunProgram(folder / L"absent.exe", L"", &process), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(process, nullptr);
}

TEST(RunProgramAsUser, StartsTheProgramWithTheShellUsersToken) {
  StartDesktopShell();
  HANDLE token = CProgram::GetLoggedOnUserToken();
  ASSERT_NE(token, nullptr) << "explorer.exe runs in the prefix";
  TOKEN_TYPE type = TokenImpersonation;
  DWORD size = 0;
  EXPECT_TRUE(GetTokenInformation(token, TokenType, &type, sizeof(type), &size));
  EXPECT_EQ(type, TokenPrimary);
  CloseHandle(token);

  TempFolder folder;
  const std::wstring program = folder / L"user child.exe";
  InstallHelper(L"update_child.exe", program);
  HANDLE process = nullptr;
  ASSERT_EQ(CProgram::RunProgramAsUser(program, L"as-user", &process), 0);
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  CloseHandle(process);
  const std::vector<std::wstring> log = ChildLog(program + L".log");
  ASSERT_FALSE(log.empty());
  EXPECT_NE(log[0].find(L"as-user"), std::wstring::npos);
}

TEST(EnablePrivilege, EnablesAPrivilegeOfTheOwnToken) {
  EXPECT_EQ(CProgram::EnablePrivilege(GetCurrentProcess(), SE_DEBUG_NAME), 0);
  EXPECT_NE(CProgram::EnablePrivilege(GetCurrentProcess(), L"SeNoSuchPrivilege"), 0);
}

TEST(KillProgram, StopsTheFirstProcessOfThatNameOnly) {
  TempFolder folder;
  const std::wstring name = L"kill " + UniqueName() + L".exe";
  const std::wstring program = folder / name;
  InstallHelper(L"update_child.exe", program);
  RunningChild first(program, L"sleep=60000");
  RunningChild second(program, L"sleep=60000");
  ASSERT_TRUE(first.running() && second.running());
  EXPECT_EQ(CProgram::KillProgram(name), 0);
  EXPECT_NE(first.running(), second.running()) << "exactly one of the two is stopped";
  EXPECT_EQ(CProgram::KillProgram(L"no such " + name), -4);
  EXPECT_EQ(CProgram::KillProgram(L""), -4) << "an empty name matches nothing";
}

}  // namespace
