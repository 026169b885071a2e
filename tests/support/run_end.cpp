// Linked into the test programs that are not GoogleTest ones: they end by GoogleTest's protocol
// too. The test wrapper names a file in TEST_PREMATURE_EXIT_FILE and takes a run that leaves it as
// one that did not reach its end; the program deletes it at its normal end (main returned, or exit).
// A program killed from outside never gets here, while Wine may report its exit code as 0.
#include <cstdio>
#include <cstdlib>

namespace {

struct RunEnd {
  ~RunEnd() {
    if (const wchar_t* file = _wgetenv(L"TEST_PREMATURE_EXIT_FILE")) _wremove(file);
  }
} runEnd;

}  // namespace
