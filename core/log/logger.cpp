#include "core/log/logger.hpp"

#include <ctime>

#include "core/log/console_output.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"

namespace velorium {

namespace {

constexpr int kWarningPrefixMessage = 71;
constexpr int kErrorPrefixMessage = 72;

bool flagOn(const bool* flag) { return flag != nullptr && *flag; }

bool consoleWanted(const VeloriumLogOptions& options) { return flagOn(options.log_to_console); }

// Output is off, or there is nowhere to write: nothing need be formatted.
bool nothingToDo(const VeloriumLogOptions& options) {
  if (!flagOn(options.output_flag)) return true;
  return options.log_stream == nullptr && options.log_hook == nullptr && !consoleWanted(options);
}

const char* levelPrefix(int level) {
  if (level == kLogLevelWarning) return get_message(kWarningPrefixMessage);
  if (level == kLogLevelError) return get_message(kErrorPrefixMessage);
  return "";
}

// Stamps the finished text when asked, then hands it on: the file first, then the hook or,
// without a hook, the console.
void deliver(const VeloriumLogOptions& options, int level, std::string text) {
  if (flagOn(options.log_display_systime)) formatLogTimeStamp(text);
  if (options.log_stream != nullptr) {
    std::fwrite(text.data(), 1, text.size(), options.log_stream);
    std::fflush(options.log_stream);
  }
  if (options.log_hook != nullptr) {
    options.log_hook(level, text.c_str(), options.log_hook_user);
  } else if (consoleWanted(options) && options.log_stream != stdout) {
    writeConsoleText(text.c_str());
  }
}

}  // namespace

void logFormatted(const VeloriumLogOptions& options, int level, const char* format, va_list args) {
  if (nothingToDo(options) || format == nullptr) return;
  std::string text = levelPrefix(level);
  text += formatStringV(format, args);
  deliver(options, level, std::move(text));
}

void logLevelFormat(const VeloriumLogOptions& options, int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  logFormatted(options, level, format, args);
  va_end(args);
}

void logCatalogueMessage(const VeloriumLogOptions& options, int level, int message_id, ...) {
  if (message_id < 0 || message_id >= kMessageCount) return;
  va_list args;
  va_start(args, message_id);
  logFormatted(options, level, get_message(message_id), args);
  va_end(args);
}

void logCatalogueLine(const VeloriumLogOptions& options, int level, int message_id, ...) {
  if (message_id < 0 || message_id >= kMessageCount || nothingToDo(options)) return;
  std::string text = levelPrefix(level);
  va_list args;
  va_start(args, message_id);
  text += formatStringV(get_message(message_id), args);
  va_end(args);
  if (text.empty() || text.back() != '\n') text += '\n';
  deliver(options, level, std::move(text));
}

void logText(const VeloriumLogOptions& options, int level, const char* text) {
  if (nothingToDo(options) || text == nullptr) return;
  deliver(options, level, std::string(text));
}

std::string makeLogTimeStamp(std::chrono::system_clock::time_point now) {
  using namespace std::chrono;
  // Seconds and milliseconds from the same reading; floor keeps both right before 1970 too.
  const auto since_epoch = duration_cast<milliseconds>(now.time_since_epoch());
  const auto whole_seconds = floor<seconds>(since_epoch);
  const long long millis = (since_epoch - whole_seconds).count();
  const std::time_t seconds_value = static_cast<std::time_t>(whole_seconds.count());
  std::tm local{};
  localtime_r(&seconds_value, &local);
  // The brackets belong to the one format: prepending "[" to the temporary text makes GCC 12
  // report a false -Wrestrict overlap inside std::string's inlined insert (its bug 105651).
  return formatString("[%04i-%02i-%02i %02i:%02i:%02i.%03lld] ", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, millis);
}

void formatLogTimeStamp(std::string& text, std::chrono::system_clock::time_point now) {
  const std::string stamp = makeLogTimeStamp(now);
  const bool ends_with_line_feed = !text.empty() && text.back() == '\n';
  if (ends_with_line_feed) text.pop_back();
  const bool begins_with_return = !text.empty() && text.front() == '\r';
  if (begins_with_return) text.erase(0, 1);
  text = stamp + replaceAll(std::move(text), "\n", "\n" + stamp);
  if (ends_with_line_feed) text.push_back('\n');
  if (begins_with_return) text.insert(0, 1, '\r');
}

void formatLogTimeStamp(std::string& text) { formatLogTimeStamp(text, std::chrono::system_clock::now()); }

}  // namespace velorium
