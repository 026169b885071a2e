// Appends numbers and text to a record's content, always within its 8192-byte room.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/log/vlog.h"

namespace vemtal {
namespace vlog {

class RecordWriter {
 public:
  explicit RecordWriter(LogData& record) : record_(record) {}

  int room() const { return kLogContentSize - record_.contentLength; }

  // A number is written only when at least 65 bytes of room remain.
  void number(uint64_t value, int minWidth);
  void signedNumber(int64_t value, int minWidth);
  // A single character only when more than one byte of room remains.
  void character(char c);
  // Text is cut to the room.
  void text(const char* text, size_t length);
  void text(const char* text);

 private:
  LogData& record_;
};

}  // namespace vlog
}  // namespace vemtal
