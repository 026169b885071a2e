#pragma once
#include <windows.h>

#include <functional>

#include "ui/core/paint/manager/paint_manager.h"

namespace skinui_test {

// A real top-level window whose messages go through a paint manager first.
class TestWindow {
 public:
  TestWindow(int width = 300, int height = 200, DWORD exStyle = 0);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND hwnd() const { return m_hwnd; }
  SkinUI::CPaintManagerUI& manager() { return m_manager; }

  // Handles every pending message the way the framework's message loop does.
  void Pump();
  // Pumps until `done` holds, waiting for messages in between; false when it never did.
  bool PumpUntil(const std::function<bool()>& done, int maxWaits = 400);
  // Attaches a control tree and asks for the first paint, as a window's creation does.
  bool Attach(SkinUI::CControlUI* root);
  // Paints now (the pending update region) and handles what painting posted.
  void PaintNow();
  // Puts the real cursor over a client point, so that hover tracking sees it there.
  void MoveCursorTo(int x, int y);
  void Post(UINT msg, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  HWND m_hwnd;
  SkinUI::CPaintManagerUI m_manager;
};

}  // namespace skinui_test
