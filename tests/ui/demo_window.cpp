#include "demo_window.h"

#include "ui/core/base/gdiplus_handles.h"

#include "test_support.h"

namespace skinui_test {

void DemoWindow::UseDemoSkin() {
  SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  SkinUI::CPaintManagerUI::SetResourcePath(FixturePath(L"").c_str());
  SkinUI::CPaintManagerUI::SetResourceZip(L"demo.zip", false);
}

HWND DemoWindow::Open(int x, int y) {
  HWND hwnd = Create(nullptr, L"demo", WS_POPUP | WS_VISIBLE, 0, x, y, 100, 100);
  Pump();
  PaintNow();
  return hwnd;
}

void DemoWindow::Notify(SkinUI::NotifyRecordUI& msg) {
  notes.push_back(Note{msg.sType.GetData(), msg.pSender != nullptr ? msg.pSender->GetName().GetData() : L"", msg.wParam,
                       msg.lParam});
  WindowImplBase::Notify(msg);
}

SkinUI::CControlUI* DemoWindow::CreateControl(const wchar_t* pstrClass) {
  if (wcscmp(pstrClass, L"Shape") != 0) return nullptr;
  ++customCreated;
  return new ShapeUI;
}

void DemoWindow::OnFinalMessage(HWND hWnd) {
  WindowImplBase::OnFinalMessage(hWnd);
  finalMessage = true;
}

POINT DemoWindow::Centre(SkinUI::CControlUI* control) {
  RECT rc = control->GetPos();
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

void DemoWindow::Pump() {
  MSG msg;
  for (int handled = 0; handled < 2000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
    if (!SkinUI::CPaintManagerUI::TranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

bool DemoWindow::PumpUntil(bool (*done)(DemoWindow&), int maxWaits) {
  for (int i = 0; i < maxWaits; ++i) {
    Pump();
    if (done(*this)) return true;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return done(*this);
}

void DemoWindow::Click(POINT down, POINT up) {
  PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(down.x, down.y));
  PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(down.x, down.y));
  PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(up.x, up.y));
  PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(up.x, up.y));
  Pump();
}

void DemoWindow::Click(const wchar_t* name) {
  POINT at = Centre(Find(name));
  Click(at, at);
}

void DemoWindow::PaintNow() {
  InvalidateRect(m_hWnd, nullptr, FALSE);
  UpdateWindow(m_hWnd);
  Pump();
}

DWORD DemoWindow::Pixel(int x, int y) { return OffscreenPixel(m_pm, x, y); }

DWORD OffscreenPixel(SkinUI::CPaintManagerUI& pm, int x, int y) {
  RECT client;
  GetClientRect(pm.GetPaintWindow(), &client);
  LPDWORD bits = pm.GetOffscreenBits();
  if (bits == nullptr || x < 0 || y < 0 || x >= client.right || y >= client.bottom) return 0xFFFFFFFF;
  return bits[(client.bottom - 1 - y) * client.right + x] & 0xFFFFFF;
}

int DemoWindow::Count(const wchar_t* type, const wchar_t* sender) const {
  int n = 0;
  for (const Note& note : notes) {
    if (note.type == type && (sender == nullptr || note.sender == sender)) ++n;
  }
  return n;
}

bool SaveScreenshot(SkinUI::CPaintManagerUI& pm, const wchar_t* name) {
  RECT client;
  GetClientRect(pm.GetPaintWindow(), &client);
  LPDWORD bits = pm.GetOffscreenBits();
  if (bits == nullptr || client.right <= 0 || client.bottom <= 0) return false;
  std::string dir = SKINUI_ARTIFACTS;
  std::wstring path = L"Z:";
  for (char c : dir) path += (c == '/') ? L'\\' : static_cast<wchar_t>(c);
  CreateDirectoryW(path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
  CreateDirectoryW(path.c_str(), nullptr);
  path += L'\\';
  path += name;
  Gdiplus::GpBitmap* image = nullptr;
  // The offscreen rows run bottom-up: start at the last one with a negative stride.
  const INT stride = client.right * 4;
  BYTE* top = reinterpret_cast<BYTE*>(bits) + static_cast<size_t>(client.bottom - 1) * stride;
  if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(client.right, client.bottom, -stride, PixelFormat32bppRGB, top,
                                                     &image) != Gdiplus::Ok) {
    return false;
  }
  // The PNG encoder of GDI+.
  const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
  bool saved = Gdiplus::DllExports::GdipSaveImageToFile(image, path.c_str(), &png, nullptr) == Gdiplus::Ok;
  Gdiplus::DllExports::GdipDisposeImage(image);
  return saved;
}

}  // namespace skinui_test
