// An options object whose log lines are collected instead of shown, and the texts expected
// of the option framework's error lines.
#pragma once

#include <string>
#include <vector>

#include "core/log/log_options.hpp"
#include "core/options/velorium_options.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium::test {

// Options at their defaults with a hook that records every log text; the console stays quiet.
struct CapturedOptions {
  CapturedOptions() { capture(options); }

  void capture(VeloriumOptions& target) {
    target.log_to_console = false;
    target.log_options.log_hook = &CapturedOptions::record;
    target.log_options.log_hook_user = &lines;
  }
  static void record(int /*level*/, const char* text, void* user) {
    static_cast<std::vector<std::string>*>(user)->push_back(text);
  }
  // The lines logged since the last call.
  std::vector<std::string> take() {
    std::vector<std::string> taken;
    taken.swap(lines);
    return taken;
  }

  VeloriumOptions options;
  std::vector<std::string> lines;
};

// The error line of catalogue message `id` with up to two text arguments, as the language in
// force writes it.
inline std::string errorLine(int id, const std::string& first, const std::string& second = {}) {
  return std::string(get_message(72)) + formatString(get_message(id), first.c_str(), second.c_str());
}

}  // namespace velorium::test
