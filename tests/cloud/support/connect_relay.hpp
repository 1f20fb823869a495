// A CONNECT proxy on 127.0.0.1 for the exchange tests: records every tunnel request and either
// relays the bytes to the asked-for address or refuses with a scripted status.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cloud/support/recording_tls_server.hpp"

namespace velorium::test {

class ConnectRelay {
 public:
  // `status` 200 relays; any other status is sent as the refusal.
  explicit ConnectRelay(unsigned status = 200);
  ~ConnectRelay();
  ConnectRelay(const ConnectRelay&) = delete;
  ConnectRelay& operator=(const ConnectRelay&) = delete;

  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  std::vector<RecordedRequest> journal() const;

 private:
  void serve();
  void relay(int client, const std::string& authority);

  unsigned status_;
  int listener_ = -1;
  std::uint16_t port_ = 0;
  mutable std::mutex mutex_;
  bool stop_ = false;
  std::vector<RecordedRequest> journal_;
  std::thread thread_;
};

}  // namespace velorium::test
