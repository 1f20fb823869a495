#include "cloud/interrupt_cancel.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <exception>

#include "cloud/service_requests.hpp"

namespace velorium::nimbrova {

namespace {

// The write end of the pipe of the handlers in force; -1 while none are.
std::atomic<int> signal_pipe{-1};

// Only async-signal-safe work: one byte into the pipe.
extern "C" void on_interrupt(int signal_number) {
  const int saved = errno;
  const int fd = signal_pipe.load(std::memory_order_relaxed);
  if (fd >= 0) {
    const char byte = static_cast<char>(signal_number);
    [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
  }
  errno = saved;
}

}  // namespace

InterruptCancel::InterruptCancel() {
  if (::pipe2(pipe_, O_CLOEXEC) != 0) return;
  ::fcntl(pipe_[1], F_SETFL, O_NONBLOCK);  // a handler never blocks on a full pipe
  try {
    helper_ = std::thread([this] { run_helper(); });
  } catch (...) {
    ::close(pipe_[0]);
    ::close(pipe_[1]);
    return;
  }
  signal_pipe.store(pipe_[1], std::memory_order_relaxed);
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGINT, &action, &previous_interrupt_);
  ::sigaction(SIGTERM, &action, &previous_terminate_);
  active_ = true;
}

InterruptCancel::~InterruptCancel() {
  if (!active_) return;
  ::sigaction(SIGINT, &previous_interrupt_, nullptr);
  ::sigaction(SIGTERM, &previous_terminate_, nullptr);
  signal_pipe.store(-1, std::memory_order_relaxed);
  ::close(pipe_[1]);  // the helper reads the end of the pipe and stops
  helper_.join();
  ::close(pipe_[0]);
}

void InterruptCancel::run_helper() {
  for (;;) {
    char byte = 0;
    const ssize_t got = ::read(pipe_[0], &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    try {
      cancel_calculation();
    } catch (const std::exception&) {
      // The cancel is a request: its failure changes nothing for the calculation's wait.
    }
  }
}

}  // namespace velorium::nimbrova
