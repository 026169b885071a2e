// What the windows make of the engine's progress reports: the status text of a step code and
// the bar's percentage.
#pragma once

#include <string>

// The engine's progress vocabulary: the step code of every report. A window shows its own
// status text for each (GetStepText); codes without a text of their own show as "other".
struct ProgressStep {
  enum : int {
    kOther = 0,
    kInitEnvironment = 1,
    kPrepareDependencies = 2,
    kCheckEnvironment = 3,
    kExtractPackage = 4,
    kCollectInfo = 5,
    kParsePackage = 6,
    kCreateFolder = 7,
    kDownload = 8,
    kCopyFile = 9,
    kDeleteFile = 10,
    kRunComponent = 11,
    kCreateShortcut = 12,
    kRegisterInfo = 13,
    kUninstallInfo = 14,
    kUpdateRegistry = 17,
    kStartService = 18,
    kDeleteService = 19,
    kAfterCopy = 20,
    kExecute21 = 21,
    kOnRegister = 22,
    kExecute23 = 23,
    kRunUninstall = 24,
    kClean = 25,
    kDone = 26,
    kInstallProduct = 29,
  };
};

// The status text of a step code; "正在执行其它行为......" for a code without one.
std::wstring GetStepText(int step);

// The percentage of a window's bar. Step reports add to it and never pass 99 before the
// "done" step (26), which sets 100; a report within a step is drawn on top of it without
// changing it.
class ProgressMeter {
 public:
  // OnProgress: adds delta and returns the percentage now shown.
  int AddStep(int step, int delta);
  // OnProgressEx: the percentage shown for done of total items in a step owning `parts`
  // percent of the bar (a ceiling, at most 99). Reports without a usable share (parts or the
  // unit per percent not positive) show the stored percentage.
  int Within(int done, int total, int parts) const;
  int Percent() const { return percent_; }

 private:
  int percent_ = 0;
};

// "57%"
std::wstring PercentText(int percent);
