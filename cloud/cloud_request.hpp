// One request of the calculation client, before it is sent.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include <boost/beast/http/file_body.hpp>
#include <boost/beast/http/message.hpp>
#include <boost/beast/http/string_body.hpp>

namespace velorium::nimbrova {

namespace http = boost::beast::http;

// The deadline of each step of an exchange when the caller gives none.
inline constexpr std::chrono::milliseconds kDefaultStepTimeout{60000};

// HTTP/1.1 with the fields in the order they were last set (setting a field again moves it to
// the end), the proxy to tunnel through (empty: a direct connection) and the deadline of each
// step of the exchange (resolving, connecting, handshake, every read and every write; so for
// an upload it bounds inactivity, never the whole transfer). The reply has total deadlines
// besides: its header within this time, its body at a least average rate.
template <class Body>
struct BasicCloudRequest {
  explicit BasicCloudRequest(std::string proxy_url = {}, std::chrono::milliseconds step_timeout = kDefaultStepTimeout)
      : proxy(std::move(proxy_url)), timeout(step_timeout) {
    message.version(11);
  }
  void set_field(std::string_view name, std::string_view value) { message.set(name, value); }

  http::request<Body> message;
  std::string proxy;
  std::chrono::milliseconds timeout;
  // Whether a 302 reply is handed back (the caller follows it) rather than refused.
  bool redirect_allowed = false;
};

// A request with a text body: the verb functions copy `body_text` into the body just before
// sending.
struct CloudRequest : BasicCloudRequest<http::string_body> {
  using BasicCloudRequest::BasicCloudRequest;
  std::string body_text;
};

// A request whose body is a file, streamed from its current position to its end.
using CloudFileRequest = BasicCloudRequest<http::file_body>;

using CloudReply = http::response<http::string_body>;

}  // namespace velorium::nimbrova
