// Run rules: programs started, DLL exports called and programs stopped at the named phases
// of a job. The add list holds the new product's rules, the delete list the installed one's.
#include <windows.h>

#include <algorithm>
#include <cctype>

#include "common/log/vlog.h"
#include "common/sys/pe_image.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "engine/parser/file_on_disk.h"
#include "engine/update/update_eng_ex.h"

namespace {

constexpr DWORD kAddListWaitMs = 15000;
constexpr DWORD kDeleteListWaitMs = 10000;
// The client started in this phase is the user's: it is never waited for or stopped.
const char kRestartAppPhase[] = "OnRestartApp";

// The attribute's text, or fallback when the rule has no such attribute.
std::string AttributeOr(const RunRuleRecord& rule, const char* name, const char* fallback) {
  auto found = rule.attributes.find(name);
  return found == rule.attributes.end() ? std::string(fallback) : found->second;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t slash = path.rfind(L'\\');
  return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

std::string LowerAscii(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::wstring HostProgramIn(const std::wstring& productFolder) { return productFolder + L"\\Setup\\DllRegX64.exe"; }

// What one EXEC rule starts and how long its caller waits for it.
struct ExecRule {
  std::wstring program;
  std::wstring args;
  bool asUser = false;
  bool wait = false;
  DWORD waitMs = 0;
  bool stopWhenLate = false;
};

// The log texts of one list.
struct ExecTexts {
  const char* runAsUser;
  const char* runAsUserFailed;
  const char* run;
  const char* runFailed;
};

const ExecTexts kAddListTexts = {
    "RunProgramAsUser, When: %s, ExecPath: %S, ExecArgs: %S | ",
    "RunProgramAsUser failed, iRet:%d, ExecPath:%S, ExecArgs:%S ",
    "RunProgram, When: %s, ExecPath: %S, ExecArgs: %S",
    "RunProgram failed, iRet:%d, ExecPath:%S, ExecArgs:%S",
};

const ExecTexts kDeleteListTexts = {
    "RunProgramAsUser, When: %s, ExecPath: %S, ExecArgs: %S | ",
    "RunProgramAsUser failed, iRet:%d, ExecPath:%S, ExecArgs:%S | ",
    "RunProgram, When: %s, ExecPath: %S, ExecArgs: %S | ",
    "RunProgram failed, iRet:%d, ExecPath:%S, ExecArgs:%S | ",
};

void RunExec(const ExecRule& rule, const std::string& phase, const ExecTexts& texts) {
  const wchar_t* program = rule.program.c_str();
  const wchar_t* args = rule.args.c_str();
  VLOG_INFO(rule.asUser ? texts.runAsUser : texts.run, phase.c_str(), program, args);
  HANDLE raw = nullptr;
  const int result = rule.asUser ? CProgram::RunProgramAsUser(rule.program, rule.args, &raw)
                                 : CProgram::RunProgram(rule.program, rule.args, &raw);
  UniqueHandle process(raw);
  if (result != 0) {
    VLOG_ERROR(rule.asUser ? texts.runAsUserFailed : texts.runFailed, result, program, args);
    return;
  }
  if (!rule.wait || phase == kRestartAppPhase) return;
  if (WaitForSingleObject(process.get(), rule.waitMs) != WAIT_TIMEOUT || !rule.stopWhenLate) return;
  // Stop the very process started here: another one of the same name may be the user's.
  VLOG_WARN("RunProgram, %S still runs after %lu ms, stopped", program, rule.waitMs);
  if (TerminateProcess(process.get(), 0)) {
    WaitForSingleObject(process.get(), INFINITE);
  } else {
    VLOG_ERROR("RunProgram, TerminateProcess %S failed, err %lu", program, GetLastError());
  }
}

void RunDllCall(const std::wstring& productFolder, const std::wstring& dll, const std::wstring& exportName) {
  if (!CUpdateEngEx::DllCall(HostProgramIn(productFolder), dll, exportName)) {
    VLOG_ERROR("DllCall failed, ExecPath: %S, ExecArgs: %S | ", dll.c_str(), exportName.c_str());
  }
}

}  // namespace

void CUpdateEngEx::DoRunruleInAddList(const std::string& phase, int /*unused*/) {
  VLOG_INFO("DoRunruleInAddList, When %s", phase.c_str());
  for (const RunRuleRecord& rule : addList.runRules) {
    if (FindAttribute(rule.attributes, "when") == phase) RunAddListRule(rule, phase);
  }
}

void CUpdateEngEx::DoRunruleInDeleteList(const std::string& phase) {
  for (auto rule = deleteList.runRules.rbegin(); rule != deleteList.runRules.rend(); ++rule) {
    if (FindAttribute(rule->attributes, "when") == phase) RunDeleteListRule(*rule, phase);
  }
}

void CUpdateEngEx::RunAddListRule(const RunRuleRecord& rule, const std::string& phase) {
  const std::wstring folder = newProduct.productFolder;
  ExecRule exec;
  exec.program = folder + L"\\" + Utf8ToWide(FindAttribute(rule.attributes, "executable"));
  if (!PathExists(exec.program)) return;
  exec.args = Utf8ToWide(AttributeOr(rule, "args", ""));
  exec.asUser = AttributeOr(rule, "runMode", "") == "asUser";
  exec.wait = LowerAscii(AttributeOr(rule, "bwaitend", "")) == "true";
  exec.waitMs = kAddListWaitMs;
  const std::string cmd = AttributeOr(rule, "cmd", "");
  if (cmd == "EXEC") {
    RunExec(exec, phase, kAddListTexts);
  } else if (cmd == "DLLCALL") {
    VLOG_INFO("DLLCALL, When: %s, ExecPath:%S, ExecArgs:%S ", phase.c_str(), exec.program.c_str(), exec.args.c_str());
    RunDllCall(folder, exec.program, exec.args);
  } else if (cmd == "KILL") {
    KillProgram(FileNameOf(exec.program));
  }
}

void CUpdateEngEx::RunDeleteListRule(const RunRuleRecord& rule, const std::string& phase) {
  const std::wstring folder = installedProduct.productFolder;
  const std::wstring executable = Utf8ToWide(FindAttribute(rule.attributes, "executable"));
  ExecRule exec;
  exec.program = folder + L"\\" + executable;
  if (!PathExists(exec.program)) {
    VLOG_ERROR("----------Not exist: DoRunruleInDeleteList, When: %s, ExecPath: %S | ", phase.c_str(),
               executable.c_str());
    return;
  }
  exec.args = Utf8ToWide(AttributeOr(rule, "args", ""));
  exec.asUser = AttributeOr(rule, "runMode", "asAdmin") == "asUser";
  exec.wait = AttributeOr(rule, "bwaitend", "true") == "true";
  exec.waitMs = kDeleteListWaitMs;
  exec.stopWhenLate = true;
  const std::string cmd = AttributeOr(rule, "cmd", "EXEC");
  if (cmd == "EXEC") {
    RunExec(exec, phase, kDeleteListTexts);
  } else if (cmd == "DLLCALL") {
    VLOG_INFO("DLLCALL, When: %s, ExecPath:%S, ExecArgs:%S | ", phase.c_str(), exec.program.c_str(), exec.args.c_str());
    RunDllCall(folder, exec.program, exec.args);
  } else if (cmd == "KILL") {
    KillProgram(FileNameOf(exec.program));
  }
}

bool CUpdateEngEx::DllCall(const std::wstring& hostProgram, const std::wstring& dll, const std::wstring& exportName) {
  if (IsPE64(dll)) {
    HANDLE raw = nullptr;
    const int result = RunProgram(hostProgram, L" /c \"" + dll + L"\" " + exportName, &raw);
    UniqueHandle host(raw);
    if (result != 0) return false;  // RunProgram logged it
    WaitForSingleObject(host.get(), INFINITE);
    return true;
  }
  HMODULE module = LoadLibraryExW(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!module) {
    VLOG_ERROR("DllCall, LoadLibraryEx %S failed, err %lu", dll.c_str(), GetLastError());
    return false;
  }
  const FARPROC function = GetProcAddress(module, WideToAnsi(exportName).c_str());
  if (function) {
    reinterpret_cast<void(WINAPI*)()>(reinterpret_cast<void*>(function))();  // its result is not read
  } else {
    VLOG_ERROR("DllCall, GetProcAddress %S in %S failed", exportName.c_str(), dll.c_str());
  }
  FreeLibrary(module);
  return function != nullptr;
}
