// Edit fields type through a native window that lives only while the field has the keyboard
// focus: these run in the program of tests that use the keyboard focus and the pointer.
#include <gtest/gtest.h>

#include "demo_window.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/controls/edit.h"

using namespace SkinUI;
using skinui_test::DemoWindow;

namespace {

int Place() { return 20 + static_cast<int>((GetCurrentProcessId() / 4) % 8) * 40; }

TEST(DemoWindow, EditFieldsTypeThroughTheirNativeWindow) {
  DemoWindow::UseDemoSkin();
  DemoWindow w;
  HWND hwnd = w.Open(Place(), Place());
  ASSERT_NE(nullptr, hwnd);
  auto native = [&]() { return FindWindowExW(hwnd, nullptr, L"EditWnd", nullptr); };
  auto type = [&](const wchar_t* text) {
    HWND edit = native();
    for (const wchar_t* c = text; *c != 0; ++c) PostMessageW(edit, WM_CHAR, *c, 1);
    w.Pump();
  };
  auto* edit = static_cast<CEditUI*>(w.Find(L"edit"));
  EXPECT_EQ(nullptr, native());
  w.Click(L"edit");
  ASSERT_NE(nullptr, native());
  type(L"hello");
  EXPECT_STREQ(L"hello", edit->GetText().GetData());
  EXPECT_GE(w.Count(L"textchanged", L"edit"), 5);

  // Number only and at most 4 characters.
  w.Click(L"number");
  ASSERT_NE(nullptr, native());
  type(L"a12x345");
  EXPECT_STREQ(L"1234", w.Find(L"number")->GetText().GetData());

  // Password: the native window hides the text, and shows it when the mode is switched off.
  auto* secret = static_cast<CEditUI*>(w.Find(L"secret"));
  w.Click(L"secret");
  ASSERT_NE(nullptr, secret->GetNativeWindow());
  EXPECT_EQ(L'*', SendMessageW(secret->GetNativeWindow(), EM_GETPASSWORDCHAR, 0, 0));
  SendMessageW(secret->GetNativeWindow(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"pw42"));
  w.Pump();
  EXPECT_STREQ(L"pw42", secret->GetText().GetData());
  secret->SetPasswordMode(false);
  EXPECT_EQ(0, SendMessageW(secret->GetNativeWindow(), EM_GETPASSWORDCHAR, 0, 0));
  secret->SetPasswordMode(true);
  EXPECT_EQ(L'*', SendMessageW(secret->GetNativeWindow(), EM_GETPASSWORDCHAR, 0, 0));

  // Focus elsewhere closes the native window; the idle edit paints masked text.
  w.Click(L"title");
  EXPECT_TRUE(
      w.PumpUntil([](DemoWindow& d) { return FindWindowExW(d.GetHWND(), nullptr, L"EditWnd", nullptr) == nullptr; }));
  EXPECT_EQ(nullptr, secret->GetNativeWindow());
  w.PaintNow();
  EXPECT_TRUE(skinui_test::SaveScreenshot(w.GetPaintManager(), L"demo_edits.png"));

  // Deleting an edit while its native window is open closes that window safely.
  w.Click(L"edit");
  HWND open = edit->GetNativeWindow();
  ASSERT_NE(nullptr, open);
  static_cast<CContainerUI*>(edit->GetParent())->Remove(edit);
  w.Pump();
  EXPECT_FALSE(IsWindow(open));
  w.Click(L"title");
  DestroyWindow(hwnd);
}

}  // namespace
