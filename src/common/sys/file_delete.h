// Deleting files that may be in use: a file that cannot go now is moved aside to a
// ".delete" name (its own name becomes free at once) and deleted at the next restart.
#pragma once

#include <string>

// Hands path to the system's delete-at-next-restart list. False when that fails.
bool ScheduleDeleteAtRestart(const std::wstring& path);

// Moves the file to the first free name of path + ".delete", ".delete1", ".delete2", ... and
// schedules that name for deletion at the next restart. 0 when moved, -1 when not.
int MoveToDeleteName(const std::wstring& path);

// Deletes the file. When that fails: on Windows 6 and later the result of MoveToDeleteName;
// earlier, the file is scheduled for deletion at the next restart: 0, or -1 when even that fails.
int DeleteFileOrDefer(const std::wstring& path);
