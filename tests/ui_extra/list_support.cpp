#include "list_support.h"

#include <cstdio>

#include "ui/core/paint/manager/paint_manager.h"
#include "test_support.h"
#include "ui/extra/extra_controls.h"

namespace skinui_test {

ExtraWindow::ExtraWindow(const std::wstring& skin) : DemoWindow(skin.c_str()) {
  SkinUI::RegisterExtraControls();
  SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  Open(40, 40);
}

std::wstring ExtraWindow::ImageSkin(const std::wstring& body) {
  SkinUI::CPaintManagerUI::SetResourceZip(L"", false);
  SkinUI::CPaintManagerUI::SetResourcePath(HostPath(EXTRA_IMAGES, L"").c_str());
  return L"<Window size=\"420,260\"><VerticalLayout name=\"root\" bkcolor=\"#FFFFFFFF\" inset=\"20,20,20,20\">" + body +
         L"</VerticalLayout></Window>";
}

ExtraWindow::~ExtraWindow() {
  if (IsWindow(GetHWND())) DestroyWindow(GetHWND());
  Pump();
}

void ExtraWindow::Key(WPARAM vk) {
  PostMessage(WM_KEYDOWN, vk, 0);
  PostMessage(WM_KEYUP, vk, 0);
  Pump();
}

void ExtraWindow::ClickAt(POINT at, bool ctrl) {
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
  Click(at, at);
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
}

void ExtraWindow::DoubleClickAt(POINT at) {
  PostMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
  Pump();
}

void ExtraWindow::Wheel(POINT at, bool down) {
  POINT screen = at;
  ClientToScreen(GetHWND(), &screen);
  PostMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, down ? -WHEEL_DELTA : WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  Pump();
}

const DemoWindow::Note* ExtraWindow::Last(const wchar_t* type) const {
  for (auto it = notes.rbegin(); it != notes.rend(); ++it) {
    if (it->type == type) return &*it;
  }
  return nullptr;
}

DWORD ExtraWindow::PixelIn(const RECT& rc, int dx) { return Pixel(rc.left + dx, (rc.top + rc.bottom) / 2); }

const wchar_t* CellTexts::GetItemText(SkinUI::CControlUI*, int row, int column) {
  swprintf(m_text, 32, L"r%dc%d", row, column);
  return m_text;
}

std::wstring Rows(int count, const wchar_t* element, const wchar_t* (*rowAttributes)(int)) {
  std::wstring rows;
  for (int i = 0; i < count; ++i) {
    rows += L"<";
    rows += element;
    if (rowAttributes != nullptr) rows += rowAttributes(i);
    rows += L"/>";
  }
  return rows;
}

}  // namespace skinui_test
