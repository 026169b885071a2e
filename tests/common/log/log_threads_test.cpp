// Many threads logging at once, one level each: every line whole with its exact header and
// suffix, each thread's lines in order, and the counters exact.
#include <windows.h>

#include <cstdio>
#include <map>
#include <regex>
#include <thread>

#include "common/log/log_format.h"
#include "log_test_support.h"

using namespace vemtal::vlog;

namespace {

constexpr int kThreads = 8;
constexpr int kLinesPerThread = 2500;
const int kLogLine = __LINE__ + 4;  // the line of the logToF call below

void logLines(LogerManager& log, int thread) {
  for (int seq = 0; seq < kLinesPerThread; ++seq) {
    logToF(log, 0, thread % 7, __FILE__, __LINE__, "T%d seq %d tid=%lu pad %S", thread, seq, GetCurrentThreadId(),
           seq % 3 == 0 ? L"游戏" : L"x");
  }
}

class LogThreads : public vlogtest::ManagerTest {};

}  // namespace

TEST_F(LogThreads, EveryLineArrivesWholeInOrderWithExactCounters) {
  ASSERT_TRUE(log().start());
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_TRACE));
  ASSERT_TRUE(log().drain());
  uint64_t pushed = log().getTotalPushCount();
  uint64_t bannerBytes = log().getTotalWriteBytes();
  ASSERT_EQ(log().getTotalPopCount(), pushed);
  ASSERT_EQ(log().getTotalWriteCount(), pushed);

  std::string before = vlogtest::localNow();
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) threads.emplace_back(logLines, std::ref(log()), t);
  for (std::thread& thread : threads) thread.join();
  std::string after = vlogtest::localNow();
  std::vector<std::string> lines = writtenLines();

  const uint64_t total = static_cast<uint64_t>(kThreads) * kLinesPerThread;
  ASSERT_EQ(lines.size(), total);
  EXPECT_EQ(log().getTotalPushCount(), pushed + total);
  EXPECT_EQ(log().getTotalPopCount(), pushed + total);
  EXPECT_EQ(log().getTotalWriteCount(), pushed + total);
  uint64_t fileBytes = 0;
  for (const vlogtest::FoundFile& file : vlogtest::readFiles(folder())) fileBytes += file.content.size();
  EXPECT_EQ(log().getTotalWriteBytes(), fileBytes);
  EXPECT_GT(log().getTotalWriteBytes(), bannerBytes);

  // One blank after the level name, the short names too.
  const char* names[] = {"LOG_TRACE", "LOG_DEBUG", "LOG_INFO", "LOG_WARN", "LOG_ERROR", "LOG_ALARM", "LOG_FATAL"};
  std::regex pattern(
      R"(^(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2})\.(\d{3}) \[(\d{4,})\] (\S+) T(\d+) seq (\d+) tid=(\d+) pad (\S+) (\S+):(\d+)$)");
  std::map<int, int> nextSeq;
  std::map<int, std::string> lastTime;
  for (const std::string& text : lines) {
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, pattern)) << text;
    int thread = std::stoi(m[5].str());
    int seq = std::stoi(m[6].str());
    char tid[16];
    std::snprintf(tid, sizeof(tid), "%04lu", std::stoul(m[7].str()));
    ASSERT_EQ(m[3].str(), tid) << text;
    ASSERT_EQ(m[4].str(), names[thread % 7]) << text;
    ASSERT_EQ(seq, nextSeq[thread]) << "thread " << thread << " out of order: " << text;
    nextSeq[thread] = seq + 1;
    ASSERT_EQ(m[8].str(), seq % 3 == 0 ? "游戏" : "x");
    ASSERT_EQ(m[9].str(), "log_threads_test.cpp");
    ASSERT_EQ(std::stoi(m[10].str()), kLogLine);
    ASSERT_GE(m[1].str(), before);
    ASSERT_LE(m[1].str(), after);
    std::string time = m[1].str() + "." + m[2].str();
    ASSERT_GE(time, lastTime[thread]) << text;
    lastTime[thread] = time;
  }
  for (int t = 0; t < kThreads; ++t) EXPECT_EQ(nextSeq[t], kLinesPerThread);
}
