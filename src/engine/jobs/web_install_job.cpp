#include "engine/jobs/web_install_job.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

#include "common/log/vlog.h"
#include "common/sys/text_convert.h"
#include "common/sys/unique_handles.h"
#include "engine/job/prompt.h"
#include "engine/jobs/update_search.h"
#include "engine/net/segment_downloader.h"
#include "engine/update/program.h"

namespace {

const wchar_t kDownloadFolderName[] = L"~ZQDownload";
const wchar_t kDownloadFailed[] = L"\u4e0b\u8f7d\u5931\u8d25";  // "下载失败"
const wchar_t kInstallFailed[] = L"\u5b89\u88c5\u5931\u8d25";   // "安装失败"
const wchar_t kSilentArgs[] = L"/silent /norestart";
constexpr unsigned int kSegments = 4;
constexpr int kStepInstallProduct = 29;

int Fail(IInstallUIPromptEx* prompt, const wchar_t* message, int result) {
  if (prompt) prompt->OnMessage(message, 0);
  return result;
}

int OpenPackage(const std::wstring& target, IInstallUIPromptEx* prompt) {
  const HINSTANCE opened = ShellExecuteW(nullptr, L"open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(opened) <= 32) {
    VLOG_ERROR("In_WebInstall, ShellExecute open %S fail, ret %d", target.c_str(),
               static_cast<int>(reinterpret_cast<INT_PTR>(opened)));
    return Fail(prompt, kInstallFailed, -3);
  }
  return 0;
}

int RunPackage(const std::wstring& target, IInstallUIPromptEx* prompt) {
  HANDLE raw = nullptr;
  const int started = CProgram::RunProgram(target, kSilentArgs, &raw);
  UniqueHandle process(raw);
  if (started != 0) {
    VLOG_ERROR("In_WebInstall, RunProgram fail, file %S arg /silent err %d", target.c_str(), started);
    return Fail(prompt, kInstallFailed, -3);
  }
  if (prompt) prompt->OnProgressEx(kStepInstallProduct, 0, 100, L"", 100);
  WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 0;
  if (!GetExitCodeProcess(process.get(), &exitCode)) {
    VLOG_ERROR("In_WebInstall, GetExitCodeProcess fail, file %S err %lu", target.c_str(), GetLastError());
    return Fail(prompt, kInstallFailed, -4);
  }
  if (exitCode != 0) {
    VLOG_ERROR("In_WebInstall, setup failed, file %S exit code %lu", target.c_str(), exitCode);
    return Fail(prompt, kInstallFailed, -4);
  }
  VLOG_INFO("In_WebInstall, setup done, file %S", target.c_str());
  if (prompt) prompt->OnFinish(nullptr, 0);
  return 0;
}

}  // namespace

std::wstring DownloadSpeedText(double bytesPerSecond) {
  const wchar_t* unit = L"B";
  double speed = bytesPerSecond;
  if (bytesPerSecond > 1048576.0) {
    unit = L"M";
    speed = bytesPerSecond * (1.0 / 1048576.0);
  } else if (bytesPerSecond > 1024.0) {
    unit = L"kB";
    speed = bytesPerSecond * (1.0 / 1024.0);
  }
  wchar_t text[100] = {};
  swprintf(text, 100, L"\uff0c\u901f\u5ea6\uff1a%.2f%ls", speed, unit);  // "，速度："
  return text;
}

int RunWebInstallJob(OpePARAMEx& record, const JobServices& services) {
  IInstallUIPromptEx* prompt = services.prompt;
  PackageInfo package;
  const int found = services.getDownloadUrl(package);
  if (found != 0) {
    VLOG_ERROR("In_WebInstall, GetDownloadUrl fail, nret %d", found);
    return Fail(prompt, kDownloadFailed, -1);
  }
  record.tempDir = services.createTempInstallDir(kDownloadFolderName);
  const std::wstring target = record.tempDir + L"\\" + Utf8ToWide(package.fileName);
  bool downloaded = false;
  {
    CSegmentDownloader downloader(package.url, package.url, target, package.md5, services.downloadProgress, &record,
                                  kSegments);
    downloaded = downloader.Download();
  }
  if (!downloaded) {
    VLOG_ERROR("In_WebInstall, download fail, url %s file %S", package.url.c_str(), target.c_str());
    return Fail(prompt, kDownloadFailed, -2);
  }
  if (record.mode == OpePARAMEx::CMD_WEB_INSTALL) return OpenPackage(target, prompt);
  return RunPackage(target, prompt);
}
