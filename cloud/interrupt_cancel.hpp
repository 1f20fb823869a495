// A synchronous remote solve's own handling of interrupts (SIGINT) and termination requests
// (SIGTERM, and SIGHUP when the terminal closes), for the whole operation, from the start of
// its preparation to the end of its client:
//  - before the calculation is created, an interrupt ends the operation (a model file being
//    written is finished first);
//  - after it, the first one cancels the calculation (catalogue message 165, one cancel
//    request) and stops the uploads; the wait goes on until the service reports the end;
//  - a second interrupt, a termination request, or 30 seconds after the cancel end the wait,
//    and the operation reports the calculation cancelled.
// The handlers only count and write a byte to a pipe; a helper thread reads it and sends the
// cancel request. When the operation ends, the handlers in place before (a host's own, such as
// Python's) come back and every signal caught meanwhile is raised once more for them, so a
// host sees its interrupt and a termination request still terminates, once the calculation is
// cancelled and the files are gone. A signal whose disposition was to be ignored is left alone.
#pragma once

#include <signal.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "cloud/client_clock.hpp"

namespace velorium::nimbrova {

// How long the wait goes on after the cancel request, and the longest a cancel request may take.
inline constexpr std::chrono::seconds kCancelGrace{30};

class InterruptCancel {
 public:
  // Installs the handlers and starts the helper thread; when either cannot be done, or another
  // operation of the process (on another thread) has them, nothing is installed, the signals
  // keep their previous effect and no operation is ended.
  InterruptCancel();
  // Puts the previous handlers back, lets the helper finish a cancel it is sending (at most
  // kCancelGrace), then raises each signal caught once more.
  ~InterruptCancel();
  InterruptCancel(const InterruptCancel&) = delete;
  InterruptCancel& operator=(const InterruptCancel&) = delete;

  bool active() const noexcept { return active_; }

  // The calculation exists: from now on an interrupt cancels it. When an interrupt came before
  // (during the create), the helper cancels it at once and OperationInterrupted ends the
  // operation.
  void calculation_created();
  // Whether the operation must end now: an interrupt before the calculation existed, a second
  // one, a termination request, or kCancelGrace on the client clock since the cancel began.
  bool ends_operation() const;
  // Whether a cancel was asked for (the uploads stop then).
  bool cancel_requested() const;

 private:
  void run_helper();

  bool active_ = false;
  int pipe_[2] = {-1, -1};
  struct Installed {
    int signal_number;
    bool replaced;
    struct sigaction previous;
  };
  Installed installed_[3] = {{SIGINT, false, {}}, {SIGTERM, false, {}}, {SIGHUP, false, {}}};
  std::atomic<bool> created_{false};
  std::atomic<bool> cancel_started_{false};
  std::atomic<ClientClock::time_point::rep> cancel_start_{0};  // on the client clock
  std::thread helper_;
};

}  // namespace velorium::nimbrova
