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

#include "engine/job/prompt.h"
#include "engine/parser/component_records.h"
#include "support_files.h"
#include "support_registry.h"
#include "support_text.h"

namespace updtest {

using testsupport::AccessTimeMs;
using testsupport::Exists;
using testsupport::MakeFolder;
using testsupport::ReadFileBytes;  // "<missing>" when it cannot be opened
using testsupport::RemoveTree;
using testsupport::UniqueName;
using testsupport::Utf8;
using testsupport::WriteFileBytes;
using testsupport::WriteTimeMs;

// A new folder under %TEMP% named after the test (blank and Chinese characters included),
// removed with everything in it at the end.
class TempFolder : public testsupport::TempFolder {
 public:
  explicit TempFolder(const std::wstring& suffix = L" \u6e38\u620f")
      : testsupport::TempFolder(testsupport::TempRoot() + L"\\upd " + UniqueName() + suffix) {}
};

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

using testsupport::PendingRenames;
bool IsPendingRename(const std::wstring& source, const std::wstring& target);  // ignoring case

// Registry reads and clean-up through the plain API. view: 0, KEY_WOW64_32KEY, KEY_WOW64_64KEY.
using testsupport::DeleteRegTree;
using testsupport::KeyExists;
using testsupport::ReadRegValue;
std::wstring ReadText(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view = 0);  // "<missing>"
DWORD ReadNumber(HKEY root, const std::wstring& subkey, const std::wstring& name, REGSAM view = 0);       // 0xDEADBEEF
void WriteRaw(HKEY root, const std::wstring& subkey, const std::wstring& name, DWORD type, const void* data,
              DWORD bytes, REGSAM view = 0);

// Records as the component loader makes them: attributes from name-value pairs.
AttributeMap Attributes(std::initializer_list<std::pair<const char*, std::string>> pairs);

// The progress window: every call as text, "P step delta detail" or "X step done total detail parts".
struct RecordingPrompt : IInstallUIPromptEx {
  void OnProgress(int step, int delta, std::wstring detail) override;
  void OnProgressEx(int step, int done, int total, std::wstring detail, int parts) override;
  std::vector<std::wstring> calls;
};

// Everything the logger wrote into a folder (recursively), after draining its queue.
std::string LogText(const std::wstring& folder);

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
