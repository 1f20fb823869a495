// Network failures of the calculation client: boost::system::system_error, so that callers
// tell them apart from HTTP errors (std::runtime_error) by type.
#pragma once

#include <string>

#include <boost/system/error_code.hpp>
#include <boost/system/system_error.hpp>

namespace velorium::nimbrova {

// Failures the client finds itself (the rest come from the socket and TLS layers).
enum class network_errc {
  no_host = 1,        // the address names no host
  proxy_user_info,    // the proxy address holds "user:password@"
  proxy_refused,      // the proxy answered the tunnel request with a status other than 2xx
  proxy_extra_bytes,  // the proxy sent more than its reply before the handshake
  bad_host_name,      // the TLS library refused the host name for checking or indication
  timed_out,          // a step of the exchange passed its deadline
  reply_too_slow,     // the reply's header or body did not arrive within its total deadline
};

const boost::system::error_category& network_category() noexcept;

inline boost::system::error_code make_error_code(network_errc e) noexcept {
  return {static_cast<int>(e), network_category()};
}

// Throws boost::system::system_error whose text is `what`, ": " and the code's message (the
// code without the source location the socket layer may have attached).
[[noreturn]] void throw_network_error(boost::system::error_code code, const std::string& what);
[[noreturn]] inline void throw_network_error(network_errc code, const std::string& what) {
  throw_network_error(make_error_code(code), what);
}

}  // namespace velorium::nimbrova

template <>
struct boost::system::is_error_code_enum<velorium::nimbrova::network_errc> : std::true_type {};
