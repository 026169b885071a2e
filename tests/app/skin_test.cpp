// The sample product's skin "PackageManager.zip", built into real framework windows: every
// control the installer's windows look up is there with its kind, each page draws, and
// screenshots of the pages are written to artifacts/app.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "skin_window.h"
#include "ui/core/paint/control/container.h"
#include "ui/core/controls/edit.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"

using app_test::SkinWindow;
using namespace SkinUI;

namespace {

struct Named {
  const wchar_t* name;
  const wchar_t* cls;
};

const Named kIcons[] = {{L"CtrlGame", L"ControlUI"},
                        {L"CtrlWeGame", L"ControlUI"},
                        {L"CtrlShopping", L"ControlUI"},
                        {L"CtrlSteam", L"ControlUI"}};

void ExpectControls(SkinWindow& w, const std::vector<Named>& controls) {
  for (const Named& c : controls) {
    CControlUI* control = w.Find(c.name);
    ASSERT_NE(nullptr, control) << "missing " << std::string(c.name, c.name + wcslen(c.name));
    EXPECT_STREQ(c.cls, control->GetClass()) << "kind of " << std::string(c.name, c.name + wcslen(c.name));
  }
}

void ExpectFloatingIcons(SkinWindow& w) {
  ExpectControls(w, std::vector<Named>(std::begin(kIcons), std::end(kIcons)));
  for (const Named& c : kIcons) {
    CControlUI* icon = w.Find(c.name);
    EXPECT_TRUE(icon->IsFloat());
    // Drawn over the header on every page: beside its white glyph the badge is saturated.
    RECT rc = icon->GetPos();
    DWORD px = w.Pixel(rc.left + 16, (rc.top + rc.bottom) / 2 - 2);
    int hi = 0, lo = 255;
    for (int shift : {0, 8, 16}) {
      hi = std::max<int>(hi, (px >> shift) & 0xFF);
      lo = std::min<int>(lo, (px >> shift) & 0xFF);
    }
    EXPECT_GT(hi - lo, 80) << std::hex << px;
  }
}

CContainerUI* AsContainer(CControlUI* control) {
  return static_cast<CContainerUI*>(control->GetInterface(L"Container"));
}

// The control at an index of a named control's parent (the title labels have no names).
CControlUI* Sibling(SkinWindow& w, const wchar_t* name, int index) {
  return AsContainer(w.Find(name)->GetParent())->GetItemAt(index);
}

POINT Centre(CControlUI* control) {
  RECT rc = control->GetPos();
  return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
}

// Pixels of a rectangle that differ from the colour most of its pixels have.
int InkPixels(SkinWindow& w, RECT rc) {
  std::vector<DWORD> px;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) px.push_back(w.Pixel(x, y));
  }
  int ink = 0;
  for (size_t i = 0; i < px.size(); ++i) {
    int r = px[i] >> 16, g = (px[i] >> 8) & 0xFF, b = px[i] & 0xFF;
    ink += (r > 200 && g > 200 && b > 200) ? 1 : 0;  // white text over the dark header
  }
  return ink;
}

std::vector<DWORD> Snapshot(SkinWindow& w, RECT rc) {
  std::vector<DWORD> px;
  for (int y = rc.top; y < rc.bottom; ++y) {
    for (int x = rc.left; x < rc.right; ++x) px.push_back(w.Pixel(x, y));
  }
  return px;
}

int Differences(const std::vector<DWORD>& a, const std::vector<DWORD>& b) {
  int n = 0;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) n += a[i] != b[i] ? 1 : 0;
  return n;
}

// The title bar drags the window; its buttons stay buttons.
void ExpectCaption(SkinWindow& w, CControlUI* title, const wchar_t* closeName) {
  EXPECT_EQ(HTCAPTION, w.HitTest(Centre(title)));
  EXPECT_EQ(HTCLIENT, w.HitTest(Centre(w.Find(closeName))));
}

bool IsBrandColour(DWORD c) { return (c & 0xFF) > 200 && (c >> 16) < 190; }
bool IsTrackColour(DWORD c) { return (c >> 16) > 215 && ((c >> 8) & 0xFF) > 215; }

class SampleSkin : public ::testing::Test {
 protected:
  void SetUp() override { SkinWindow::UseSampleSkin(); }
};

TEST_F(SampleSkin, InstallWindowHasItsControlsAndDrawsEachPage) {
  SkinWindow w(L"install.xml");
  ASSERT_NE(nullptr, w.Open());
  EXPECT_EQ(900, w.WindowSize().cx);
  EXPECT_EQ(600, w.WindowSize().cy);
  ExpectControls(w, {{L"BtnInstallClose", L"ButtonUI"},
                     {L"minbtn", L"ButtonUI"},
                     {L"VerBeforInstall", L"VerticalLayoutUI"},
                     {L"BtnInstall", L"ButtonUI"},
                     {L"EditPath", L"EditUI"},
                     {L"BtnCustom", L"ButtonUI"},
                     {L"OptLicence", L"OptionUI"},
                     {L"BtnLicence", L"ButtonUI"},
                     {L"VerInstall", L"VerticalLayoutUI"},
                     {L"ProInstall", L"ProgressUI"},
                     {L"LabelTips", L"LabelUI"},
                     {L"VerAfterInstall", L"VerticalLayoutUI"},
                     {L"BtnQuickStart", L"ButtonUI"}});
  EXPECT_FALSE(w.Find(L"VerInstall")->IsVisible());
  EXPECT_FALSE(w.Find(L"VerAfterInstall")->IsVisible());
  EXPECT_FALSE(w.Find(L"BtnQuickStart")->IsVisible());
  ASSERT_TRUE(w.Find(L"OptLicence")->GetInterface(L"Option") != nullptr);

  // Page 1 as the window sets it up.
  CEditUI* path = static_cast<CEditUI*>(w.Find(L"EditPath"));
  path->SetMouseEnabled(false);
  path->SetText(L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2");
  static_cast<COptionUI*>(w.Find(L"OptLicence"))->Selected(true);
  w.PaintNow();
  ExpectFloatingIcons(w);
  ASSERT_TRUE(w.SaveScreenshot(L"skin-install-1.png"));

  // The product's name in the title bar: white text, and Chinese glyphs rather than empty boxes.
  CControlUI* title = Sibling(w, L"BtnInstallClose", 1);
  ASSERT_STREQ(L"Tamsel游戏Pelluvo", title->GetText().GetData());
  RECT titleRect = title->GetPos();
  EXPECT_GT(InkPixels(w, titleRect), 60);
  title->SetText(L"游");
  w.PaintNow();
  std::vector<DWORD> you = Snapshot(w, titleRect);
  title->SetText(L"戏");
  w.PaintNow();
  EXPECT_GT(Differences(you, Snapshot(w, titleRect)), 20);
  title->SetText(L"Tamsel游戏Pelluvo");
  ExpectCaption(w, title, L"BtnInstallClose");

  // The primary button's hot image is lighter than its normal one; unticking the licence hides it.
  CControlUI* install = w.Find(L"BtnInstall");
  POINT at = {install->GetPos().left + 40, Centre(install).y};
  DWORD normal = w.Pixel(at.x, at.y);
  w.MoveMouse(at);
  w.PaintNow();
  DWORD hot = w.Pixel(at.x, at.y);
  EXPECT_GT((hot >> 16) + ((hot >> 8) & 0xFF), (normal >> 16) + ((normal >> 8) & 0xFF));
  EXPECT_TRUE(IsBrandColour(normal));
  w.MoveMouse(POINT{450, 590});

  // Page 2: the bar at 50% fills its left half, with its text shown.
  w.Find(L"VerBeforInstall")->SetVisible(false);
  w.Find(L"VerInstall")->SetVisible(true);
  CProgressUI* bar = static_cast<CProgressUI*>(w.Find(L"ProInstall"));
  bar->SetValue(50);
  bar->SetText(L"50%");
  w.Find(L"LabelTips")
      ->SetText(
          L"总大小：51.60M 正在拷贝文件：C:\\Program Files (x86)\\Orvenna\\PelluvoV2\\plugins\\accounts\\"
          L"resources\\skins\\default\\images\\background_large_2x.png");
  w.PaintNow();
  ASSERT_TRUE(w.SaveScreenshot(L"skin-install-2.png"));
  RECT b = bar->GetPos();
  const int track = b.bottom - 5, half = (b.left + b.right) / 2;
  EXPECT_TRUE(IsBrandColour(w.Pixel(b.left + (b.right - b.left) / 4, track)));
  EXPECT_TRUE(IsBrandColour(w.Pixel(half - 6, track)));
  EXPECT_TRUE(IsTrackColour(w.Pixel(half + 6, track)));
  EXPECT_TRUE(IsTrackColour(w.Pixel(b.right - (b.right - b.left) / 4, track)));
  // The long status line stays inside its label.
  RECT tips = w.Find(L"LabelTips")->GetPos();
  EXPECT_LE(tips.right, b.right);

  // Page 3 with the quick start.
  w.Find(L"VerInstall")->SetVisible(false);
  w.Find(L"VerAfterInstall")->SetVisible(true);
  w.Find(L"BtnQuickStart")->SetVisible(true);
  w.PaintNow();
  ExpectFloatingIcons(w);
  EXPECT_TRUE(IsBrandColour(w.Pixel(w.Find(L"BtnQuickStart")->GetPos().left + 40, Centre(w.Find(L"BtnQuickStart")).y)));
  ASSERT_TRUE(w.SaveScreenshot(L"skin-install-3.png"));
  w.Close(0);
  w.Pump();
}

TEST_F(SampleSkin, ConfirmationBoxHasItsButtons) {
  SkinWindow w(L"msg.xml");
  ASSERT_NE(nullptr, w.Open());
  EXPECT_EQ(320, w.WindowSize().cx);
  EXPECT_EQ(190, w.WindowSize().cy);
  ExpectControls(w, {{L"BtnMsgOK", L"ButtonUI"}, {L"BtnMsgCancel", L"ButtonUI"}, {L"BtnMsgClose", L"ButtonUI"}});
  ExpectCaption(w, Sibling(w, L"BtnMsgClose", 0), L"BtnMsgClose");
  ASSERT_TRUE(w.SaveScreenshot(L"skin-msg.png"));
  w.Close(0);
  w.Pump();
}

TEST_F(SampleSkin, UninstallWindowHoldsTheFormAndTheServiceReasonsFitIt) {
  SkinWindow w(L"uninstall.xml");
  ASSERT_NE(nullptr, w.Open());
  const wchar_t* reasons[] = {L"OptQuestion", L"OptMuch", L"OptUgly", L"OptFlow", L"OptUninstSelf", L"OptSale"};
  std::vector<Named> controls = {
      {L"BtnMin", L"ButtonUI"},    {L"BtnClose", L"ButtonUI"},     {L"VerUninstPage1", L"VerticalLayoutUI"},
      {L"BtnUninst", L"ButtonUI"}, {L"BtnUse", L"ButtonUI"},       {L"VerUninstPage2", L"VerticalLayoutUI"},
      {L"OptOther", L"OptionUI"},  {L"EditOther", L"EditUI"},      {L"EditNumber", L"EditUI"},
      {L"BtnCommit", L"ButtonUI"}, {L"BtnNotUninst", L"ButtonUI"}, {L"VerUninstPage3", L"VerticalLayoutUI"},
      {L"BtnBye", L"ButtonUI"}};
  for (const wchar_t* r : reasons) controls.push_back({r, L"OptionUI"});
  ExpectControls(w, controls);
  // The window places service reasons from the first page's height less 350.
  EXPECT_EQ(350, w.Find(L"VerUninstPage1")->GetPos().bottom - w.Find(L"VerUninstPage1")->GetPos().top);
  EXPECT_EQ(20u, static_cast<CEditUI*>(w.Find(L"EditNumber"))->GetMaxChar());
  CControlUI* page2 = w.Find(L"VerUninstPage2");
  for (const wchar_t* r : reasons) {
    COptionUI* option = static_cast<COptionUI*>(w.Find(r));
    EXPECT_STREQ(L"OptReason", option->GetGroup()) << "group of a built-in reason";
    EXPECT_TRUE(option->IsFloat());
    EXPECT_EQ(page2, option->GetParent());
  }
  EXPECT_STREQ(L"OptReason", static_cast<COptionUI*>(w.Find(L"OptOther"))->GetGroup());
  ExpectCaption(w, Sibling(w, L"BtnClose", 1), L"BtnClose");
  ASSERT_TRUE(w.SaveScreenshot(L"skin-uninstall-1.png"));

  // Page 2 with the built-in reasons, one chosen, the free text disabled.
  w.Find(L"VerUninstPage1")->SetVisible(false);
  page2->SetVisible(true);
  w.Find(L"EditOther")->SetEnabled(false);
  static_cast<COptionUI*>(w.Find(L"OptFlow"))->Selected(true);
  w.PaintNow();
  RECT rp = page2->GetPos();
  RECT flow = w.Find(L"OptFlow")->GetPos();
  EXPECT_EQ(rp.left + 376, flow.left);
  EXPECT_EQ(rp.top + 99, flow.top);
  ASSERT_TRUE(w.SaveScreenshot(L"skin-uninstall-2.png"));

  // Page 2 as a service reply makes it: the built-ins hidden, options added as the window adds them.
  for (const wchar_t* r : reasons) w.Find(r)->SetVisible(false);
  const wchar_t* names[] = {L"服务器连接不稳定", L"登录速度慢", L"不常玩游戏了"};
  std::vector<COptionUI*> added;
  for (int n = 0; n < 3; ++n) {
    COptionUI* option = new COptionUI;
    wchar_t pos[64];
    swprintf(pos, 64, L"%d, %d, %d, %d", n % 2 == 0 ? 89 : 376, 63 + 36 * (n / 2), 0, 0);
    option->SetName((L"Opt" + std::to_wstring(n + 7)).c_str());
    option->SetText(names[n]);
    option->SetTextColor(0xFF666666);
    option->SetFont(0);
    option->SetAttribute(L"float", L"true");
    option->SetAttribute(L"pos", pos);
    option->SetAttribute(L"textpadding", L"26,0,0,0");
    option->SetAttribute(L"align", L"left");
    option->SetAttribute(L"normalimage", L"res = 'opt.png' dest='0,0,14,14' source = '24,0,38,14'");
    option->SetAttribute(L"selectedimage", L"res='opt.png' dest='0,0,14,14' source='0,0,14,14'");
    option->SetAttribute(L"height", L"14");
    option->SetAttribute(L"width", L"200");
    option->SetGroup(L"OptReason");
    ASSERT_TRUE(AsContainer(page2)->Add(option));
    added.push_back(option);
  }
  added[1]->Selected(true);
  w.PaintNow();
  ASSERT_TRUE(w.SaveScreenshot(L"skin-uninstall-2-service.png"));
  // The selected look has a violet dot in the middle, the normal look a white one.
  POINT dot = {added[1]->GetPos().left + 7, added[1]->GetPos().top + 7};
  EXPECT_EQ(rp.left + 376, added[1]->GetPos().left);
  EXPECT_TRUE(IsBrandColour(w.Pixel(dot.x, dot.y)));
  EXPECT_EQ(0xFFFFFFu, w.Pixel(added[0]->GetPos().left + 7, added[0]->GetPos().top + 7));
  EXPECT_NE(0xFFFFFFu, w.Pixel(added[0]->GetPos().left + 1, added[0]->GetPos().top + 7));

  // Page 3.
  page2->SetVisible(false);
  w.Find(L"VerUninstPage3")->SetVisible(true);
  w.PaintNow();
  EXPECT_TRUE(IsBrandColour(w.Pixel(w.Find(L"BtnBye")->GetPos().left + 40, Centre(w.Find(L"BtnBye")).y)));
  ASSERT_TRUE(w.SaveScreenshot(L"skin-uninstall-3.png"));
  w.Close(0);
  w.Pump();
}

TEST_F(SampleSkin, WebInstallWindowHasItsControlsAndDrawsBothPages) {
  SkinWindow w(L"webinstall.xml");
  ASSERT_NE(nullptr, w.Open());
  EXPECT_EQ(900, w.WindowSize().cx);
  EXPECT_EQ(600, w.WindowSize().cy);
  ExpectControls(w, {{L"BtnWebInstallClose", L"ButtonUI"},
                     {L"minbtn", L"ButtonUI"},
                     {L"VerDownload", L"VerticalLayoutUI"},
                     {L"LabelAction", L"LabelUI"},
                     {L"ProWebInstall", L"ProgressUI"},
                     {L"LabelTips", L"LabelUI"},
                     {L"VerAfterInstall", L"VerticalLayoutUI"},
                     {L"BtnQuickStart", L"ButtonUI"}});
  EXPECT_FALSE(w.Find(L"VerDownload")->IsVisible());

  w.Find(L"VerDownload")->SetVisible(true);
  CProgressUI* bar = static_cast<CProgressUI*>(w.Find(L"ProWebInstall"));
  bar->SetValue(37);
  bar->SetText(L"37%");
  w.Find(L"LabelTips")->SetText(L"总大小：51.60M，已下载：19.09M，速度：2.35MB/s");
  w.PaintNow();
  ExpectFloatingIcons(w);
  ExpectCaption(w, Sibling(w, L"BtnWebInstallClose", 1), L"BtnWebInstallClose");
  RECT b = bar->GetPos();
  // The heading floats over the bar's text row, inside its page that was hidden when built.
  RECT action = w.Find(L"LabelAction")->GetPos();
  EXPECT_EQ(b.left, action.left);
  EXPECT_EQ(b.top, action.top);
  EXPECT_TRUE(IsBrandColour(w.Pixel(b.left + (b.right - b.left) / 4, b.bottom - 5)));
  EXPECT_TRUE(IsTrackColour(w.Pixel(b.left + (b.right - b.left) / 2, b.bottom - 5)));
  ASSERT_TRUE(w.SaveScreenshot(L"skin-webinstall-1.png"));

  w.Find(L"VerDownload")->SetVisible(false);
  w.Find(L"VerAfterInstall")->SetVisible(true);
  w.PaintNow();
  EXPECT_TRUE(w.Find(L"BtnQuickStart")->IsVisible());
  ASSERT_TRUE(w.SaveScreenshot(L"skin-webinstall-2.png"));
  w.Close(0);
  w.Pump();
}

}  // namespace
