// A SkinUI list of text rows beside the platform's report-view list (SysListView32), each alone in
// a 600 by 400 window with three columns, measured in the same run: filling 10,000 and 100,000
// rows (until the first paint is done), one wheel step (the message to the end of its paint) and
// one full repaint, as medians. Also the build and first paint of a 5,000-node tree from markup.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "ui/core/builder/dialog_builder.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/extra/extra_controls.h"
#include "ui/extra/list/list.h"
#include "ui/extra/list/list_elements.h"

using namespace SkinUI;

namespace {

constexpr int kWidth = 600, kHeight = 400, kSteps = 31;

double Milliseconds(const std::function<void()>& run) {
  auto start = std::chrono::steady_clock::now();
  run();
  std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return took.count();
}

double Median(int rounds, const std::function<void()>& run) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) times.push_back(Milliseconds(run));
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

void CellText(wchar_t* text, int row, int column) { swprintf(text, 32, L"Row %d, cell %d", row, column); }

LRESULT CALLBACK SkinWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* manager = reinterpret_cast<CPaintManagerUI*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT lRes = 0;
  if (manager != nullptr && manager->MessageHandler(msg, wParam, lParam, lRes)) return lRes;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND MakeWindow(const wchar_t* name, WNDPROC proc, int x) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
  HWND hwnd = CreateWindowExW(0, name, name, WS_POPUP, x, 0, kWidth, kHeight, nullptr, nullptr, wc.hInstance, nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  return hwnd;
}

// The skin's window: a paint manager whose root is built from markup.
struct SkinWindow {
  HWND hwnd;
  CPaintManagerUI manager;

  SkinWindow(const wchar_t* markup, int x) : hwnd(MakeWindow(L"BenchSkinList", SkinWndProc, x)) {
    manager.Init(hwnd, L"bench");
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&manager));
    CDialogBuilder builder;
    manager.AttachDialog(builder.Create(markup, nullptr, nullptr, &manager));
    Repaint();
  }
  ~SkinWindow() {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
  }
  void Repaint() {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    Pump();
  }
};

const wchar_t kListMarkup[] =
    L"<Window><List name=\"list\" vscrollbar=\"true\" itembkcolor=\"#FFFFFFFF\" itemselectedbkcolor=\"#FF3399FF\">"
    L"<ListHeader><ListHeaderItem text=\"First\" width=\"190\"/><ListHeaderItem text=\"Second\" width=\"190\"/>"
    L"<ListHeaderItem text=\"Third\" width=\"190\"/></ListHeader></List></Window>";

struct Figures {
  double fill, wheel, repaint, megabytes;
};

// Committed bytes of the process (the page-file usage, which counts private memory).
double CommittedMegabytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage / 1048576.0;
}

Figures MeasureSkinList(int rows) {
  SkinWindow window(kListMarkup, 0);
  CListUI* list = static_cast<CListUI*>(window.manager.FindControl(L"list")->GetInterface(L"List"));
  Figures figures;
  double before = CommittedMegabytes();
  figures.fill = Milliseconds([&] {
    wchar_t text[32];
    for (int i = 0; i < rows; ++i) {
      CListTextElementUI* row = new CListTextElementUI;
      list->Add(row);
      for (int c = 0; c < 3; ++c) {
        CellText(text, i, c);
        row->SetTextOfColumn(c, text);
      }
    }
    window.Repaint();
  });
  figures.megabytes = CommittedMegabytes() - before;
  POINT at = {kWidth / 2, kHeight / 2};
  ClientToScreen(window.hwnd, &at);
  figures.wheel = Median(kSteps, [&] {
    SendMessageW(window.hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(at.x, at.y));
    UpdateWindow(window.hwnd);
  });
  figures.repaint = Median(kSteps, [&] {
    InvalidateRect(window.hwnd, nullptr, FALSE);
    UpdateWindow(window.hwnd);
  });
  return figures;
}

LRESULT CALLBACK PlainWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

Figures MeasureNativeList(int rows) {
  HWND frame = MakeWindow(L"BenchNativeList", PlainWndProc, kWidth + 10);
  HWND view = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, kWidth, kHeight, frame,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
  const wchar_t* titles[] = {L"First", L"Second", L"Third"};
  for (int c = 0; c < 3; ++c) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 190;
    column.pszText = const_cast<wchar_t*>(titles[c]);
    SendMessageW(view, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&column));
  }
  UpdateWindow(view);
  Pump();
  Figures figures;
  double before = CommittedMegabytes();
  // Filled the way a program fills it quickly: room for the rows first, no redrawing meanwhile.
  figures.fill = Milliseconds([&] {
    wchar_t text[32];
    SendMessageW(view, LVM_SETITEMCOUNT, rows, 0);
    SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < rows; ++i) {
      LVITEMW item = {};
      item.mask = LVIF_TEXT;
      item.iItem = i;
      CellText(text, i, 0);
      item.pszText = text;
      SendMessageW(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
      for (int c = 1; c < 3; ++c) {
        item.iSubItem = c;
        CellText(text, i, c);
        SendMessageW(view, LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
      }
    }
    SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(view);
    Pump();
  });
  figures.megabytes = CommittedMegabytes() - before;
  POINT at = {kWidth / 2, kHeight / 2};
  ClientToScreen(view, &at);
  figures.wheel = Median(kSteps, [&] {
    SendMessageW(view, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(at.x, at.y));
    UpdateWindow(view);
  });
  figures.repaint = Median(kSteps, [&] {
    InvalidateRect(view, nullptr, FALSE);
    UpdateWindow(view);
  });
  DestroyWindow(frame);
  Pump();
  return figures;
}

// Three levels: 100 nodes of 7 children of 6 children each (5,000 nodes).
std::wstring TreeMarkup() {
  std::wstring xml = L"<Window><TreeView name=\"tree\" vscrollbar=\"true\">";
  for (int a = 0; a < 100; ++a) {
    xml += L"<TreeNode text=\"Node " + std::to_wstring(a) + L"\">";
    for (int b = 0; b < 7; ++b) {
      xml += L"<TreeNode text=\"Child\">";
      for (int c = 0; c < 6; ++c) xml += L"<TreeNode text=\"Leaf\"/>";
      xml += L"</TreeNode>";
    }
    xml += L"</TreeNode>";
  }
  return xml + L"</TreeView></Window>";
}

void Report(const char* what, int rows, double ours, double native, const char* unit, const char* goal) {
  printf("%-12s %7d rows: SkinUI %8.2f %s, SysListView32 %8.2f %s, ratio %5.2f%s\n", what, rows, ours, unit, native,
         unit, ours / native, goal);
}

}  // namespace

int main() {
  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&controls);
  RegisterExtraControls();
  for (int rows : {10000, 100000}) {
    Figures native = MeasureNativeList(rows);
    Figures ours = MeasureSkinList(rows);
    bool goals = rows == 10000;
    Report("fill", rows, ours.fill, native.fill, "ms", goals ? " (goal: at most 2)" : "");
    Report("wheel step", rows, ours.wheel, native.wheel, "ms", goals ? " (goal: at most 1.5)" : "");
    Report("full repaint", rows, ours.repaint, native.repaint, "ms", goals ? " (goal: at most 1.5)" : "");
    Report("memory", rows, ours.megabytes, native.megabytes, "MB", "");
  }
  std::wstring tree = TreeMarkup();
  double build = Milliseconds([&] { SkinWindow window(tree.c_str(), 0); });
  printf("tree of 5,000 nodes from markup: built, laid out and painted in %.1f ms\n", build);
  return 0;
}
