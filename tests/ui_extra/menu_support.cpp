#include "menu_support.h"

#include <memory>

namespace skinui_test {

using namespace SkinUI;

MenuHost::MenuHost() : ExtraWindow(L"<Window size=\"300,200\"><VerticalLayout bkcolor=\"#FFFFFFFF\"/></Window>") {}

MenuHost::~MenuHost() {
  if (IsWindow(GetHWND())) DestroyWindow(GetHWND());
  Pump();
  MenuObserverImpl::GetGlobal()->SetCheckMap(nullptr);
  for (int i = 0; i < checks.GetSize(); ++i) delete static_cast<MenuCheckRecord*>(checks.Find(checks.GetAt(i)));
}

bool MenuHost::Open(const std::wstring& xml, POINT at, DWORD alignment) {
  size_t before = MenuWindows().size();
  m_menu = new CMenuWnd();
  m_menu->Init(nullptr, xml.c_str(), at, &m_pm, checkMap, alignment);
  std::vector<HWND> menus = MenuWindows();
  m_root = menus.size() > before ? menus.back() : nullptr;
  if (m_root == nullptr) return false;
  UpdateWindow(m_root);
  Pump();
  return true;
}

CControlUI* MenuHost::Item(const wchar_t* name) {
  return IsWindow(m_root) ? m_menu->GetPaintManager().FindControl(name) : nullptr;
}

HWND MenuHost::WindowOf(const wchar_t* name) { return Item(name)->GetManager()->GetPaintWindow(); }

void MenuHost::PostToMenu(const wchar_t* name, UINT msg, WPARAM wParam) {
  HWND window = WindowOf(name);
  POINT at = Centre(Item(name));
  ::PostMessageW(window, msg, wParam, MAKELPARAM(at.x, at.y));
  Pump();
}

void MenuHost::Hover(const wchar_t* name) {
  POINT at = Centre(Item(name));
  ClientToScreen(WindowOf(name), &at);
  SetCursorPos(at.x, at.y);
  PostToMenu(name, WM_MOUSEMOVE, 0);
  for (HWND menu : MenuWindows()) UpdateWindow(menu);
  Pump();
}

void MenuHost::ClickItem(const wchar_t* name) {
  Hover(name);
  PostToMenu(name, WM_LBUTTONDOWN, MK_LBUTTON);
  PostToMenu(name, WM_LBUTTONUP, 0);
}

bool MenuHost::WaitForMenus(size_t count) {
  for (int i = 0; i < 100 && MenuWindows().size() != count; ++i) {
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return MenuWindows().size() == count;
}

LRESULT MenuHost::HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) {
  if (uMsg != kMenuCommandMessage) return ExtraWindow::HandleCustomMessage(uMsg, wParam, lParam, bHandled);
  std::unique_ptr<MenuCommandRecord> record(reinterpret_cast<MenuCommandRecord*>(wParam));
  records.push_back(*record);
  bHandled = true;
  return 0;
}

namespace {

struct Search {
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND hwnd, LPARAM search) {
  Search* s = reinterpret_cast<Search*>(search);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (wcscmp(name, s->className) == 0) s->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> MenuWindows(const wchar_t* className) {
  Search search{className, {}};
  EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

RECT WindowRect(HWND hwnd) {
  RECT rc = {};
  GetWindowRect(hwnd, &rc);
  return rc;
}

}  // namespace skinui_test
