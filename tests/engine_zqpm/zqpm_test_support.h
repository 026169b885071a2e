// Helpers of the engine-object tests: private folders, plain file and registry reads through
// the Windows API, and a window stand-in that records every report it receives.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "engine/prompt.h"

namespace zqtest {

// A new folder under %TEMP% ("zq <test> 游戏 <pid>"), removed with its content at the end.
class TempFolder {
 public:
  TempFolder();
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
void RemoveTree(const std::wstring& path);
// Relative paths of every file under folder ("docs\readme.txt"), sorted.
std::vector<std::wstring> ListFiles(const std::wstring& folder);
// Last-write time in milliseconds since 1970 UTC; -1 when unreadable.
int64_t WriteTimeMs(const std::wstring& path);

// A registry value read in the 32-bit view: REG_SZ as its text, REG_DWORD as decimal text;
// "<missing>" when the key or value is absent.
std::wstring ReadValue32(HKEY root, const std::wstring& subkey, const std::wstring& name);
bool KeyExists32(HKEY root, const std::wstring& subkey);
void DeleteKey32(HKEY root, const std::wstring& subkey);

std::wstring W(const std::string& utf8);
std::string U(const std::wstring& wide);

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
