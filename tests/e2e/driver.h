// Drives a running setup program as a person would: posted mouse clicks on named controls,
// and the window's state read back through its test dump ("TAMSEL_UI_STATE_DUMP").
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace e2e {

struct ControlState {
  std::string cls;
  std::string text;
  bool visible = false;  // its own flag
  bool shown = false;    // it and every parent visible
  bool enabled = false;
  RECT pos = {};
  int value = -1;     // progress bars
  int selected = -1;  // options: 0 or 1
};

// The named controls of one window at one moment.
class UiState {
 public:
  bool Has(const std::string& name) const { return controls_.count(name) != 0; }
  // The control, or a failed expectation and an empty record.
  const ControlState& operator[](const std::string& name) const;
  std::map<std::string, ControlState> controls_;
  std::string commonControls;  // the file of the common controls the program runs with
};

// The finished sample setup program of this build.
std::wstring SampleSetupPath();
// Artifacts of this build: <build>/artifacts/e2e/<name>.
std::wstring ArtifactPath(const std::wstring& name);

class AppDriver {
 public:
  AppDriver();
  ~AppDriver();  // ends the program when it still runs

  // Starts program with args (the dump hook enabled); false when it cannot start.
  bool Launch(const std::wstring& program, const std::wstring& args);
  // The program's visible top-level window of this class, or null after timeoutMs. A framework
  // window (dumpable) is returned once it has been laid out, so its controls can be clicked.
  HWND WaitWindow(const wchar_t* windowClass, DWORD timeoutMs = 60000, bool dumpable = true);
  // True when the program has no window of this class (any more) within timeoutMs.
  bool WaitWindowGone(const wchar_t* windowClass, DWORD timeoutMs = 30000);
  // The window's state now; with picture, its image is copied to ArtifactPath(pictureName).
  UiState Dump(HWND window, const wchar_t* windowClass, const std::wstring& pictureName = L"");
  // Polls the state until check(state) holds; the last state read is returned either way.
  template <class Check>
  UiState WaitState(HWND window, const wchar_t* windowClass, Check check, DWORD timeoutMs = 60000);
  // A left click at the centre of the named control (as read in state).
  void Click(HWND window, const UiState& state, const std::string& name);
  // The program's exit code, or STILL_ACTIVE after timeoutMs.
  DWORD WaitExit(DWORD timeoutMs = 60000);
  DWORD ProcessId() const { return pi_.dwProcessId; }
  // Selects folder in the program's folder dialog, as the dialog's owner would
  // (BFFM_SETSELECTIONW with the path written into the program's memory).
  bool SelectFolder(HWND dialog, const std::wstring& folder);

 private:
  PROCESS_INFORMATION pi_ = {};
  std::wstring dumpDir_;
  unsigned seq_ = 0;
};

// Runs a program to its end without the state dump (a driver's dump folder is per test and
// would be removed with a second driver). Its exit code, or STILL_ACTIVE after timeoutMs.
DWORD RunToEnd(const std::wstring& program, const std::wstring& args, DWORD timeoutMs = 180000);

// The setup programs' log lines written since the given moment (GetSystemTimeAsFileTime):
// every log file under %TEMP%\WJInstallLog changed since then, one after another.
std::string LogTextSince(const FILETIME& since);

// The setup program's state dump message (registered by name).
UINT DumpMessage();
// Ends every process whose file name is name (the launched client, say); how many.
int KillProcessesNamed(const std::wstring& name);

template <class Check>
UiState AppDriver::WaitState(HWND window, const wchar_t* windowClass, Check check, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  UiState state;
  do {
    state = Dump(window, windowClass);
    if (check(state)) return state;
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs && IsWindow(window));
  return state;
}

}  // namespace e2e
