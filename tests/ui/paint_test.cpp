#include <gtest/gtest.h>

#include "test_controls.h"
#include "test_window.h"

using namespace SkinUI;
using namespace skinui_test;

namespace {

struct Scene {
  EventLog log;
  TestContainer* root;
  TestBox* red;
  TestBox* green;
  TestBox* over;
  Scene() {
    root = new TestContainer(L"root", RGB(0, 0, 255), &log);
    red = new TestBox(L"red", RGB(255, 0, 0), &log);
    red->Place(10, 10, 50, 40);
    green = new TestBox(L"green", RGB(0, 255, 0), &log);
    green->Place(100, 20, 60, 60);
    over = new TestBox(L"over", RGB(255, 255, 0), &log);
    over->Place(140, 60, 40, 40);
    root->Add(red);
    root->Add(green);
    root->Add(over);
  }
};

}  // namespace

TEST(PaintManagerPaint, PaintsTheTreeIntoTheOffscreenBitmap) {
  TestWindow window(300, 200);
  Scene scene;
  TestNotifier notifier(&scene.log);
  window.manager().AddNotifier(&notifier);
  ASSERT_TRUE(window.Attach(scene.root));
  EXPECT_EQ(scene.red, window.manager().FindControl(L"red"));
  window.manager().Invalidate();
  window.PaintNow();
  ASSERT_NE(nullptr, window.manager().GetOffscreenBits());
  EXPECT_EQ(RECT({0, 0, 300, 200}).right, scene.root->GetPos().right);
  EXPECT_EQ(60, scene.red->GetPos().right);
  auto pixel = [&](int x, int y) {
    LPDWORD bits = window.manager().GetOffscreenBits();
    return bits[(200 - 1 - y) * 300 + x] & 0x00FFFFFF;
  };
  EXPECT_EQ(0x0000FFu, pixel(5, 5));     // root background
  EXPECT_EQ(0xFF0000u, pixel(10, 10));   // red's top-left
  EXPECT_EQ(0xFF0000u, pixel(59, 49));   // red's bottom-right
  EXPECT_EQ(0x0000FFu, pixel(60, 50));   // just outside red
  EXPECT_EQ(0x00FF00u, pixel(120, 40));  // green
  EXPECT_EQ(0xFFFF00u, pixel(150, 70));  // over paints above green where they overlap
  EXPECT_EQ(0x00FF00u, pixel(139, 70));
  // The window itself shows the same picture.
  HDC screen = GetDC(window.hwnd());
  EXPECT_EQ(RGB(255, 0, 0), GetPixel(screen, 30, 30));
  ReleaseDC(window.hwnd(), screen);
  // "windowinit" exactly once, then "windowsize" from the root, queued.
  window.Pump();
  window.manager().Invalidate();
  window.PaintNow();
  int inits = 0, sizes = 0;
  for (const auto& n : scene.log.notifications) {
    inits += n == L"windowinit:root";
    sizes += n == L"windowsize:root";
  }
  EXPECT_EQ(1, inits);
  EXPECT_EQ(1, sizes);
  window.manager().RemoveNotifier(&notifier);
}

// The scene painted in a 300 by 200 window whose offscreen pixels are then scribbled over:
// what a later paint leaves scribbled, it did not repaint.
struct ScribbledScene {
  TestWindow window{300, 200};
  Scene scene;
  ScribbledScene() {
    window.Attach(scene.root);
    window.PaintNow();
    EXPECT_EQ(0xFF0000u, pixel(20, 20));
    for (int i = 0; i < 300 * 200; ++i) window.manager().GetOffscreenBits()[i] = 0x00123456;
  }
  // The colour at (x, y) from the top left.
  uint32_t pixel(int x, int y) { return window.manager().GetOffscreenBits()[(200 - 1 - y) * 300 + x] & 0xFFFFFF; }
};

TEST(PaintManagerPaint, OnlyTheInvalidatedPartIsRepainted) {
  ScribbledScene s;
  s.scene.red->Invalidate();
  s.window.PaintNow();
  EXPECT_EQ(0xFF0000u, s.pixel(20, 20));
  EXPECT_EQ(0x123456u, s.pixel(120, 40));
}

TEST(PaintManagerPaint, TwoInvalidatedControlsRepaintTheBoxAroundBoth) {
  ScribbledScene s;
  s.scene.red->Invalidate();
  s.scene.over->Invalidate();
  s.window.PaintNow();
  EXPECT_EQ(0xFF0000u, s.pixel(20, 20));
  EXPECT_EQ(0xFFFF00u, s.pixel(170, 90));
  EXPECT_EQ(0x00FF00u, s.pixel(110, 30));  // between them, inside their box
  EXPECT_EQ(0x0000FFu, s.pixel(20, 95));
  EXPECT_EQ(0x123456u, s.pixel(5, 5));  // outside the box
  EXPECT_EQ(0x123456u, s.pixel(185, 95));
  EXPECT_EQ(0x123456u, s.pixel(100, 105));
}

TEST(PaintManagerPaint, PaintMessageWithNothingToUpdateDrawsNothing) {
  ScribbledScene s;
  SendMessageW(s.window.hwnd(), WM_PAINT, 0, 0);
  EXPECT_EQ(0x123456u, s.pixel(20, 20));
  EXPECT_EQ(0x123456u, s.pixel(170, 90));
}

// A native child window over a control clips the window's paint, yet what the framework
// invalidated under it is painted again into the offscreen bitmap (pictures are taken there).
TEST(PaintManagerPaint, ControlUnderANativeChildIsRepaintedOffscreen) {
  ScribbledScene s;
  SetWindowLongW(s.window.hwnd(), GWL_STYLE, GetWindowLongW(s.window.hwnd(), GWL_STYLE) | WS_CLIPCHILDREN);
  HWND child = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 0, 0, 70, 60, s.window.hwnd(), nullptr,
                               nullptr, nullptr);
  ASSERT_NE(nullptr, child);
  s.window.PaintNow();  // what showing the child asked for
  for (int i = 0; i < 300 * 200; ++i) s.window.manager().GetOffscreenBits()[i] = 0x00123456;
  s.scene.red->Invalidate();
  s.window.PaintNow();
  EXPECT_EQ(0xFF0000u, s.pixel(20, 20));
  EXPECT_EQ(0x123456u, s.pixel(120, 40));
  DestroyWindow(child);
}

TEST(PaintManagerPaint, WindowWithoutRootIsValidatedAndNotPainted) {
  TestWindow window(300, 200);
  window.manager().Invalidate();
  window.PaintNow();
  RECT update;
  EXPECT_FALSE(GetUpdateRect(window.hwnd(), &update, FALSE));
  EXPECT_EQ(nullptr, window.manager().GetOffscreenBits());
}

TEST(PaintManagerPaint, SecondAttachCleansTheOldRootUpLater) {
  TestWindow window(300, 200);
  Scene first;
  Scene second;
  window.Attach(first.root);
  window.PaintNow();
  bool destroyed = false;
  struct Watch {
    bool* flag;
    bool OnDestroy(void*) {
      *flag = true;
      return true;
    }
  } watch{&destroyed};
  first.red->OnDestroy += MakeDelegate(&watch, &Watch::OnDestroy);
  window.Attach(second.root);
  EXPECT_FALSE(destroyed);
  EXPECT_TRUE(window.PumpUntil([&] { return destroyed; }));
  EXPECT_EQ(second.red, window.manager().FindControl(L"red"));
}

TEST(PaintManagerPaint, LayeredWindowWithOpacityKeepsPainting) {
  for (int order = 0; order < 2; ++order) {
    TestWindow window(300, 200);
    Scene scene;
    window.Attach(scene.root);
    if (order == 0) {
      window.manager().SetOpacity(128);
      window.manager().SetLayered(true);
    } else {
      window.manager().SetLayered(true);
      window.manager().SetOpacity(128);
    }
    ASSERT_TRUE(window.manager().IsLayered());
    window.manager().Invalidate();
    window.PaintNow();
    EXPECT_EQ(0u, window.manager().GetLastLayeredUpdateError()) << "order " << order;
    LPDWORD bits = window.manager().GetOffscreenBits();
    ASSERT_NE(nullptr, bits);
    // GDI leaves alpha 0; layered painting makes drawn pixels opaque.
    EXPECT_EQ(0xFFFF0000u, bits[(200 - 1 - 20) * 300 + 20]) << "order " << order;
    BYTE alpha = 0;
    DWORD flags = 0;
    // The window's opacity travels in the layered update, not in window attributes.
    EXPECT_FALSE(GetLayeredWindowAttributes(window.hwnd(), nullptr, &alpha, &flags) && (flags & LWA_ALPHA));
    // Later paints keep succeeding.
    scene.green->Invalidate();
    window.PaintNow();
    EXPECT_EQ(0u, window.manager().GetLastLayeredUpdateError());
  }
}

TEST(PaintManagerPaint, OpacityWithoutLayeredPaintingUsesWindowAttributes) {
  TestWindow window(300, 200);
  window.manager().SetOpacity(200);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(window.hwnd(), nullptr, &alpha, &flags));
  EXPECT_EQ(200, alpha);
  EXPECT_NE(0u, flags & LWA_ALPHA);
}
