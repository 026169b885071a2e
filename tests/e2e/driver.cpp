#include "driver.h"

#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "support_files.h"
#include "support_text.h"
#include "zqpm_test_support.h"

namespace e2e {

using namespace testsupport;

namespace {

std::wstring BuildDir() {
  char value[1024] = {};
  const DWORD n = GetEnvironmentVariableA("TAMSEL_BUILD_DIR", value, sizeof(value));
  std::wstring path = L"Z:";
  for (DWORD i = 0; i < n; ++i) path += value[i] == '/' ? L'\\' : static_cast<wchar_t>(value[i]);
  return path;
}

struct FoundWindow {
  DWORD pid;
  const wchar_t* cls;
  HWND hwnd;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM param) {
  auto* found = reinterpret_cast<FoundWindow*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[128] = {};
  GetClassNameW(hwnd, cls, 128);
  if (pid == found->pid && wcscmp(cls, found->cls) == 0 && IsWindowVisible(hwnd)) {
    found->hwnd = hwnd;
    return FALSE;
  }
  return TRUE;
}

HWND FindProcessWindow(DWORD pid, const wchar_t* cls) {
  FoundWindow found = {pid, cls, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

UiState Parse(const std::string& text) {
  UiState state;
  const auto dump = nlohmann::json::parse(text);
  state.commonControls = dump.value("commonControls", "");
  for (const auto& item : dump.at("controls")) {
    ControlState control;
    control.cls = item.at("class").get<std::string>();
    control.text = item.at("text").get<std::string>();
    control.visible = item.at("visible").get<bool>();
    control.shown = item.at("shown").get<bool>();
    control.enabled = item.at("enabled").get<bool>();
    const auto& pos = item.at("pos");
    control.pos = {pos[0].get<int>(), pos[1].get<int>(), pos[2].get<int>(), pos[3].get<int>()};
    if (item.contains("value")) control.value = item["value"].get<int>();
    if (item.contains("selected")) control.selected = item["selected"].get<bool>() ? 1 : 0;
    state.controls_[item.at("name").get<std::string>()] = control;
  }
  return state;
}

}  // namespace

const ControlState& UiState::operator[](const std::string& name) const {
  static const ControlState none;
  auto it = controls_.find(name);
  EXPECT_NE(it, controls_.end()) << "no control named " << name;
  return it == controls_.end() ? none : it->second;
}

std::wstring SampleSetupPath() {
  const std::wstring out = BuildDir() + L"\\out\\";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((out + L"*.exe").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return std::wstring();
  FindClose(find);
  return out + data.cFileName;
}

std::wstring ArtifactPath(const std::wstring& name) {
  const std::wstring dir = BuildDir() + L"\\artifacts\\e2e";
  MakeFolder(dir);
  return dir + L"\\" + name;
}

UINT DumpMessage() { return RegisterWindowMessageW(L"TamselUiStateDump"); }

DWORD RunToEnd(const std::wstring& program, const std::wstring& args, DWORD timeoutMs) {
  std::wstring commandLine = L"\"" + program + L"\" " + args;
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return STILL_ACTIVE;
  }
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

std::string LogTextSince(const FILETIME& since) {
  ULARGE_INTEGER ticks;
  ticks.LowPart = since.dwLowDateTime;
  ticks.HighPart = since.dwHighDateTime;
  const int64_t sinceMs = static_cast<int64_t>((ticks.QuadPart - 116444736000000000ULL) / 10000);
  const std::wstring folder = TempRoot() + L"\\WJInstallLog";
  std::string text;
  for (const std::wstring& file : zqtest::ListFiles(folder)) {
    if (WriteTimeMs(folder + L"\\" + file) >= sinceMs) text += ReadFileBytes(folder + L"\\" + file);
  }
  return text;
}

AppDriver::AppDriver() : dumpDir_(TempRoot() + L"\\dump-" + UniqueName()) { MakeFolder(dumpDir_); }

AppDriver::~AppDriver() {
  if (pi_.hProcess != nullptr) {
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi_.hProcess, 99);
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
  RemoveTree(dumpDir_);
}

bool AppDriver::Launch(const std::wstring& program, const std::wstring& args) {
  SetEnvironmentVariableW(L"TAMSEL_UI_STATE_DUMP", dumpDir_.c_str());
  std::wstring commandLine = L"\"" + program + L"\"" + (args.empty() ? L"" : L" " + args);
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  const BOOL started =
      CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
  SetEnvironmentVariableW(L"TAMSEL_UI_STATE_DUMP", nullptr);
  return started != FALSE;
}

HWND AppDriver::WaitWindow(const wchar_t* windowClass, DWORD timeoutMs, bool dumpable) {
  const DWORD start = GetTickCount();
  do {
    if (HWND window = FindProcessWindow(pi_.dwProcessId, windowClass)) {
      if (!dumpable) return window;
      // Before the first paint nothing has a place yet.
      WaitState(
          window, windowClass,
          [](const UiState& state) {
            for (const auto& named : state.controls_) {
              if (named.second.pos.right > named.second.pos.left) return true;
            }
            return false;
          },
          timeoutMs);
      return window;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT);
  return nullptr;
}

bool AppDriver::WaitWindowGone(const wchar_t* windowClass, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    if (FindProcessWindow(pi_.dwProcessId, windowClass) == nullptr) return true;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return false;
}

UiState AppDriver::Dump(HWND window, const wchar_t* windowClass, const std::wstring& pictureName) {
  const unsigned seq = ++seq_;
  const std::wstring base = dumpDir_ + L"\\" + windowClass;
  if (!PostMessageW(window, DumpMessage(), seq, pictureName.empty() ? 0 : 1)) return UiState();
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 20000 && IsWindow(window)) {
    const std::string text = ReadFileBytes(base + L".json");
    if (!text.empty()) {
      const auto dump = nlohmann::json::parse(text, nullptr, false);
      if (!dump.is_discarded() && dump.value("seq", 0u) == seq) {
        if (!pictureName.empty()) {
          EXPECT_TRUE(dump.value("picture", false)) << Utf8(pictureName);
          CopyFileW((base + L".png").c_str(), ArtifactPath(pictureName).c_str(), FALSE);
        }
        return Parse(text);
      }
    }
    Sleep(20);
  }
  return UiState();
}

void AppDriver::Click(HWND window, const UiState& state, const std::string& name) {
  const ControlState& control = state[name];
  ASSERT_TRUE(control.shown) << name << " is not on screen";
  const LPARAM at = MAKELPARAM((control.pos.left + control.pos.right) / 2, (control.pos.top + control.pos.bottom) / 2);
  PostMessageW(window, WM_MOUSEMOVE, 0, at);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

// The dialog fills its tree and takes its first selection once shown: the choice is made after the
// program has gone idle, and the choice's own handling is let end before the caller presses OK.
bool AppDriver::SelectFolder(HWND dialog, const std::wstring& folder) {
  WaitForInputIdle(pi_.hProcess, 5000);
  const SIZE_T bytes = (folder.size() + 1) * sizeof(wchar_t);
  void* remote = VirtualAllocEx(pi_.hProcess, nullptr, bytes, MEM_COMMIT, PAGE_READWRITE);
  if (remote == nullptr) return false;
  const bool written = WriteProcessMemory(pi_.hProcess, remote, folder.c_str(), bytes, nullptr) != FALSE;
  DWORD_PTR result = 0;
  const bool sent = written && SendMessageTimeoutW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote),
                                                   SMTO_BLOCK, 10000, &result) != 0;
  VirtualFreeEx(pi_.hProcess, remote, 0, MEM_RELEASE);
  WaitForInputIdle(pi_.hProcess, 5000);
  return sent;
}

DWORD AppDriver::WaitExit(DWORD timeoutMs) {
  if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(pi_.hProcess, &code);
  return code;
}

int KillProcessesNamed(const std::wstring& name) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return 0;
  int killed = 0;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
    if (_wcsicmp(entry.szExeFile, name.c_str()) != 0) continue;
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID)) {
      TerminateProcess(process, 0);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
      ++killed;
    }
  }
  CloseHandle(snapshot);
  return killed;
}

}  // namespace e2e
