// Sustained records per second from four threads into one log file: the logger (format on
// the caller, one writer thread) against spdlog with a synchronous file sink writing the same
// line format. Every run reads its files back and checks that every record arrived once.
#include <windows.h>

#include <spdlog/pattern_formatter.h>
#include <spdlog/sinks/basic_file_sink.h>
#include <spdlog/spdlog.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/log/log_format.h"
#include "common/log/log_text.h"
#include "common/log/loger_manager.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRecordsPerThread = 100000;
constexpr int kRuns = 9;

using Clock = std::chrono::steady_clock;

std::wstring benchFolder(const wchar_t* side, int run) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder =
      std::wstring(temp) + L"bench_log_" + std::to_wstring(GetCurrentProcessId()) + L"_" + side + std::to_wstring(run);
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

// Every file under folder, depth first.
void listFiles(const std::wstring& folder, std::vector<std::wstring>* files) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = folder + L"\\" + name;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      listFiles(path, files);
    } else {
      files->push_back(path);
    }
  } while (FindNextFileW(find, &data));
  FindClose(find);
}

void removeFolder(const std::wstring& folder) {
  std::vector<std::wstring> files;
  listFiles(folder, &files);
  for (const std::wstring& file : files) DeleteFileW(file.c_str());
  // Sub-folders go deepest first: longer paths before their parents.
  std::vector<std::wstring> folders;
  for (const std::wstring& file : files) {
    for (std::wstring at = file.substr(0, file.rfind(L'\\')); at.size() > folder.size();
         at = at.substr(0, at.rfind(L'\\'))) {
      folders.push_back(at);
    }
  }
  std::sort(folders.begin(), folders.end(),
            [](const std::wstring& a, const std::wstring& b) { return a.size() > b.size(); });
  for (const std::wstring& at : folders) RemoveDirectoryW(at.c_str());
  RemoveDirectoryW(folder.c_str());
}

// Reads every line of the files and checks that each (thread, record) came exactly once, in
// the expected shape: "<date> <time>.<ms> [<thread id>] LOG_INFO Bench, record i of thread t,
// value v bench_log.cpp:<line>". Returns false (and says why) otherwise.
bool everyRecordArrived(const std::vector<std::wstring>& files) {
  std::vector<std::vector<char>> seen(kThreads, std::vector<char>(kRecordsPerThread, 0));
  long long lines = 0, bad = 0;
  for (const std::wstring& path : files) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (!file) continue;
    char line[512];
    while (std::fgets(line, sizeof line, file)) {
      const char* body = std::strstr(line, "] LOG_INFO Bench, record ");
      if (!body) continue;
      ++lines;
      int i = -1, t = -1;
      long long value = 0;
      int used = 0;
      if (std::sscanf(body, "] LOG_INFO Bench, record %d of thread %d, value %lld bench_log.cpp:%*d%n", &i, &t, &value,
                      &used) != 3 ||
          used == 0 || t < 0 || t >= kThreads || i < 0 || i >= kRecordsPerThread || value != 1234567890123LL + i ||
          std::strcmp(body + used, "\r\n") != 0 || seen[t][i]++) {
        ++bad;
      }
    }
    std::fclose(file);
  }
  if (bad == 0 && lines == static_cast<long long>(kThreads) * kRecordsPerThread) return true;
  std::printf("  records check failed: %lld lines, %lld bad or repeated, %d expected\n", lines, bad,
              kThreads * kRecordsPerThread);
  return false;
}

template <typename Write>
double timeThreads(Write write) {
  const Clock::time_point begin = Clock::now();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&write, t] {
      for (int i = 0; i < kRecordsPerThread; ++i) write(t, i);
    });
  }
  for (std::thread& thread : threads) thread.join();
  return std::chrono::duration<double>(Clock::now() - begin).count();
}

// Records per second into the logger, until the last record is in its file; 0 when a record
// went missing.
double timeLogger(int run) {
  const std::wstring folder = benchFolder(L"vlog", run);
  double seconds = 0;
  {
    vemtal::vlog::LogerManager log;
    const std::string path = vemtal::vlog::wideToUtf8(folder) + "/logger";
    log.setLoggerPath(0, path.c_str());
    log.setLoggerDisplay(0, false);
    log.start();
    const Clock::time_point begin = Clock::now();
    timeThreads([&log](int t, int i) {
      vemtal::vlog::logToF(log, 0, vemtal::vlog::LOG_LEVEL_INFO, __FILE__, __LINE__,
                           "Bench, record %d of thread %d, value %lld", i, t, 1234567890123LL + i);
    });
    log.drain();  // every record is in the file
    seconds = std::chrono::duration<double>(Clock::now() - begin).count();
    log.stop();
  }
  std::vector<std::wstring> files;
  listFiles(folder, &files);
  const bool whole = everyRecordArrived(files);
  removeFolder(folder);
  return whole ? kThreads * kRecordsPerThread / seconds : 0;
}

// The same lines through spdlog: a synchronous, mutex-guarded file sink, flushed at the end.
double timeSpdlog(int run) {
  const std::wstring folder = benchFolder(L"spdlog", run);
  const std::wstring path = folder + L"\\spdlog.log";
  double seconds = 0;
  {
    auto sink = std::make_shared<spdlog::sinks::basic_file_sink_mt>(vemtal::vlog::wideToUtf8(path), true);
    spdlog::logger logger("bench", sink);
    logger.set_formatter(std::make_unique<spdlog::pattern_formatter>("%Y-%m-%d %H:%M:%S.%e [%t] LOG_INFO %v %s:%#",
                                                                     spdlog::pattern_time_type::local, "\r\n"));
    const Clock::time_point begin = Clock::now();
    timeThreads([&logger](int t, int i) {
      logger.log(spdlog::source_loc{__FILE__, __LINE__, ""}, spdlog::level::info,
                 "Bench, record {} of thread {}, value {}", i, t, 1234567890123LL + i);
    });
    logger.flush();
    seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  }
  const bool whole = everyRecordArrived({path});
  removeFolder(folder);
  return whole ? kThreads * kRecordsPerThread / seconds : 0;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void printSide(const char* label, const std::vector<double>& rates) {
  std::printf("%-34s median %9.0f records/s (min %.0f, max %.0f)\n", label, median(rates),
              *std::min_element(rates.begin(), rates.end()), *std::max_element(rates.begin(), rates.end()));
}

}  // namespace

int main() {
  std::vector<double> ours, theirs, ratios;
  // Interleaved, so both sides see the same load on the machine.
  for (int run = 0; run < kRuns; ++run) {
    ours.push_back(timeLogger(run));
    theirs.push_back(timeSpdlog(run));
    if (ours.back() == 0 || theirs.back() == 0) return 1;
    ratios.push_back(ours.back() / theirs.back());
  }
  std::printf("log: %d threads x %d records into one file, %d paired runs, every record checked\n", kThreads,
              kRecordsPerThread, kRuns);
  printSide("logger (queue + writer thread):", ours);
  printSide("spdlog (synchronous file sink):", theirs);
  std::printf("ratio logger/spdlog (paired):      median %.2f (min %.2f, max %.2f)\n", median(ratios),
              *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
  return 0;
}
