#include "cloud/remote_failure.hpp"

#include "cloud/client_log.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::nimbrova {

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == '\n' || text.front() == ' ')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  return text;
}

}  // namespace

std::string failure_text(int message, std::string_view reason) {
  std::string text(trimmed(get_message(message)));
  const std::string shown = printable_service_text(trimmed(reason));
  if (shown.empty()) return text;
  if (!text.empty()) text += text.back() == ':' || text.back() == '.' ? " " : ": ";
  return text + shown;
}

}  // namespace velorium::nimbrova
