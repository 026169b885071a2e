#include "common/log/log_config.h"

#include <cstdint>
#include <cstdio>

#include "common/log/log_console.h"
#include "common/log/log_text.h"

namespace vemtal {
namespace vlog {

namespace {

const char kStars[] = " !!! !!! !!! !!!\r\n";

bool parseLevel(const std::string& value, int& level) {
  static const std::map<std::string, int> kWords = {
      {"trace", 0},   {"all", 0},   {"debug", 1}, {"info", 2},  {"warn", 3},
      {"warning", 3}, {"error", 4}, {"alarm", 5}, {"fatal", 6},
  };
  auto found = kWords.find(value);
  if (found == kWords.end()) return false;
  level = found->second;
  return true;
}

bool parseFlag(const std::string& value) { return value != "false" && value != "0"; }

uint64_t leadingNumber(const std::string& value) {
  uint64_t number = 0;
  for (char c : value) {
    if (c < '0' || c > '9') break;
    if (number < (UINT64_C(1) << 40)) number = number * 10 + static_cast<unsigned>(c - '0');
  }
  return number;
}

void setValue(LoggerInfo& record, const std::string& key, const std::string& rawValue) {
  std::string name = toLowerAscii(key);
  if (name == "path") {
    record.path = rawValue;
    return;
  }
  if (name == "name") {
    record.name = rawValue;
    return;
  }
  std::string value = toLowerAscii(rawValue);
  int level = 0;
  if (name == "level") {
    if (parseLevel(value, level)) record.level = level;
  } else if (name == "display") {
    record.display = parseFlag(value);
  } else if (name == "outfile") {
    record.outfile = parseFlag(value);
  } else if (name == "monthdir") {
    record.monthdir = parseFlag(value);
  } else if (name == "fileline") {
    record.fileline = parseFlag(value);
  } else if (name == "enable") {
    record.enable = parseFlag(value);
  } else if (name == "limitsize") {
    uint64_t n = leadingNumber(value);
    record.limitsize = n > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<unsigned int>(n);
  } else if (name == "reserve") {
    record.reserveTime = static_cast<int64_t>(leadingNumber(value));
  }
}

// Splits at "\r" and "\n"; "\r\n" ends one line, so line numbers match an editor's.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::string current;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(current);
      current.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      current += c;
    }
  }
  if (!current.empty()) lines.push_back(current);
  return lines;
}

std::string sectionKey(const std::string& head) {
  size_t begin = head.find_first_not_of("[]");
  size_t end = head.find_last_not_of("[]");
  std::string key = begin == std::string::npos ? std::string() : head.substr(begin, end - begin + 1);
  return toLowerAscii(key) == "main" ? "Main" : key;
}

}  // namespace

LoggerConfigs parseLogConfig(const std::string& text) {
  LoggerConfigs records;
  std::string current;
  bool inSection = false;
  std::vector<std::string> lines = splitLines(text);
  for (size_t i = 0; i < lines.size(); ++i) {
    int lineNumber = static_cast<int>(i) + 1;
    const std::string& line = lines[i];
    size_t equals = line.find('=');
    std::string key = trimKey(line.substr(0, equals));
    std::string value = equals == std::string::npos ? std::string() : trimKey(line.substr(equals + 1));
    if (key.empty() || key[0] == '#') continue;
    if (key[0] == '[') {
      current = sectionKey(key);
      inSection = true;
      if (records.count(current)) {
        printOut("vlog configure warning: duplicate logger key:[%s] at line: %d \r\n", current.c_str(), lineNumber);
        continue;
      }
      LoggerInfo& record = records[current];
      record.enable = true;
      record.key = current;
      record.name = current;
      continue;
    }
    if (!inSection) {
      printOut("vlog configure warning: not found current logger name:[%s] at line:%d, key=%s, value=%s \r\n",
               current.c_str(), lineNumber, key.c_str(), value.c_str());
      continue;
    }
    setValue(records[current], key, value);
  }
  return records;
}

bool LogerManager::config(const char* fileName) {
  std::string name = fileName ? fileName : "";
  std::lock_guard<std::mutex> guard(configLock_);
  if (!configFile_.empty()) {
    printOut(kStars);
    printOut(
        " !!! !!! vlog configure error: too many calls to Config. the old config file=%s,  the new config "
        "file=%s !!! !!! \r\n",
        configFile_.c_str(), name.c_str());
    printOut(kStars);
    return false;
  }
  std::string text;
  if (!readConfigFile(name, text)) return false;
  configFile_ = name;  // kept only once read, so a missing file can be retried
  return applyConfigText(text, true);
}

bool LogerManager::configFromString(const char* text) {
  std::lock_guard<std::mutex> guard(configLock_);
  return applyConfigText(text ? text : "", true);
}

bool LogerManager::updateConfig() {
  std::lock_guard<std::mutex> guard(configLock_);
  if (configFile_.empty()) return false;
  std::string text;
  if (!readConfigFile(configFile_, text)) return false;
  return applyConfigText(text, false);
}

bool LogerManager::readConfigFile(const std::string& fileName, std::string& text) {
  FILE* file = fileName.empty() ? nullptr : _wfopen(utf8ToWide(fileName).c_str(), L"rb");
  if (!file) {
    printOut(kStars);
    printOut(" !!! !!! vlog load config file error. filename=%s  !!! !!! \r\n", fileName.c_str());
    printOut(kStars);
    return false;
  }
  char piece[512];
  size_t n;
  while ((n = std::fread(piece, 1, sizeof(piece), file)) > 0) text.append(piece, n);
  std::fclose(file);
  return true;
}

bool LogerManager::applyConfigText(const std::string& text, bool first) {
  if (configApplied_ && text == configText_) return true;
  configText_ = text;
  configApplied_ = true;
  for (const auto& entry : parseLogConfig(text)) {
    const LoggerInfo& record = entry.second;
    int id = findLogger(entry.first.c_str());
    if (id < 0) {
      if (!first) continue;
      id = CreateLogger(entry.first.c_str());
      if (id < 0) continue;
    }
    enableLogger(id, record.enable);
    setLoggerName(id, record.name.c_str());
    setLoggerPath(id, record.path.c_str());
    setLoggerLevel(id, record.level);
    setLoggerFileLine(id, record.fileline);
    setLoggerDisplay(id, record.display);
    setLoggerOutFile(id, record.outfile);
    setLoggerLimitsize(id, record.limitsize);
    setLoggerMonthdir(id, record.monthdir);
    setLoggerReserveTime(id, record.reserveTime);
  }
  return true;
}

}  // namespace vlog
}  // namespace vemtal
