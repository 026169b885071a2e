// The seam of the further controls: a class added to the control factory is built from skin markup
// by its element name in a real framework window, gets its attributes and paints.
#include <gtest/gtest.h>

#include <cwchar>

#include "demo_window.h"
#include "ui/core/builder/control_factory.h"
#include "ui/core/paint/render/render_engine.h"
#include "ui/extra/extra_controls.h"

using namespace SkinUI;
using skinui_test::DemoWindow;

namespace {

// A control as the extra library's are: it fills itself with the colour of its "fill" attribute.
class CSwatchUI : public CControlUI {
 public:
  const wchar_t* GetClass() const override { return L"SwatchUI"; }
  void SetAttribute(const wchar_t* name, const wchar_t* value) override {
    if (wcscmp(name, L"fill") == 0)
      fill = wcstoul(value, nullptr, 16);
    else
      CControlUI::SetAttribute(name, value);
  }
  void PaintBkColor(HDC hDC) override { CRenderEngine::DrawColor(hDC, m_rcItem, fill); }

  DWORD fill = 0;
};

const wchar_t kSkin[] =
    L"<Window size=\"160,100\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<Swatch name=\"swatch\" fill=\"FF2080C0\" height=\"40\" /></VerticalLayout></Window>";

}  // namespace

TEST(ExtraControls, RegisteredClassIsBuiltFromMarkupByElementNameConfiguredAndPainted) {
  RegisterExtraControls();  // as the program does at start-up
  CControlFactory* factory = CControlFactory::GetInstance();
  ASSERT_EQ(nullptr, factory->CreateControl(L"CSwatchUI"));
  factory->RegisterControls({{L"CSwatchUI", &CreateControlOf<CSwatchUI>}});

  CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
  DemoWindow window(kSkin);  // markup text is a skin source of its own
  ASSERT_NE(nullptr, window.Open(40, 40));
  auto* swatch = dynamic_cast<CSwatchUI*>(window.Find(L"swatch"));
  ASSERT_NE(nullptr, swatch);
  EXPECT_EQ(0xFF2080C0u, swatch->fill);
  EXPECT_EQ(window.GetPaintManager().GetDPIObject()->Scale(40), swatch->GetFixedHeight());

  RECT rc = swatch->GetPos();
  EXPECT_EQ(0x2080C0u, window.Pixel((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
  EXPECT_EQ(0xFFFFFFu, window.Pixel((rc.left + rc.right) / 2, rc.bottom + 5)) << "the layout below it";
  DestroyWindow(window.GetHWND());
}
