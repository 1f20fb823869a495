#include "cloud/network_error.hpp"

namespace velorium::nimbrova {

namespace {

class NetworkCategory final : public boost::system::error_category {
 public:
  const char* name() const noexcept override { return "velorium.network"; }
  std::string message(int value) const override {
    switch (static_cast<network_errc>(value)) {
      case network_errc::no_host:
        return "the address names no host";
      case network_errc::proxy_user_info:
        return "proxy addresses with user information (user:password@) are not supported";
      case network_errc::proxy_refused:
        return "the proxy refused the tunnel";
      case network_errc::proxy_extra_bytes:
        return "the proxy sent data after its reply to the tunnel request";
      case network_errc::bad_host_name:
        return "the host name cannot be used for the TLS connection";
      case network_errc::timed_out:
        return "no progress before the deadline";
      case network_errc::reply_too_slow:
        return "the reply came too slowly (its header is due within the time-out, its body at a least average rate)";
    }
    return "network error";
  }
};

}  // namespace

const boost::system::error_category& network_category() noexcept {
  static const NetworkCategory category;
  return category;
}

void throw_network_error(boost::system::error_code code, const std::string& what) {
  // Without the source location the socket layer attached: a user reads this text in a
  // result, and the file and function inside the library say nothing to them.
  throw boost::system::system_error(boost::system::error_code(code.value(), code.category()), what);
}

}  // namespace velorium::nimbrova
