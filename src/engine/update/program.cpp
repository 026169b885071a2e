#include "engine/update/program.h"

#include <tlhelp32.h>

#include <vector>

#include "common/log/vlog.h"
#include "common/sys/system_info.h"
#include "common/sys/unique_handles.h"

namespace {

using CreateProcessWithTokenFn = BOOL(WINAPI*)(HANDLE, DWORD, LPCWSTR, LPWSTR, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW,
                                               LPPROCESS_INFORMATION);

// Hands the process handle to the caller or closes it; always closes the thread handle.
void HandOver(PROCESS_INFORMATION& info, HANDLE* process) {
  CloseHandle(info.hThread);
  if (process) {
    *process = info.hProcess;
  } else {
    CloseHandle(info.hProcess);
  }
}

// The id of the first process in a snapshot whose file name equals name ignoring case; 0 when
// none. False when no snapshot can be taken.
bool FindProcessByName(const std::wstring& name, DWORD* id) {
  *id = 0;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!IsValid(snapshot)) return false;
  if (name.empty()) return true;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, name.c_str()) == 0) {
      *id = entry.th32ProcessID;
      return true;
    }
  }
  return true;
}

// A writable copy of the command line: CreateProcessW may change its buffer.
std::vector<wchar_t> Writable(const std::wstring& text) {
  std::vector<wchar_t> buffer(text.begin(), text.end());
  buffer.push_back(L'\0');
  return buffer;
}

int StartAsUserBeforeVista(HANDLE token, std::vector<wchar_t>& commandLine, PROCESS_INFORMATION* info) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  wchar_t desktop[] = L"winsta0\\default";
  startup.lpDesktop = desktop;
  if (!CreateProcessAsUserW(token, nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_BREAKAWAY_FROM_JOB,
                            nullptr, nullptr, &startup, info)) {
    return static_cast<int>(GetLastError());
  }
  return 0;
}

int StartWithToken(HANDLE token, std::vector<wchar_t>& commandLine, PROCESS_INFORMATION* info) {
  HMODULE advapi = LoadLibraryW(L"Advapi32.dll");  // stays loaded
  if (!advapi) return static_cast<int>(GetLastError());
  auto start = reinterpret_cast<CreateProcessWithTokenFn>(
      reinterpret_cast<void*>(GetProcAddress(advapi, "CreateProcessWithTokenW")));
  if (!start) return static_cast<int>(GetLastError());
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  if (!start(token, 0, nullptr, commandLine.data(), 0, nullptr, nullptr, &startup, info)) {
    return static_cast<int>(GetLastError());
  }
  return 0;
}

}  // namespace

std::wstring BuildCommandLine(const std::wstring& program, const std::wstring& args) {
  const bool quoted = !program.empty() && program.front() == L'"';
  return (quoted ? program : L"\"" + program + L"\"") + L" " + args;
}

std::wstring WorkingFolderOf(const std::wstring& program) {
  std::wstring path = program;
  if (!path.empty() && path.front() == L'"') path.erase(0, 1);
  if (!path.empty() && path.back() == L'"') path.pop_back();
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

int CProgram::RunProgram(const std::wstring& program, const std::wstring& args, HANDLE* process) {
  std::vector<wchar_t> commandLine = Writable(BuildCommandLine(program, args));
  const std::wstring folder = WorkingFolderOf(program);
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    const DWORD err = GetLastError();
    VLOG_ERROR("RunProgram, CreateProcess %S failed, err %lu", commandLine.data(), err);
    return static_cast<int>(err);
  }
  HandOver(info, process);
  return 0;
}

int CProgram::RunProgramAsUser(const std::wstring& program, const std::wstring& args, HANDLE* process) {
  std::vector<wchar_t> commandLine = Writable(BuildCommandLine(program, args));
  UniqueHandle token(GetLoggedOnUserToken());
  if (!IsValid(token)) {
    VLOG_ERROR("RunProgramAsUser, no user token for %S", program.c_str());
    return -1;
  }
  PROCESS_INFORMATION info = {};
  const int result = SystemInfo::GetInstance().MajorVersion() < 6
                         ? StartAsUserBeforeVista(token.get(), commandLine, &info)
                         : StartWithToken(token.get(), commandLine, &info);
  if (result != 0) {
    VLOG_ERROR("RunProgramAsUser, start of %S failed, err %d", commandLine.data(), result);
    return result;
  }
  HandOver(info, process);
  return 0;
}

int CProgram::KillProgram(const std::wstring& fileName) {
  DWORD id = 0;
  if (!FindProcessByName(fileName, &id)) {
    VLOG_ERROR("KillProgram, CreateToolhelp32Snapshot failed, err %lu", GetLastError());
    return -1;
  }
  if (id == 0) return -4;
  UniqueHandle target(OpenProcess(PROCESS_ALL_ACCESS, FALSE, id));
  if (!IsValid(target)) {
    VLOG_ERROR("KillProgram, OpenProcess %S (%lu) failed, err %lu", fileName.c_str(), id, GetLastError());
    return -2;
  }
  if (!TerminateProcess(target.get(), 0)) {
    VLOG_ERROR("KillProgram, TerminateProcess %S (%lu) failed, err %lu", fileName.c_str(), id, GetLastError());
    return -3;
  }
  WaitForSingleObjectEx(target.get(), INFINITE, TRUE);
  return 0;
}

HANDLE CProgram::GetLoggedOnUserToken() {
  DWORD id = 0;
  if (!FindProcessByName(L"explorer.exe", &id) || id == 0) {
    VLOG_ERROR("GetLoggedOnUserToken, no explorer.exe runs");
    return nullptr;
  }
  // The privileges that starting a process with another user's token needs belong to the
  // setup's own token, not to the shell's.
  for (const wchar_t* privilege : {SE_INCREASE_QUOTA_NAME, SE_ASSIGNPRIMARYTOKEN_NAME, SE_IMPERSONATE_NAME}) {
    if (EnablePrivilege(GetCurrentProcess(), privilege) != 0) return nullptr;
  }
  UniqueHandle shell(OpenProcess(PROCESS_ALL_ACCESS, FALSE, id));
  if (!IsValid(shell)) {
    VLOG_ERROR("GetLoggedOnUserToken, OpenProcess explorer.exe failed, err %lu", GetLastError());
    return nullptr;
  }
  HANDLE raw = nullptr;
  if (!OpenProcessToken(shell.get(), TOKEN_ALL_ACCESS, &raw)) {
    VLOG_ERROR("GetLoggedOnUserToken, OpenProcessToken failed, err %lu", GetLastError());
    return nullptr;
  }
  UniqueHandle shellToken(raw);
  HANDLE duplicate = nullptr;
  if (!DuplicateTokenEx(shellToken.get(), 0, nullptr, SecurityImpersonation, TokenPrimary, &duplicate)) {
    VLOG_ERROR("GetLoggedOnUserToken, DuplicateTokenEx failed, err %lu", GetLastError());
    return nullptr;
  }
  return duplicate;
}

int CProgram::EnablePrivilege(HANDLE process, const wchar_t* privilege) {
  HANDLE raw = nullptr;
  if (!OpenProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &raw)) {
    const DWORD err = GetLastError();
    VLOG_ERROR("EnablePrivilege, OpenProcessToken failed, err %lu", err);
    return static_cast<int>(err);
  }
  UniqueHandle token(raw);
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueW(nullptr, privilege, &privileges.Privileges[0].Luid) ||
      !AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr)) {
    const DWORD err = GetLastError();
    VLOG_ERROR("EnablePrivilege, %S failed, err %lu", privilege, err);
    return static_cast<int>(err);
  }
  return 0;
}
