#include "formats/front/error_recording_log.hpp"

#include <cstring>
#include <string_view>

#include "core/log/logger.hpp"
#include "core/options/velorium_options.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium {

namespace {
constexpr int kErrorPrefixMessage = 72;
constexpr std::string_view kSeparator = "; ";
}  // namespace

ErrorRecordingLog::ErrorRecordingLog(const VeloriumLogOptions* target) {
  if (target == nullptr) {
    defaults_ = std::make_unique<VeloriumOptions>();
    target = &defaults_->log_options;
  }
  target_ = *target;
  // Only the hook: the level prefix is put on here, the time stamp (when the target wants one)
  // when the text is passed on, so the kept error texts carry none.
  options_.output_flag = &output_;
  options_.log_hook = &ErrorRecordingLog::hook;
  options_.log_hook_user = this;
  errors_.reserve(kRecordedLimit);
}

ErrorRecordingLog::~ErrorRecordingLog() = default;

void ErrorRecordingLog::hook(int level, const char* text, void* user) {
  auto* self = static_cast<ErrorRecordingLog*>(user);
  if (level == kLogLevelError) self->record(text);
  // Already formatted (and cut) with its prefix: passed on as it is.
  logText(self->target_, level, text);
}

void ErrorRecordingLog::record(const char* text) noexcept {
  std::string_view message(text);
  const std::string_view prefix = get_message(kErrorPrefixMessage);
  if (message.substr(0, prefix.size()) == prefix) message.remove_prefix(prefix.size());
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.remove_suffix(1);
  }
  if (message.empty()) return;
  const std::size_t separator = errors_.empty() ? 0 : kSeparator.size();
  if (errors_.size() + separator + message.size() > kRecordedLimit) return;
  // Within the limit, reserved when the object was made: appending cannot fail.
  if (separator != 0) errors_ += kSeparator;
  errors_ += message;
}

}  // namespace velorium
