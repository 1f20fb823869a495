#include "log_capture.hpp"

namespace velorium::test {

LogCapture::LogCapture() {
  options_.output_flag = &output_;
  options_.log_hook = &LogCapture::hook;
  options_.log_hook_user = this;
}

void LogCapture::hook(int level, const char* text, void* user) {
  static_cast<LogCapture*>(user)->texts_.push_back({level, text ? text : ""});
}

std::string LogCapture::all() const {
  std::string joined;
  for (const LoggedText& logged : texts_) joined += logged.text;
  return joined;
}

}  // namespace velorium::test
