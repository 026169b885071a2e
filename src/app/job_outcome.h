// How the one job of this run ended, as the process's exit code tells it: a web install or
// a script waiting for a silent setup must see a failure as one.
#pragma once

#include "engine/job/job_record.h"

enum AppExitCode {
  kExitOk = 0,
  kExitBadCommandLine = -1,
  kExitNoWindow = -2,
  kExitSkinNotLoaded = 1,  // the window base's own code for a skin it cannot build
  kExitJobFailed = 3,      // the job ran and reported a failure
  kExitJobAbandoned = 4,   // the window closed while the job was still running
};

// Silent modes must never wait for a person: their errors are logged, not shown.
inline bool IsSilentMode(int mode) {
  return mode == OpePARAMEx::CMD_SILENT_INSTALL || mode == OpePARAMEx::CMD_SILENT_UNINSTALL ||
         mode == OpePARAMEx::CMD_WEB_SILENT_INSTALL;
}

class JobOutcome {
 public:
  void Started() { state_ = kRunning; }
  void Finished() { state_ = kDone; }
  void Failed() { state_ = kFailed; }
  bool Running() const { return state_ == kRunning; }

  // Exit code of the process once the window has closed.
  int ExitCode() const {
    switch (state_) {
      case kRunning:
        return kExitJobAbandoned;
      case kFailed:
        return kExitJobFailed;
      default:
        return kExitOk;
    }
  }

 private:
  enum State { kNotStarted, kRunning, kDone, kFailed };
  State state_ = kNotStarted;
};
