#include "skin_window.h"

#include <string>

#include "app/state_dump.h"

namespace app_test {

namespace {

std::wstring WindowsPath(const std::string& unixPath) {
  std::wstring path = L"Z:";
  for (char c : unixPath) path += (c == '/') ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(c));
  return path;
}

}  // namespace

void SkinWindow::UseSampleSkin() {
  std::wstring zip = WindowsPath(SAMPLE_SKIN_ZIP);
  size_t slash = zip.rfind(L'\\');
  SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  SkinUI::CPaintManagerUI::SetResourceType(2);
  SkinUI::CPaintManagerUI::SetResourcePath(zip.substr(0, slash).c_str());
  SkinUI::CPaintManagerUI::SetResourceZip(zip.substr(slash + 1).c_str(), true);
}

HWND SkinWindow::Open() {
  // Position and size are replaced by the layout's own size, as with the installer's windows.
  HWND hwnd = Create(nullptr, L"TamselPelluvo", WS_POPUP | WS_VISIBLE, 0, 40, 40, 100, 100);
  Pump();
  PaintNow();
  return hwnd;
}

SIZE SkinWindow::WindowSize() const {
  RECT rc;
  GetWindowRect(m_hWnd, &rc);
  return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

void SkinWindow::Pump() {
  MSG msg;
  for (int handled = 0; handled < 2000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
    if (!SkinUI::CPaintManagerUI::TranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void SkinWindow::PaintNow() {
  InvalidateRect(m_hWnd, nullptr, FALSE);
  UpdateWindow(m_hWnd);
  Pump();
}

DWORD SkinWindow::Pixel(int x, int y) {
  RECT client;
  GetClientRect(m_hWnd, &client);
  LPDWORD bits = m_pm.GetOffscreenBits();
  if (bits == nullptr || x < 0 || y < 0 || x >= client.right || y >= client.bottom) return 0xFFFFFFFF;
  return bits[(client.bottom - 1 - y) * client.right + x] & 0xFFFFFF;
}

LRESULT SkinWindow::HitTest(POINT client) {
  POINT screen = client;
  ClientToScreen(m_hWnd, &screen);
  return SendMessage(WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
}

void SkinWindow::MoveMouse(POINT client) {
  PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
  Pump();
}

bool SkinWindow::SaveScreenshot(const wchar_t* name) {
  std::wstring path = WindowsPath(APP_ARTIFACTS);
  CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
  return SaveWindowPicture(m_pm, path + L"\\" + name);
}

}  // namespace app_test
