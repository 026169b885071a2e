#pragma once
#include <windows.h>

#include <string>

#include "demo_window.h"
#include "ui/extra/richedit/richedit.h"

namespace richedit_test {

// A framework window built from skin markup text, with the extra controls registered.
class RichEditWindow : public skinui_test::DemoWindow {
 public:
  explicit RichEditWindow(const std::wstring& markup);
  SkinUI::CRichEditUI* Edit(const wchar_t* name);
  // Posts the characters as typed keys (WM_CHAR) and handles them.
  void Type(const wchar_t* text);
  // Posts a key press and release, as the keyboard would, and handles them (with the
  // characters the translation makes of them).
  void Key(WORD vk);
  // Pixels of a rectangle (offscreen bitmap) that `match` accepts.
  int CountPixels(const RECT& rc, bool (*match)(DWORD rgb));
};

// The window's markup: a white vertical layout holding `body`.
std::wstring Skin(const wchar_t* body, const wchar_t* windowAttributes = L"size=\"320,300\"");

}  // namespace richedit_test
