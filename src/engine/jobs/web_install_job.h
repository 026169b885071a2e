// The web-install job (modes 5 and 6): find the newest full setup on the update service,
// download it into "~ZQDownload" in four byte ranges with an MD5 check, then open it
// (mode 5) or run it with "/silent /norestart" and wait for its exit code (mode 6).
#pragma once

#include <string>

#include "engine/jobs/job_services.h"

// "，速度：<speed><unit>": above 1048576 bytes/s in "M", above 1024 in "kB", else in "B",
// with two decimals.
std::wstring DownloadSpeedText(double bytesPerSecond);

// 0 done (mode 5: the shell opened the package); -1 no package found; -2 download failed;
// -3 the package cannot be started; -4 it ended with a non-zero exit code, or its exit code
// cannot be read. Every failure shows "下载失败" (-1, -2) or "安装失败" (-3, -4).
// record.tempDir takes the download folder; the download reports to services.downloadProgress.
int RunWebInstallJob(OpePARAMEx& record, const JobServices& services);
