// Layout and full repaint of a 900 by 600 framework window holding about 1,000 controls (labels,
// images, nested layouts), beside the same number of plain GDI FillRect + DrawText calls into a
// DIB measured in the same run; and one hover change in that window (the pointer onto a label
// and off it again), which repaints that label only.
#include <windows.h>
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ui/core/controls/button.h"
#include "ui/core/layouts/linear_layout.h"
#include "ui/core/paint/manager/paint_manager.h"
#include "ui/core/paint/render/render_engine.h"

using namespace SkinUI;

namespace {

constexpr int kWidth = 900, kHeight = 600;
constexpr int kRows = 25, kCells = 10;
constexpr int kFrames = 60;

// A text control that lights up under the pointer: background, text in the default font.
class BenchLabel : public CButtonUI {
 public:
  void PaintText(HDC hDC) override {
    RECT rc = m_rcItem;
    CUIString text = GetText();
    CRenderEngine::DrawText(hDC, m_pManager, rc, text.GetData(), 0xFF202020, -1,
                            DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  }
};

// Milliseconds spent inside the manager's WM_PAINT handling: its own painting and the window
// system's calls it makes, without the message's dispatch and the copy to the screen.
double g_paintHandlerMs = 0;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* manager = reinterpret_cast<CPaintManagerUI*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  LRESULT lRes = 0;
  auto start = std::chrono::steady_clock::now();
  bool handled = manager != nullptr && manager->MessageHandler(msg, wParam, lParam, lRes);
  if (msg == WM_PAINT) {
    g_paintHandlerMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  if (handled) return lRes;
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

// A 16 by 16 32-bit BMP with a soft alpha edge, written once for the image controls.
std::wstring WriteImage() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  std::wstring path = std::wstring(temp) + L"bench_ui_tile.bmp";
  const int size = 16;
  std::vector<BYTE> file(54 + size * size * 4, 0);
  BITMAPFILEHEADER* fh = reinterpret_cast<BITMAPFILEHEADER*>(file.data());
  BITMAPINFOHEADER* ih = reinterpret_cast<BITMAPINFOHEADER*>(file.data() + 14);
  fh->bfType = 0x4D42;
  fh->bfSize = static_cast<DWORD>(file.size());
  fh->bfOffBits = 54;
  ih->biSize = 40;
  ih->biWidth = size;
  ih->biHeight = size;
  ih->biPlanes = 1;
  ih->biBitCount = 32;
  BYTE* px = file.data() + 54;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x, px += 4) {
      bool edge = x == 0 || y == 0 || x == size - 1 || y == size - 1;
      px[0] = static_cast<BYTE>(x * 16);
      px[1] = static_cast<BYTE>(y * 16);
      px[2] = 200;
      px[3] = edge ? 96 : 255;
    }
  }
  HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (h != INVALID_HANDLE_VALUE) {
    WriteFile(h, file.data(), static_cast<DWORD>(file.size()), &written, nullptr);
    CloseHandle(h);
  }
  return path;
}

CControlUI* BuildTree(const std::wstring& image, int& count) {
  CVerticalLayoutUI* root = new CVerticalLayoutUI();
  root->SetBkColor(0xFFF4F4F4);
  count = 1;
  std::wstring bk = L"file='" + image + L"' corner='3,3,3,3'";
  for (int r = 0; r < kRows; ++r) {
    CHorizontalLayoutUI* row = new CHorizontalLayoutUI();
    row->SetChildPadding(2);
    root->Add(row);
    ++count;
    for (int c = 0; c < kCells; ++c) {
      CVerticalLayoutUI* cell = new CVerticalLayoutUI();
      cell->SetBorderColor(0xFFB0B0B0);
      cell->SetBorderSize(1);
      row->Add(cell);
      BenchLabel* label = new BenchLabel();
      wchar_t text[32];
      swprintf(text, 32, L"Item %d.%d", r, c);
      label->SetText(text);
      label->SetFixedHeight(12);
      label->SetHotBkColor(0xFFDDE8F8);
      CControlUI* picture = new CControlUI();
      picture->SetBkImage(bk.c_str());
      CControlUI* bar = new CControlUI();
      bar->SetFixedHeight(3);
      bar->SetBkColor(0xFF3070C0);
      bar->SetBkColor2(0xFF80B0F0);
      cell->Add(label);
      cell->Add(picture);
      cell->Add(bar);
      count += 4;
    }
  }
  return root;
}

// Committed bytes of the process (the page-file usage, which counts private memory).
SIZE_T CommittedBytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage;
}

template <typename F>
double MillisecondsPer(int rounds, F&& run) {
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) run(i);
  std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
  return took.count() / rounds;
}

void Pump() {
  MSG msg;
  for (int i = 0; i < 1000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) DispatchMessageW(&msg);
}

}  // namespace

int main() {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  CPaintManagerUI::SetInstance(instance);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = WndProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"BenchUIWindow";
  RegisterClassExW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"bench_ui", WS_POPUP, 0, 0, kWidth, kHeight, nullptr, nullptr,
                              instance, nullptr);
  if (hwnd == nullptr) {
    printf("bench_ui: no window (err %lu); is DISPLAY set?\n", GetLastError());
    return 1;
  }
  std::wstring image = WriteImage();
  CPaintManagerUI* manager = new CPaintManagerUI();
  manager->Init(hwnd, L"bench");
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(manager));
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  Pump();

  SIZE_T before = CommittedBytes();
  int count = 0;
  CControlUI* root = BuildTree(image, count);
  manager->AttachDialog(root);
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  Pump();
  SIZE_T after = CommittedBytes();

  RECT client = {0, 0, kWidth, kHeight};
  double layout = MillisecondsPer(kFrames * 4, [&](int) { root->SetPos(client, false); });
  double frame = MillisecondsPer(kFrames, [&](int) {
    root->NeedUpdate();
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
  });
  g_paintHandlerMs = 0;
  double repaint = MillisecondsPer(kFrames, [&](int) {
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
  });
  double repaintHandler = g_paintHandlerMs / kFrames;
  Pump();
  // The pointer moves from a cell's picture onto its label and back: each move lights the label
  // up or down, and the window repaints what that invalidated.
  auto* row = static_cast<CContainerUI*>(static_cast<CContainerUI*>(root)->GetItemAt(kRows / 2));
  auto* cell = static_cast<CContainerUI*>(row->GetItemAt(kCells / 2));
  const RECT& onLabel = cell->GetItemAt(0)->GetPos();
  POINT over = {(onLabel.left + onLabel.right) / 2, (onLabel.top + onLabel.bottom) / 2};
  POINT below = {over.x, onLabel.bottom + 4};
  g_paintHandlerMs = 0;
  double hover = MillisecondsPer(kFrames * 4, [&](int i) {
    POINT at = i % 2 == 0 ? over : below;
    SendMessageW(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    UpdateWindow(hwnd);
  });
  Pump();

  // The anchor: the same number of FillRect + DrawText calls into a DIB of the window's size.
  HDC screen = GetDC(hwnd);
  HDC dc = CreateCompatibleDC(screen);
  LPDWORD bits = nullptr;
  HBITMAP dib = CRenderEngine::CreateDibSection32(screen, kWidth, kHeight, &bits);
  HGDIOBJ oldBitmap = SelectObject(dc, dib);
  HGDIOBJ oldFont = SelectObject(dc, manager->GetDefaultFontInfo()->hFont);
  HBRUSH brush = CreateSolidBrush(RGB(0x30, 0x70, 0xC0));
  SetBkMode(dc, TRANSPARENT);
  double anchor = MillisecondsPer(kFrames, [&](int) {
    for (int i = 0; i < count; ++i) {
      RECT rc = {(i % 40) * 22, (i / 40) * 23, (i % 40) * 22 + 22, (i / 40) * 23 + 23};
      FillRect(dc, &rc, brush);
      DrawTextW(dc, L"Item", -1, &rc, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    BitBlt(screen, 0, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
  });
  DeleteObject(brush);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);
  DeleteObject(dib);
  DeleteDC(dc);
  ReleaseDC(hwnd, screen);

  printf("ui window:           %d x %d, %d controls (labels, images, nested layouts)\n", kWidth, kHeight, count);
  printf("layout pass:         %.3f ms\n", layout);
  printf("layout + repaint:    %.2f ms per frame, %.1f frames/s (%d frames)\n", frame, 1000.0 / frame, kFrames);
  printf("repaint:             %.2f ms per frame, %.1f frames/s (%d frames)\n", repaint, 1000.0 / repaint, kFrames);
  printf("GDI anchor:          %.2f ms per frame (%d FillRect + DrawText into a DIB)\n", anchor, count);
  printf("ratio frame/anchor:  %.2f (layout + repaint), %.2f (repaint)\n", frame / anchor, repaint / anchor);
  printf("hover change:        %.3f ms, 1/%.0f of a repaint (%d changes)\n", hover, repaint / hover, kFrames * 4);
  double hoverHandler = g_paintHandlerMs / (kFrames * 4);
  printf("  in WM_PAINT:       %.3f ms against %.2f ms for the repaint, 1/%.0f\n", hoverHandler, repaintHandler,
         repaintHandler / hoverHandler);
  printf("memory of the tree:  %.0f KiB (committed, with its offscreen bitmap and images)\n",
         (static_cast<double>(after) - static_cast<double>(before)) / 1024.0);
  printf("process committed:   %.0f KiB\n", static_cast<double>(CommittedBytes()) / 1024.0);

  SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  delete manager;
  DestroyWindow(hwnd);
  DeleteFileW(image.c_str());
  return 0;
}
