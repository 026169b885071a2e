// Segmented download of a 200 MiB file from nginx on loopback: four ranges beside one
// stream under a per-request rate limit, and four ranges beside `aria2c -x4` unlimited,
// both over TLS with HTTP/2 and over plain HTTP/1.1. Ratios against anchors of the same
// run; nginx and aria2c run on the host through bench_host.py.
#include <windows.h>

#include <cstdio>
#include <string>

#include <nlohmann/json.hpp>

#include "engine/net/net_init.h"
#include "engine/net/segment_downloader.h"

namespace {

constexpr DWORD kHostWaitMs = 300000;

std::wstring Wide(const std::string& text) {
  int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring out(size, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size);
  return out;
}

std::string Utf8(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], size, nullptr, nullptr);
  return out;
}

// Z:\a\b -> /a/b
std::string UnixPath(const std::wstring& path) {
  std::string unix = Utf8(path.substr(2));
  for (char& c : unix) {
    if (c == '\\') c = '/';
  }
  return unix;
}

std::wstring WorkDir() {
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring bin = module;
  bin = bin.substr(0, bin.find_last_of(L'\\'));
  return bin.substr(0, bin.find_last_of(L'\\')) + L"\\bench-download";
}

std::string ReadText(const std::wstring& path) {
  FILE* file = _wfopen(path.c_str(), L"rb");
  if (!file) return std::string();
  std::string text;
  char block[4096];
  size_t read = 0;
  while ((read = fread(block, 1, sizeof block, file)) > 0) text.append(block, read);
  fclose(file);
  return text;
}

// Wine starts a host program but cannot wait for it: every host command ends by writing
// a result file, which the caller polls.
bool RunHost(const std::wstring& work, const std::string& arguments) {
  std::string log = UnixPath(work) + "/host.log";
  std::wstring command = L"/bin/sh -c \"exec python3 '" + Wide(TAMSEL_BENCH_HOST_SCRIPT) + L"' " + Wide(arguments) +
                         L" >>'" + Wide(log) + L"' 2>&1\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(L"Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    printf("cannot start the host script, err %lu\n", GetLastError());
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

nlohmann::json WaitForResult(const std::wstring& work, const std::wstring& name) {
  for (DWORD waited = 0; waited < kHostWaitMs; waited += 100) {
    std::string text = ReadText(work + L"\\" + name);
    if (!text.empty()) return nlohmann::json::parse(text);
    std::string error = ReadText(work + L"\\host-error.json");
    if (!error.empty()) {
      printf("host script failed: %s\n", error.c_str());
      return nullptr;
    }
    Sleep(100);
  }
  printf("no %ls from the host script after %lu s\n", name.c_str(), kHostWaitMs / 1000);
  return nullptr;
}

double Seconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One checked download; seconds, or -1 when it failed.
double TimeDownload(const std::string& url, const std::string& md5, unsigned int segments, const std::wstring& target) {
  LARGE_INTEGER begin, end;
  QueryPerformanceCounter(&begin);
  CSegmentDownloader downloader(url, url, target, md5, nullptr, nullptr, segments);
  bool ok = downloader.Download();
  QueryPerformanceCounter(&end);
  DeleteFileW(target.c_str());
  return ok ? Seconds(begin, end) : -1.0;
}

void PrintTime(const char* label, double seconds, double mib) {
  if (seconds < 0) {
    printf("  %-22s failed\n", label);
  } else {
    printf("  %-22s %7.2f s %8.1f MiB/s\n", label, seconds, mib / seconds);
  }
}

void PrintRatio(const char* label, double numerator, double denominator) {
  if (numerator > 0 && denominator > 0) printf("  %-22s %7.2f\n", label, numerator / denominator);
}

std::string Url(const nlohmann::json& ready, const char* scheme, const char* portKey) {
  return std::string(scheme) + "://127.0.0.1:" + std::to_string(ready[portKey].get<int>()) + "/" +
         ready["file"].get<std::string>();
}

}  // namespace

int main() {
  if (!NetGlobalInit()) return 1;
  const std::wstring work = WorkDir();
  CreateDirectoryW(work.c_str(), nullptr);
  DeleteFileW((work + L"\\host-error.json").c_str());
  for (const wchar_t* name : {L"ready.json", L"aria2-https.json", L"aria2-http.json"}) {
    DeleteFileW((work + L"\\" + name).c_str());
  }
  const std::string unixWork = UnixPath(work);
  if (!RunHost(work, "start '" + unixWork + "'")) return 1;
  nlohmann::json ready = WaitForResult(work, L"ready.json");
  if (ready.is_null()) return 1;

  const std::string md5 = ready["md5"];
  const double mib = ready["size"].get<double>() / (1024.0 * 1024.0);
  const std::wstring target = work + L"\\download.bin";
  printf("download: %.0f MiB from nginx on 127.0.0.1, MD5 checked\n", mib);

  struct Road {
    const char* title;
    const char* scheme;
    const char* limited;
    const char* unlimited;
    const char* aria2Tag;
  };
  for (const Road& road : {Road{"https (TLS, HTTP/2: four ranges on one connection)", "https", "https_limited", "https",
                                "aria2-https"},
                           Road{"http (HTTP/1.1: one connection per range)", "http", "http_limited", "http",
                                "aria2-http"}}) {
    printf("%s\n", road.title);
    const std::string limitedUrl = Url(ready, road.scheme, road.limited);
    const double one = TimeDownload(limitedUrl, md5, 1, target);
    const double four = TimeDownload(limitedUrl, md5, 4, target);
    PrintTime("limit 20 MB/s, 1 range", one, mib);
    PrintTime("limit 20 MB/s, 4 ranges", four, mib);
    PrintRatio("ratio speed 4/1", one, four);

    const std::string url = Url(ready, road.scheme, road.unlimited);
    const double ours = TimeDownload(url, md5, 4, target);
    RunHost(work, "aria2 '" + unixWork + "' '" + url + "' " + road.aria2Tag);
    nlohmann::json aria2 = WaitForResult(work, Wide(road.aria2Tag) + L".json");
    const double anchor = !aria2.is_null() && aria2["ok"].get<bool>() ? aria2["seconds"].get<double>() : -1.0;
    PrintTime("unlimited, 4 ranges", ours, mib);
    PrintTime("unlimited, aria2c -x4", anchor, mib);
    PrintRatio("ratio speed ours/aria2c", anchor, ours);
  }
  RunHost(work, "stop '" + unixWork + "'");
  NetGlobalCleanup();
  return 0;
}
