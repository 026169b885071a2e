// What a round watches while a reader reads one input: a crash (an unhandled exception or an
// abort), a hang (the input takes more processor time than the time limit, or waits ten
// limits' worth without computing) and an allocation beyond the
// bound (operator new refuses it with std::bad_alloc and the input is marked). A crash or a
// hang ends the process at once, after the input is saved and printed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

struct GuardLimits {
  unsigned timeLimitMs = 3000;          // processor time of the reading thread
  size_t allocationBound = 256u << 20;  // bytes newly held by one input, all allocations together
};

// Installs the handlers and starts the watchdog; failing inputs are saved under outFolder.
void StartGuard(const GuardLimits& limits, const std::wstring& outFolder);

// Brackets one input (kept by pointer until InputEnd).
void InputBegin(const std::string& reader, uint64_t number, const std::string& input);
// True when the input asked for more than the allocation bound; then its size is given.
bool InputEnd(size_t* refusedBytes);

// Saves an input as <outFolder>\<reader>-<what>-<number>.bin and gives its path.
std::wstring SaveInput(const std::string& reader, const char* what, uint64_t number, const std::string& input);

// Writes text to the standard output the round started with (the readers may print too).
void Print(const char* format, ...);

}  // namespace fuzz
