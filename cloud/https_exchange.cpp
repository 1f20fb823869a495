#include "cloud/https_exchange.hpp"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <utility>

#include <boost/asio/connect.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/read_until.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/ssl/stream.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/parser.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/serializer.hpp>
#include <boost/beast/http/write.hpp>

#include "cloud/network_error.hpp"
#include "cloud/proxy_endpoint_cache.hpp"
#include "cloud/root_certificates.hpp"
#include "cloud/server_url.hpp"

namespace velorium::nimbrova {

namespace {

namespace net = boost::asio;
namespace ssl = boost::asio::ssl;
using tcp = net::ip::tcp;
using boost::system::error_code;

// The TLS shutdown after a complete reply only tidies up: its wait is short.
constexpr std::chrono::milliseconds kShutdownTimeout{1000};
constexpr std::size_t kReadRoom = 65536;

bool is_ip_address(const std::string& host) {
  error_code ec;
  net::ip::make_address(host, ec);
  return !ec;
}

// Everything one exchange owns: made fresh for every request, gone when it returns.
class Exchange {
  using beast_buffer = boost::beast::flat_buffer;

 public:
  explicit Exchange(std::chrono::milliseconds step_timeout)
      : timeout_(step_timeout.count() > 0 ? step_timeout : kDefaultStepTimeout) {
    SSL_CTX* native = context_.native_handle();
    if (SSL_CTX_set_min_proto_version(native, TLS1_2_VERSION) != 1 ||
        SSL_CTX_set_max_proto_version(native, TLS1_2_VERSION) != 1) {
      throw_network_error(error_code(static_cast<int>(ERR_get_error()), net::error::get_ssl_category()),
                          "setting up TLS");
    }
    error_code ec;
    load_root_certificates(native, ec);
    if (ec) throw_network_error(ec, "loading the trust roots");
    context_.set_verify_mode(ssl::verify_peer);
    stream_.emplace(io_, context_);
  }

  // Connects and runs the handshake with `address`, directly or through `proxy_url`.
  void open(const ServerAddress& address, const std::string& proxy_url) {
    if (address.host.empty()) throw_network_error(network_errc::no_host, "connecting");
    check_server_name(address.host);
    if (proxy_url.empty()) {
      connect(resolve(address.host, address.port, "resolving " + address.host));
    } else {
      open_tunnel(address, proxy_url);
    }
    step("handshake", [&](auto done) { stream_->async_handshake(ssl::stream_base::client, done); });
  }

  // Writes the whole request; `reporter` receives the bytes written so far after each piece.
  template <class Body>
  void write(http::request<Body>& message, IProgressReporter* reporter) {
    http::serializer<true, Body> serializer(message);
    std::uint64_t written = 0;
    while (!serializer.is_done()) {
      std::size_t bytes = 0;
      step("writing the request", [&](auto done) {
        http::async_write_some(*stream_, serializer, [&bytes, done](error_code ec, std::size_t n) {
          bytes = n;
          done(ec);
        });
      });
      written += bytes;
      if (reporter) reporter->SetProgress(written);
    }
  }

  // The header may take at most kReplyHeaderLimit bytes in all (status line, fields and the
  // blank line), so it is read whole first; the parser then takes it and the body.
  CloudReply read() {
    std::string head;
    step("reading the reply", [&](auto done) {
      net::async_read_until(*stream_, net::dynamic_buffer(head, kReplyHeaderLimit), "\r\n\r\n",
                            [done](error_code ec, std::size_t) {
                              done(ec == net::error::not_found ? error_code(http::error::header_limit) : ec);
                            });
    });
    buffer_.commit(net::buffer_copy(buffer_.prepare(head.size()), net::buffer(head)));
    http::response_parser<http::string_body> parser;
    parser.header_limit(kReplyHeaderLimit);
    parser.body_limit(kReplyBodyLimit);
    // Each read takes at most the room the buffer has beyond what it holds (and never less
    // than 512 bytes): without room for whole TLS records a large body comes in 512-byte steps.
    buffer_.reserve(kReadRoom);
    while (!parser.is_done()) {
      step("reading the reply", [&](auto done) {
        http::async_read_some(*stream_, buffer_, parser, [done](error_code ec, std::size_t) { done(ec); });
      });
    }
    return parser.release();
  }

  // Tells the server the connection ends; any failure here is ignored.
  void shut_down() noexcept {
    try {
      run([&](auto done) { stream_->async_shutdown(done); }, std::min(timeout_, kShutdownTimeout));
    } catch (...) {
    }
  }

 private:
  // Runs one asynchronous step to completion within the step deadline. `start` receives a
  // completion callback taking an error code. A step that misses its deadline has its
  // operations cancelled and counts as a network error.
  template <class Start>
  void step(const std::string& what, Start&& start) {
    const error_code ec = run(std::forward<Start>(start), timeout_);
    if (ec) throw_network_error(ec, what);
  }

  template <class Start>
  error_code run(Start&& start, std::chrono::milliseconds limit) {
    bool finished = false;
    error_code result;
    start([&finished, &result](error_code ec, auto&&...) {
      finished = true;
      result = ec;
    });
    io_.restart();
    io_.run_for(limit);
    if (!finished) {
      error_code ignored;
      resolver_.cancel();
      stream_->next_layer().close(ignored);
      io_.restart();
      io_.run();
      return make_error_code(network_errc::timed_out);
    }
    return result;
  }

  tcp::resolver::results_type resolve(const std::string& host, const std::string& port, const std::string& what) {
    tcp::resolver::results_type results;
    step(what, [&](auto done) {
      resolver_.async_resolve(host, port, [&results, done](error_code ec, tcp::resolver::results_type found) {
        results = std::move(found);
        done(ec);
      });
    });
    if (results.empty()) throw_network_error(net::error::host_not_found, what);
    return results;
  }

  // Tries each endpoint in turn, so a name that resolves to an address nobody listens on
  // first (IPv6 before IPv4, say) still connects.
  void connect(const tcp::resolver::results_type& endpoints) {
    step("connecting", [&](auto done) { net::async_connect(stream_->next_layer(), endpoints, done); });
  }

  // The certificate must name the host (an IP address against its IP entries, a name against
  // its DNS names); a host name also goes out as the server name indication, which may not
  // carry an address.
  void check_server_name(const std::string& host) {
    SSL* ssl = stream_->native_handle();
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    const bool ip = is_ip_address(host);
    const int set = ip ? X509_VERIFY_PARAM_set1_ip_asc(param, host.c_str())
                       : X509_VERIFY_PARAM_set1_host(param, host.c_str(), host.size());
    if (set != 1 || (!ip && SSL_set_tlsext_host_name(ssl, host.c_str()) != 1)) {
      throw_network_error(network_errc::bad_host_name, "server name " + host);
    }
  }

  // A CONNECT tunnel through the proxy. The API key never goes to the proxy.
  void open_tunnel(const ServerAddress& address, const std::string& proxy_url) {
    if (url_has_user_info(proxy_url)) throw_network_error(network_errc::proxy_user_info, "proxy");
    std::optional<tcp::endpoint> endpoint = cached_proxy_endpoint(proxy_url);
    if (!endpoint) {
      const ServerAddress proxy = parse_server_url(proxy_url);
      if (proxy.host.empty()) throw_network_error(network_errc::no_host, "proxy " + proxy_url);
      endpoint = resolve(proxy.host, proxy.port, "resolving the proxy " + proxy.host)->endpoint();
      remember_proxy_endpoint(proxy_url, *endpoint);
    }
    step("connecting to the proxy", [&](auto done) { stream_->next_layer().async_connect(*endpoint, done); });

    const std::string authority = address.port.empty() ? address.host : address.host + ":" + address.port;
    http::request<http::empty_body> tunnel{http::verb::connect, authority, 11};
    tunnel.set(http::field::host, authority);
    step("writing the tunnel request", [&](auto done) { http::async_write(stream_->next_layer(), tunnel, done); });

    http::response_parser<http::empty_body> reply;
    reply.skip(true);  // a reply to CONNECT has no body
    reply.header_limit(kReplyHeaderLimit);
    beast_buffer tunnel_buffer;
    step("reading the proxy's reply",
         [&](auto done) { http::async_read(stream_->next_layer(), tunnel_buffer, reply, done); });
    const unsigned status = reply.get().result_int();
    if (status < 200 || status > 299) {
      throw_network_error(network_errc::proxy_refused,
                          "the proxy answered " + std::to_string(status) + " to CONNECT " + authority);
    }
    if (tunnel_buffer.size() != 0) throw_network_error(network_errc::proxy_extra_bytes, "CONNECT " + authority);
  }

  std::chrono::milliseconds timeout_;
  net::io_context io_;
  ssl::context context_{ssl::context::tls_client};
  tcp::resolver resolver_{io_};
  std::optional<ssl::stream<tcp::socket>> stream_;
  beast_buffer buffer_;
};

// "Connection", "Host" and the target go on after the caller's own fields.
template <class Body>
void address_request(http::request<Body>& message, const ServerAddress& address) {
  message.set(http::field::connection, "close");
  message.set(http::field::host, address.host);
  // A request line needs a target: an address without a path asks for the root.
  message.target(address.target.empty() ? std::string("/") : address.target);
  message.erase(http::field::transfer_encoding);
}

void set_length(http::request<http::string_body>& message) {
  const std::size_t size = message.body().size();
  if (size != 0 || message.method() == http::verb::post) {
    message.content_length(size);
  } else {
    message.erase(http::field::content_length);
  }
}

void set_length(http::request<http::file_body>& message) { message.content_length(message.body().size()); }

CloudReply judged(CloudReply reply) {
  const unsigned status = reply.result_int();
  if (status < 400) return reply;
  if (status == 401 || status == 403) throw std::runtime_error("invalid_api_key");
  throw std::runtime_error("Http result : " + std::to_string(status));
}

template <class Request>
CloudReply exchange(Request& request, const std::string& server_url, const std::string& proxy_url,
                    IProgressReporter* reporter) {
  const ServerAddress address = parse_server_url(server_url);
  check_request_address(address);
  Exchange connection(request.timeout);
  connection.open(address, proxy_url);
  address_request(request.message, address);
  set_length(request.message);
  connection.write(request.message, reporter);
  CloudReply reply = connection.read();
  connection.shut_down();
  return judged(std::move(reply));
}

CloudReply send_text(CloudRequest& request, const std::string& server_url, http::verb method) {
  request.message.body() = request.body_text;
  request.message.method(method);
  return send_request(request, server_url, request.proxy, nullptr);
}

}  // namespace

CloudReply send_request(CloudRequest& request, const std::string& server_url, const std::string& proxy_url,
                        IProgressReporter* reporter) {
  return exchange(request, server_url, proxy_url, reporter);
}

CloudReply send_request(CloudFileRequest& request, const std::string& server_url, const std::string& proxy_url,
                        IProgressReporter* reporter) {
  return exchange(request, server_url, proxy_url, reporter);
}

CloudReply http_get(CloudRequest& request, const std::string& server_url) {
  return send_text(request, server_url, http::verb::get);
}

CloudReply http_patch(CloudRequest& request, const std::string& server_url) {
  return send_text(request, server_url, http::verb::patch);
}

CloudReply http_post(CloudRequest& request, const std::string& server_url) {
  return send_text(request, server_url, http::verb::post);
}

}  // namespace velorium::nimbrova
