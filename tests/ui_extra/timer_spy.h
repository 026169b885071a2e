#pragma once
#include <windows.h>

#include <vector>

namespace skinui_test {

// While it lives, this program's SetTimer (its import of it) records what is asked and starts no
// timer: a test reads the interval a control asks for and delivers each tick itself.
struct TimerSpy {
  TimerSpy();
  ~TimerSpy();

  std::vector<UINT> intervals;  // asked for, in order
  UINT_PTR lastId = 0;          // of the timer set last
};

}  // namespace skinui_test
