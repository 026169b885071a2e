// Helpers of the update-engine tests: private folders and registry keys, the helper programs
// and DLLs built beside the tests, the restart list, the log and a recording progress window.
// Checks go through the plain Windows API, never through the code under test.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/parser/component_records.h"
#include "engine/prompt.h"

namespace updtest {

// "Suite_Test_<pid>": unique to the running test and process.
std::wstring UniqueName();

// A new folder under %TEMP% named after the test (blank and Chinese characters included),
// removed with everything in it at the end.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& suffix = L" \u6e38\u620f");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }
  std::wstring operator/(const std::wstring& relative) const { return path_ + L"\\" + relative; }

 private:
  std::wstring path_;
};

void WriteFileBytes(const std::wstring& path, const std::string& bytes);  // makes missing folders
std::string ReadFileBytes(const std::wstring& path);
bool Exists(const std::wstring& path);
void MakeFolder(const std::wstring& path);
void RemoveTree(const std::wstring& path);
// Last-write time of a file in milliseconds since 1970 UTC; -1 when unreadable.
int64_t WriteTimeMs(const std::wstring& path);
int64_t AccessTimeMs(const std::wstring& path);

// A helper built beside the test program: "update_child.exe", "update_com_server.dll",
// "update_export.dll".
std::wstring Helper(const std::wstring& name);
// Copies a helper to path (folders made).
void InstallHelper(const std::wstring& name, const std::wstring& path);
// A file that IsPE64 takes for a 64-bit x86 image (headers only).
void WriteFakePe64(const std::wstring& path);

// The lines a child program wrote to its log: each "start\t<command line>\t<folder>" or
// "end\t<program>".
std::vector<std::wstring> ChildLog(const std::wstring& logPath);
// Waits (bounded) until the log holds at least count lines.
std::vector<std::wstring> WaitForChildLog(const std::wstring& logPath, size_t count);

// A process started by the test itself (the child, sleeping), ended at the latest by the destructor.
class RunningChild {
 public:
  RunningChild(const std::wstring& program, const std::wstring& args);
  ~RunningChild();
  RunningChild(const RunningChild&) = delete;
  RunningChild& operator=(const RunningChild&) = delete;
  bool running() const;
  DWORD id() const { return info_.dwProcessId; }
  HANDLE handle() const { return info_.hProcess; }

 private:
  PROCESS_INFORMATION info_ = {};
};
bool IsProcessRunning(DWORD id);
// Ends a process the test started through the code under test (found by id).
void EndProcess(DWORD id);
// The id of the first running process with this file name (no folder); 0 when none.
DWORD ProcessIdByName(const std::wstring& fileName);

// Makes sure the desktop shell ("explorer.exe") runs: Wine starts it on first use of the
// desktop window (an X display is needed).
void StartDesktopShell();

// A file held open without share-delete: deleting or renaming it fails while this lives.
class LockedFile {
 public:
  explicit LockedFile(const std::wstring& path);
  ~LockedFile();
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;
  bool ok() const { return handle_ != INVALID_HANDLE_VALUE; }
  void Close();

 private:
  HANDLE handle_;
};

// PendingFileRenameOperations as (source, target) pairs, "\??\" and "!" removed; an empty
// target is a deletion.
std::vector<std::pair<std::wstring, std::wstring>> PendingRenames();
bool IsPendingRename(const std::wstring& source, const std::wstring& target);  // ignoring case

// Registry reads and clean-up through the plain API. view: 0, KEY_WOW64_32KEY, KEY_WOW64_64KEY.
bool ReadRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD* type, std::vector<BYTE>* data,
             REGSAM view = 0);
std::wstring ReadText(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view = 0);  // "<missing>"
DWORD ReadNumber(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view = 0);  // 0xDEADBEEF
void WriteRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type, const void* data,
              DWORD bytes, REGSAM view = 0);
bool KeyExists(HKEY root, const std::wstring& subkey, REGSAM view = 0);
void DeleteRegTree(HKEY root, const std::wstring& subkey, REGSAM view = 0);

// Records as the component loader makes them: attributes from name-value pairs.
AttributeMap Attributes(std::initializer_list<std::pair<const char*, std::string>> pairs);
std::string U8(const std::wstring& wide);

// The progress window: every call as text, "P step delta detail" or "X step done total detail parts".
struct RecordingPrompt : IInstallUIPromptEx {
  void OnProgress(int step, int delta, std::wstring detail) override;
  void OnProgressEx(int step, int done, int total, std::wstring detail, int parts) override;
  std::vector<std::wstring> calls;
};

// Points the process-wide logger at a folder of its own; Text() is everything logged so far.
class LogCapture {
 public:
  LogCapture();
  std::string Text();

 private:
  TempFolder folder_;
};

// COM on the test's thread, as the job's thread has it.
struct ComScope {
  ComScope() { CoInitialize(nullptr); }
  ~ComScope() { CoUninitialize(); }
};

}  // namespace updtest
