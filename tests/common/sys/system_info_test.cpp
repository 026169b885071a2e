#include "common/sys/system_info.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>
#include <vector>

namespace {

TEST(SystemInfo, OneObjectForTheWholeProcess) {
  std::vector<const SystemInfo*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < seen.size(); ++i) {
    threads.emplace_back([&seen, i] { seen[i] = &SystemInfo::GetInstance(); });
  }
  for (std::thread& t : threads) t.join();
  for (const SystemInfo* info : seen) EXPECT_EQ(info, &SystemInfo::GetInstance());
}

// A 32-bit process on 64-bit Windows is told the machine's architecture, not its own.
TEST(SystemInfo, ArchitectureIsTheMachines) {
  BOOL wow64 = FALSE;
  ASSERT_TRUE(IsWow64Process(GetCurrentProcess(), &wow64));
  EXPECT_EQ(SystemInfo::GetInstance().Architecture(), wow64 ? L"x64" : L"x86");
}

TEST(SystemInfo, VersionTextIsMajorDotMinor) {
  const SystemInfo& info = SystemInfo::GetInstance();
  const std::wstring& text = info.VersionText();
  const size_t dot = text.find(L'.');
  ASSERT_NE(dot, std::wstring::npos) << "version text without a dot";
  EXPECT_EQ(text.substr(0, dot), std::to_wstring(info.MajorVersion()));
  const std::wstring minor = text.substr(dot + 1);
  ASSERT_FALSE(minor.empty());
  EXPECT_EQ(minor.find_first_not_of(L"0123456789"), std::wstring::npos);
  EXPECT_GE(info.MajorVersion(), 5u);
}

TEST(SystemInfo, LanguageCodeIsOneOfTheThreeOrEmpty) {
  const std::wstring& code = SystemInfo::GetInstance().LanguageCode();
  EXPECT_TRUE(code.empty() || code == L"0804" || code == L"0404" || code == L"0409") << code.size();
}

}  // namespace
