// SelfPath and SelfFolder in a copy of this program whose path is longer than MAX_PATH, where a
// fixed 260-character buffer would cut it (self_path_deep.sh makes the copy).
#include "common/sys/self_path.h"

#include <gtest/gtest.h>

#include <string>

#include "sys_test_support.h"

TEST(SelfPath, NamesTheRunningProgramAndItsFolderPastMaxPath) {
  const std::wstring expected = systest::EnvText(L"TAMSEL_EXPECT_SELF");
  ASSERT_GT(expected.size(), static_cast<size_t>(MAX_PATH));
  EXPECT_EQ(expected, SelfPath());
  EXPECT_EQ(expected.substr(0, expected.rfind(L'\\')), SelfFolder());
}
