// A private started manager writing logger 0 into a private folder, with helpers to read
// back the lines it wrote.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/log/loger_manager.h"
#include "log_test_support.h"

namespace vlogtest {

class ManagerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    log_ = std::make_unique<vemtal::vlog::LogerManager>();
    ASSERT_TRUE(log_->setLoggerPath(0, folder_.path().c_str()));
    ASSERT_TRUE(log_->setLoggerDisplay(0, false));
  }
  void TearDown() override { log_.reset(); }

  vemtal::vlog::LogerManager& log() { return *log_; }
  const std::string& folder() const { return folder_.path(); }

  // Every line of every file below `sub` (in file name order), without the writer's banner.
  std::vector<std::string> writtenLines(const std::string& sub = "") {
    EXPECT_TRUE(log_->drain());
    std::vector<std::string> lines;
    for (const FoundFile& file : readFiles(folder_.path() + sub)) {
      std::vector<std::string> fileLines = splitLines(file.content);
      EXPECT_EQ(fileLines.back(), "") << file.relativePath << " ends with a whole line";
      fileLines.pop_back();
      for (const std::string& line : fileLines) {
        if (!isBanner(line)) lines.push_back(line);
      }
    }
    return lines;
  }

  static bool isBanner(const std::string& line) {
    return line.find(" LOG_ALARM -----------------  vlog thread started!") != std::string::npos ||
           line.find(" LOG_ALARM logger id=") != std::string::npos;
  }

 private:
  TempFolder folder_;
  std::unique_ptr<vemtal::vlog::LogerManager> log_;
};

}  // namespace vlogtest
