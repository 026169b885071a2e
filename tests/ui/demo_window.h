#pragma once
#include <string>
#include <vector>

#include "ui/core/paint/control/control.h"
#include "ui/core/window/window_impl_base.h"

namespace skinui_test {

// The demo skin's window: a real framework window that records every notification it gets.
class DemoWindow : public SkinUI::WindowImplBase {
 public:
  explicit DemoWindow(const wchar_t* skinFile = L"demo.xml") : m_skinFile(skinFile) {}
  ~DemoWindow() override = default;

  // Points the framework at the demo skin archive and opens the window at (x, y).
  static void UseDemoSkin();
  HWND Open(int x, int y);
  SkinUI::CControlUI* Find(const wchar_t* name) { return m_pm.FindControl(name); }
  // Posts a press and a release at client points, then handles them.
  void Click(POINT down, POINT up);
  void Click(const wchar_t* name);
  static POINT Centre(SkinUI::CControlUI* control);
  void Pump();
  bool PumpUntil(bool (*done)(DemoWindow&), int maxWaits = 200);
  // Paints the whole client area now.
  void PaintNow();
  // A pixel of the offscreen bitmap as 0xRRGGBB.
  DWORD Pixel(int x, int y);
  int Count(const wchar_t* type, const wchar_t* sender = nullptr) const;

  struct Note {
    std::wstring type;
    std::wstring sender;
    WPARAM wParam;
    LPARAM lParam;
  };
  std::vector<Note> notes;
  bool finalMessage = false;
  int customCreated = 0;

 protected:
  const wchar_t* GetWindowClassName() const override { return L"SkinUIDemoWindow"; }
  SkinUI::CUIString GetSkinFile() override { return SkinUI::CUIString(m_skinFile.c_str()); }
  void Notify(SkinUI::NotifyRecordUI& msg) override;
  SkinUI::CControlUI* CreateControl(const wchar_t* pstrClass) override;
  void OnFinalMessage(HWND hWnd) override;

 private:
  std::wstring m_skinFile;
};

// A control of the test's own, made by the window's builder callback for the element "Shape".
class ShapeUI : public SkinUI::CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"ShapeUI"; }
};

// A pixel of a manager's offscreen bitmap (rows bottom-up) at a client point, as 0xRRGGBB.
DWORD OffscreenPixel(SkinUI::CPaintManagerUI& pm, int x, int y);

// Writes a window's offscreen bitmap as a PNG file under the build's artifact folder.
bool SaveScreenshot(SkinUI::CPaintManagerUI& pm, const wchar_t* name);

}  // namespace skinui_test
