// Log options whose output goes to a list instead of the console.
#pragma once

#include <string>
#include <vector>

#include "core/log/log_options.hpp"

namespace velorium::test {

struct LoggedText {
  int level;
  std::string text;
};

class LogCapture {
 public:
  LogCapture();
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  const VeloriumLogOptions& options() const { return options_; }
  const std::vector<LoggedText>& texts() const { return texts_; }
  // All texts, joined.
  std::string all() const;

 private:
  static void hook(int level, const char* text, void* user);
  bool output_ = true;
  VeloriumLogOptions options_;
  std::vector<LoggedText> texts_;
};

}  // namespace velorium::test
