// The few facts about the running Windows that the engine consults, read once per process.
#pragma once

#include <cstdint>
#include <string>

class SystemInfo {
 public:
  // The process-wide object, built on first use (thread-safe) and kept until process exit.
  static const SystemInfo& GetInstance();

  // Major and minor version in decimal joined by "." ("6.1", "10.0"); empty when unknown.
  const std::wstring& VersionText() const { return versionText_; }
  // The Windows major version (0 when unknown).
  uint32_t MajorVersion() const { return majorVersion_; }
  // "x86", "x64", "ia64" or "unknown": the machine's, not the process's.
  const std::wstring& Architecture() const { return architecture_; }
  // "0804", "0404", "0409" from the system default locale; empty for any other locale.
  const std::wstring& LanguageCode() const { return languageCode_; }

  SystemInfo(const SystemInfo&) = delete;
  SystemInfo& operator=(const SystemInfo&) = delete;

 private:
  SystemInfo();

  std::wstring versionText_;
  uint32_t majorVersion_ = 0;
  std::wstring architecture_;
  std::wstring languageCode_;
};
