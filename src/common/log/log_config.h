// The logger's configuration text: sections name loggers, "key = value" lines set them.
#pragma once

#include <map>
#include <string>

#include "common/log/loger_manager.h"

namespace vemtal {
namespace vlog {

using LoggerConfigs = std::map<std::string, LoggerInfo>;

// Parses `text` into one record per section key; problems are printed as warnings and
// the offending line is skipped.
LoggerConfigs parseLogConfig(const std::string& text);

}  // namespace vlog
}  // namespace vemtal
