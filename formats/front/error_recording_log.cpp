#include "formats/front/error_recording_log.hpp"

#include <cstring>
#include <string_view>

#include "core/log/console_output.hpp"
#include "core/options/velorium_options.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium {

namespace {
constexpr int kErrorPrefixMessage = 72;
constexpr std::string_view kSeparator = "; ";
}  // namespace

ErrorRecordingLog::ErrorRecordingLog() : defaults_(std::make_unique<VeloriumOptions>()) {
  options_ = defaults_->log_options;
  options_.log_hook = &ErrorRecordingLog::hook;
  options_.log_hook_user = this;
  errors_.reserve(kRecordedLimit);
}

ErrorRecordingLog::~ErrorRecordingLog() = default;

void ErrorRecordingLog::hook(int level, const char* text, void* user) {
  auto* self = static_cast<ErrorRecordingLog*>(user);
  if (level == kLogLevelError) self->record(text);
  // A hook takes the place of the console: show the text there as the default options would.
  const bool* console = self->options_.log_to_console;
  if (console != nullptr && *console) writeConsoleText(text);
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
