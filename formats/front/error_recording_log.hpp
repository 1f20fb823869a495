// The log a model file's reader or writer gets from the model store: output goes where a fresh
// default option set sends it (the console), and the error texts are kept, so that a failed
// read can say why.
#pragma once

#include <memory>
#include <string>

#include "core/log/log_options.hpp"

namespace velorium {

class VeloriumOptions;

class ErrorRecordingLog {
 public:
  ErrorRecordingLog();
  ~ErrorRecordingLog();
  ErrorRecordingLog(const ErrorRecordingLog&) = delete;
  ErrorRecordingLog& operator=(const ErrorRecordingLog&) = delete;

  VeloriumLogOptions* options() noexcept { return &options_; }
  // The error texts logged so far, in order, each without its level prefix and its final
  // line feeds, joined by "; ". Texts that would take it past kRecordedLimit bytes are left
  // out (one reader may log a line per bad entry).
  const std::string& errors() const noexcept { return errors_; }

  static constexpr std::size_t kRecordedLimit = 2048;

 private:
  static void hook(int level, const char* text, void* user);
  void record(const char* text) noexcept;

  std::unique_ptr<VeloriumOptions> defaults_;
  VeloriumLogOptions options_;
  std::string errors_;
};

}  // namespace velorium
