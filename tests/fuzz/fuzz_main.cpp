// Fuzz rounds over the readers of outside input, in process, with a fixed seed: input n of a
// reader is the same in every round, so a failing input repeats by its number. Each reader
// first reads its kept regression inputs, then its mutated inputs; the round prints the
// inputs per second of each reader and every input that crashed, hung or over-allocated.
//
//   fuzz_readers.exe [--reader NAME]... [--inputs N] [--seconds S] [--first N] [--seed S]
//                    [--time-limit-ms MS] [--allocation-bound-mb MB] [--out FOLDER]
//
// With neither --inputs nor --seconds each reader runs 5 seconds.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "guard.h"
#include "mutator.h"
#include "readers.h"

namespace {

// A long round says how far each reader has come once a minute.
constexpr DWORD kNoteEveryMs = 60000;

struct Options {
  std::vector<std::string> readers;
  uint64_t inputs = 0;
  double seconds = 0;
  uint64_t first = 0;
  uint64_t seed = 20240607;
  fuzz::GuardLimits limits;
  std::wstring out;
};

std::wstring WindowsPath(const char* path) {
  std::wstring wide;
  for (const char* p = path; *p; ++p) wide += *p == '/' ? L'\\' : static_cast<wchar_t>(*p);
  return wide;
}

bool ParseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string name = argv[i];
    const char* value = argv[i + 1];
    if (name == "--reader") {
      options.readers.push_back(value);
    } else if (name == "--inputs") {
      options.inputs = std::strtoull(value, nullptr, 10);
    } else if (name == "--seconds") {
      options.seconds = std::atof(value);
    } else if (name == "--first") {
      options.first = std::strtoull(value, nullptr, 10);
    } else if (name == "--seed") {
      options.seed = std::strtoull(value, nullptr, 10);
    } else if (name == "--time-limit-ms") {
      options.limits.timeLimitMs = static_cast<unsigned>(std::strtoul(value, nullptr, 10));
    } else if (name == "--allocation-bound-mb") {
      options.limits.allocationBound = static_cast<size_t>(std::strtoul(value, nullptr, 10)) << 20;
    } else if (name == "--out") {
      options.out = WindowsPath(value);
    } else {
      return false;
    }
  }
  if (argc % 2 == 0) return false;
  if (options.inputs == 0 && options.seconds == 0) options.seconds = 5;
  return true;
}

bool Selected(const Options& options, const std::string& reader) {
  if (options.readers.empty()) return true;
  for (const std::string& name : options.readers) {
    if (name == reader) return true;
  }
  return false;
}

// Reads one input under the guard; false when it failed (what it did is printed).
bool ReadGuarded(const fuzz::Reader& reader, const char* kind, uint64_t number, const std::string& input) {
  fuzz::InputBegin(reader.name, number, input);
  std::string thrown;
  try {
    reader.read(input);
  } catch (const std::bad_alloc&) {
    // Refused by the allocation bound: InputEnd tells.
  } catch (const std::exception& error) {
    thrown = error.what();
  }
  size_t refused = 0;
  const bool overAllocated = fuzz::InputEnd(&refused);
  if (!overAllocated && thrown.empty()) return true;
  const std::string what = overAllocated ? "allocation" : "exception";
  const std::wstring saved = fuzz::SaveInput(reader.name, what.c_str(), number, input);
  if (overAllocated) {
    fuzz::Print("FAIL allocation: reader %s %s input %llu asked for %zu bytes beyond the bound, saved as %ls\n",
                reader.name.c_str(), kind, static_cast<unsigned long long>(number), refused, saved.c_str());
  } else {
    fuzz::Print("FAIL exception: reader %s %s input %llu threw \"%s\", saved as %ls\n", reader.name.c_str(), kind,
                static_cast<unsigned long long>(number), thrown.c_str(), saved.c_str());
  }
  return false;
}

// The kept inputs that once failed: each must now be read without failing.
unsigned ReadRegressions(const fuzz::Reader& reader, const std::wstring& source, size_t* count) {
  const std::vector<std::string> kept =
      fuzz::SeedFiles(source + L"\\tests\\fuzz\\regressions\\" + std::wstring(reader.name.begin(), reader.name.end()),
                      {L".bin"}, 64u << 20);
  unsigned failures = 0;
  for (size_t i = 0; i < kept.size(); ++i) failures += ReadGuarded(reader, "regression", i, kept[i]) ? 0 : 1;
  *count = kept.size();
  return failures;
}

unsigned RunReader(const fuzz::Reader& reader, const Options& options, const std::wstring& source) {
  size_t regressions = 0;
  unsigned failures = ReadRegressions(reader, source, &regressions);
  if (reader.seeds.empty()) {
    fuzz::Print("FAIL reader %s: no seed inputs\n", reader.name.c_str());
    return failures + 1;
  }
  const DWORD start = GetTickCount();
  const DWORD budget = static_cast<DWORD>(options.seconds * 1000);
  DWORD lastNote = start;
  uint64_t n = options.first;
  for (; options.inputs == 0 || n < options.first + options.inputs; ++n) {
    const DWORD now = GetTickCount();
    if (budget != 0 && now - start >= budget) break;
    if (now - lastNote >= kNoteEveryMs) {
      lastNote = now;
      fuzz::Print("reader %s: input %llu, %.0f inputs/s so far\n", reader.name.c_str(),
                  static_cast<unsigned long long>(n), (n - options.first) * 1000.0 / (now - start));
    }
    fuzz::Rng rng = fuzz::InputRng(options.seed, reader.name, n);
    std::string input = fuzz::Mutate(reader.seeds, rng);
    if (reader.repair != nullptr && rng.OneIn(2)) reader.repair(input);
    failures += ReadGuarded(reader, "mutated", n, input) ? 0 : 1;
  }
  const double seconds = (GetTickCount() - start) / 1000.0;
  const uint64_t read = n - options.first;
  fuzz::Print("reader %-9s %2zu seeds %2zu regressions  inputs %llu..%llu: %llu in %.1f s, %.0f inputs/s, %u failing\n",
              reader.name.c_str(), reader.seeds.size(), regressions, static_cast<unsigned long long>(options.first),
              static_cast<unsigned long long>(n), static_cast<unsigned long long>(read), seconds,
              seconds > 0 ? read / seconds : 0.0, failures);
  return failures;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const std::wstring build = WindowsPath(FUZZ_BUILD_DIR);
  options.out = build + L"\\artifacts\\fuzz";
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: fuzz_readers [--reader NAME]... [--inputs N] [--seconds S] [--first N] [--seed S]\n"
                 "       [--time-limit-ms MS] [--allocation-bound-mb MB] [--out FOLDER]\n");
    return 2;
  }
  fuzz::StartGuard(options.limits, options.out);
  // The readers' own notices (the logger's configuration warnings) stay out of the report and
  // cost no write: the runtime's standard output is closed, the report has its own handle.
  std::fclose(stdout);
  vemtal::vlog::IVlogManager::getInstance()->enableLogger(0, false);
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  const fuzz::SeedFolders folders = {WindowsPath(FUZZ_SOURCE_DIR), build,
                                     std::wstring(temp) + L"tamsel-fuzz-" + std::to_wstring(GetCurrentProcessId())};
  fuzz::Print("seed %llu, time limit %u ms per input, allocation bound %zu MB per input\n",
              static_cast<unsigned long long>(options.seed), options.limits.timeLimitMs,
              options.limits.allocationBound >> 20);
  unsigned failures = 0;
  unsigned readers = 0;
  for (const fuzz::Reader& reader : fuzz::MakeReaders(folders)) {
    if (!Selected(options, reader.name)) continue;
    ++readers;
    failures += RunReader(reader, options, folders.source);
  }
  SetCurrentDirectoryW(temp);
  DeleteDirectoryTree(folders.work, {});
  fuzz::Print("%u readers, %u failing inputs\n", readers, failures);
  return failures == 0 && readers != 0 ? 0 : 1;
}
