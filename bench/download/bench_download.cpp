// Segmented download of a 200 MiB file from nginx on loopback: four ranges beside one
// stream and beside `aria2c -x4` under a per-request rate limit, and four ranges beside
// `aria2c -x4` unlimited, both over TLS with HTTP/2 and over plain HTTP/1.1. Under the limit
// nginx's own time to send the four ranges is the floor of any client; what lies above it is
// the client's (connections, the digest of the ranges behind the first). Every figure is the
// median of three paired runs with its min and max; ratios pair the runs of the same moment.
// nginx and aria2c run on the host through bench_host.py.
// "bench_download stalls N" instead runs N rate-limited four-range downloads over HTTP/2 and
// prints their spread: a transfer that waits on the socket while data lies buffered in TLS
// shows as a run far above the others (or one ended by the stall limit).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/net/net_init.h"
#include "engine/net/segment_downloader.h"
#include "bench_host.h"
#include "bench_timing.h"

namespace {

constexpr DWORD kHostWaitMs = 300000;

std::wstring WorkDir() {
  wchar_t module[MAX_PATH];
  GetModuleFileNameW(nullptr, module, MAX_PATH);
  std::wstring bin = module;
  bin = bin.substr(0, bin.find_last_of(L'\\'));
  return bin.substr(0, bin.find_last_of(L'\\')) + L"\\bench-download";
}

// Starts a host command (see bench_host.py); its result comes as a file in work.
bool RunHost(const std::wstring& work, const std::string& arguments) {
  return StartHostScript(TAMSEL_BENCH_HOST_SCRIPT, work, arguments);
}

nlohmann::json WaitForResult(const std::wstring& work, const std::wstring& name) {
  const std::string text = WaitForHostFile(work, name, kHostWaitMs);
  return text.empty() ? nlohmann::json(nullptr) : nlohmann::json::parse(text);
}

// Seconds from the result TAG.json of a host command; -1 when it failed.
double HostSeconds(const std::wstring& work, const std::string& arguments, const std::string& tag) {
  const std::wstring name = Utf8ToWide(tag) + L".json";
  const std::wstring result = work + L"\\" + name;
  DeleteFileW(result.c_str());
  if (!RunHost(work, arguments)) return -1.0;
  const nlohmann::json answer = WaitForResult(work, name);
  DeleteFileW(result.c_str());
  return !answer.is_null() && answer.value("ok", true) ? answer["seconds"].get<double>() : -1.0;
}

// `aria2c -x4` on url, checked against the MD5 as ours is.
double TimeAria2(const std::wstring& work, const std::string& url, const std::string& tag) {
  return HostSeconds(work, "aria2 '" + UnixPath(work) + "' '" + url + "' " + tag, tag);
}

// One checked download; seconds, or -1 when it failed.
double TimeDownload(const std::string& url, const std::string& md5, unsigned int segments, const std::wstring& target) {
  const Stopwatch watch;
  CSegmentDownloader downloader(url, url, target, md5, nullptr, nullptr, segments);
  const bool ok = downloader.Download();
  const double seconds = watch.Seconds();
  DeleteFileW(target.c_str());
  return ok ? seconds : -1.0;
}

constexpr int kRuns = 3;

// Median, min and max of the runs' seconds; failed when any run failed.
struct Times {
  std::vector<double> seconds;
  bool failed = false;
  void Add(double s) {
    failed = failed || s < 0;
    seconds.push_back(s);
  }
  double MedianSeconds() const { return Median(seconds); }
};

void PrintTime(const char* label, const Times& times, double mib) {
  if (times.failed) {
    printf("  %-24s failed\n", label);
    return;
  }
  const double median = times.MedianSeconds();
  printf("  %-24s %7.2f s %8.1f MiB/s (min %.2f s, max %.2f s)\n", label, median, mib / median,
         *std::min_element(times.seconds.begin(), times.seconds.end()),
         *std::max_element(times.seconds.begin(), times.seconds.end()));
}

// Ratio of speeds, numerator/denominator in seconds: the median of the paired runs' ratios.
void PrintRatio(const char* label, const Times& slow, const Times& fast) {
  if (slow.failed || fast.failed) return;
  std::vector<double> ratios;
  for (size_t i = 0; i < slow.seconds.size(); ++i) ratios.push_back(slow.seconds[i] / fast.seconds[i]);
  printf("  %-24s %7.2f (min %.2f, max %.2f)\n", label, Median(ratios), *std::min_element(ratios.begin(), ratios.end()),
         *std::max_element(ratios.begin(), ratios.end()));
}

std::string Url(const nlohmann::json& ready, const char* scheme, const char* portKey) {
  return std::string(scheme) + "://127.0.0.1:" + std::to_string(ready[portKey].get<int>()) + "/" +
         ready["file"].get<std::string>();
}

void RunRoads(const std::wstring& work, const nlohmann::json& ready, const std::wstring& target, double mib) {
  const std::string unixWork = UnixPath(work);
  const std::string md5 = ready["md5"];
  struct Road {
    const char* title;
    const char* scheme;
    const char* limited;
    const char* unlimited;
    const char* aria2Tag;
  };
  for (const Road& road :
       {Road{"https (TLS, HTTP/2: four ranges on one connection)", "https", "https_limited", "https", "aria2-https"},
        Road{"http (HTTP/1.1: one connection per range)", "http", "http_limited", "http", "aria2-http"}}) {
    printf("%s\n", road.title);
    const std::string limitedUrl = Url(ready, road.scheme, road.limited);
    const std::string url = Url(ready, road.scheme, road.unlimited);
    Times one, four, served, limitedAnchor, ours, anchor;
    // Paired runs, interleaved, so both sides of each ratio share the machine's load.
    for (int run = 0; run < kRuns; ++run) {
      one.Add(TimeDownload(limitedUrl, md5, 1, target));
      four.Add(TimeDownload(limitedUrl, md5, 4, target));
      served.Add(HostSeconds(work, "served '" + unixWork + "' 4 served", "served"));
      limitedAnchor.Add(TimeAria2(work, limitedUrl, std::string(road.aria2Tag) + "-limited"));
      ours.Add(TimeDownload(url, md5, 4, target));
      anchor.Add(TimeAria2(work, url, road.aria2Tag));
    }
    PrintTime("limit 20 MB/s, 1 range", one, mib);
    PrintTime("limit 20 MB/s, 4 ranges", four, mib);
    PrintRatio("speed 4 ranges / 1", one, four);
    PrintTime("  nginx sending the 4", served, mib);
    PrintTime("limit, aria2c -x4", limitedAnchor, mib);
    PrintRatio("limited ours / aria2c", limitedAnchor, four);
    PrintTime("unlimited, 4 ranges", ours, mib);
    PrintTime("unlimited, aria2c -x4", anchor, mib);
    PrintRatio("speed ours / aria2c", anchor, ours);
  }
}

void RunStallCheck(const nlohmann::json& ready, const std::wstring& target, double mib, int runs) {
  const std::string url = Url(ready, "https", "https_limited");
  const std::string md5 = ready["md5"];
  Times times;
  for (int run = 0; run < runs; ++run) times.Add(TimeDownload(url, md5, 4, target));
  printf("https limit 20 MB/s, 4 ranges on one connection, %d runs\n", runs);
  PrintTime("4 ranges", times, mib);
  int failed = 0;
  for (double s : times.seconds) failed += s < 0 ? 1 : 0;
  printf("  %-24s %d\n", "failed runs", failed);
}

}  // namespace

int main(int argc, char** argv) {
  const int stallRuns = argc == 3 && std::string(argv[1]) == "stalls" ? atoi(argv[2]) : 0;
  if (!NetGlobalInit()) return 1;
  const std::wstring work = WorkDir();
  CreateDirectoryW(work.c_str(), nullptr);
  DeleteFileW((work + L"\\host-error.json").c_str());
  DeleteFileW((work + L"\\ready.json").c_str());
  const std::string unixWork = UnixPath(work);
  if (!RunHost(work, "start '" + unixWork + "'")) return 1;
  nlohmann::json ready = WaitForResult(work, L"ready.json");
  if (ready.is_null()) return 1;

  const double mib = ready["size"].get<double>() / (1024.0 * 1024.0);
  const std::wstring target = work + L"\\download.bin";
  printf("download: %.0f MiB from nginx on 127.0.0.1, MD5 checked\n", mib);

  if (stallRuns > 0) {
    RunStallCheck(ready, target, mib, stallRuns);
  } else {
    RunRoads(work, ready, target, mib);
  }
  RunHost(work, "stop '" + unixWork + "'");
  NetGlobalCleanup();
  return 0;
}
