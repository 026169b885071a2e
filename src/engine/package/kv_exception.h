// Thrown when the program's own file cannot be opened or one of its packages fails its check.
#pragma once

#include <stdexcept>

class KvException : public std::runtime_error {
 public:
  explicit KvException(int code) : std::runtime_error("SetupPkgParser Init failed."), code_(code) {}
  // The system error code, or -2 when a package failed its verification.
  int code() const { return code_; }

 private:
  int code_;
};
