// Process limits that tests set for a moment.
#pragma once

#include <signal.h>
#include <sys/resource.h>

#include <fstream>
#include <string>

namespace velorium::test {

// The threads of this process now.
inline int thread_count() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("Threads:", 0) == 0) return std::stoi(line.substr(8));
  }
  return -1;
}

// No file may grow past `bytes` while it lasts: a write beyond fails (EFBIG) instead of
// raising the signal that would end the process.
class ScopedFileSizeLimit {
 public:
  explicit ScopedFileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &before_);
    previous_signal_ = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = before_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~ScopedFileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &before_);
    ::signal(SIGXFSZ, previous_signal_);
  }
  ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
  ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

 private:
  rlimit before_{};
  sighandler_t previous_signal_;
};

}  // namespace velorium::test
