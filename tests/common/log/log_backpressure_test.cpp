// Back-pressure: while the writer is stuck, callers of prePushLog are slowed once more than
// 20000 records wait. The writer is held on a standard output pipe that nobody reads.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <chrono>
#include <thread>

#include "common/log/log_format.h"
#include "log_manager_fixture.h"

using namespace vemtal::vlog;

namespace {

// Points the C runtime's standard output at a pipe; the pipe is read only once released.
class BlockedStdout {
 public:
  BlockedStdout() {
    CreatePipe(&read_, &write_, nullptr, 4096);
    fflush(stdout);
    saved_ = _dup(_fileno(stdout));
    int fd = _open_osfhandle(reinterpret_cast<intptr_t>(write_), _O_WRONLY | _O_BINARY);
    _dup2(fd, _fileno(stdout));
    _close(fd);  // closes write_ as well; standard output holds its own duplicate
  }
  ~BlockedStdout() {
    releaseUntil([] {});
  }
  // Reads the pipe empty until `done` holds, then puts standard output back.
  template <typename Done>
  void releaseUntil(Done done) {
    if (saved_ < 0) return;
    std::thread reader([this] {
      char buf[65536];
      DWORD n = 0;
      while (ReadFile(read_, buf, sizeof(buf), &n, nullptr) && n > 0) {
      }
    });
    done();
    fflush(stdout);
    _dup2(saved_, _fileno(stdout));  // closes the pipe's last write end: the reader ends
    _close(saved_);
    saved_ = -1;
    reader.join();
    CloseHandle(read_);
  }

 private:
  HANDLE read_ = nullptr;
  HANDLE write_ = nullptr;
  int saved_ = -1;
};

// Time of one prePushLog call; a refused call counts as -1.
double millisecondsOf(LogerManager& log, int id) {
  auto begin = std::chrono::steady_clock::now();
  if (!log.prePushLog(id, LOG_LEVEL_INFO)) return -1;
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
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
  BlockedStdout blocked;
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

  std::vector<double> belowLimit, at30000, at40000;
  bool queued = held && queueRecords(log(), quiet, static_cast<int>(20000 - waiting));
  for (int i = 0; i < 5; ++i) belowLimit.push_back(millisecondsOf(log(), quiet));
  queued = queued && queueRecords(log(), quiet, 10000);
  for (int i = 0; i < 30; ++i) at30000.push_back(millisecondsOf(log(), quiet));
  queued = queued && queueRecords(log(), quiet, 10000);
  for (int i = 0; i < 3; ++i) at40000.push_back(millisecondsOf(log(), quiet));
  uint64_t pushed = log().getTotalPushCount();
  bool drained = false;
  blocked.releaseUntil([&] { drained = log().drain(); });

  ASSERT_TRUE(started);
  ASSERT_TRUE(held) << "the writer must be held by the pipe; waiting " << waiting;
  ASSERT_TRUE(queued);
  EXPECT_TRUE(drained);
  EXPECT_EQ(log().getTotalPopCount(), pushed);
  // Up to 20000 waiting records no caller sleeps.
  for (double ms : belowLimit) {
    EXPECT_GE(ms, 0.0);
    EXPECT_LT(ms, 40.0);
  }
  // At 30000 about half of the calls sleep 50 ms.
  int slept = 0;
  for (double ms : at30000) slept += ms >= 40.0 ? 1 : 0;
  EXPECT_GE(slept, 5);
  EXPECT_LE(slept, 25);
  // From 40000 on every call sleeps 100 ms.
  for (double ms : at40000) EXPECT_GE(ms, 90.0);
}
