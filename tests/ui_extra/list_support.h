#pragma once
#include <string>

#include "demo_window.h"
#include "ui/extra/list/list.h"

namespace skinui_test {

// A framework window built from skin markup held in the test, with the further controls known.
class ExtraWindow : public DemoWindow {
 public:
  explicit ExtraWindow(const std::wstring& skin);
  // Points the resource folder at the generated test images and wraps `body` in a white window.
  static std::wstring ImageSkin(const std::wstring& body);
  ~ExtraWindow() override;

  template <class T>
  T* Get(const wchar_t* name, const wchar_t* iface) {
    SkinUI::CControlUI* control = Find(name);
    return control != nullptr ? static_cast<T*>(control->GetInterface(iface)) : nullptr;
  }
  void Key(WPARAM vk);
  // Presses and releases at a client point with the Ctrl key held or not.
  void ClickAt(POINT at, bool ctrl = false);
  void DoubleClickAt(POINT at);
  void Wheel(POINT at, bool down);
  // A pixel of the window at the middle height of `rc`, `dx` from its left edge.
  DWORD PixelIn(const RECT& rc, int dx);
  SkinUI::CListUI* List(const wchar_t* name = L"list") { return Get<SkinUI::CListUI>(name, L"List"); }
  // The last notification of the type, or null.
  const Note* Last(const wchar_t* type) const;
};

// Cell texts "r<row>c<column>" from the list's text callback.
class CellTexts : public SkinUI::IListCallbackUI {
 public:
  const wchar_t* GetItemText(SkinUI::CControlUI*, int row, int column) override;

 private:
  wchar_t m_text[32] = {};
};

// `count` copies of `element`; `rowAttributes(i)` adds attributes to row i.
std::wstring Rows(int count, const wchar_t* element, const wchar_t* (*rowAttributes)(int) = nullptr);

}  // namespace skinui_test
