// A silent install of a 50 MB mixed payload (3,000 small texts, incompressible media,
// program binaries, one large text) from this program with the payload's packages appended,
// beside an NSIS installer (zlib) of the same files installing silently under the same Wine
// in the same run; both timed as whole processes. Figures and their ratio only.
//
// Without packages of its own the program drives the run (bench_host.py lays out the payload
// and builds the NSIS installer on the host); with packages it is the setup program:
// "bench_install.exe /silent:<folder>" installs like the product's silent mode.
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "common/log/vlog.h"
#include "common/sys/dir_tree.h"
#include "common/sys/text_convert.h"
#include "engine/job/command_line.h"
#include "engine/package/setup_pkg.h"
#include "engine/zqpm/zqpm.h"
#include "bench_host.h"
#include "bench_timing.h"
#include "file_list.h"

namespace {

constexpr DWORD kHostWaitMs = 600000;
constexpr int kRuns = 3;

std::wstring SelfPath() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return path;
}

bool HasPackages() {
  try {
    return SetupPkg::GetInstance().Packages().size() >= 2;
  } catch (const KvException&) {
    return false;
  }
}

// The command line without the program path, as wWinMain receives it.
const wchar_t* Arguments() {
  const wchar_t* line = GetCommandLineW();
  if (*line == L'"') {
    line = wcschr(line + 1, L'"');
    line = line ? line + 1 : L"";
  } else {
    while (*line && *line != L' ') ++line;
  }
  while (*line == L' ') ++line;
  return line;
}

// The setup program: what the product's silent install does, without its window.
int RunSetup() {
  // The product is a GUI program: its log lines reach no console.
  vemtal::vlog::IVlogManager::getInstance()->setLoggerDisplay(0, false);
  OpePARAMEx record;
  if (ParseCommandLine(Arguments(), record) != 0) return 1;
  ZQPM* engine = ZQPM::GetInstance();
  if (engine->Init(&record) != 0) return 2;
  record.useWorkerThread = false;
  const int result = engine->Install(&record);
  vemtal::vlog::IVlogManager::getInstance()->drain();
  return result == 0 ? 0 : 3;
}

// Runs a host command (see bench_host.py) on the work folder until it writes its result file.
bool RunHost(const std::wstring& work, const std::string& command, const std::wstring& result) {
  return RunHostCommand(TAMSEL_BENCH_HOST_SCRIPT, work, command, result, kHostWaitMs);
}

// The setup program: this program's image with the payload's two packages.
bool MakePackages(const std::wstring& stage, const std::wstring& setup) {
  SetupPkg maker;
  maker.SetSourceFolder(stage);
  std::vector<FileRecord> program, setupFiles;
  return maker.CreateOutputFile(setup) == 0 && ReadFileList(stage + L"\\list0.txt", &program) &&
         ReadFileList(stage + L"\\list1.txt", &setupFiles) && maker.BuildPackages(SelfPath(), program, 0) == 0 &&
         maker.AddPackage(setupFiles, true) == 0;
}

// MakePackages with the maker's per-file progress lines sent to NUL.
bool MakeSetup(const std::wstring& stage, const std::wstring& setup) {
  fflush(stdout);
  const int console = _dup(_fileno(stdout));
  FILE* sink = _wfopen(L"NUL", L"w");
  if (sink) _dup2(_fileno(sink), _fileno(stdout));
  const bool made = MakePackages(stage, setup);
  fflush(stdout);
  _dup2(console, _fileno(stdout));
  _close(console);
  if (sink) fclose(sink);
  return made;
}

// Runs one program to its end: seconds, or -1 when it could not start or failed.
double TimeProcess(const std::wstring& program, const std::wstring& arguments) {
  std::wstring line = L"\"" + program + L"\" " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  const Stopwatch watch;
  if (!CreateProcessW(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
    printf("cannot start %ls, err %lu\n", program.c_str(), GetLastError());
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  const double seconds = watch.Seconds();
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (code != 0) {
    printf("%ls ended with %lu\n", program.c_str(), code);
    return -1;
  }
  return seconds;
}

bool SameFile(const std::wstring& a, const std::wstring& b) {
  return ReadText(a) == ReadText(b) && !ReadText(a).empty();
}

void RemoveTraces() {
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\TamselBench");
  RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo");
  RegDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselPelluvo");
}

int Drive() {
  const std::wstring bin = SelfPath().substr(0, SelfPath().rfind(L'\\'));
  const std::wstring work = bin.substr(0, bin.rfind(L'\\')) + L"\\bench-install";
  CreateDirectoryTree(work);
  if (!RunHost(work, "prepare", L"ready.json")) return 1;
  const std::wstring stage = work + L"\\stage";
  const std::wstring setup = work + L"\\bench_setup.exe";
  const std::wstring nsis = work + L"\\bench_nsis.exe";
  if (!MakeSetup(stage, setup)) {
    printf("cannot make the setup program\n");
    return 1;
  }
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::wstring targets = std::wstring(temp) + L"zqbench";
  std::vector<double> ours, theirs;
  for (int run = 0; run < kRuns; ++run) {
    const std::wstring oursDir = targets + L"\\ours" + std::to_wstring(run);
    const std::wstring nsisDir = targets + L"\\nsis" + std::to_wstring(run);
    ours.push_back(TimeProcess(setup, L"/silent:" + oursDir));
    theirs.push_back(TimeProcess(nsis, L"/S /D=" + nsisDir));
    const std::wstring sample = L"\\logs\\history.txt";
    if (ours.back() < 0 || theirs.back() < 0 || !SameFile(oursDir + sample, stage + sample) ||
        !SameFile(nsisDir + sample, stage + sample)) {
      printf("run %d did not install the payload\n", run);
      return 1;
    }
    DeleteDirectoryTree(oursDir, {});
    DeleteDirectoryTree(nsisDir, {});
  }
  RemoveTraces();
  const std::string ready = ReadText(work + L"\\ready.json");
  printf("payload %s\n", ready.c_str());
  printf("silent install, median of %d whole processes: ours %.2f s, NSIS (zlib) %.2f s\n", kRuns, Median(ours),
         Median(theirs));
  printf("ratio ours / NSIS: %.2f\n", Median(ours) / Median(theirs));
  RunHost(work, "clean", L"clean.json");
  return 0;
}

}  // namespace

int wmain() { return HasPackages() ? RunSetup() : Drive(); }
