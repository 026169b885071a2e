#pragma once
#include <string>
#include <vector>

#include "list_support.h"
#include "ui/extra/menu/menu_wnd.h"

namespace skinui_test {

// A main window that opens menus from markup with its own check map and keeps the command records
// posted to it.
class MenuHost : public ExtraWindow {
 public:
  MenuHost();
  ~MenuHost() override;

  // Opens a root menu at a screen point and handles what that brings; false when no window came.
  bool Open(const std::wstring& xml, POINT at, DWORD alignment = SkinUI::kMenuAlignLeft | SkinUI::kMenuAlignTop);
  // A control of the open root menu by name; nested items live in the root's tree too.
  SkinUI::CControlUI* Item(const wchar_t* name);
  SkinUI::CMenuElementUI* MenuItem(const wchar_t* name) { return static_cast<SkinUI::CMenuElementUI*>(Item(name)); }
  // Puts the pointer on the item and tells its menu window, then handles what follows.
  void Hover(const wchar_t* name);
  void ClickItem(const wchar_t* name);
  void PostToMenu(const wchar_t* name, UINT msg, WPARAM wParam);
  // Handles messages until no menu window is left or `count` are open.
  bool WaitForMenus(size_t count);
  HWND WindowOf(const wchar_t* name);

  SkinUI::CUIStringMap checks;
  // The map the next Open hands to the menu: `checks`, another or none.
  SkinUI::CUIStringMap* checkMap = &checks;
  std::vector<SkinUI::MenuCommandRecord> records;
  // For a control's OnDestroy: counts the controls freed.
  bool CountFreed(void*) { return ++freed > 0; }
  int freed = 0;

 protected:
  LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;

 private:
  // The root menu's window and object; the object lives as long as that window.
  HWND m_root = nullptr;
  SkinUI::CMenuWnd* m_menu = nullptr;
};

// This thread's menu windows ("SkinMenuWnd"), or its windows of another class.
std::vector<HWND> MenuWindows(const wchar_t* className = L"SkinMenuWnd");
RECT WindowRect(HWND hwnd);

}  // namespace skinui_test
