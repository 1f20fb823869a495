#include "cloud/interrupt_cancel.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <exception>

#include "cloud/operation_interruption.hpp"
#include "cloud/service_requests.hpp"

namespace velorium::nimbrova {

namespace {

// What the handlers in force record; reset by every InterruptCancel (one remote operation
// runs at a time). Lock-free atomics only: they are touched from a signal handler.
std::atomic<bool> claimed{false};  // by the one InterruptCancel in force
std::atomic<int> signal_pipe{-1};
std::atomic<int> interrupts_caught{0};
std::atomic<bool> termination_caught{false};
std::atomic<unsigned> caught_signals{0};

static_assert(std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free &&
              std::atomic<unsigned>::is_always_lock_free);

unsigned bit_of(int signal_number) { return 1u << static_cast<unsigned>(signal_number); }

bool cancel_asked() { return interrupts_caught.load() > 0 || termination_caught.load(); }

void poke(int fd) {
  const char byte = 0;
  [[maybe_unused]] const ssize_t ignored = ::write(fd, &byte, 1);
}

// Only async-signal-safe work: counting, and one byte into the pipe.
extern "C" void on_signal(int signal_number) {
  const int saved = errno;
  if (signal_number == SIGINT) {
    interrupts_caught.fetch_add(1);
  } else {
    termination_caught.store(true);
  }
  caught_signals.fetch_or(bit_of(signal_number));
  const int fd = signal_pipe.load();
  if (fd >= 0) poke(fd);
  errno = saved;
}

}  // namespace

InterruptCancel::InterruptCancel() {
  if (claimed.exchange(true)) return;
  interrupts_caught.store(0);
  termination_caught.store(false);
  caught_signals.store(0);
  if (::pipe2(pipe_, O_CLOEXEC) != 0) {
    claimed.store(false);
    return;
  }
  ::fcntl(pipe_[1], F_SETFL, O_NONBLOCK);  // a handler never blocks on a full pipe
  try {
    helper_ = std::thread([this] { run_helper(); });
  } catch (...) {
    ::close(pipe_[0]);
    ::close(pipe_[1]);
    claimed.store(false);
    return;
  }
  signal_pipe.store(pipe_[1]);
  struct sigaction action {};
  action.sa_handler = on_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (Installed& entry : installed_) {
    if (::sigaction(entry.signal_number, nullptr, &entry.previous) != 0) continue;
    if (entry.previous.sa_handler == SIG_IGN && !(entry.previous.sa_flags & SA_SIGINFO)) continue;
    entry.replaced = ::sigaction(entry.signal_number, &action, nullptr) == 0;
  }
  active_ = true;
}

InterruptCancel::~InterruptCancel() {
  if (!active_) return;
  for (const Installed& entry : installed_) {
    if (entry.replaced) ::sigaction(entry.signal_number, &entry.previous, nullptr);
  }
  signal_pipe.store(-1);
  ::close(pipe_[1]);  // the helper reads what is left in the pipe, then its end, and stops
  helper_.join();
  ::close(pipe_[0]);
  const unsigned caught = caught_signals.exchange(0);
  claimed.store(false);
  for (const Installed& entry : installed_) {
    if (entry.replaced && (caught & bit_of(entry.signal_number))) ::raise(entry.signal_number);
  }
}

void InterruptCancel::calculation_created() {
  created_.store(true);
  if (!cancel_requested()) return;
  poke(pipe_[1]);  // the helper cancels what the interrupt came too early for
  throw OperationInterrupted{};
}

bool InterruptCancel::cancel_requested() const {
  return active_ && cancel_asked();
}

bool InterruptCancel::ends_operation() const {
  if (!active_) return false;
  const int interrupts = interrupts_caught.load();
  if (termination_caught.load() || interrupts >= 2 || (interrupts == 1 && !created_.load())) return true;
  if (!cancel_started_.load()) return false;
  const ClientClock::time_point started{ClientClock::time_point::duration(cancel_start_.load())};
  return client_clock().now() - started >= kCancelGrace;
}

void InterruptCancel::run_helper() {
  for (;;) {
    char byte = 0;
    const ssize_t got = ::read(pipe_[0], &byte, 1);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;
    if (!created_.load() || cancel_started_.load() || !cancel_asked()) continue;
    cancel_start_.store(client_clock().now().time_since_epoch().count());
    cancel_started_.store(true);
    // A cancel that hangs is given up after the grace, so the operation's end never waits longer.
    const auto give_up = std::chrono::steady_clock::now() + kCancelGrace;
    const ScopedInterruptionCheck bounded([give_up] { return std::chrono::steady_clock::now() >= give_up; });
    try {
      cancel_calculation();
    } catch (const std::exception&) {
      // The cancel is a request: its failure changes nothing for the calculation's wait.
    } catch (const OperationInterrupted&) {
    }
  }
}

}  // namespace velorium::nimbrova
