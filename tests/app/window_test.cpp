// The uninstall and web-install windows built from the sample skin: the service's reasons
// on the form, the feedback the form gives, and engine reports from another thread.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <thread>

#include "app/install_wnd.h"
#include "app/job_outcome.h"
#include "app/uninstall_wnd.h"
#include "app/web_install_wnd.h"
#include "skin_window.h"
#include "ui/core/controls/edit.h"
#include "ui/core/controls/option.h"
#include "ui/core/controls/progress.h"

using namespace SkinUI;

namespace {

void Pump() {
  MSG msg;
  for (int handled = 0; handled < 2000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++handled) {
    if (!CPaintManagerUI::TranslateMessage(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void Repaint(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, FALSE);
  UpdateWindow(hwnd);
  Pump();
}

// A mouse click at the control's centre, as a person (or the end-to-end driver) makes it.
void Click(HWND hwnd, CControlUI* control) {
  const RECT& rc = control->GetPos();
  const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
  PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(hwnd, WM_LBUTTONUP, 0, at);
  Pump();
}

template <class Window>
Window* Open(int mode, JobOutcome& outcome) {
  app_test::SkinWindow::UseSampleSkin();
  OpePARAMEx record;
  record.mode = mode;
  record.installDir = L"C:\\windows\\temp\\tamsel-app-window-test";
  auto* window = new Window(record, outcome);
  EXPECT_NE(nullptr, window->Create(nullptr, L"TamselPelluvo", WS_POPUP | WS_VISIBLE, 0, 40, 40, 100, 100));
  Pump();
  Repaint(window->GetHWND());
  return window;
}

std::string Narrow(const CUIString& text) {
  std::string out;
  for (const wchar_t* p = text.GetData(); *p; ++p) out += static_cast<char>(*p < 128 ? *p : '?');
  return out;
}

class UninstallWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = Open<CUninstallWnd>(OpePARAMEx::CMD_UNINSTALL, outcome_);
    hwnd_ = window_->GetHWND();
  }
  void TearDown() override {
    DestroyWindow(hwnd_);  // the window frees itself
    Pump();
  }
  CControlUI* Find(const wchar_t* name) { return window_->GetPaintManager().FindControl(name); }
  COptionUI* Option(const wchar_t* name) {
    CControlUI* control = Find(name);
    return control == nullptr ? nullptr : static_cast<COptionUI*>(control->GetInterface(L"Option"));
  }
  // The form page as "BtnUninst" shows it after the reply has been read.
  void ShowForm(const std::string& reply) {
    window_->NotifyUpdateWnd(reply);
    Find(L"VerUninstPage1")->SetVisible(false);
    Find(L"VerUninstPage2")->SetVisible(true);
    Repaint(hwnd_);
  }

  JobOutcome outcome_;
  CUninstallWnd* window_ = nullptr;
  HWND hwnd_ = nullptr;
};

const char kEightReasons[] =
    R"({"code":0,"msg":"success","data":{"type_list":[{"id":11,"name":"经常卡顿"},{"id":12,"name":"占用内存"},)"
    R"({"id":13,"name":"不会用"},{"id":14,"name":"弹窗多"},{"id":15,"name":"换电脑"},{"id":16,"name":"账号问题"},)"
    R"({"id":17,"name":"第七"},{"id":18,"name":"第八"}]}})";

TEST_F(UninstallWindow, StartsOnTheConfirmationPageWithoutReasons) {
  EXPECT_TRUE(Find(L"VerUninstPage1")->IsVisible());
  EXPECT_FALSE(Find(L"VerUninstPage2")->IsVisible());
  EXPECT_FALSE(Find(L"VerUninstPage3")->IsVisible());
  EXPECT_FALSE(Find(L"OptQuestion")->IsVisible());
  EXPECT_FALSE(Find(L"OptSale")->IsVisible());
  EXPECT_FALSE(Find(L"EditOther")->IsEnabled());
}

TEST_F(UninstallWindow, EightReasonsTakeSixPlacesInTwoColumns) {
  ShowForm(kEightReasons);
  const RECT page = Find(L"VerUninstPage2")->GetPos();
  const int x[2] = {89, 376};
  const int y[3] = {63, 99, 135};
  for (int n = 0; n < 6; ++n) {
    const std::wstring name = L"Opt" + std::to_wstring(11 + n);
    COptionUI* option = Option(name.c_str());
    ASSERT_NE(nullptr, option) << n;
    const RECT rc = option->GetPos();
    EXPECT_EQ(page.left + x[n % 2], rc.left) << n;
    EXPECT_EQ(page.top + y[n / 2], rc.top) << n;
    EXPECT_EQ(200, rc.right - rc.left) << n;
    EXPECT_EQ(14, rc.bottom - rc.top) << n;
    EXPECT_STREQ(L"OptReason", option->GetGroup());
    EXPECT_EQ(static_cast<UINT_PTR>(11 + n), option->GetTag());
  }
  EXPECT_EQ(L"经常卡顿", std::wstring(Option(L"Opt11")->GetText().GetData()));
  EXPECT_EQ(nullptr, Find(L"Opt17"));
  EXPECT_EQ(nullptr, Find(L"Opt18"));
  EXPECT_FALSE(Find(L"OptQuestion")->IsVisible());
}

TEST_F(UninstallWindow, ReplyBrokenHalfWayShowsOnlyTheBuiltinReasons) {
  ShowForm(R"({"code":0,"msg":"ok","data":{"type_list":[{"id":21,"name":"a"},{"id":22,"name":"b"},{"id":23}]}})");
  EXPECT_EQ(nullptr, Find(L"Opt21"));
  EXPECT_EQ(nullptr, Find(L"Opt22"));
  for (const wchar_t* name : {L"OptQuestion", L"OptMuch", L"OptUgly", L"OptFlow", L"OptUninstSelf", L"OptSale"}) {
    EXPECT_TRUE(Find(name)->IsVisible()) << Narrow(name);
  }
}

TEST_F(UninstallWindow, EmptyListOffersOnlyTheOtherReason) {
  ShowForm(R"({"code":0,"msg":"ok","data":{"type_list":[]}})");
  EXPECT_FALSE(Find(L"OptQuestion")->IsVisible());
  EXPECT_TRUE(Find(L"OptOther")->IsVisible());
  EXPECT_TRUE(window_->BuildFeedback().empty());
}

TEST_F(UninstallWindow, ServiceReasonAndContactNumberMakeTheFeedback) {
  ShowForm(R"({"code":0,"msg":"ok","data":{"type_list":[{"id":5,"name":"five"},{"id":7,"name":"seven"}]}})");
  Click(hwnd_, Find(L"Opt7"));
  EXPECT_TRUE(Option(L"Opt7")->IsSelected());
  Find(L"EditNumber")->SetText(L"13800001111");
  EXPECT_EQ(L"{\"content\":\"\",\"mobile\":\"13800001111\",\"type\":7}", window_->BuildFeedback());
}

TEST_F(UninstallWindow, OtherReasonEnablesItsTextAndSendsIt) {
  ShowForm(R"({"code":0,"msg":"ok","data":{"type_list":[{"id":7,"name":"seven"}]}})");
  Click(hwnd_, Find(L"OptOther"));
  EXPECT_TRUE(Find(L"EditOther")->IsEnabled());
  Find(L"EditOther")->SetText(L"太卡了");
  EXPECT_EQ(L"{\"content\":\"太卡了\",\"mobile\":\"\",\"type\":0}", window_->BuildFeedback());
  // Another reason takes the selection and disables the text again.
  Click(hwnd_, Find(L"Opt7"));
  EXPECT_FALSE(Find(L"EditOther")->IsEnabled());
  EXPECT_FALSE(Option(L"OptOther")->IsSelected());
}

TEST_F(UninstallWindow, NothingSelectedGivesNoFeedback) {
  ShowForm(kEightReasons);
  Find(L"EditNumber")->SetText(L"13800001111");
  EXPECT_TRUE(window_->BuildFeedback().empty());
}

TEST_F(UninstallWindow, BuiltinReasonGivesNoFeedback) {
  ShowForm("not json");
  Click(hwnd_, Find(L"OptUgly"));
  EXPECT_TRUE(Option(L"OptUgly")->IsSelected());
  EXPECT_TRUE(window_->BuildFeedback().empty());
}

TEST_F(UninstallWindow, FinishFromTheWorkerShowsTheFarewellOnTheWindowThread) {
  std::thread([this] { window_->OnFinish("", 0); }).join();
  // Not applied on the worker: it waits for the window's own thread.
  EXPECT_FALSE(Find(L"VerUninstPage3")->IsVisible());
  Pump();
  EXPECT_TRUE(Find(L"VerUninstPage3")->IsVisible());
  EXPECT_FALSE(Find(L"VerUninstPage1")->IsVisible());
  EXPECT_EQ(kExitOk, outcome_.ExitCode());
}

class WebInstallWindow : public ::testing::Test {
 protected:
  // No job mode: the window opens without starting a download.
  void SetUp() override {
    window_ = Open<CWebInstallWnd>(OpePARAMEx::CMD_NONE, outcome_);
    hwnd_ = window_->GetHWND();
  }
  void TearDown() override {
    DestroyWindow(hwnd_);
    Pump();
  }
  CControlUI* Find(const wchar_t* name) { return window_->GetPaintManager().FindControl(name); }
  CProgressUI* Bar() { return static_cast<CProgressUI*>(Find(L"ProWebInstall")->GetInterface(L"Progress")); }
  std::wstring Text(const wchar_t* name) { return Find(name)->GetText().GetData(); }
  // A report made on another thread, as the engine's worker makes it.
  template <class Report>
  void FromWorker(Report report) {
    std::thread(report).join();
  }

  JobOutcome outcome_;
  CWebInstallWnd* window_ = nullptr;
  HWND hwnd_ = nullptr;
};

TEST_F(WebInstallWindow, DownloadPageShowsSizesSpeedAndPercent) {
  EXPECT_TRUE(Find(L"VerDownload")->IsVisible());
  EXPECT_FALSE(Find(L"VerAfterInstall")->IsVisible());
  FromWorker([this] { window_->OnProgressEx(8, 45000000, 90000000, L"，速度：1.00M", 90); });
  EXPECT_EQ(0, Bar()->GetValue());  // waits for the window's thread
  Pump();
  EXPECT_EQ(45, Bar()->GetValue());
  EXPECT_EQ(L"45%", Text(L"ProWebInstall"));
  EXPECT_EQ(L"总大小：90.00M，已下载：45.00M，速度：1.00M", Text(L"LabelTips"));
  FromWorker([this] { window_->OnProgressEx(8, 1000001, 90000000, L"", 90); });
  Pump();
  EXPECT_EQ(L"2%", Text(L"ProWebInstall"));
  FromWorker([this] { window_->OnProgressEx(8, 90000000, 90000000, L"", 90); });
  Pump();
  EXPECT_EQ(L"90%", Text(L"ProWebInstall"));
}

TEST_F(WebInstallWindow, InstallStepChangesOnlyTheActionText) {
  FromWorker([this] { window_->OnProgressEx(8, 768000, 1536000, L"，速度：2.00kB", 90); });
  Pump();
  const std::wstring tips = Text(L"LabelTips");
  const int value = Bar()->GetValue();
  FromWorker([this] { window_->OnProgressEx(29, 0, 100, L"", 100); });
  Pump();
  EXPECT_EQ(L"正在安装TamselPelluvo... ...", Text(L"LabelAction"));
  EXPECT_EQ(tips, Text(L"LabelTips"));
  EXPECT_EQ(value, Bar()->GetValue());
}

TEST_F(WebInstallWindow, FailureTextEmptiesTheSizesAndFailsTheRun) {
  FromWorker([this] { window_->OnProgressEx(8, 768000, 1536000, L"", 90); });
  FromWorker([this] { window_->OnMessage(L"下载失败", 0); });
  Pump();
  EXPECT_EQ(L"下载失败", Text(L"LabelAction"));
  EXPECT_EQ(L"", Text(L"LabelTips"));
  EXPECT_EQ(45, Bar()->GetValue());
  EXPECT_EQ(kExitJobFailed, outcome_.ExitCode());
}

TEST_F(WebInstallWindow, FinishShowsTheAfterPageAndMovesTheIcons) {
  const RECT before = Find(L"CtrlGame")->GetPos();
  FromWorker([this] { window_->OnFinish(nullptr, 0); });
  Pump();
  EXPECT_EQ(100, Bar()->GetValue());
  EXPECT_EQ(L"100%", Text(L"ProWebInstall"));
  EXPECT_FALSE(Find(L"VerDownload")->IsVisible());
  EXPECT_TRUE(Find(L"VerAfterInstall")->IsVisible());
  EXPECT_EQ(kExitOk, outcome_.ExitCode());
  // The icon timer: wait for a few ticks (counted, not timed).
  for (int i = 0; i < 50 && Find(L"CtrlGame")->GetPos().top == before.top; ++i) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    Pump();
  }
  EXPECT_NE(before.top, Find(L"CtrlGame")->GetPos().top);
}

TEST(DownloadTips, SizesInMillionsWithTwoDecimals) {
  EXPECT_EQ(L"总大小：1.54M，已下载：0.77M，速度：1.50M", DownloadTipsText(1536000, 768000, L"，速度：1.50M"));
  EXPECT_EQ(L"总大小：0.00M，已下载：0.00M", DownloadTipsText(0, 0, L""));
}

TEST(DownloadTips, LongSpeedTextIsKeptWhole) {
  const std::wstring speed(300, L'x');
  const std::wstring tips = DownloadTipsText(4294967295u, 4294967295u, speed);
  EXPECT_EQ(L"总大小：4294.97M，已下载：4294.97M" + speed, tips);
}

// The compiler's own layout (Itanium C++ ABI): a pointer to a virtual member holds one plus
// the byte offset of its slot; -1 for anything else.
template <class Member>
int SlotOf(Member member) {
  struct {
    intptr_t ptr, adj;
  } raw;
  static_assert(sizeof(member) == sizeof(raw), "an Itanium member pointer");
  memcpy(&raw, &member, sizeof(raw));
  return raw.adj == 0 && (raw.ptr & 1) != 0 ? static_cast<int>((raw.ptr - 1) / sizeof(void*)) : -1;
}

// The engine calls the window through these slots: the interface's seven operations come first,
// in this order, and every job window has the interface as its first base.
TEST(ProgressInterface, SevenOperationsInTheirSlotsInTheInterfaceAndEveryJobWindow) {
  EXPECT_EQ(0, SlotOf(&IInstallUIPromptEx::OnProgress));
  EXPECT_EQ(1, SlotOf(&IInstallUIPromptEx::OnProgressEx));
  EXPECT_EQ(2, SlotOf(&IInstallUIPromptEx::OnFinish));
  EXPECT_EQ(3, SlotOf(&IInstallUIPromptEx::NotifyUpdateWnd));
  EXPECT_EQ(4, SlotOf(&IInstallUIPromptEx::OnMessage));
  EXPECT_EQ(5, SlotOf(&IInstallUIPromptEx::OnMessageA));
  EXPECT_EQ(6, SlotOf(&IInstallUIPromptEx::OnMessageA2));
  EXPECT_EQ(0, SlotOf(&CInstallWnd::OnProgress));
  EXPECT_EQ(4, SlotOf(&CInstallWnd::OnMessage));
  EXPECT_EQ(3, SlotOf(&CUninstallWnd::NotifyUpdateWnd));
  EXPECT_EQ(1, SlotOf(&CWebInstallWnd::OnProgressEx));
}

}  // namespace
