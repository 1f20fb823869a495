#include "cloud/server_url.hpp"

#include <stdexcept>
#include <string>

namespace velorium::nimbrova {

namespace {

// The URL without its scheme, and the default port that the scheme gives.
std::string_view strip_scheme(std::string_view url, std::string& port) {
  port = "80";
  if (url.starts_with("https://")) {
    port = "443";
    return url.substr(8);
  }
  if (url.starts_with("http://")) return url.substr(7);
  return url;
}

bool holds_blank_or_control(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return true;
  }
  return false;
}

}  // namespace

void check_request_address(const ServerAddress& address) {
  for (const std::string* part : {&address.host, &address.port, &address.target}) {
    if (holds_blank_or_control(*part)) {
      std::string shown = part->substr(0, 80);
      for (char& c : shown) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
      }
      throw std::invalid_argument("the request address part \"" + shown +
                                  "\" holds a blank or a control character; nothing was sent");
    }
  }
}

ServerAddress parse_server_url(std::string_view url) {
  ServerAddress address;
  const std::string_view rest = strip_scheme(url, address.port);
  const std::size_t colon = rest.find(':');
  const std::size_t slash = rest.find('/');
  if (colon != std::string_view::npos && (slash == std::string_view::npos || colon < slash)) {
    address.host = rest.substr(0, colon);
    if (slash == std::string_view::npos) {
      address.port = rest.substr(colon + 1);
    } else {
      address.port = rest.substr(colon + 1, slash - colon - 1);
      address.target = rest.substr(slash);
    }
  } else if (slash != std::string_view::npos) {
    address.host = rest.substr(0, slash);
    address.target = rest.substr(slash);
  } else {
    address.host = rest;
  }
  return address;
}

bool url_has_user_info(std::string_view url) {
  std::string ignored;
  const std::string_view rest = strip_scheme(url, ignored);
  return rest.substr(0, rest.find('/')).find('@') != std::string_view::npos;
}

std::string url_without_user_info(std::string_view url) {
  std::string ignored;
  const std::string_view rest = strip_scheme(url, ignored);
  const std::size_t at = rest.substr(0, rest.find('/')).rfind('@');
  if (at == std::string_view::npos) return std::string(url);
  const std::size_t scheme = url.size() - rest.size();
  return std::string(url.substr(0, scheme)) + std::string(rest.substr(at + 1));
}

}  // namespace velorium::nimbrova
