#include "test_window.h"

namespace skinui_test {

namespace {
const wchar_t kClassName[] = L"SkinUITestWindow";

void RegisterOnce() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = kClassName;
  RegisterClassExW(&wc);
  registered = true;
}
}  // namespace

TestWindow::TestWindow(int width, int height, DWORD exStyle) : m_hwnd(nullptr) {
  RegisterOnce();
  SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  // Test programs run side by side on one display: each gets its own place, so that the pointer
  // one of them moves does not wander into another's window.
  int cell = static_cast<int>((GetCurrentProcessId() / 4) % 12);
  int x = 10 + (cell % 4) * 315, y = 10 + (cell / 4) * 330;
  m_hwnd = CreateWindowExW(exStyle, kClassName, L"skinui test", WS_POPUP, x, y, width, height, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TestWindow::WndProc));
  m_manager.Init(m_hwnd, L"test");
  ShowWindow(m_hwnd, SW_SHOW);
  SetForegroundWindow(m_hwnd);
  Pump();
}

TestWindow::~TestWindow() {
  if (m_hwnd != nullptr) {
    // The manager sees its window go, as in a framework window (it revokes its drop target).
    DestroyWindow(m_hwnd);
    m_hwnd = nullptr;
  }
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

LRESULT CALLBACK TestWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TestWindow* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self != nullptr) {
    LRESULT lRes = 0;
    if (self->m_manager.MessageHandler(msg, wParam, lParam, lRes)) return lRes;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void TestWindow::Pump() {
  MSG msg;
  // Bounded: running timers keep the queue from ever being empty.
  for (int handled = 0; handled < 2000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
    if (!SkinUI::CPaintManagerUI::TranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool TestWindow::PumpUntil(const std::function<bool()>& done, int maxWaits) {
  for (int i = 0; i < maxWaits; ++i) {
    Pump();
    if (done()) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 25, QS_ALLINPUT);
  }
  Pump();
  return done();
}

bool TestWindow::Attach(SkinUI::CControlUI* root) {
  bool attached = m_manager.AttachDialog(root);
  InvalidateRect(m_hwnd, nullptr, FALSE);
  return attached;
}

void TestWindow::PaintNow() {
  UpdateWindow(m_hwnd);
  Pump();
}

void TestWindow::MoveCursorTo(int x, int y) {
  POINT pt = {x, y};
  ClientToScreen(m_hwnd, &pt);
  SetCursorPos(pt.x, pt.y);
}

void TestWindow::Post(UINT msg, WPARAM wParam, LPARAM lParam) { PostMessageW(m_hwnd, msg, wParam, lParam); }

}  // namespace skinui_test
