// Back-pressure: once more than 20000 records wait, callers of prePushLog are slowed. The
// writer is held on a standard output pipe that nobody reads.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "common/log/log_format.h"
#include "log_test_support.h"

using namespace vemtal::vlog;

namespace {

// A pipe's write end as a C runtime descriptor.
int pipeWriteEnd(HANDLE* read) {
  HANDLE write = nullptr;
  CreatePipe(read, &write, nullptr, 4096);
  return _open_osfhandle(reinterpret_cast<intptr_t>(write), _O_WRONLY | _O_BINARY);
}

// Milliseconds of `count` prePushLog calls each; a refused call counts as -1.
std::vector<double> callTimes(LogerManager& log, int id, int count) {
  std::vector<double> times;
  for (int i = 0; i < count; ++i) {
    auto begin = std::chrono::steady_clock::now();
    bool taken = log.prePushLog(id, LOG_LEVEL_INFO);
    times.push_back(taken ? std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count()
                          : -1);
  }
  return times;
}

bool queueRecords(LogerManager& log, int id, int count) {
  for (int i = 0; i < count; ++i) {
    if (!log.pushLog(log.makeLogData(id, LOG_LEVEL_INFO), "bp.cpp", i)) return false;
  }
  return true;
}

class LogBackPressure : public vlogtest::ManagerTest {};

}  // namespace

TEST_F(LogBackPressure, CallersSlowDownAsTheQueueGrows) {
  int quiet = log().CreateLogger("Quiet");
  ASSERT_TRUE(log().setLoggerDisplay(quiet, false));
  ASSERT_TRUE(log().setLoggerOutFile(quiet, false));
  ASSERT_TRUE(log().setLoggerDisplay(0, true));
  ASSERT_TRUE(log().setLoggerOutFile(0, false));
  ASSERT_TRUE(log().setLoggerLevel(0, LOG_LEVEL_TRACE));
  // Nothing may print while standard output is the full pipe: results are checked after.
  HANDLE pipe = nullptr;
  vlogtest::StdoutRedirect blocked(pipeWriteEnd(&pipe));
  bool started = log().start();
  // Trace lines go to the unread pipe until the writer hangs on it.
  std::string big(8000, 's');
  for (int i = 0; started && i < 300; ++i) logToF(log(), 0, LOG_LEVEL_TRACE, "bp.cpp", 1, "%s", big.c_str());
  uint64_t popped = 0;
  for (int stable = 0; started && stable < 5;) {
    Sleep(100);
    uint64_t now = log().getTotalPopCount();
    stable = now == popped ? stable + 1 : 0;
    popped = now;
  }
  uint64_t waiting = log().getTotalPushCount() - popped;
  bool held = started && waiting > 0 && waiting < 20000;
  bool queued = held && queueRecords(log(), quiet, static_cast<int>(20000 - waiting));
  std::vector<double> belowLimit = callTimes(log(), quiet, 5);
  // A few records over each level: the held writer may still take the one it was writing.
  queued = queued && queueRecords(log(), quiet, 10000 + 8);
  std::vector<double> at30000 = callTimes(log(), quiet, 30);
  // The writer may hold part of the waiting records in its batch, outside the queue that the
  // back-pressure counts: as many again make sure the queue itself is past 40000.
  queued = queued && queueRecords(log(), quiet, 10000 + static_cast<int>(waiting));
  std::vector<double> at40000 = callTimes(log(), quiet, 3);
  uint64_t pushed = log().getTotalPushCount();
  std::thread reader([pipe] {  // empties the pipe until its last write end closes
    char buf[65536];
    DWORD n = 0;
    while (ReadFile(pipe, buf, sizeof(buf), &n, nullptr) && n > 0) {}
  });
  bool drained = log().drain();
  blocked.restore();
  reader.join();
  CloseHandle(pipe);

  ASSERT_TRUE(started);
  ASSERT_TRUE(held) << "the writer must be held by the pipe; waiting " << waiting;
  ASSERT_TRUE(queued);
  EXPECT_TRUE(drained);
  EXPECT_EQ(log().getTotalPopCount(), pushed);
  for (double ms : belowLimit) {  // up to 20000 waiting records no caller sleeps
    EXPECT_GE(ms, 0.0);
    EXPECT_LT(ms, 40.0);
  }
  int slept = 0;  // at 30000 about half of the calls sleep 50 ms
  for (double ms : at30000) slept += ms >= 40.0 ? 1 : 0;
  EXPECT_GE(slept, 5);
  EXPECT_LE(slept, 25);
  for (double ms : at40000) EXPECT_GE(ms, 90.0);  // from 40000 on every call sleeps 100 ms
}
