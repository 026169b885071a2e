// The process-wide logger reached through the macros, as every other part of the program uses it.
#include <gtest/gtest.h>

#include "common/log/loger_manager.h"
#include "log_test_support.h"

using namespace vemtal::vlog;

TEST(LogInstance, ProcessLoggerWritesThroughTheMacros) {
  vlogtest::TempFolder folder;
  IVlogManager* log = IVlogManager::getInstance();
  ASSERT_TRUE(log->setLoggerPath(0, (folder.path() + "engine.log").c_str()));
  ASSERT_TRUE(log->start());
  ASSERT_TRUE(log->setLoggerLevel(0, LOG_LEVEL_TRACE));
  VLOG_INFO("Smoke, hello %d %S", 42, L"wide");
  VLOG_TRACE("Smoke, trace");
  ASSERT_TRUE(log->drain());
  auto files = vlogtest::readFiles(folder.path());
  ASSERT_EQ(files.size(), 1u);
  EXPECT_NE(files[0].content.find("LOG_INFO Smoke, hello 42 wide log_instance_test.cpp:"), std::string::npos)
      << files[0].content;
  EXPECT_NE(files[0].content.find("LOG_TRACE Smoke, trace"), std::string::npos);
}
