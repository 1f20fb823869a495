// A small HTTPS server on 127.0.0.1 for the exchange tests: it records every request byte for
// byte and answers each connection from a script (a raw reply, closing at once, or never
// answering). Independent of the client's HTTP library: requests are split by hand.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace velorium::test {

struct RecordedRequest {
  std::string request_line;                                 // "GET /x HTTP/1.1"
  std::vector<std::pair<std::string, std::string>> fields;  // in the order received
  std::string body;
  std::size_t raw_size = 0;  // every byte of the request: line, fields, blank line, body

  // The value of the first field named `name` (exact case), or "<absent>".
  std::string field(const std::string& name) const;
  bool has_field(const std::string& name) const;
};

struct ScriptedReply {
  enum class Kind { reply, close, stall, drip };
  Kind kind = Kind::reply;
  std::string raw;  // for `reply` and `drip`: sent as it is, then the connection is closed
  std::size_t at_once = 0;  // for `drip`: the first bytes, sent together; then one byte per `interval`
  std::chrono::milliseconds interval{0};

  static ScriptedReply status(unsigned code, const std::string& extra_fields = "", const std::string& body = "");
  static ScriptedReply bytes(std::string raw) { return {Kind::reply, std::move(raw)}; }
  static ScriptedReply close_at_once() { return {Kind::close, {}}; }
  static ScriptedReply never_answer() { return {Kind::stall, {}}; }
  // Stops when the client goes away.
  static ScriptedReply drip(std::string raw, std::size_t at_once, std::chrono::milliseconds interval) {
    return {Kind::drip, std::move(raw), at_once, interval};
  }
};

class RecordingTlsServer {
 public:
  // Serves with the certificate and key files given (PEM).
  RecordingTlsServer(const std::string& certificate_file, const std::string& key_file);
  ~RecordingTlsServer();
  RecordingTlsServer(const RecordingTlsServer&) = delete;
  RecordingTlsServer& operator=(const RecordingTlsServer&) = delete;

  std::uint16_t port() const { return port_; }
  // "https://<host>:<port><path>".
  std::string url(const std::string& path, const std::string& host = "127.0.0.1") const;

  // Replies for the next connections, one each; once used up every request gets 200 "ok".
  void script(std::vector<ScriptedReply> replies);
  std::vector<RecordedRequest> journal() const;
  // Connections accepted so far (those whose handshake failed included).
  int connections() const;

 private:
  void serve();
  ScriptedReply next_reply();
  void drip(const std::function<std::size_t(const char*, std::size_t)>& write, const ScriptedReply& reply);

  std::string certificate_file_;
  std::string key_file_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable stopping_;
  bool stop_ = false;
  std::deque<ScriptedReply> script_;
  std::vector<RecordedRequest> journal_;
  int connections_ = 0;
  std::thread thread_;
};

// Reads one HTTP request head and its body (by Content-Length) through `read_some`, which
// fills up to `size` bytes and returns the count (0 at the end or on an error). False when the
// peer stopped before the request was complete.
using ReadSome = std::function<std::size_t(char* data, std::size_t size)>;
bool read_http_request(const ReadSome& read_some, RecordedRequest& request);

// Sends every byte through `write_some` (returns the count written, 0 on an error).
using WriteSome = std::function<std::size_t(const char* data, std::size_t size)>;
bool write_all(const WriteSome& write_some, const std::string& bytes);

// A listening TCP socket on 127.0.0.1 with a port the system picks.
int listen_on_loopback(std::uint16_t& port);
// Waits up to `milliseconds` for a connection; -1 when none came.
int accept_within(int listener, int milliseconds);

}  // namespace velorium::test
