// Helpers of the engine tests: private folders, files with set times, fixtures, and a
// prompt that records the load errors the engine reports.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/job/prompt.h"
#include "engine/parser/product_config.h"
#include "support_files.h"

// A folder under %TEMP% of its own, removed with everything in it at the end.
class TempFolder : public testsupport::TempFolder {
 public:
  TempFolder();
};

std::wstring FixturePath(const std::wstring& relative);  // under tests/engine/fixtures
using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;                              // creates missing folders
void SetWriteTimeMs(const std::wstring& path, int64_t timeMs);  // milliseconds since 1970 UTC
void CopyTree(const std::wstring& from, const std::wstring& to);

struct RecordingPrompt : IInstallUIPromptEx {
  void OnMessageA(std::string message, int code) override {
    messages.push_back(message);
    codes.push_back(code);
  }
  std::vector<std::string> messages;
  std::vector<int> codes;
};

// Components of a configuration folder, loaded through ParseComponentConfigs; errors land in prompt.
struct LoadedComponents {
  int result = 0;
  ProductConfig product;
  RecordingPrompt prompt;
  void Load(const std::wstring& configFolder, const std::wstring& list) {
    product.configFolder = configFolder + L"\\";
    product.errorSink = &prompt;
    result = product.ParseComponentConfigs(list);
  }
};
// Writes folder\package\<fileName> = xml and loads it.
void LoadComponentText(const TempFolder& folder, const std::string& xml, LoadedComponents& out,
                       const std::wstring& fileName = L"c.config");

std::wstring W(const std::string& utf8);
std::string U(const std::wstring& wide);
