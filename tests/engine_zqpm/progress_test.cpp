// What the windows make of the reports (step texts, the bar's percentage) and the relay that
// lets a window leave while a job reports.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "engine/zqpm/prompt_relay.h"
#include "engine/zqpm/step_text.h"
#include "zqpm_test_support.h"

TEST(StepText, EveryCodeHasItsText) {
  const std::wstring other = L"正在执行其它行为......";
  EXPECT_EQ(GetStepText(1), L"正在初始化环境......");
  EXPECT_EQ(GetStepText(2), L"正在准备安装依赖.....");  // five dots
  EXPECT_EQ(GetStepText(3), L"正在检查环境......");
  EXPECT_EQ(GetStepText(4), L"正在释放安装包......");
  EXPECT_EQ(GetStepText(5), L"正在收集安装信息......");
  EXPECT_EQ(GetStepText(6), L"正在解析安装包......");
  EXPECT_EQ(GetStepText(7), L"正在创建目录：");
  EXPECT_EQ(GetStepText(8), L"正在下载文件：");
  EXPECT_EQ(GetStepText(9), L"正在拷贝文件：");
  EXPECT_EQ(GetStepText(10), L"正在删除文件：");
  EXPECT_EQ(GetStepText(11), L"正在运行组件：");
  EXPECT_EQ(GetStepText(12), L"正在创建快捷方式：");
  EXPECT_EQ(GetStepText(13), L"正在注册信息：");
  EXPECT_EQ(GetStepText(14), L"正在生成卸载信息：");
  EXPECT_EQ(GetStepText(16), L"");
  EXPECT_EQ(GetStepText(17), L"正在更新注册表：");
  EXPECT_EQ(GetStepText(18), L"正在开启服务：");
  EXPECT_EQ(GetStepText(19), L"正在删除服务：");
  for (int code : {20, 21, 22, 23}) EXPECT_EQ(GetStepText(code), L"正在执行：") << code;
  EXPECT_EQ(GetStepText(24), L"正在卸载运行：");
  EXPECT_EQ(GetStepText(25), L"正在清理：");
  EXPECT_EQ(GetStepText(26), L"安装完成");
  EXPECT_EQ(GetStepText(29), L"正在安装TamselPelluvo... ...");
  for (int code : {0, 15, 27, 28, -1, 30, 1000}) EXPECT_EQ(GetStepText(code), other) << code;
}

TEST(ProgressMeter, StepsStopAt99UntilDoneAndInStepReportsAreCeilings) {
  ProgressMeter meter;
  EXPECT_EQ(meter.AddStep(6, 5), 5);
  EXPECT_EQ(meter.Within(0, 10, 50), 5);
  // total 10, parts 50: unit 0 + 10 = 10, so the whole step adds at most 1.
  EXPECT_EQ(meter.Within(1, 10, 50), 6);
  EXPECT_EQ(meter.Within(10, 10, 50), 6);
  // total 120, parts 50: unit 2 + 20 = 22; 120 items add ceil(120 / 22) = 6, 22 add exactly 1.
  EXPECT_EQ(meter.Within(120, 120, 50), 11);
  EXPECT_EQ(meter.Within(22, 120, 50), 6);
  EXPECT_EQ(meter.Within(23, 120, 50), 7);
  EXPECT_EQ(meter.Percent(), 5);  // reports within a step store nothing
  // No usable share: the stored percentage, no division.
  EXPECT_EQ(meter.Within(3, 10, 0), 5);
  EXPECT_EQ(meter.Within(3, 0, 50), 5);
  EXPECT_EQ(meter.AddStep(0, 90), 95);
  EXPECT_EQ(meter.Within(120, 120, 50), 99);  // capped
  EXPECT_EQ(meter.AddStep(13, 5), 99);        // 100 is reserved for "done"
  EXPECT_EQ(meter.AddStep(14, 50), 99);
  EXPECT_EQ(meter.AddStep(26, 0), 100);
  EXPECT_EQ(PercentText(meter.Percent()), L"100%");
  ProgressMeter fresh;
  EXPECT_EQ(fresh.AddStep(26, 0), 100);  // "done" with delta 0 still shows 100
}

TEST(PromptRelay, DetachingWaitsForTheReportInFlightAndDropsTheRest) {
  PromptRelay relay;
  zqtest::RecordingPrompt window;
  HANDLE entered = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HANDLE detached = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  window.onEvent = [&](const std::string& line) {
    if (line.rfind("P 9", 0) == 0) {
      SetEvent(entered);
      WaitForSingleObject(release, 30000);
    }
  };
  relay.OnProgress(1, 5, L"before");  // no window yet: dropped
  relay.Attach(&window);
  relay.OnMessageA("load error", 0);
  std::thread job([&] {
    relay.OnProgress(9, 1, L"in flight");
    WaitForSingleObject(detached, 30000);
    relay.OnProgress(10, 1, L"after detach");
    relay.OnFinish("", 0);
  });
  ASSERT_EQ(WaitForSingleObject(entered, 30000), WAIT_OBJECT_0);
  std::future<void> detach = std::async(std::launch::async, [&] { relay.Attach(nullptr); });
  // The window's handler is still running: the detach must not have finished.
  EXPECT_EQ(detach.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  SetEvent(release);
  detach.get();
  SetEvent(detached);
  job.join();
  EXPECT_EQ(window.Events(), (std::vector<std::string>{"A load error", "P 9 1 in flight"}));
  CloseHandle(entered);
  CloseHandle(release);
  CloseHandle(detached);
}

TEST(PromptRelay, AWindowMayReplaceItselfFromItsOwnHandler) {
  PromptRelay relay;
  zqtest::RecordingPrompt first, second;
  first.onEvent = [&](const std::string&) { relay.Attach(&second); };
  relay.Attach(&first);
  relay.OnProgress(3, 5, L"");
  relay.OnMessage(L"安装失败", 0);
  EXPECT_EQ(first.Events(), (std::vector<std::string>{"P 3 5 "}));
  EXPECT_EQ(second.Events(), (std::vector<std::string>{"M 安装失败 0"}));
}
