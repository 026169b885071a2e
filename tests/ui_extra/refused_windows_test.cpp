// Framework windows whose native creation is refused (WM_NCCREATE or WM_CREATE fails): the window
// comes to its final message inside the creation call, and an object that deletes itself there is
// gone. Nothing may touch it afterwards, so these also run under Wine's heap checker.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "list_support.h"
#include "ui/core/base/ui_log.h"
#include "ui/extra/combo/combo.h"
#include "ui/extra/menu/menu_wnd.h"

using namespace SkinUI;

namespace {

std::vector<std::wstring> g_log;

// Refuses its own creation at `refuseAt` and deletes itself at its final message.
class RefusingWindow final : public CWindowWnd {
 public:
  RefusingWindow(UINT refuseAt, bool* gone) : m_refuseAt(refuseAt), m_gone(gone) {}

 protected:
  const wchar_t* GetWindowClassName() const override { return L"RefusingTestWnd"; }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
    if (uMsg == m_refuseAt) return uMsg == WM_NCCREATE ? FALSE : -1;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
  }
  void OnFinalMessage(HWND) override {
    *m_gone = true;
    delete this;
  }

 private:
  UINT m_refuseAt;
  bool* m_gone;
};

// While it lives, every window of the class made on this thread fails its WM_CREATE.
class RefuseCreation {
 public:
  explicit RefuseCreation(const wchar_t* windowClass) {
    s_class = windowClass;
    s_refused = 0;
    m_hook = SetWindowsHookExW(WH_CBT, &Hook, nullptr, GetCurrentThreadId());
  }
  ~RefuseCreation() { UnhookWindowsHookEx(m_hook); }
  static int s_refused;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    wchar_t name[64] = {};
    if (code == HCBT_CREATEWND && GetClassNameW(reinterpret_cast<HWND>(wParam), name, 64) > 0 &&
        wcscmp(name, s_class) == 0) {
      s_previous = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(reinterpret_cast<HWND>(wParam), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Refuse)));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
  static LRESULT CALLBACK Refuse(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg != WM_CREATE) return CallWindowProcW(s_previous, hWnd, uMsg, wParam, lParam);
    ++s_refused;
    return -1;
  }

  static const wchar_t* s_class;
  static WNDPROC s_previous;
  HHOOK m_hook;
};
const wchar_t* RefuseCreation::s_class = nullptr;
WNDPROC RefuseCreation::s_previous = nullptr;
int RefuseCreation::s_refused = 0;

}  // namespace

TEST(RefusedWindows, CreateLeavesAWindowThatDeletedItselfAloneAndLogsTheRefusal) {
  g_log.clear();
  SetUILogSink([](const wchar_t* line) { g_log.push_back(line); });
  for (UINT refuseAt : {UINT{WM_NCCREATE}, UINT{WM_CREATE}}) {
    bool gone = false;
    auto* window = new RefusingWindow(refuseAt, &gone);
    EXPECT_EQ(nullptr, window->Create(nullptr, L"refused", WS_POPUP, 0, 0, 0, 10, 10)) << refuseAt;
    EXPECT_TRUE(gone) << refuseAt;
  }
  SetUILogSink(nullptr);
  ASSERT_EQ(2u, g_log.size());
  for (const std::wstring& line : g_log) EXPECT_EQ(0u, line.find(L"Create, ")) << std::string(line.begin(), line.end());
}

TEST(RefusedWindows, EditorsDropDownsAndMenusRefusedLeaveTheirOwnersWithoutAWindow) {
  skinui_test::ExtraWindow w(skinui_test::ExtraWindow::ImageSkin(
      L"<DateTime name=\"date\" height=\"24\"/><IPAddress name=\"ip\" height=\"24\"/><HotKey name=\"hotkey\" "
      L"height=\"24\"/><Edit name=\"edit\" height=\"24\"/><Combo name=\"combo\" height=\"24\">"
      L"<ListLabelElement text=\"One\"/></Combo><Button name=\"other\" height=\"24\"/>"));
  struct Case {
    const wchar_t* control;
    const wchar_t* windowClass;
  };
  for (const Case& c : {Case{L"date", L"DateTimeWnd"}, Case{L"ip", L"IPAddressWnd"}, Case{L"hotkey", L"HotKeyClass"},
                        Case{L"edit", L"EditWnd"}}) {
    RefuseCreation refuse(c.windowClass);
    w.Find(c.control)->SetFocus();
    w.Pump();
    EXPECT_EQ(1, RefuseCreation::s_refused) << c.control;
    EXPECT_EQ(nullptr, FindWindowExW(w.GetHWND(), nullptr, c.windowClass, nullptr)) << c.control;
    w.Find(L"other")->SetFocus();
  }
  {
    RefuseCreation refuse(L"ComboWnd");
    EXPECT_FALSE(w.Get<CComboUI>(L"combo", L"Combo")->Activate());
    EXPECT_EQ(1, RefuseCreation::s_refused);
  }
  RefuseCreation refuse(L"SkinMenuWnd");
  (new CMenuWnd())->Init(nullptr, L"<Menu/>", POINT{0, 0}, &w.GetPaintManager());
  EXPECT_EQ(1, RefuseCreation::s_refused);
  w.Pump();
}
