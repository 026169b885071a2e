// Wall-clock timing of the benchmark programs.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

class Stopwatch {
 public:
  // Seconds since the stopwatch was made.
  double Seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The shortest of rounds runs, in seconds.
template <typename F>
double BestSeconds(int rounds, F&& run) {
  double best = 1e9;
  for (int i = 0; i < rounds; ++i) {
    const Stopwatch watch;
    run();
    const double took = watch.Seconds();
    if (took < best) best = took;
  }
  return best;
}

// The middle value (the upper one of an even count); values must not be empty.
inline double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}
