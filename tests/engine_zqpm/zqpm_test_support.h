// Helpers of the engine-object tests: private folders, plain file and registry reads through
// the Windows API, and a window stand-in that records every report it receives.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/job/prompt.h"
#include "support_files.h"
#include "support_registry.h"
#include "support_text.h"

namespace zqtest {

using testsupport::Exists;
using testsupport::ReadFileBytes;  // "<missing>" when it cannot be opened
using testsupport::RemoveTree;
using testsupport::Utf8;
using testsupport::Wide;
using testsupport::WriteFileBytes;
using testsupport::WriteTimeMs;

// A new folder under %TEMP% ("zq <test> 游戏 <pid>"), removed with its content at the end.
class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder();
};

// Relative paths of every file under folder ("docs\readme.txt"), sorted.
std::vector<std::wstring> ListFiles(const std::wstring& folder);

// A registry value read in the 32-bit view: REG_SZ as its text, REG_DWORD as decimal text;
// "<missing>" when the key or value is absent.
std::wstring ReadValue32(HKEY root, const std::wstring& subkey, const std::wstring& name);
inline bool KeyExists32(HKEY root, const std::wstring& subkey) {
  return testsupport::KeyExists(root, subkey, KEY_WOW64_32KEY);
}
inline void DeleteKey32(HKEY root, const std::wstring& subkey) {
  testsupport::DeleteRegTree(root, subkey, KEY_WOW64_32KEY);
}

// Records every report as one line of text: "P <step> <delta> <detail>",
// "X <step> <done>/<total> <parts> <detail>", "F", "M <text> <code>", "A <text>".
class RecordingPrompt : public IInstallUIPromptEx {
 public:
  void OnProgress(int step, int delta, std::wstring detail) override;
  void OnProgressEx(int step, int done, int total, std::wstring detail, int parts) override;
  void OnFinish(const char* text, int code) override;
  void NotifyUpdateWnd(std::string reply) override;
  void OnMessage(std::wstring message, int code) override;
  void OnMessageA(std::string message, int code) override;

  std::vector<std::string> Events();
  // Adds a line of the test's own (a state seen at a report).
  void Note(const std::string& line);
  // Called with each new line after it is stored, on the reporting thread.
  std::function<void(const std::string&)> onEvent;

 private:
  void Add(const std::string& line);
  std::mutex lock_;
  std::vector<std::string> events_;
};

}  // namespace zqtest
