// Helpers of the engine tests: private temp folders, files with set times, fixtures,
// and a progress interface that records what the engine reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/parser/product_config.h"
#include "engine/prompt.h"

// A folder under %TEMP% of its own, removed with everything in it at the end.
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

// A fixture under tests/engine/fixtures, as a Windows path.
std::wstring FixturePath(const std::wstring& relative);

// Writes the bytes, creating missing folders.
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
std::string ReadFileBytes(const std::wstring& path);
// Sets the last-write time, in milliseconds since 1970 UTC.
void SetWriteTimeMs(const std::wstring& path, int64_t timeMs);
void CopyTree(const std::wstring& from, const std::wstring& to);
void DeleteTree(const std::wstring& path);

struct RecordingPrompt : IInstallUIPromptEx {
  void OnMessageA(std::string message, int code) override {
    messages.push_back(message);
    codes.push_back(code);
  }
  std::vector<std::string> messages;
  std::vector<int> codes;
};

// A product whose configuration folder holds "package\<file>" = xml, loaded through
// ParseComponentConfigs(list); the errors land in prompt.
struct LoadedComponents {
  int result = 0;
  ProductConfig product;
  RecordingPrompt prompt;
};
void LoadComponentText(const TempFolder& folder, const std::string& xml, LoadedComponents& out,
                       const std::wstring& fileName = L"c.config");

std::wstring W(const std::string& utf8);
std::string U(const std::wstring& wide);
