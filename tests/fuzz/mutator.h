// Inputs for the readers: seeded mutations of a corpus. Input number n of a reader depends only
// on the seed, the reader's name and n, so any input a round reports is made again by its number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzz {

class Rng {
 public:
  explicit Rng(uint64_t seed) : state_(seed) {}
  uint64_t Next();
  // 0 .. bound - 1 (0 for a bound of 0).
  size_t Below(size_t bound) { return bound == 0 ? 0 : static_cast<size_t>(Next() % bound); }
  bool OneIn(size_t n) { return Below(n) == 0; }

 private:
  uint64_t state_;
};

// The generator of input n of the named reader.
Rng InputRng(uint64_t seed, const std::string& reader, uint64_t n);

// One to four of: bit flips, byte insertions and deletions, a 2- or 4-byte field (or a run of
// decimal digits) set to an edge value, truncation, and a splice with another corpus entry.
std::string Mutate(const std::vector<std::string>& corpus, Rng& rng);

}  // namespace fuzz
