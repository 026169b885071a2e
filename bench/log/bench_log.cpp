// Sustained records per second from four threads into one log file: the logger (format on
// the caller, one writer thread) against a plain mutex-protected fprintf logger.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/log/log_format.h"
#include "common/log/log_text.h"
#include "common/log/loger_manager.h"

namespace {

constexpr int kThreads = 4;
constexpr int kRecordsPerThread = 100000;

using Clock = std::chrono::steady_clock;

std::wstring benchFolder() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring folder = std::wstring(temp) + L"bench_log_" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder;
}

double timeLogger(const std::wstring& folder) {
  vemtal::vlog::LogerManager log;
  std::string path = vemtal::vlog::wideToUtf8(folder) + "/logger";
  log.setLoggerPath(0, path.c_str());
  log.setLoggerDisplay(0, false);
  log.start();
  Clock::time_point begin = Clock::now();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&log, t] {
      for (int i = 0; i < kRecordsPerThread; ++i) {
        vemtal::vlog::logToF(log, 0, vemtal::vlog::LOG_LEVEL_INFO, __FILE__, __LINE__,
                             "Bench, record %d of thread %d, value %lld", i, t, 1234567890123LL + i);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  log.drain();  // every record is in the file
  double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  return kThreads * kRecordsPerThread / seconds;
}

double timeMutexFprintf(const std::wstring& folder) {
  FILE* file = _wfopen((folder + L"\\fprintf.log").c_str(), L"ab");
  if (!file) return 0;
  std::mutex lock;
  Clock::time_point begin = Clock::now();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kRecordsPerThread; ++i) {
        SYSTEMTIME now;
        GetLocalTime(&now);
        std::lock_guard<std::mutex> guard(lock);
        std::fprintf(
            file,
            "%04u-%02u-%02u %02u:%02u:%02u.%03u [%04lu] LOG_INFO Bench, record %d of thread %d, value %lld %s:%d\r\n",
            now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds,
            GetCurrentThreadId(), i, t, 1234567890123LL + i, "bench_log.cpp", __LINE__);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  std::fclose(file);
  double seconds = std::chrono::duration<double>(Clock::now() - begin).count();
  return kThreads * kRecordsPerThread / seconds;
}

void removeFolder(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeFolder(path);
      } else {
        DeleteFileW(path.c_str());
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

int main() {
  std::wstring folder = benchFolder();
  double logger = timeLogger(folder);
  double anchor = timeMutexFprintf(folder);
  std::printf("log: %d threads x %d records into one file\n", kThreads, kRecordsPerThread);
  std::printf("logger (queue + writer thread): %.0f records/s\n", logger);
  std::printf("anchor (mutex + fprintf):       %.0f records/s\n", anchor);
  std::printf("ratio logger/anchor:            %.2f\n", anchor > 0 ? logger / anchor : 0.0);
  removeFolder(folder);
  return 0;
}
