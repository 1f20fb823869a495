// One HTTPS exchange: a fresh connection (direct or through a proxy tunnel), a TLS 1.2
// handshake verified against the built-in roots and the server's name, one request, one
// reply, then the connection is closed.
//
// Interim replies (1xx) are skipped. Failures leave as two kinds: boost::system::system_error
// for network failures (resolution, connection, the proxy, TLS, writing, reading, a reply over
// its limits, a deadline), and std::runtime_error for a status other than 2xx:
// "invalid_api_key" for 401 and 403, "Http result : N" for every other. A 302 is returned
// instead when the request allows a redirect. With an interruption check in force on the
// calling thread, an interrupted exchange throws OperationInterrupted.
// An address whose host, port or target holds a blank or a control character is refused with
// std::invalid_argument before anything is sent (check_request_address).
#pragma once

#include <cstdint>
#include <string>

#include "cloud/cloud_request.hpp"
#include "velorium/velorium.hpp"

namespace velorium::nimbrova {

// Reply limits: a longer header or body is a network error.
inline constexpr std::uint32_t kReplyHeaderLimit = 8192;
inline constexpr std::uint64_t kReplyBodyLimit = 100000000;

// Sends `request` (method and body already set) to `server_url` through `proxy_url` (empty:
// direct). Sets "Connection: close", "Host" (the host alone) and the length on the request,
// after the caller's fields, and replaces its target. `reporter` (optional) receives the
// number of bytes written so far, request line and header included.
CloudReply send_request(CloudRequest& request, const std::string& server_url, const std::string& proxy_url,
                        IProgressReporter* reporter);
CloudReply send_request(CloudFileRequest& request, const std::string& server_url, const std::string& proxy_url,
                        IProgressReporter* reporter);

// Copy the body text into the body, set the method and send through the request's own proxy.
// A GET or PATCH without a body carries no "Content-Length"; a POST always carries one.
CloudReply http_get(CloudRequest& request, const std::string& server_url);
CloudReply http_patch(CloudRequest& request, const std::string& server_url);
CloudReply http_post(CloudRequest& request, const std::string& server_url);

}  // namespace velorium::nimbrova
