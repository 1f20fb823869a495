// Splitting a service address into host, port and target.
#pragma once

#include <string>
#include <string_view>

namespace velorium::nimbrova {

struct ServerAddress {
  std::string port;
  std::string host;
  std::string target;
};

// "https://" gives the default port "443", "http://" or no scheme "80" (every exchange runs
// TLS whatever the scheme). Then the first ':' before the first '/' separates host and port,
// and the target is everything from the first '/' on (empty when there is none).
ServerAddress parse_server_url(std::string_view url);

// Every request's address passes here before anything is sent: std::invalid_argument when its
// host, port or target holds a blank or a control character (bytes below 0x20, DEL). Such an
// address could end the request line early and write further fields or a second request,
// the API key with it.
void check_request_address(const ServerAddress& address);

// True when the authority part of `url` (after the scheme, up to the first '/') holds user
// information ("user:password@host"), which the client does not send anywhere.
bool url_has_user_info(std::string_view url);
// `url` without that user information (and its "@"), for showing an address.
std::string url_without_user_info(std::string_view url);

}  // namespace velorium::nimbrova
