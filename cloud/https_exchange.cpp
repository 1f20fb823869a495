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

#include "cloud/name_resolution.hpp"
#include "cloud/network_error.hpp"
#include "cloud/operation_interruption.hpp"
#include "cloud/proxy_endpoint_cache.hpp"
#include "cloud/root_certificates.hpp"
#include "cloud/server_url.hpp"

namespace velorium::nimbrova {

namespace {

namespace net = boost::asio;
namespace ssl = boost::asio::ssl;
using tcp = net::ip::tcp;
using boost::system::error_code;

using Clock = std::chrono::steady_clock;

// The TLS shutdown after a complete reply only tidies up: its wait is short.
constexpr std::chrono::milliseconds kShutdownTimeout{1000};
constexpr std::size_t kReadRoom = 65536;
// A reply's body may take the step time-out plus the time this rate needs for what has come:
// a body that keeps a trickle going never holds the caller for longer.
constexpr std::uint64_t kLeastBodyBytesPerSecond = 8192;

// An interim reply ("HTTP/1.1 100 Continue", "103 Early Hints"; 101 is no interim reply to a
// request that asked for no protocol switch) comes before the real one and is skipped.
bool is_interim_reply(std::string_view head) {
  if (!head.starts_with("HTTP/1.") || head.size() < 13 || head[8] != ' ' || head[9] != '1') return false;
  const auto digit = [](char c) { return c >= '0' && c <= '9'; };
  return digit(head[10]) && digit(head[11]) && head[12] == ' ' && head.substr(9, 3) != "101";
}

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
      connect(resolve_endpoints(address.host, address.port, timeout_, "resolving " + address.host));
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

  // The reply's header (kReplyHeaderLimit bytes at most: status line, fields and the blank
  // line) must be whole within the step time-out, interim replies before it included; it is
  // read first, and the parser then takes it and the body. The body must keep the least
  // average rate (beyond one step time-out of grace); every read also keeps the inactivity rule.
  CloudReply read() {
    const Clock::time_point header_due = Clock::now() + timeout_;
    std::string head;
    for (;;) {
      step_before("reading the reply's header", header_due, [&](auto done) {
        net::async_read_until(*stream_, net::dynamic_buffer(head, kReplyHeaderLimit), "\r\n\r\n",
                              [done](error_code ec, std::size_t) {
                                done(ec == net::error::not_found ? error_code(http::error::header_limit) : ec);
                              });
      });
      if (!is_interim_reply(head)) break;
      head.erase(0, head.find("\r\n\r\n") + 4);
    }
    buffer_.commit(net::buffer_copy(buffer_.prepare(head.size()), net::buffer(head)));
    http::response_parser<http::string_body> parser;
    parser.header_limit(kReplyHeaderLimit);
    parser.body_limit(kReplyBodyLimit);
    // Each read takes at most the room the buffer has beyond what it holds (and never less
    // than 512 bytes): without room for whole TLS records a large body comes in 512-byte steps.
    buffer_.reserve(kReadRoom);
    const Clock::time_point body_start = Clock::now();
    std::uint64_t received = 0;
    while (!parser.is_done()) {
      const auto earned = std::chrono::milliseconds(received * 1000 / kLeastBodyBytesPerSecond);
      step_before("reading the reply's body", body_start + timeout_ + earned, [&](auto done) {
        http::async_read_some(*stream_, buffer_, parser, [&received, done](error_code ec, std::size_t n) {
          received += n;
          done(ec);
        });
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

  // The same within the step deadline and before `due`, the total deadline of a reply's part;
  // missing `due` is network_errc::reply_too_slow.
  template <class Start>
  void step_before(const std::string& what, Clock::time_point due, Start&& start) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now());
    if (left.count() <= 0) throw_network_error(network_errc::reply_too_slow, what);
    const bool total_first = left < timeout_;
    const error_code ec = run(std::forward<Start>(start), total_first ? left : timeout_);
    if (ec == network_errc::timed_out && total_first) throw_network_error(network_errc::reply_too_slow, what);
    if (ec) throw_network_error(ec, what);
  }

  // With an interruption check in force on this thread, the wait is cut into slices between
  // which the check is asked; an interruption cancels the step like a missed deadline, then
  // throws OperationInterrupted.
  template <class Start>
  error_code run(Start&& start, std::chrono::milliseconds limit) {
    bool finished = false;
    error_code result;
    start([&finished, &result](error_code ec, auto&&...) {
      finished = true;
      result = ec;
    });
    io_.restart();
    bool interrupted = false;
    if (!interruption_check_in_force()) {
      io_.run_for(limit);
    } else {
      const Clock::time_point deadline = Clock::now() + limit;
      for (Clock::time_point now = Clock::now(); !finished && now < deadline; now = Clock::now()) {
        io_.run_for(std::min<Clock::duration>(deadline - now, kInterruptionSlice));
        if (!finished && interruption_requested()) {
          interrupted = true;
          break;
        }
      }
    }
    if (!finished) {
      error_code ignored;
      stream_->next_layer().close(ignored);
      io_.restart();
      io_.run();
      if (interrupted) throw OperationInterrupted{};
      return make_error_code(network_errc::timed_out);
    }
    return result;
  }

  // Tries each endpoint in turn, so a name that resolves to an address nobody listens on
  // first (IPv6 before IPv4, say) still connects.
  void connect(const Endpoints& endpoints) {
    step("connecting", [&](auto done) { net::async_connect(stream_->next_layer(), endpoints, done); });
  }

  // The certificate must name the host (an IP address against its IP entries, a name against
  // its DNS names; the subject's common name never counts, also without subjectAltName); a
  // host name also goes out as the server name indication, which may not carry an address.
  void check_server_name(const std::string& host) {
    SSL* ssl = stream_->native_handle();
    X509_VERIFY_PARAM* param = SSL_get0_param(ssl);
    X509_VERIFY_PARAM_set_hostflags(param, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS | X509_CHECK_FLAG_NEVER_CHECK_SUBJECT);
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
      endpoint = resolve_endpoints(proxy.host, proxy.port, timeout_, "resolving the proxy " + proxy.host).front();
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

template <class Body>
CloudReply judged(CloudReply reply, const BasicCloudRequest<Body>& request) {
  const unsigned status = reply.result_int();
  if ((status >= 200 && status <= 299) || (status == 302 && request.redirect_allowed)) return reply;
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
  return judged(std::move(reply), request);
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
