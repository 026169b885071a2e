#include "richedit_support.h"

#include "ui/extra/extra_controls.h"

namespace richedit_test {

RichEditWindow::RichEditWindow(const std::wstring& markup) : DemoWindow(markup.c_str()) {
  SkinUI::RegisterExtraControls();
  SkinUI::CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
}

SkinUI::CRichEditUI* RichEditWindow::Edit(const wchar_t* name) {
  return static_cast<SkinUI::CRichEditUI*>(Find(name)->GetInterface(L"RichEdit"));
}

void RichEditWindow::Type(const wchar_t* text) {
  for (const wchar_t* c = text; *c != L'\0'; ++c) PostMessage(WM_CHAR, *c, 1);
  Pump();
}

void RichEditWindow::Key(WORD vk) {
  PostMessage(WM_KEYDOWN, vk, 1);
  PostMessage(WM_KEYUP, vk, 0xC0000001);
  Pump();
}

int RichEditWindow::CountPixels(const RECT& rc, bool (*match)(DWORD rgb)) {
  int n = 0;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) n += match(Pixel(x, y)) ? 1 : 0;
  }
  return n;
}

std::wstring Skin(const wchar_t* body, const wchar_t* windowAttributes) {
  return std::wstring(L"<Window ") + windowAttributes + L"><VerticalLayout bkcolor=\"#FFFFFFFF\">" + body +
         L"</VerticalLayout></Window>";
}

}  // namespace richedit_test
