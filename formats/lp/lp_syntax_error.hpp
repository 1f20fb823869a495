// The failures of the LP reader.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace velorium {

// The one text every failure of the LP reader carries as what().
inline constexpr const char* kLpIllegalFileText = "File not existent or illegal file format.";

// Line numbers count from 1; 0 means the failure belongs to no single line. Lines beyond
// 2^32 - 1 all carry that number, which keeps a token at 16 bytes.
using LpLineNumber = std::uint32_t;

// A text that breaks the LP syntax. what() is the fixed text; line() and reason() say where
// and why, for the message that names the file and line.
class LpSyntaxError : public std::invalid_argument {
 public:
  LpSyntaxError(LpLineNumber line, std::string reason)
      : std::invalid_argument(kLpIllegalFileText), line_(line), reason_(std::move(reason)) {}
  LpLineNumber line() const { return line_; }
  const std::string& reason() const { return reason_; }

 private:
  LpLineNumber line_;
  std::string reason_;
};

// The file cannot be opened or read (missing, a directory, an input error): the reader's
// result 1 rather than 2.
class LpFileError : public std::invalid_argument {
 public:
  static constexpr const char* kCannotOpen = "the file cannot be opened";
  static constexpr const char* kCannotRead = "the file cannot be read";

  // `system_error`: the errno value behind the failure, 0 when there is none.
  explicit LpFileError(std::string reason, int system_error = 0)
      : std::invalid_argument(kLpIllegalFileText), reason_(std::move(reason)), system_error_(system_error) {}
  const std::string& reason() const { return reason_; }
  int systemError() const { return system_error_; }

 private:
  std::string reason_;
  int system_error_;
};

inline void requireLpSyntax(bool condition, LpLineNumber line, const char* reason) {
  if (!condition) throw LpSyntaxError(line, reason);
}

}  // namespace velorium
