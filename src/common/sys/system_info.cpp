#include "common/sys/system_info.h"

#include <windows.h>

#include "common/log/vlog.h"

namespace {

std::wstring LanguageCodeOf(LCID lcid) {
  switch (lcid) {
    case 0x0804:
      return L"0804";
    case 0x0404:
      return L"0404";
    case 0x0409:
      return L"0409";
    default:
      return std::wstring();
  }
}

std::wstring ArchitectureOf(WORD processorArchitecture) {
  switch (processorArchitecture) {
    case PROCESSOR_ARCHITECTURE_INTEL:
      return L"x86";
    case PROCESSOR_ARCHITECTURE_IA64:
      return L"ia64";
    case PROCESSOR_ARCHITECTURE_AMD64:
      return L"x64";
    default:
      return L"unknown";
  }
}

// Looked up at run time: the native answer, not the one a compatibility layer gives the process.
std::wstring NativeArchitecture() {
  using GetNativeSystemInfoFn = void(WINAPI*)(LPSYSTEM_INFO);
  auto getNative = reinterpret_cast<GetNativeSystemInfoFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo")));
  if (!getNative) return L"x86";
  SYSTEM_INFO info{};
  getNative(&info);
  return ArchitectureOf(info.wProcessorArchitecture);
}

}  // namespace

SystemInfo::SystemInfo() {
  languageCode_ = LanguageCodeOf(GetSystemDefaultLCID());

  using RtlGetNtVersionNumbersFn = void(WINAPI*)(DWORD*, DWORD*, DWORD*);
  auto getVersion = reinterpret_cast<RtlGetNtVersionNumbersFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetNtVersionNumbers")));
  if (getVersion) {
    DWORD major = 0, minor = 0, build = 0;
    getVersion(&major, &minor, &build);
    majorVersion_ = major;
    versionText_ = std::to_wstring(major) + L"." + std::to_wstring(minor);
  } else {
    VLOG_ERROR("SystemInfo, RtlGetNtVersionNumbers not found, the Windows version stays unknown");
  }

  architecture_ = NativeArchitecture();
}

const SystemInfo& SystemInfo::GetInstance() {
  static const SystemInfo instance;
  return instance;
}
