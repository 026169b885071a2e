// Reading done ahead on speculation keeps quiet: while a ZipQuietScope lives on a thread,
// the reader's failures on that thread are neither logged nor kept as its last code. The
// reading that then uses the result, or does the work again without one, tells what failed.
#pragma once

#include "common/log/vlog.h"

class ZipQuietScope {
 public:
  ZipQuietScope();
  ~ZipQuietScope();
  ZipQuietScope(const ZipQuietScope&) = delete;
  ZipQuietScope& operator=(const ZipQuietScope&) = delete;

  static bool Active();

 private:
  bool outer_;
};

#define ZIP_LOG_ERROR(...)                                 \
  do {                                                     \
    if (!ZipQuietScope::Active()) VLOG_ERROR(__VA_ARGS__); \
  } while (0)
