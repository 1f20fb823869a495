// Log options whose output goes to a list in memory, for checking what an operation logged.
#pragma once

#include <string>
#include <vector>

#include "core/log/log_options.hpp"

namespace velorium::testing {

struct LoggedText {
  int level;
  std::string text;
};

class CapturedLog {
 public:
  CapturedLog() {
    options_.output_flag = &on_;
    options_.log_hook = [](int level, const char* text, void* user) {
      static_cast<CapturedLog*>(user)->lines.push_back({level, text ? text : ""});
    };
    options_.log_hook_user = this;
  }
  CapturedLog(const CapturedLog&) = delete;
  CapturedLog& operator=(const CapturedLog&) = delete;

  const VeloriumLogOptions* options() const { return &options_; }
  std::vector<LoggedText> lines;

 private:
  bool on_ = true;
  VeloriumLogOptions options_;
};

}  // namespace velorium::testing
