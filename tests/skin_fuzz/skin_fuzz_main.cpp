// skin_fuzz: random skin layouts over every element the control factory makes, each built into a
// real framework window, laid out, painted, driven, resized and destroyed under a watchdog, with
// the heaps validated after every case. A fixed seed makes every case repeat: case N of seed S is
// the same layout and the same input on every run, and in most cases the same receivers acting on
// its notifications (acting.h). --log shows the framework's log lines and each act.
//
//   skin_fuzz --skin DIR [--seed S] [--first N] [--count N] [--hang-ms MS] [--heap-every N]
//             [--figures] [--figures-every N] [--max-growth-kb KB] [--max-handle-growth N]
//             [--max-gdi-growth N] [--log] [--trail FILE]
//   skin_fuzz --skin DIR --rows FILE [--figures --repeat N ...]  replays regression rows
//   skin_fuzz --skin DIR --print N [--seed S]  prints case N as a row
#include <windows.h>
#include <winternl.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <memory>
#include <string>
#include <vector>

#include "acting.h"
#include "case_rows.h"
#include "guard.h"
#include "markup_maker.h"
#include "skin_driver.h"
#include "skin_words.h"
#include "support_files.h"
#include "support_text.h"
#include "test_support.h"
#include "ui/core/base/ui_log.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace skin_fuzz {
namespace {

struct Options {
  std::wstring skin;
  std::wstring rows;
  std::wstring trail;
  unsigned seed = 1;
  unsigned long long first = 0;
  unsigned long long count = 1000;
  long long print = -1;
  DWORD hangMs = 30000;
  unsigned heapEvery = 1;
  bool figures = false;
  unsigned long long figuresEvery = 0;
  bool log = false;
  int repeat = 1;
  long long maxGrowthKb = -1;
  long long maxHandleGrowth = -1;
  long long maxGdiGrowth = -1;
};

// The process's figures that a leak makes grow. Under Wine the handle count, the private bytes
// and GetGuiResources all answer 0, so each is counted another way.
struct Figures {
  std::vector<HANDLE> open;                  // kernel handles: the values below 64K that name one
  unsigned long heapKb = 0;                  // blocks in use in every heap of the process
  unsigned long privateKb = 0;               // committed private memory
  int windows = 0;                           // top-level windows of this thread
  std::vector<std::pair<DWORD, DWORD>> gdi;  // GDI objects: table entry and type
};

unsigned long HeapInUseKb() {
  std::vector<HANDLE> heaps(256);
  DWORD count = ::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  unsigned long long bytes = 0;
  for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
    PROCESS_HEAP_ENTRY entry = {};
    ::HeapLock(heaps[i]);
    while (::HeapWalk(heaps[i], &entry)) {
      if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0) bytes += entry.cbData;
    }
    ::HeapUnlock(heaps[i]);
  }
  return static_cast<unsigned long>(bytes / 1024);
}

unsigned long PrivateCommittedKb() {
  unsigned long long bytes = 0;
  MEMORY_BASIC_INFORMATION info = {};
  for (const BYTE* at = nullptr; ::VirtualQuery(at, &info, sizeof(info)) == sizeof(info);
       at = static_cast<const BYTE*>(info.BaseAddress) + info.RegionSize) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) bytes += info.RegionSize;
    if (static_cast<const BYTE*>(info.BaseAddress) + info.RegionSize < at) break;
  }
  return static_cast<unsigned long>(bytes / 1024);
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

Figures Measure() {
  Figures f;
  f.open = skinui_test::OpenKernelHandles();
  f.heapKb = HeapInUseKb();
  f.privateKb = PrivateCommittedKb();
  ::EnumThreadWindows(::GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&f.windows));
  f.gdi = skinui_test::LiveGdiObjects();
  return f;
}

void PrintFigures(const char* when, const Figures& f) {
  printf(
      "skin_fuzz: %s: handles %d, heap in use %lu KB, private memory %lu KB, top-level windows %d, "
      "GDI objects %d\n",
      when, static_cast<int>(f.open.size()), f.heapKb, f.privateKb, f.windows, static_cast<int>(f.gdi.size()));
}

// What a handle names, for the report of handles left behind: its type and, for a key, a file or
// a named object, its name.
std::string DescribeHandle(HANDLE h) {
  alignas(8) BYTE buffer[2048];
  ULONG size = 0;
  std::string text = "?";
  if (NT_SUCCESS(::NtQueryObject(h, ObjectTypeInformation, buffer, sizeof(buffer) - 2, &size))) {
    const UNICODE_STRING& type = reinterpret_cast<PUBLIC_OBJECT_TYPE_INFORMATION*>(buffer)->TypeName;
    text = testsupport::Utf8(std::wstring(type.Buffer, type.Length / 2));
  }
  if (NT_SUCCESS(::NtQueryObject(h, ObjectNameInformation, buffer, sizeof(buffer) - 2, &size))) {
    const UNICODE_STRING& name = reinterpret_cast<OBJECT_NAME_INFORMATION*>(buffer)->Name;
    if (name.Length > 0) text += " " + testsupport::Utf8(std::wstring(name.Buffer, name.Length / 2));
  }
  return text;
}

// What a GDI object is, for the report of objects left behind; a region's box and rectangle count
// tell whose it was (a window's round corners, a clip).
std::string DescribeGdiObject(DWORD entry, DWORD type) {
  char text[128];
  HRGN region = static_cast<HRGN>(reinterpret_cast<HGDIOBJ>(static_cast<ULONG_PTR>(entry)));
  RECT box = {};
  if (type == OBJ_REGION && ::GetRgnBox(region, &box) != ERROR) {
    const DWORD size = ::GetRegionData(region, 0, nullptr);
    snprintf(text, sizeof(text), "region %ld,%ld,%ld,%ld of %u rectangles", box.left, box.top, box.right, box.bottom,
             static_cast<unsigned>(size > sizeof(RGNDATAHEADER) ? (size - sizeof(RGNDATAHEADER)) / sizeof(RECT) : 0));
  } else {
    snprintf(text, sizeof(text), "object of type %lu", type);
  }
  return text;
}

void PrintNewGdiObjects(const Figures& early, const Figures& last) {
  for (const auto& object : last.gdi) {
    if (std::find(early.gdi.begin(), early.gdi.end(), object) == early.gdi.end())
      printf("skin_fuzz: GDI entry %04lx: %s\n", object.first, DescribeGdiObject(object.first, object.second).c_str());
  }
}

void PrintNewHandles(const Figures& early, const Figures& last) {
  for (HANDLE h : last.open) {
    if (std::find(early.open.begin(), early.open.end(), h) == early.open.end())
      printf("skin_fuzz: handle %p: %s\n", h, DescribeHandle(h).c_str());
  }
}

// Wine keeps up to 64 window DCs, each with its region, for reuse, made as more are in use at
// once: the cache is filled here, so its growth during the round is not taken for a leak.
void FillTheDcCache() {
  HWND desktop = ::GetDesktopWindow();
  std::vector<HDC> taken;
  for (int i = 0; i < 64; ++i) {
    HDC dc = ::GetDCEx(desktop, nullptr, DCX_CACHE);
    if (dc == nullptr) break;
    RECT box;
    ::GetClipBox(dc, &box);
    taken.push_back(dc);
  }
  for (HDC dc : taken) ::ReleaseDC(desktop, dc);
}

// Under Wine a window that goes away waits two seconds for a window manager, which the test
// display lacks, unless Wine manages no window of this program (read when the program starts).
// Sets that for this program once; true when it was already set.
bool WindowsUnmanaged() {
  const wchar_t kKey[] = L"Software\\Wine\\AppDefaults\\skin_fuzz.exe\\X11 Driver";
  HKEY key = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return true;
  }
  wchar_t value[8] = {};
  DWORD size = sizeof(value);
  bool set =
      ::RegQueryValueExW(key, L"Managed", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
      wcscmp(value, L"N") == 0;
  if (!set) ::RegSetValueExW(key, L"Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>(L"N"), 4);
  ::RegCloseKey(key);
  return set;
}

// Runs this program again with the same command line and answers its exit code; one that did not
// run to its end (Wine reports 0 for a process killed by a signal) fails.
int RunAgain() {
  testsupport::ChildEndFile end;
  STARTUPINFOW si = {};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi = {};
  std::wstring line = ::GetCommandLineW();
  if (!::CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return kExitUsage;
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = kExitUsage;
  ::GetExitCodeProcess(pi.hProcess, &code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  if (end.Reached()) return static_cast<int>(code);
  fprintf(stderr, "skin_fuzz: the program run again did not run to its end\n");
  return kExitUsage;
}

// A path as the program sees it: a Unix path lies on Wine's drive Z:.
std::wstring WindowsPath(const wchar_t* path) {
  std::wstring out = path[0] == L'/' ? L"Z:" : L"";
  for (const wchar_t* p = path; *p != L'\0'; ++p) out += *p == L'/' ? L'\\' : *p;
  return out;
}

bool ParseOptions(int argc, wchar_t** argv, Options& o) {
  for (int i = 1; i < argc; ++i) {
    std::wstring a = argv[i];
    const wchar_t* v = i + 1 < argc ? argv[i + 1] : nullptr;
    auto number = [&](auto& target) {
      if (v == nullptr) return false;
      target = static_cast<std::remove_reference_t<decltype(target)>>(_wcstoi64(v, nullptr, 10));
      ++i;
      return true;
    };
    bool ok = true;
    if (a == L"--skin" && v != nullptr) {
      o.skin = WindowsPath(v);
      if (o.skin.back() != L'\\') o.skin += L'\\';
      ++i;
    } else if (a == L"--rows" && v != nullptr) {
      o.rows = WindowsPath(v);
      ++i;
    } else if (a == L"--trail" && v != nullptr) {
      o.trail = WindowsPath(v);
      ++i;
    } else if (a == L"--seed") {
      ok = number(o.seed);
    } else if (a == L"--first") {
      ok = number(o.first);
    } else if (a == L"--count") {
      ok = number(o.count);
    } else if (a == L"--print") {
      ok = number(o.print);
    } else if (a == L"--hang-ms") {
      ok = number(o.hangMs);
    } else if (a == L"--heap-every") {
      ok = number(o.heapEvery);
    } else if (a == L"--max-growth-kb") {
      ok = number(o.maxGrowthKb);
    } else if (a == L"--max-handle-growth") {
      ok = number(o.maxHandleGrowth);
    } else if (a == L"--max-gdi-growth") {
      ok = number(o.maxGdiGrowth);
    } else if (a == L"--figures-every") {
      ok = number(o.figuresEvery);
      o.figures = true;
    } else if (a == L"--figures") {
      o.figures = true;
    } else if (a == L"--repeat") {
      ok = number(o.repeat);
    } else if (a == L"--log") {
      o.log = true;
    } else {
      ok = false;
    }
    if (!ok) return false;
  }
  return !o.skin.empty();
}

void PrintLogLine(const wchar_t* line) { printf("skin_fuzz: log: %ls\n", line); }
void DropLogLine(const wchar_t*) {}

// Case `index` of `seed`: one generator makes its layout, another its input; the acting receivers
// have generators of their own (acting.cpp).
std::mt19937 CaseRandom(unsigned seed, unsigned long long index, unsigned stream) {
  std::seed_seq seq{seed, static_cast<unsigned>(index), static_cast<unsigned>(index >> 32), stream};
  return std::mt19937(seq);
}
std::mt19937 LayoutRandom(unsigned seed, unsigned long long index) { return CaseRandom(seed, index, 0); }
std::mt19937 InputRandom(unsigned seed, unsigned long long index) { return CaseRandom(seed, index, 1); }

class Runner {
 public:
  Runner(const Options& o, const SkinWords& words) : m_o(o), m_words(words), m_driver(o.skin) {}

  void Run(const std::string& label, const CaseRow& row) {
    if (Drive(label, row))
      ++m_built;
    else
      ++m_refused;
    if (m_o.heapEvery != 0 && (m_built + m_refused) % m_o.heapEvery == 0 && !HeapsIntact())
      FailCase("damaged heap", kExitHeap);
    EndCase();
  }

  // A layout of the driver's own, not counted as a case.
  void RunOwn(const char* label, const wchar_t* layout) {
    if (!Drive(label, CaseRow{SkinCase{layout, "", false}, 0, 0})) FailCase("layout refused", kExitUsage);
    EndCase();
  }

  // The platform sets up some things once per process at their first use and keeps them: the web
  // browser's cookie store and object table, what its first navigation to a numeric address starts
  // (3 handles and 4 MB), the image codecs' list at the first GIF. A layout
  // that uses each runs before the figures count, so what they keep is not taken for a leak.
  void WarmUp() {
    FillTheDcCache();
    LoadThePlatformsOneOffs();
    const wchar_t kLayout[] =
        L"<Window size=\"200,200\"><VerticalLayout><WebBrowser homepage=\"x\" autonavi=\"true\"/><WebBrowser "
        L"homepage=\"273\" autonavi=\"true\"/>"
        L"<Ring bkimage=\"anim.gif\"/><GifAnim bkimage=\"anim.gif\"/></VerticalLayout></Window>";
    const std::vector<HANDLE> before = skinui_test::OpenKernelHandles();
    RunOwn("the warm-up", kLayout);
    // A rich edit with its scroll bar makes a font and a glyph of the platform's at its first paint.
    RunOwn("the warm-up", L"<Window><RichEdit><RichEdit vscrollbar=\"true\"/><ScrollBar/></RichEdit></Window>");
    printf("skin_fuzz: the warm-up kept %d handles of the platform's one-off set-ups\n",
           static_cast<int>(skinui_test::OpenKernelHandles().size() - before.size()));
  }

  // What the platform makes once per process at its first use and keeps: every shared cursor
  // and icon (three bitmaps each under Wine; a skin's cursor is loaded only under the pointer), the system colours'
  // brushes, and what each native control class makes at its first paint (its font, pens, glyphs).
  static void LoadThePlatformsOneOffs() {
    for (WORD id = 32512; id <= 32700; ++id) {
      ::LoadCursorW(nullptr, MAKEINTRESOURCEW(id));
      ::LoadIconW(nullptr, MAKEINTRESOURCEW(id));
    }
    // Drag and drop's own cursors: no drop, move, copy and link of ole32's resources under Wine.
    for (WORD id = 1; id <= 4; ++id) ::LoadCursorW(::GetModuleHandleW(L"ole32.dll"), MAKEINTRESOURCEW(id));
    // The rich edit's selection-bar cursor, its own resource under Wine, loaded at its first set-cursor.
    ::LoadCursorW(::LoadLibraryW(L"riched20.dll"), MAKEINTRESOURCEW(107));
    for (int colour = 0; colour <= COLOR_MENUBAR; ++colour) ::GetSysColorBrush(colour);
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_INTERNET_CLASSES |
                                                         ICC_HOTKEY_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&classes);
    for (const wchar_t* name :
         {L"Button", L"Edit", L"ComboBox", L"ListBox", L"ScrollBar", L"Static", DATETIMEPICK_CLASSW, WC_IPADDRESSW,
          HOTKEY_CLASSW, MONTHCAL_CLASSW, TOOLTIPS_CLASSW, TRACKBAR_CLASSW}) {
      // A few styles of each: a button's check box, group box and radio button among them.
      for (DWORD style : {0UL, 0x3UL, 0x7UL, 0x9UL, 0x41UL}) {
        HWND control = ::CreateWindowExW(0, name, L"x", WS_POPUP | WS_VISIBLE | WS_BORDER | WS_VSCROLL | style, 0, 0,
                                         160, 60, nullptr, nullptr, nullptr, nullptr);
        if (control == nullptr) continue;
        ::UpdateWindow(control);
        ::SendMessageW(control, WM_SETFOCUS, 0, 0);
        ::UpdateWindow(control);
        ::DestroyWindow(control);
      }
    }
  }

  // Some of a case's memory is given back only as the next window is built (seen after layouts
  // with a web browser): the figures are read after a plain window has been built and closed.
  Figures MeasureQuietly() {
    RunOwn("a plain window before the figures", L"<Window size=\"100,100\"><Control/></Window>");
    return Measure();
  }

  int Random() {
    if (m_o.figures) WarmUp();
    Figures early;
    DWORD start = ::GetTickCount();
    for (unsigned long long i = m_o.first; i < m_o.first + m_o.count; ++i) {
      std::mt19937 rng = LayoutRandom(m_o.seed, i);
      CaseRow row{MarkupMaker(m_words, rng).Make(), m_o.seed, i, ActingReceivers::Chosen(m_o.seed, i)};
      char label[64];
      snprintf(label, sizeof(label), "case %llu of seed %u", i, m_o.seed);
      Run(label, row);
      const unsigned long long done = i - m_o.first + 1;
      if (m_o.figures && done == 1000) {
        early = MeasureQuietly();
        PrintFigures("after 1000 cases", early);
      } else if (m_o.figuresEvery != 0 && done % m_o.figuresEvery == 0 && done < m_o.count) {
        char when[64];
        snprintf(when, sizeof(when), "after case %llu", i);
        PrintFigures(when, MeasureQuietly());
      }
    }
    DWORD ms = ::GetTickCount() - start;
    printf("skin_fuzz: seed %u, cases %llu to %llu: %llu windows built, %llu skins refused, %.1f cases/s\n", m_o.seed,
           m_o.first, m_o.first + m_o.count - 1, m_built, m_refused, ms > 0 ? 1000.0 * m_o.count / ms : 0.0);
    if (!m_o.figures || m_o.count < 1000) return kExitOk;
    Figures last = MeasureQuietly();
    PrintFigures("at the end", last);
    return Grown(early, last) ? kExitGrowth : kExitOk;
  }

  int Rows() {
    std::vector<RegressionRow> rows;
    if (!ReadRows(m_o.rows, rows)) {
      fprintf(stderr, "skin_fuzz: cannot read the rows of %ls\n", m_o.rows.c_str());
      return kExitUsage;
    }
    Figures early;
    for (int pass = 0; pass < m_o.repeat; ++pass) {
      for (size_t i = 0; i < rows.size(); ++i) {
        char label[64];
        snprintf(label, sizeof(label), "row %u of the regression rows", static_cast<unsigned>(i + 1));
        Run(label, rows[i].row);
      }
      if (m_o.figures && pass == 0) {
        early = MeasureQuietly();
        PrintFigures("after the first pass", early);
      }
    }
    if (m_o.figures) {
      Figures last = MeasureQuietly();
      PrintFigures("at the end", last);
      if (Grown(early, last)) return kExitGrowth;
    }
    printf("skin_fuzz: %u regression rows passed (%llu windows built, %llu skins refused)\n",
           static_cast<unsigned>(rows.size()), m_built, m_refused);
    return kExitOk;
  }

 private:
  bool Grown(const Figures& early, const Figures& last) const {
    bool grown = false;
    long long heap = static_cast<long long>(last.heapKb) - static_cast<long long>(early.heapKb);
    long long memory = static_cast<long long>(last.privateKb) - static_cast<long long>(early.privateKb);
    long long handles = static_cast<long long>(last.open.size()) - static_cast<long long>(early.open.size());
    if (m_o.maxGrowthKb >= 0 && (heap > m_o.maxGrowthKb || memory > m_o.maxGrowthKb)) {
      printf("skin_fuzz: memory grew: heap by %lld KB, private memory by %lld KB (limit %lld)\n", heap, memory,
             m_o.maxGrowthKb);
      grown = true;
    }
    if (m_o.maxHandleGrowth >= 0 && handles > m_o.maxHandleGrowth) {
      printf("skin_fuzz: handles grew by %lld (limit %lld)\n", handles, m_o.maxHandleGrowth);
      PrintNewHandles(early, last);
      grown = true;
    }
    const long long gdi = static_cast<long long>(last.gdi.size()) - static_cast<long long>(early.gdi.size());
    if (m_o.maxGdiGrowth >= 0 && gdi > m_o.maxGdiGrowth) {
      printf("skin_fuzz: GDI objects grew by %lld (limit %lld)\n", gdi, m_o.maxGdiGrowth);
      PrintNewGdiObjects(early, last);
      grown = true;
    }
    if (m_o.maxHandleGrowth >= 0 && last.windows > early.windows) {
      printf("skin_fuzz: top-level windows were left behind\n");
      grown = true;
    }
    return grown;
  }

  bool Drive(const std::string& label, const CaseRow& row) {
    BeginCase(label, RowOf(row));
    std::mt19937 rng = InputRandom(row.seed, row.index);
    std::unique_ptr<ActingReceivers> acting;
    if (row.acting) acting = std::make_unique<ActingReceivers>(row.seed, row.index);
    const bool built = m_driver.Run(row.skin, rng, acting.get());
    ForgetSharedResources();
    return built;
  }

  const Options& m_o;
  const SkinWords& m_words;
  SkinDriver m_driver;
  unsigned long long m_built = 0;
  unsigned long long m_refused = 0;
};

}  // namespace
}  // namespace skin_fuzz

int wmain(int argc, wchar_t** argv) {
  using namespace skin_fuzz;
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    fprintf(stderr, "usage: skin_fuzz --skin DIR [--seed S] [--first N] [--count N] [--rows FILE] [--print N]\n");
    return kExitUsage;
  }
  if (!WindowsUnmanaged()) return RunAgain();
  setvbuf(stdout, nullptr, _IONBF, 0);
  InstallGuard(o.hangMs, o.trail);
  if (FAILED(::OleInitialize(nullptr))) return kExitUsage;
  SkinUI::CPaintManagerUI::SetInstance(::GetModuleHandleW(nullptr));
  SkinUI::CPaintManagerUI::SetResourceType(1);
  SkinUI::CPaintManagerUI::SetResourcePath(o.skin.c_str());
  // The framework's log lines name what it refused; shown on request.
  SkinUI::SetUILogSink(o.log ? PrintLogLine : DropLogLine);
  ActingReceivers::PrintActs(o.log);
  SkinWords words = SkinWords::Learn();
  if (o.print >= 0) {
    unsigned long long index = static_cast<unsigned long long>(o.print);
    std::mt19937 rng = LayoutRandom(o.seed, index);
    const CaseRow row{MarkupMaker(words, rng).Make(), o.seed, index, ActingReceivers::Chosen(o.seed, index)};
    printf("%s\n", RowOf(row).c_str());
    return kExitOk;
  }
  printf("skin_fuzz: %u elements of the control factory, %u words of the sources\n",
         static_cast<unsigned>(words.elements.size()), static_cast<unsigned>(words.words.size()));
  Runner runner(o, words);
  int result = o.rows.empty() ? runner.Random() : runner.Rows();
  ::OleUninitialize();
  return result;
}
