// The install window's parts that need no window: the channel in the program's name, the
// install folder checks, the floating icons' swing and the hand-over of engine reports.
#include <windows.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "app/channel_url.h"
#include "app/float_icons.h"
#include "app/install_folder.h"
#include "app/report_handoff.h"
#include "ui/core/paint/control/control.h"

namespace {

TEST(ChannelFromProgramName, KeepsOnlyNamesWithAChannelAndCutsACopyMark) {
  struct Case {
    const wchar_t* name;
    const wchar_t* channel;
  } cases[] = {
      {L"TamselPelluvo#orvenna__sample#1", L"TamselPelluvo#orvenna__sample#1"},
      {L"TamselPelluvo#orvenna__sample#1(2)", L"TamselPelluvo#orvenna__sample#1"},
      {L"TamselPelluvo#orvenna__sample#1\xFF08\x0032\xFF09", L"TamselPelluvo#orvenna__sample#1"},
      {L"Tamsel&&web(1)", L"Tamsel&&web"},
      {L"setup__a(b)(c)", L"setup__a(b)"},  // only the last bracketed part
      {L"setup__a)", L"setup__a)"},         // no opening bracket: the name stays whole
      {L"TamselPelluvo(__x)", L""},         // the channel mark was inside the cut part
      {L"TamselPelluvo", L""},
      {L"Tamsel_Pelluvo&", L""},
      {L"", L""},
  };
  for (const Case& c : cases) EXPECT_EQ(ChannelFromProgramName(c.name), c.channel) << c.name;
}

TEST(WithChannelQuery, ReplacesTheQueriesOfEarlierInstallsAndKeepsOtherQueries) {
  const std::wstring base = L"https://pelluvo.orvenna.example/start";
  EXPECT_EQ(WithChannelQuery(base, L"a__b"), base + L"?id=a__b");
  EXPECT_EQ(WithChannelQuery(base + L"?id=a__b", L"a__b"), base + L"?id=a__b");
  EXPECT_EQ(WithChannelQuery(base + L"?id=old__x?id=old__x?id=a__b", L"c__d"), base + L"?id=c__d");
  EXPECT_EQ(WithChannelQuery(base + L"?lang=zh", L"a__b"), base + L"?lang=zh?id=a__b");
  EXPECT_EQ(WithChannelQuery(base + L"?id=7&x=1", L"a__b"), base + L"?id=7&x=1?id=a__b") << "not a query of ours";
}

TEST(InstallFolder, OnlyAbsoluteFoldersWithUsablePartsAreAccepted) {
  for (const wchar_t* good : {L"C:\\Games", L"d:\\My Games\\Tamsel", L"C:\\Program Files (x86)\\Orvenna\\PelluvoV2",
                              L"\\\\server\\share\\games", L"C:\\游戏\\泰森"}) {
    EXPECT_TRUE(IsUsableInstallFolder(good)) << good;
  }
  for (const wchar_t* bad :
       {L"", L"C:", L"C:\\", L"C:Games", L"Games\\Tamsel", L"\\Games", L"C:\\Games\\", L"C:\\Games\\..\\Windows",
        L"C:\\Games\\.\\x", L"C:\\Ga<mes", L"C:\\Games\\a:b", L"C:\\Games\\name.", L"C:\\Games\\name ", L"C:\\\\Games",
        L"\\\\server\\share", L"\\\\server", L"C:\\Games\\a\tb"}) {
    EXPECT_FALSE(IsUsableInstallFolder(bad)) << bad;
  }
  EXPECT_TRUE(IsUsableInstallFolder(L"C:\\" + std::wstring(kMaxInstallFolder - 3, L'a')));
  EXPECT_FALSE(IsUsableInstallFolder(L"C:\\" + std::wstring(kMaxInstallFolder - 2, L'a')));
}

TEST(InstallFolder, TheSubFolderIsAppendedOnceWithoutADoubledBackslash) {
  EXPECT_EQ(AppendInstallSubFolder(L"D:\\Games", L""), L"D:\\Games\\Orvenna\\PelluvoV2");
  EXPECT_EQ(AppendInstallSubFolder(L"D:\\", L""), L"D:\\Orvenna\\PelluvoV2");
  EXPECT_EQ(AppendInstallSubFolder(L"D:\\Games", L"\\Vendor\\Product"), L"D:\\Games\\Vendor\\Product");
}

TEST(MoveFloatIcon, SwingsSixPixelsEachWaySlowingNearTheEnds) {
  SkinUI::CControlUI icon;
  icon.SetPos(RECT{10, 100, 74, 164}, false);
  unsigned char movingUp = 0;
  std::vector<int> tops;
  for (int tick = 0; tick < 40; ++tick) {
    MoveFloatIcon(&icon, 95, 105, movingUp);
    tops.push_back(icon.GetPos().top);
    EXPECT_EQ(icon.GetPos().bottom - icon.GetPos().top, 64);
  }
  // Down 2, 2 then 1 near the end, past it by one, then back up.
  EXPECT_EQ(std::vector<int>(tops.begin(), tops.begin() + 5), (std::vector<int>{102, 104, 105, 106, 104}));
  int lowest = tops[0], highest = tops[0];
  for (int top : tops) {
    lowest = std::min(lowest, top);
    highest = std::max(highest, top);
  }
  EXPECT_EQ(lowest, 94);
  EXPECT_EQ(highest, 106);
}

// A window whose thread applies reports handed over from another thread.
class HandoffWindow {
 public:
  HandoffWindow() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"HandoffTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(L"HandoffTestWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    reports.Attach(hwnd_);
  }
  ~HandoffWindow() { DestroyWindow(hwnd_); }
  void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }

  ReportHandoff reports;
  std::vector<int> applied;
  DWORD appliedOn = 0;

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<HandoffWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr && msg == ReportHandoff::Message()) {
      self->reports.RunPending();
      return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
  HWND hwnd_ = nullptr;
};

TEST(ReportHandoff, WorkerReportsRunOnTheWindowThreadInOrder) {
  HandoffWindow window;
  std::thread worker([&] {
    for (int i = 0; i < 500; ++i) {
      window.reports.Post([&window, i] {
        window.applied.push_back(i);
        window.appliedOn = GetCurrentThreadId();
      });
    }
  });
  worker.join();
  EXPECT_TRUE(window.applied.empty()) << "applied on the worker";
  window.Pump();
  ASSERT_EQ(window.applied.size(), 500u);
  for (int i = 0; i < 500; ++i) EXPECT_EQ(window.applied[i], i);
  EXPECT_EQ(window.appliedOn, GetCurrentThreadId());

  // On the window's own thread (a silent job) a report applies at once.
  window.reports.Post([&window] { window.applied.push_back(-1); });
  EXPECT_EQ(window.applied.back(), -1);
}

TEST(ReportHandoff, ReportsAfterDetachAreDropped) {
  HandoffWindow window;
  std::thread([&] { window.reports.Post([&window] { window.applied.push_back(1); }); }).join();
  window.reports.Detach();
  std::thread([&] { window.reports.Post([&window] { window.applied.push_back(2); }); }).join();
  window.reports.Post([&window] { window.applied.push_back(3); });
  window.Pump();
  EXPECT_TRUE(window.applied.empty());
}

}  // namespace
