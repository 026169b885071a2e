#include "skin_driver.h"

#include <cstdio>
#include <vector>

#include "demo_window.h"
#include "test_support.h"
#include "ui/core/paint/control/control.h"
#include "ui/core/paint/manager/paint_manager.h"

namespace skin_fuzz {

namespace {

// A framework window over one case's layout; a refused layout leaves it without a native window.
class FuzzWindow : public skinui_test::DemoWindow {
 public:
  FuzzWindow(const wchar_t* skin, ActingReceivers* acting) : DemoWindow(skin), m_acting(acting) {}
  ~FuzzWindow() override {
    if (m_acting != nullptr) m_acting->Detach();
  }
  HWND hwnd() const { return m_hWnd; }
  SkinUI::CPaintManagerUI& manager() { return m_pm; }

 protected:
  const wchar_t* GetWindowClassName() const override { return L"SkinFuzzWindow"; }
  void OnSkinLoadFailed(const wchar_t*) override {}
  // The tree is built and the window is its first receiver; the first paint is yet to come.
  void Init() override {
    if (m_acting != nullptr) m_acting->Attach(m_pm);
  }

 private:
  ActingReceivers* m_acting;
};

const WORD kKeys[] = {VK_TAB,  VK_TAB,    VK_LEFT,  VK_RIGHT, VK_UP,     VK_DOWN,   VK_HOME, VK_END, VK_PRIOR,
                      VK_NEXT, VK_RETURN, VK_SPACE, VK_BACK,  VK_DELETE, VK_ESCAPE, 'A',     'V',    VK_F4};
const wchar_t kChars[] = {L'a', L'Z', L'5', L' ', L'中', L'\r', L'\t', L'\b', 0x1B, 0x7F, 0x01, 0xD83D, L'&'};

class Session {
 public:
  Session(FuzzWindow& w, std::mt19937& rng) : m_w(w), m_hwnd(w.hwnd()), m_rng(rng) {}

  void Drive() {
    int steps = 8 + Below(32);
    for (int i = 0; i < steps && ::IsWindow(m_hwnd); ++i) Step();
  }

  void End() {
    if (!::IsWindow(m_hwnd)) return;
    switch (Below(5)) {
      case 0:
        Post(WM_CLOSE, 0, 0);
        break;
      case 1:  // input still queued when the window goes
        Post(WM_MOUSEMOVE, 0, Point());
        Post(WM_LBUTTONDOWN, MK_LBUTTON, Point());
        ::DestroyWindow(m_hwnd);
        break;
      default:
        ::DestroyWindow(m_hwnd);
        break;
    }
    m_w.Pump();
    if (::IsWindow(m_hwnd)) ::DestroyWindow(m_hwnd);
    m_w.Pump();
  }

 private:
  int Below(int n) { return static_cast<int>(m_rng() % static_cast<unsigned>(n)); }
  void Post(UINT msg, WPARAM wParam, LPARAM lParam) { ::PostMessageW(m_hwnd, msg, wParam, lParam); }

  // A point over one of the window's controls, or anywhere near the client area.
  LPARAM Point() {
    RECT client;
    ::GetClientRect(m_hwnd, &client);
    std::vector<SkinUI::CControlUI*> controls;
    if (Below(4) != 0) controls = AllControls(m_w.manager().GetRoot());
    RECT area = client;
    if (!controls.empty()) area = controls[Below(static_cast<int>(controls.size()))]->GetPos();
    int w = area.right - area.left, h = area.bottom - area.top;
    int x = area.left + (w > 0 ? Below(w) : 0) + (Below(10) == 0 ? Below(60) - 30 : 0);
    int y = area.top + (h > 0 ? Below(h) : 0) + (Below(10) == 0 ? Below(60) - 30 : 0);
    return MAKELPARAM(x, y);
  }

  LPARAM ScreenPoint() {
    LPARAM at = Point();
    POINT pt = {static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    ::ClientToScreen(m_hwnd, &pt);
    return MAKELPARAM(pt.x, pt.y);
  }

  // Keys go to the window, or to a native child that holds the keyboard focus (an edit).
  HWND KeyTarget() {
    HWND focus = ::GetFocus();
    return focus != nullptr && ::IsChild(m_hwnd, focus) && Below(2) == 0 ? focus : m_hwnd;
  }

  void Key(WORD vk) {
    HWND target = KeyTarget();
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    if (Below(3) == 0) ::PostMessageW(target, WM_CHAR, vk, 1);
    ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
  }

  void Step() {
    // The mouse as a hand moves it: a move carries the left button only while it is held, and a
    // release follows a press.
    int pick = Below(100);
    if (pick < 28) {
      Post(WM_MOUSEMOVE, m_leftHeld ? MK_LBUTTON : 0, Point());
    } else if (pick < 40) {
      LPARAM at = Point();
      if (!m_leftHeld) {
        Post(WM_MOUSEMOVE, 0, at);
        Post(WM_LBUTTONDOWN, MK_LBUTTON, at);
      }
      if (Below(3) == 0) Post(WM_MOUSEMOVE, MK_LBUTTON, Point());
      Post(WM_LBUTTONUP, 0, Below(4) == 0 ? Point() : at);
      m_leftHeld = false;
    } else if (pick < 42) {
      if (!m_leftHeld) Post(WM_LBUTTONDOWN, MK_LBUTTON, Point());  // held for the next steps
      m_leftHeld = true;
    } else if (pick < 45) {
      LPARAM at = Point();
      if (m_leftHeld) Post(WM_LBUTTONUP, 0, at);
      m_leftHeld = false;
      Post(WM_LBUTTONDOWN, MK_LBUTTON, at);
      Post(WM_LBUTTONUP, 0, at);
      Post(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
      Post(WM_LBUTTONUP, 0, at);
    } else if (pick < 49) {
      LPARAM at = Point();
      Post(Below(2) ? WM_RBUTTONDOWN : WM_MBUTTONDOWN, 0, at);
      Post(Below(2) ? WM_RBUTTONUP : WM_MBUTTONUP, 0, at);
      if (Below(2) == 0) Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hwnd), ScreenPoint());
    } else if (pick < 56) {
      WORD keys = Below(4) == 0 ? MK_CONTROL : 0;
      Post(WM_MOUSEWHEEL, MAKEWPARAM(keys, Below(2) ? WHEEL_DELTA : -WHEEL_DELTA), ScreenPoint());
    } else if (pick < 59) {
      Post(Below(2) ? WM_MOUSEHOVER : WM_MOUSELEAVE, 0, Point());
    } else if (pick < 74) {
      Key(kKeys[Below(static_cast<int>(std::size(kKeys)))]);
    } else if (pick < 84) {
      ::PostMessageW(KeyTarget(), WM_CHAR, kChars[Below(static_cast<int>(std::size(kChars)))], 1);
    } else if (pick < 86) {
      WPARAM letter = 'A' + Below(26);
      Post(WM_SYSKEYDOWN, letter, 1 << 29);
      Post(WM_SYSCHAR, letter + 32, 1 << 29);
      Post(WM_SYSKEYUP, letter, 0xC0000001 | (1 << 29));
    } else if (pick < 91) {
      Resize();
    } else if (pick < 94) {
      ::InvalidateRect(m_hwnd, nullptr, FALSE);
      ::UpdateWindow(m_hwnd);
    } else if (pick < 97) {
      // Time for timers: animations, the caret, delayed work.
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 1 + Below(25), QS_ALLINPUT);
    } else {
      ::SetFocus(Below(2) ? m_hwnd : nullptr);
    }
    m_w.Pump();
  }

  void Resize() {
    switch (Below(8)) {
      case 0:
        ::ShowWindow(m_hwnd, SW_MINIMIZE);
        break;
      case 1:
        ::ShowWindow(m_hwnd, SW_RESTORE);
        break;
      default: {
        int cx = Below(6) == 0 ? Below(3) : Below(900);
        int cy = Below(6) == 0 ? Below(3) : Below(700);
        ::SetWindowPos(m_hwnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        break;
      }
    }
    ::UpdateWindow(m_hwnd);
  }

  FuzzWindow& m_w;
  HWND m_hwnd;
  std::mt19937& m_rng;
  bool m_leftHeld = false;
};

}  // namespace

SkinDriver::SkinDriver(const std::wstring& folder) {
  wchar_t name[64];
  swprintf(name, 64, L"case_%lu.xml", GetCurrentProcessId());
  m_caseFile = folder + name;
}

bool SkinDriver::Run(const SkinCase& skin, std::mt19937& rng, ActingReceivers* acting) {
  std::wstring source = skin.markup;
  if (skin.viaFile) {
    skinui_test::WriteFileBytes(m_caseFile, skin.bytes.data(), skin.bytes.size());
    source = m_caseFile.substr(m_caseFile.rfind(L'\\') + 1);
  }
  FuzzWindow w(source.c_str(), acting);
  HWND hwnd = w.Create(nullptr, L"skin fuzz", WS_POPUP | WS_VISIBLE, 0, 20, 20, 420, 320);
  if (hwnd == nullptr) return false;
  w.Pump();
  ::UpdateWindow(hwnd);
  w.Pump();
  Session session(w, rng);
  session.Drive();
  session.End();
  return true;
}

void ForgetSharedResources() {
  static SkinUI::CPaintManagerUI keeper;
  keeper.RemoveAllImages(true);
  keeper.RemoveAllFonts(true);
  keeper.RemoveAllDefaultAttributeList(true);
  keeper.RemoveAllStyles(true);
}

}  // namespace skin_fuzz
