#include "cloud/calculation_uid.hpp"

#include <stdexcept>

#include "cloud/client_log.hpp"

namespace velorium::nimbrova {

namespace {

constexpr std::size_t kShownBytes = 64;

bool is_uid_character(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-';
}

}  // namespace

bool is_valid_calc_uid(std::string_view uid) {
  if (uid.empty() || uid == "." || uid == "..") return false;
  for (const char c : uid) {
    if (!is_uid_character(c)) return false;
  }
  return true;
}

std::string invalid_calc_uid_text(std::string_view uid) {
  std::string shown(uid.substr(0, kShownBytes));
  for (char& c : shown) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';  // a line feed too: the text is one line
  }
  shown = printable_service_text(shown);
  if (uid.size() > kShownBytes) shown += "...";
  return "the calculation identifier [" + shown +
         "] is not valid: an identifier is one or more of the letters A-Z and a-z, the digits and \".\", \"_\", "
         "\"-\", and neither \".\" nor \"..\"";
}

void check_calc_uid(std::string_view uid) {
  if (!is_valid_calc_uid(uid)) throw std::invalid_argument(invalid_calc_uid_text(uid));
}

}  // namespace velorium::nimbrova
