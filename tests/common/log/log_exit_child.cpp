// Windowed, without standard output: logs <count> lines through the process logger into
// <folder>/setup.log, drains, logs once more, drains and ends with ExitProcess, as the setup
// program does. Arguments: <folder> <count>.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "common/log/log_text.h"
#include "common/log/vlog.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) return 2;
  vemtal::vlog::IVlogManager* log = vemtal::vlog::IVlogManager::getInstance();
  std::string folder = vemtal::vlog::wideToUtf8(argv[1]) + "/setup.log";
  if (!log->setLoggerPath(0, folder.c_str()) || !log->start() || !log->setLoggerLevel(0, 0)) return 3;
  for (int i = 0, count = _wtoi(argv[2]); i < count; ++i) {
    VLOG_TRACE("Child, line %d of %S", i, L"游戏");
    if (i % 1000 == 0) VLOG_WARN("Child, coloured %d", i);
  }
  if (!log->drain()) return 4;
  VLOG_INFO("Child, after drain");
  if (!log->drain()) return 5;
  ExitProcess(0);
}
