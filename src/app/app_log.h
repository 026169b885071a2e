// The application's log line: handed to the engine's logger, so start-up and the windows
// write into the same log as the job.
#pragma once

// Levels 0 (trace) to 6 (fatal); printf-style, "%S" takes a wide string.
void AppLog(int level, const char* format, ...);

// Writes every queued log line; called before the process ends by any road.
void AppLogFlush();
