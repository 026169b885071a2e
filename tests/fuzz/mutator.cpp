#include "mutator.h"

#include <cstring>

namespace fuzz {

namespace {

const uint32_t kEdgeWords[] = {0,          1,          2,          0x7F,       0x80,       0xFF,
                               0x100,      0x7FFF,     0x8000,     0xFFFF,     0x10000,    0x7FFFFFFF,
                               0x80000000, 0xFFFFFFFE, 0xFFFFFFFF, 0x00400000, 0x00400001, 0x0000FFF0};
const char* const kEdgeNumbers[] = {"0",
                                    "-1",
                                    "1",
                                    "65535",
                                    "65536",
                                    "2147483647",
                                    "2147483648",
                                    "4294967295",
                                    "4294967296",
                                    "-2147483648",
                                    "99999999999999999999"};

uint64_t Mix(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

void FlipBits(std::string& s, Rng& rng) {
  if (s.empty()) return;
  for (size_t n = 1 + rng.Below(4); n > 0; --n) s[rng.Below(s.size())] ^= static_cast<char>(1u << rng.Below(8));
}

void InsertBytes(std::string& s, Rng& rng) {
  const size_t at = rng.Below(s.size() + 1);
  const size_t count = 1 + rng.Below(rng.OneIn(8) ? 256 : 8);
  std::string bytes;
  const char repeated = static_cast<char>(rng.Next());
  for (size_t i = 0; i < count; ++i) bytes += rng.OneIn(2) ? repeated : static_cast<char>(rng.Next());
  s.insert(at, bytes);
}

void DeleteBytes(std::string& s, Rng& rng) {
  if (s.empty()) return;
  const size_t at = rng.Below(s.size());
  s.erase(at, 1 + rng.Below(rng.OneIn(8) ? 256 : 8));
}

void SetEdgeWord(std::string& s, Rng& rng) {
  if (s.size() < 4) return;
  size_t at = rng.Below(s.size() - 3);
  if (rng.OneIn(2)) at &= ~size_t(3);  // the formats' fields lie on 4-byte boundaries
  const uint32_t word = kEdgeWords[rng.Below(sizeof(kEdgeWords) / sizeof(kEdgeWords[0]))];
  std::memcpy(&s[at], &word, rng.OneIn(3) ? 2 : 4);
}

void SetEdgeNumber(std::string& s, Rng& rng) {
  // A run of digits (a count, a size, a level in a text format) becomes an edge value.
  const size_t from = rng.Below(s.size() + 1);
  const size_t at = s.find_first_of("0123456789", from);
  if (at == std::string::npos) return;
  const size_t end = s.find_first_not_of("0123456789", at);
  s.replace(at, (end == std::string::npos ? s.size() : end) - at,
            kEdgeNumbers[rng.Below(sizeof(kEdgeNumbers) / sizeof(kEdgeNumbers[0]))]);
}

void Truncate(std::string& s, Rng& rng) { s.resize(rng.Below(s.size() + 1)); }

void Splice(std::string& s, const std::vector<std::string>& corpus, Rng& rng) {
  const std::string& other = corpus[rng.Below(corpus.size())];
  const size_t keep = rng.Below(s.size() + 1);
  const size_t from = rng.Below(other.size() + 1);
  s = s.substr(0, keep) + other.substr(from);
}

}  // namespace

uint64_t Rng::Next() {
  state_ = Mix(state_);
  return state_;
}

Rng InputRng(uint64_t seed, const std::string& reader, uint64_t n) {
  uint64_t h = 1469598103934665603ULL;
  for (char c : reader) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  return Rng(Mix(seed ^ Mix(h ^ Mix(n))));
}

std::string Mutate(const std::vector<std::string>& corpus, Rng& rng) {
  std::string s = corpus[rng.Below(corpus.size())];
  for (size_t n = 1 + rng.Below(4); n > 0; --n) {
    switch (rng.Below(7)) {
      case 0:
        FlipBits(s, rng);
        break;
      case 1:
        InsertBytes(s, rng);
        break;
      case 2:
        DeleteBytes(s, rng);
        break;
      case 3:
        SetEdgeWord(s, rng);
        break;
      case 4:
        SetEdgeNumber(s, rng);
        break;
      case 5:
        if (rng.OneIn(3)) Truncate(s, rng);
        break;
      default:
        Splice(s, corpus, rng);
        break;
    }
  }
  return s;
}

}  // namespace fuzz
