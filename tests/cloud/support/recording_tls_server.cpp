#include "cloud/support/recording_tls_server.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace velorium::test {

std::string RecordedRequest::field(const std::string& name) const {
  for (const auto& [key, value] : fields) {
    if (key == name) return value;
  }
  return "<absent>";
}

bool RecordedRequest::has_field(const std::string& name) const { return field(name) != "<absent>"; }

ScriptedReply ScriptedReply::status(unsigned code, const std::string& extra_fields, const std::string& body) {
  return bytes("HTTP/1.1 " + std::to_string(code) + " Scripted\r\n" + extra_fields +
               "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
}

bool read_http_request(const ReadSome& read_some, RecordedRequest& request) {
  std::string data;
  char buffer[4096];
  std::size_t head_end;
  while ((head_end = data.find("\r\n\r\n")) == std::string::npos) {
    const std::size_t got = read_some(buffer, sizeof buffer);
    if (got == 0) return false;
    data.append(buffer, got);
  }
  const std::string head = data.substr(0, head_end);
  std::size_t line_end = head.find("\r\n");
  request.request_line = head.substr(0, line_end);
  std::size_t content_length = 0;
  while (line_end != std::string::npos) {
    const std::size_t start = line_end + 2;
    line_end = head.find("\r\n", start);
    const std::string line = head.substr(start, line_end == std::string::npos ? std::string::npos : line_end - start);
    const std::size_t colon = line.find(':');
    std::string name = line.substr(0, colon);
    std::string value = colon == std::string::npos ? "" : line.substr(colon + 1);
    if (!value.empty() && value.front() == ' ') value.erase(0, 1);
    if (name == "Content-Length") content_length = std::strtoull(value.c_str(), nullptr, 10);
    request.fields.emplace_back(std::move(name), std::move(value));
  }
  request.body = data.substr(head_end + 4);
  while (request.body.size() < content_length) {
    const std::size_t got = read_some(buffer, sizeof buffer);
    if (got == 0) return false;
    request.body.append(buffer, got);
  }
  request.raw_size = head_end + 4 + request.body.size();
  return true;
}

bool write_all(const WriteSome& write_some, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t wrote = write_some(bytes.data() + done, bytes.size() - done);
    if (wrote == 0) return false;
    done += wrote;
  }
  return true;
}

int listen_on_loopback(std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 16) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot listen on 127.0.0.1");
  }
  port = ntohs(address.sin_port);
  return fd;
}

int accept_within(int listener, int milliseconds) {
  pollfd wait{listener, POLLIN, 0};
  if (::poll(&wait, 1, milliseconds) <= 0) return -1;
  return ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
}

namespace {

struct SslCtxFree {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SslFree {
  void operator()(SSL* ssl) const { SSL_free(ssl); }
};

}  // namespace

RecordingTlsServer::RecordingTlsServer(const std::string& certificate_file, const std::string& key_file)
    : certificate_file_(certificate_file), key_file_(key_file) {
  // A client that gives up mid-reply must not end the test program.
  ::signal(SIGPIPE, SIG_IGN);
  listener_ = listen_on_loopback(port_);
  thread_ = std::thread([this] { serve(); });
}

RecordingTlsServer::~RecordingTlsServer() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  stopping_.notify_all();
  thread_.join();
  ::close(listener_);
}

std::string RecordingTlsServer::url(const std::string& path, const std::string& host) const {
  return "https://" + host + ":" + std::to_string(port_) + path;
}

void RecordingTlsServer::script(std::vector<ScriptedReply> replies) {
  std::lock_guard lock(mutex_);
  script_.assign(replies.begin(), replies.end());
}

std::vector<RecordedRequest> RecordingTlsServer::journal() const {
  std::lock_guard lock(mutex_);
  return journal_;
}

int RecordingTlsServer::connections() const {
  std::lock_guard lock(mutex_);
  return connections_;
}

ScriptedReply RecordingTlsServer::next_reply() {
  std::lock_guard lock(mutex_);
  if (script_.empty()) return ScriptedReply::status(200, "", "ok");
  ScriptedReply reply = std::move(script_.front());
  script_.pop_front();
  return reply;
}

void RecordingTlsServer::drip(const WriteSome& write, const ScriptedReply& reply) {
  const std::size_t first = std::min(reply.at_once, reply.raw.size());
  if (!write_all(write, reply.raw.substr(0, first))) return;
  for (std::size_t k = first; k < reply.raw.size(); ++k) {
    std::unique_lock lock(mutex_);
    if (stopping_.wait_for(lock, reply.interval, [this] { return stop_; })) return;
    lock.unlock();
    if (!write_all(write, reply.raw.substr(k, 1))) return;
  }
}

void RecordingTlsServer::serve() {
  std::unique_ptr<SSL_CTX, SslCtxFree> context{SSL_CTX_new(TLS_server_method())};
  SSL_CTX_use_certificate_chain_file(context.get(), certificate_file_.c_str());
  SSL_CTX_use_PrivateKey_file(context.get(), key_file_.c_str(), SSL_FILETYPE_PEM);
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stop_) return;
    }
    const int fd = accept_within(listener_, 20);
    if (fd < 0) continue;
    {
      std::lock_guard lock(mutex_);
      ++connections_;
    }
    std::unique_ptr<SSL, SslFree> ssl{SSL_new(context.get())};
    SSL_set_fd(ssl.get(), fd);
    RecordedRequest request;
    const ReadSome read = [&](char* data, std::size_t size) -> std::size_t {
      const int got = SSL_read(ssl.get(), data, static_cast<int>(size));
      return got > 0 ? static_cast<std::size_t>(got) : 0;
    };
    if (SSL_accept(ssl.get()) == 1 && read_http_request(read, request)) {
      {
        std::lock_guard lock(mutex_);
        journal_.push_back(request);
      }
      const ScriptedReply reply = next_reply();
      if (reply.kind == ScriptedReply::Kind::stall) {
        std::unique_lock lock(mutex_);
        stopping_.wait(lock, [this] { return stop_; });
      } else {
        const WriteSome write = [&](const char* data, std::size_t size) -> std::size_t {
          const int wrote = SSL_write(ssl.get(), data, static_cast<int>(size));
          return wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
        };
        if (reply.kind == ScriptedReply::Kind::reply) {
          write_all(write, reply.raw);
        } else if (reply.kind == ScriptedReply::Kind::drip) {
          drip(write, reply);
        }
      }
    }
    ERR_clear_error();
    ::close(fd);
  }
}

}  // namespace velorium::test
