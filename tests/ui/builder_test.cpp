// The dialog builder and the control factory, on layouts read from a zip skin made by Debian's zip.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo_window.h"
#include "test_support.h"
#include "ui/core/base/ui_log.h"
#include "ui/core/builder/child_layout.h"
#include "ui/core/builder/control_factory.h"
#include "ui/core/builder/dialog_builder.h"
#include "ui/core/controls/edit.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"
#include "ui/core/layouts/tab_layout.h"
#include "ui/core/layouts/tile_layout.h"

using namespace SkinUI;
using skinui_test::DemoWindow;

namespace {

// The framework's log lines while one lives.
class LogLines {
 public:
  LogLines() {
    Lines().clear();
    SetUILogSink(&Keep);
  }
  ~LogLines() { SetUILogSink(nullptr); }
  int Count(const wchar_t* part) const {
    int n = 0;
    for (const std::wstring& line : Lines()) n += line.find(part) != std::wstring::npos ? 1 : 0;
    return n;
  }

 private:
  static std::vector<std::wstring>& Lines() {
    static std::vector<std::wstring> lines;
    return lines;
  }
  static void Keep(const wchar_t* line) { Lines().push_back(line); }
};

int CountControls(CControlUI* control) {
  auto* container = static_cast<CContainerUI*>(control->GetInterface(L"Container"));
  int n = 1;
  for (int i = 0; container != nullptr && i < container->GetCount(); ++i) n += CountControls(container->GetItemAt(i));
  return n;
}

}  // namespace

TEST(DialogBuilder, AppliesWindowAttributesResourcesAndControlsFromZipSkin) {
  DemoWindow::UseDemoSkin();
  DemoWindow window;
  ASSERT_NE(nullptr, window.Open(40, 40));
  CPaintManagerUI& pm = window.GetPaintManager();
  int scale = pm.GetDPIObject()->GetScale();
  RECT rc;
  GetClientRect(window.GetHWND(), &rc);
  EXPECT_EQ(MulDiv(420, scale, 100), rc.right);
  EXPECT_EQ(MulDiv(320, scale, 100), rc.bottom);
  EXPECT_EQ(32, pm.GetCaptionRect().bottom);
  EXPECT_EQ(4, pm.GetSizeBox().left);
  EXPECT_EQ(4, pm.GetSizeBox().bottom);
  EXPECT_EQ(6, pm.GetRoundCorner().cx);
  EXPECT_EQ(200, pm.GetMinInfo().cx);
  EXPECT_EQ(0xFF202020u, pm.GetDefaultFontColor());
  EXPECT_EQ(0xFF909090u, pm.GetDefaultDisabledColor());
  EXPECT_EQ(0xFFC0D0F0u, pm.GetDefaultSelectedBkColor());
  EXPECT_FALSE(pm.IsLayered()) << "\"Layered\" is not \"layered\"";
  // Fonts: id 1 bold 16, id 0 also the default.
  ASSERT_NE(nullptr, pm.GetFontInfo(1));
  EXPECT_TRUE(pm.GetFontInfo(1)->bBold);
  EXPECT_EQ(MulDiv(12, scale, 100), pm.GetDefaultFontInfo()->iSize);
  EXPECT_NE(nullptr, pm.GetImage(L"img/strip.png"));
  // Default attribute list for every Button, then the element's own attributes.
  auto* minbtn = static_cast<CButtonUI*>(window.Find(L"minbtn"));
  auto* page0 = static_cast<CButtonUI*>(window.Find(L"page0"));
  EXPECT_EQ(0xFFE0E0FFu, page0->GetHotBkColor());
  EXPECT_EQ(0xFF101010u, page0->GetTextColor());
  EXPECT_EQ(0xFF4070B0u, minbtn->GetHotBkColor());
  // A style named as a value; five included tiles; the custom control through the callback.
  CControlUI* tiles = window.Find(L"tiles");
  EXPECT_EQ(0xFFFFE0C0u, tiles->GetBkColor());
  EXPECT_EQ(5, static_cast<CTileLayoutUI*>(tiles)->GetCount());
  EXPECT_EQ(1, window.customCreated);
  EXPECT_STREQ(L"ShapeUI", window.Find(L"custom")->GetClass());
  // Unknown elements are skipped with their children.
  EXPECT_EQ(nullptr, window.Find(L"ghost"));
  EXPECT_EQ(nullptr, window.Find(L"ghostchild"));
  // Each element made by its class, configured by its attributes.
  EXPECT_STREQ(L"OptionUI", window.Find(L"opt1")->GetClass());
  EXPECT_STREQ(L"CheckBoxUI", window.Find(L"check")->GetClass());
  EXPECT_STREQ(L"TabLayoutUI", window.Find(L"tabs")->GetClass());
  auto* progress = static_cast<CProgressUI*>(window.Find(L"progress"));
  EXPECT_EQ(50, progress->GetValue());
  EXPECT_EQ(200, progress->GetMaxValue());
  auto* number = static_cast<CEditUI*>(window.Find(L"number"));
  EXPECT_TRUE(number->IsNumberOnly());
  EXPECT_EQ(4u, number->GetMaxChar());
  DestroyWindow(window.GetHWND());
  EXPECT_TRUE(window.finalMessage);
}

TEST(DialogBuilder, FactoryMakesClassesByNameIgnoringCase) {
  CControlFactory* factory = CControlFactory::GetInstance();
  for (const wchar_t* name : {L"CButtonUI", L"cbuttonui", L"CBUTTONUI"}) {
    CControlUI* made = factory->CreateControl(name);
    ASSERT_NE(nullptr, made) << name;
    EXPECT_NE(nullptr, made->GetInterface(L"Button"));
    delete made;
  }
  EXPECT_EQ(nullptr, factory->CreateControl(L"CNoSuchUI"));
  // A registered name keeps its first creator.
  factory->RegisterControl(L"CLabelUI", []() -> CControlUI* { return new COptionUI; });
  CControlUI* label = factory->CreateControl(L"CLabelUI");
  EXPECT_STREQ(L"LabelUI", label->GetClass());
  delete label;

  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><VerticalLayout><button name=\"a\"/><BUTTON name=\"b\"/>"
      L"<Label name=\"c\" align=\"center right\"/></VerticalLayout></Window>");
  ASSERT_NE(nullptr, root);
  auto* box = static_cast<CContainerUI*>(root);
  ASSERT_EQ(3, box->GetCount());
  EXPECT_STREQ(L"ButtonUI", box->GetItemAt(0)->GetClass());
  EXPECT_STREQ(L"ButtonUI", box->GetItemAt(1)->GetClass());
  EXPECT_EQ(UINT(DT_RIGHT), static_cast<CLabelUI*>(box->GetItemAt(2))->GetTextStyle() & (DT_CENTER | DT_RIGHT));
  delete root;
  CDialogBuilder bad;
  EXPECT_EQ(nullptr, bad.Create(L"<Window><Button></Window>"));
}

TEST(DialogBuilder, RefusesIncludesThatLoopInsteadOfOverflowing) {
  DemoWindow::UseDemoSkin();
  CDialogBuilder builder;
  CControlUI* root = builder.Create(L"selfinclude.xml");
  ASSERT_NE(nullptr, root);
  auto* outer = static_cast<CContainerUI*>(root);
  // selfinclude -> loop (x1) -> selfinclude (x2) -> ...: bounded, and the first levels are there.
  EXPECT_GT(outer->GetCount(), 2);
  EXPECT_LT(outer->GetCount(), 600);
  delete root;
}

TEST(DialogBuilder, RefusesARepeatCountAboveItsLimitNamingTheElement) {
  DemoWindow::UseDemoSkin();
  LogLines log;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><VerticalLayout><Include source=\"piece.xml\" count=\"2147483647\" />"
      L"<Include source=\"piece.xml\" count=\"100\" /></VerticalLayout></Window>");
  ASSERT_NE(nullptr, root);
  EXPECT_EQ(100, static_cast<CContainerUI*>(root)->GetCount()) << "a hundred is within the limit";
  EXPECT_EQ(1, log.Count(L"ParseInclude, <Include source=\"piece.xml\" count=\"2147483647\"> refused"));
  delete root;
}

TEST(DialogBuilder, RefusesAFontBeyondItsSizeLimitNamingIt) {
  DemoWindow::UseDemoSkin();
  LogLines log;
  CPaintManagerUI pm;
  const int defaultSize = pm.GetDefaultFontInfo()->iSize;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><Font id=\"1\" size=\"1000\"/><Font id=\"2\" size=\"65535\" italic=\"true\" default=\"true\"/>"
      L"<Font id=\"3\" size=\"-1001\"/><VerticalLayout/></Window>",
      nullptr, nullptr, &pm);
  ASSERT_NE(nullptr, root);
  EXPECT_EQ(1000, pm.GetFontInfo(1)->iSize) << "the limit itself is a font";
  EXPECT_EQ(pm.GetDefaultFontInfo(), pm.GetFontInfo(2));
  EXPECT_EQ(pm.GetDefaultFontInfo(), pm.GetFontInfo(3));
  EXPECT_EQ(defaultSize, pm.GetDefaultFontInfo()->iSize) << "a refused font does not become the default";
  EXPECT_EQ(1, log.Count(L"ParseResources, <Font id=\"2\" size=\"65535\"> refused"));
  EXPECT_EQ(1, log.Count(L"ParseResources, <Font id=\"3\" size=\"-1001\"> refused"));
  delete root;
}

// A default font without a face, shared or a window's own, is the default font, and one made
// again by every layout replaces the last without leaving it behind.
TEST(DialogBuilder, ADefaultFontWithoutAFaceIsTheDefaultAndReplacesTheLastOne) {
  DemoWindow::UseDemoSkin();
  auto build = [](const wchar_t* xml, CPaintManagerUI& pm) {
    CDialogBuilder builder;
    delete builder.Create(xml, nullptr, nullptr, &pm);
  };
  {
    CPaintManagerUI pm;
    build(L"<Window><Font id=\"1\" size=\"31\" default=\"true\"/><VerticalLayout/></Window>", pm);
    EXPECT_EQ(31, pm.GetDefaultFontInfo()->iSize) << "the window's own";
  }
  const FontInfo was = CPaintManagerUI::GetSharedResources().DefaultFontInfo;
  const int before = skinui_test::GdiHeadroom();
  for (int i = 0; i < 100; ++i) {
    CPaintManagerUI pm;
    build(L"<Window><Font id=\"1\" size=\"33\" default=\"true\" shared=\"true\"/><VerticalLayout/></Window>", pm);
    ASSERT_EQ(33, pm.GetDefaultFontInfo()->iSize) << i;
  }
  EXPECT_GE(skinui_test::GdiHeadroom(), before - 20);
  CPaintManagerUI().SetDefaultFont(was.sFontName.GetData(), was.iSize, was.bBold, was.bUnderline, was.bItalic, true);
}

TEST(DialogBuilder, ALayoutThatIncludesItselfStopsAtTheDepthAndTheLayoutBudget) {
  DemoWindow::UseDemoSkin();
  LogLines log;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(L"selfmany.xml");  // a hundred copies of itself at every level
  ASSERT_NE(nullptr, root);
  EXPECT_LE(CountControls(root), 1001);
  EXPECT_GT(log.Count(L"more than 1000 included layouts"), 0);
  delete root;
}

TEST(DialogBuilder, ChildLayoutsThatHoldThemselvesStopAtTheDepthLimit) {
  DemoWindow::UseDemoSkin();
  LogLines log;
  DemoWindow window(L"childself.xml");
  ASSERT_NE(nullptr, window.Open(60, 60));
  // Each child layout holds the layout's vertical layout, which holds the next child layout.
  int depth = 0;
  for (CControlUI* c = window.Find(L"inner"); c != nullptr; ++depth) {
    CControlUI* layout = static_cast<CChildLayoutUI*>(c->GetInterface(L"ChildLayout"))->GetItemAt(0);
    c = layout != nullptr ? static_cast<CContainerUI*>(layout->GetInterface(L"Container"))->GetItemAt(0) : nullptr;
  }
  EXPECT_EQ(9, depth) << "eight filled, the ninth refused";
  EXPECT_EQ(1, log.Count(L"CChildLayoutUI::Init, <ChildLayout xmlfile=\"childself.xml\"> refused"));
  DestroyWindow(window.GetHWND());
}

// Controls the builder makes through its callback, counted while they live.
struct CountedUI : CControlUI {
  CountedUI() { ++live; }
  ~CountedUI() override { --live; }
  static int live;
};
int CountedUI::live = 0;

struct CountingCallback : IDialogBuilderCallback {
  CControlUI* CreateControl(const wchar_t* name) override {
    return wcscmp(name, L"Counted") == 0 ? new CountedUI : nullptr;
  }
};

TEST(DialogBuilder, AtTheTopOfALayoutOnlyTheFirstControlIsMadeAndNothingIsLeftBehind) {
  DemoWindow::UseDemoSkin();
  LogLines log;
  CountingCallback callback;
  CDialogBuilder builder;
  CControlUI* root = builder.Create(
      L"<Window><Counted name=\"kept\"/><Include source=\"tile.xml\"/><Counted/>"
      L"<VerticalLayout><Counted/></VerticalLayout></Window>",
      nullptr, &callback);
  ASSERT_NE(nullptr, root);
  EXPECT_STREQ(L"kept", root->GetName().GetData());
  EXPECT_EQ(1, CountedUI::live);
  EXPECT_EQ(1, log.Count(L"ParseControls, <Include> refused"));
  EXPECT_EQ(1, log.Count(L"ParseControls, <Counted> refused"));
  EXPECT_EQ(1, log.Count(L"ParseControls, <VerticalLayout> refused"));
  delete root;
  EXPECT_EQ(0, CountedUI::live);
}

TEST(DialogBuilder, ChildLayoutLoadsItsFileOrStaysEmpty) {
  DemoWindow::UseDemoSkin();
  DemoWindow window(L"child.xml");
  ASSERT_NE(nullptr, window.Open(60, 60));
  auto* holder = static_cast<CContainerUI*>(window.Find(L"holder"));
  ASSERT_NE(nullptr, holder);
  EXPECT_EQ(nullptr, holder->GetInterface(L"IContainer"));
  EXPECT_EQ(1, holder->GetCount());
  EXPECT_EQ(0, static_cast<CContainerUI*>(window.Find(L"empty"))->GetCount());
  // Attached again (initialised again with its parent): still one copy of its file.
  auto* parent = static_cast<CContainerUI*>(holder->GetParent()->GetInterface(L"Container"));
  parent->SetAutoDestroy(false);
  parent->Remove(holder);
  parent->Add(holder);
  EXPECT_EQ(1, holder->GetCount());
  DestroyWindow(window.GetHWND());
}
