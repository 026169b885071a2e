#include "app/app_log.h"

#include <cstdarg>

#include "common/log/vlog.h"
#include "engine/zqpm/zqpm.h"

void AppLog(int level, const char* format, ...) {
  ZQPM* engine = ZQPM::GetInstance();
  if (engine == nullptr) return;
  va_list args;
  va_start(args, format);
  engine->Log(level, format, args);
  va_end(args);
}

void AppLogFlush() { vemtal::vlog::IVlogManager::getInstance()->drain(); }
