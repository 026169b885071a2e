// The host side of a benchmark: Wine starts a host program but cannot wait for it, so every
// host command ends by writing a result file into the work folder, which the benchmark polls.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "common/sys/text_convert.h"

// The whole file; empty when it cannot be read.
inline std::string ReadText(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return std::string();
  std::string text;
  char block[4096];
  size_t read = 0;
  while ((read = fread(block, 1, sizeof block, file)) > 0) text.append(block, read);
  fclose(file);
  return text;
}

// Z:\a\b -> /a/b
inline std::string UnixPath(const std::wstring& path) {
  std::string unix = WideToUtf8(path.substr(2));
  std::replace(unix.begin(), unix.end(), '\\', '/');
  return unix;
}

// Starts "python3 <script> <arguments>" on the host, its output appended to work\host.log.
inline bool StartHostScript(const std::string& script, const std::wstring& work, const std::string& arguments) {
  std::wstring line = L"/bin/sh -c \"exec python3 '" + Utf8ToWide(script) + L"' " +
                      Utf8ToWide(arguments + " >>'" + UnixPath(work) + "/host.log' 2>&1") + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    printf("cannot start the host script, err %lu\n", GetLastError());
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The text of work\name once the host script wrote it; empty when the script failed
// (work\host-error.json) or wrote nothing within waitMs.
inline std::string WaitForHostFile(const std::wstring& work, const std::wstring& name, DWORD waitMs) {
  for (DWORD waited = 0; waited < waitMs; waited += 100) {
    const std::string text = ReadText(work + L"\\" + name);
    if (!text.empty()) return text;
    const std::string error = ReadText(work + L"\\host-error.json");
    if (!error.empty()) {
      printf("host script failed: %s\n", error.c_str());
      return std::string();
    }
    Sleep(100);
  }
  printf("no %ls from the host script after %lu s\n", name.c_str(), waitMs / 1000);
  return std::string();
}

// Runs "<script> <command> <work> <arguments>" on the host until it writes work\result (see
// the benchmark's bench_host.py); false when it failed or wrote nothing within waitMs.
inline bool RunHostCommand(const std::string& script, const std::wstring& work, const std::string& command,
                           const std::wstring& result, DWORD waitMs, const std::string& arguments = std::string()) {
  // An error file left by an earlier command would be taken for this one's.
  DeleteFileW((work + L"\\host-error.json").c_str());
  DeleteFileW((work + L"\\" + result).c_str());
  return StartHostScript(script, work, command + " '" + UnixPath(work) + "'" + arguments) &&
         !WaitForHostFile(work, result, waitMs).empty();
}
