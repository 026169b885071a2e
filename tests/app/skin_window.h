#pragma once
#include <string>

#include "ui/core/paint/control/control.h"
#include "ui/core/window/window_impl_base.h"

namespace app_test {

// A plain framework window built from one layout of the sample skin, as the installer's windows
// build theirs; it only paints and answers, so a test can look at every page.
class SkinWindow : public SkinUI::WindowImplBase {
 public:
  explicit SkinWindow(const wchar_t* layout) : m_layout(layout) {}

  // Points the framework at the built "PackageManager.zip" (cached, as start-up does).
  static void UseSampleSkin();
  HWND Open();
  SkinUI::CControlUI* Find(const wchar_t* name) { return m_pm.FindControl(name); }
  SIZE WindowSize() const;
  void Pump();
  void PaintNow();
  // A pixel of the offscreen bitmap as 0xRRGGBB.
  DWORD Pixel(int x, int y);
  // The window's hit-test answer at a client point.
  LRESULT HitTest(POINT client);
  void MoveMouse(POINT client);
  // Writes the offscreen bitmap as artifacts/app/<name>.
  bool SaveScreenshot(const wchar_t* name);

 protected:
  const wchar_t* GetWindowClassName() const override { return L"SampleSkinWindow"; }
  SkinUI::CUIString GetSkinFile() override { return SkinUI::CUIString(m_layout.c_str()); }

 private:
  std::wstring m_layout;
};

}  // namespace app_test
