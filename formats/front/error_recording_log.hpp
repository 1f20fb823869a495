// The log a model file's reader or writer gets from the model store: every text goes on to the
// destinations of the log it is given (the model's log file, log callback and console), and
// the error texts are kept, so that a failed read can say why.
#pragma once

#include <memory>
#include <string>

#include "core/log/log_options.hpp"

namespace velorium {

class VeloriumOptions;

class ErrorRecordingLog {
 public:
  // `target` says where the texts go; its record is copied, while the log file and the flags
  // it points at must stay for this object's life. Without a target the texts go where a fresh
  // default option set sends them: the console.
  explicit ErrorRecordingLog(const VeloriumLogOptions* target = nullptr);
  ~ErrorRecordingLog();
  ErrorRecordingLog(const ErrorRecordingLog&) = delete;
  ErrorRecordingLog& operator=(const ErrorRecordingLog&) = delete;

  // The options to hand to the reader or writer. Errors are kept even when the target's
  // output is off.
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
  VeloriumLogOptions target_;
  bool output_ = true;
  VeloriumLogOptions options_;
  std::string errors_;
};

}  // namespace velorium
