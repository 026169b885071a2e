// pkgprobe.exe: a small setup image for the package tests. Once packages are appended to
// it, it reads its own file through SetupPkg::GetInstance and extracts them:
//   pkgprobe <folder> <report>
// package #1 (ExtractAllSetupFiles) into <folder>\setup, package #0 (ExtractAllProgramFiles)
// into <folder>\program. The report holds key=value lines: the results, the product
// description's name, package #0's unpacked size and the process's peak memory. Exit code:
// 0 when both extractions succeeded, 3 for a KvException, 4 for a failed extraction, 1 for
// a bad command line.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <string>

#include "common/sys/text_convert.h"
#include "engine/package/setup_pkg.h"

namespace {

std::wstring Backslashed(std::wstring path) {
  for (wchar_t& c : path) {
    if (c == L'/') c = L'\\';
  }
  return path;
}

void WriteReport(const std::wstring& path, const std::string& text) {
  FILE* file = _wfopen(path.c_str(), L"wb");
  if (file == nullptr) return;
  std::fwrite(text.data(), 1, text.size(), file);
  std::fclose(file);
}

std::string MemoryLines() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return "";
  return "peak_working_set=" + std::to_string(counters.PeakWorkingSetSize) + "\n" +
         "peak_pagefile=" + std::to_string(counters.PeakPagefileUsage) + "\n";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: pkgprobe <folder> <report>\n");
    return 1;
  }
  const std::wstring folder = Backslashed(argv[1]);
  const std::wstring report = argv[2];
  SetupPkg* pkg = nullptr;
  try {
    pkg = &SetupPkg::GetInstance();
  } catch (const KvException& e) {
    WriteReport(report, "kv_exception=" + std::to_string(e.code()) + "\nwhat=" + e.what() + "\n");
    return 3;
  }
  std::wstring productConfig;
  const int setup = pkg->ExtractAllSetupFiles(folder + L"\\setup", productConfig);
  const int program = pkg->ExtractAllProgramFiles(folder + L"\\program");
  std::string text = "packages=" + std::to_string(pkg->Packages().size()) + "\n";
  text += "setup=" + std::to_string(setup) + "\n";
  text += "product_config=" + WideToUtf8(productConfig) + "\n";
  text += "program=" + std::to_string(program) + "\n";
  text += "unpacked=" + std::to_string(ProgramPackageUnpackedSize) + "\n";
  text += MemoryLines();
  WriteReport(report, text);
  return setup == 0 && program == 0 ? 0 : 4;
}
