#include "cloud/support/connect_relay.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>

namespace velorium::test {

namespace {

std::size_t receive(int fd, char* data, std::size_t size) {
  const ssize_t got = ::recv(fd, data, size, 0);
  return got > 0 ? static_cast<std::size_t>(got) : 0;
}

std::size_t send_some(int fd, const char* data, std::size_t size) {
  const ssize_t wrote = ::send(fd, data, size, MSG_NOSIGNAL);
  return wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
}

// A connection to "127.0.0.1:port" (the only host the tests tunnel to); -1 otherwise.
int connect_to(const std::string& authority) {
  const std::size_t colon = authority.rfind(':');
  if (colon == std::string::npos || authority.substr(0, colon) != "127.0.0.1") return -1;
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<std::uint16_t>(std::atoi(authority.c_str() + colon + 1)));
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

}  // namespace

ConnectRelay::ConnectRelay(unsigned status) : status_(status) {
  listener_ = listen_on_loopback(port_);
  thread_ = std::thread([this] { serve(); });
}

ConnectRelay::~ConnectRelay() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  thread_.join();
  ::close(listener_);
}

std::vector<RecordedRequest> ConnectRelay::journal() const {
  std::lock_guard lock(mutex_);
  return journal_;
}

void ConnectRelay::serve() {
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stop_) return;
    }
    const int client = accept_within(listener_, 20);
    if (client < 0) continue;
    RecordedRequest request;
    if (read_http_request([client](char* data, std::size_t size) { return receive(client, data, size); }, request)) {
      {
        std::lock_guard lock(mutex_);
        journal_.push_back(request);
      }
      const std::size_t first = request.request_line.find(' ');
      const std::string authority =
          request.request_line.substr(first + 1, request.request_line.find(' ', first + 1) - first - 1);
      const WriteSome to_client = [client](const char* data, std::size_t size) { return send_some(client, data, size); };
      if (status_ == 200) {
        write_all(to_client, "HTTP/1.1 200 Connection established\r\n\r\n");
        relay(client, authority);
      } else {
        write_all(to_client, "HTTP/1.1 " + std::to_string(status_) + " Refused\r\nContent-Length: 0\r\n\r\n");
      }
    }
    ::close(client);
  }
}

// Copies bytes both ways until either side closes.
void ConnectRelay::relay(int client, const std::string& authority) {
  const int server = connect_to(authority);
  if (server < 0) return;
  pollfd ends[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
  char buffer[16384];
  for (bool open = true; open;) {
    if (::poll(ends, 2, 100) < 0) break;
    for (int k = 0; k < 2 && open; ++k) {
      if (ends[k].revents == 0) continue;
      const std::size_t got = receive(ends[k].fd, buffer, sizeof buffer);
      open = got != 0 && write_all([to = ends[1 - k].fd](const char* data, std::size_t size) {
        return send_some(to, data, size);
      }, std::string(buffer, got));
    }
    std::lock_guard lock(mutex_);
    if (stop_) break;
  }
  ::close(server);
}

}  // namespace velorium::test
