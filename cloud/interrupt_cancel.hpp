// While a synchronous remote solve waits for its result, an interrupt (SIGINT) or termination
// request (SIGTERM) cancels the calculation instead of ending the process: the handler only
// writes to a pipe; a helper thread reads it, logs catalogue message 165 and sends the cancel
// request. The wait goes on until the service reports the end. The handlers that were in place
// before (a host's own, such as Python's) are put back when the wait ends.
#pragma once

#include <signal.h>

#include <thread>

namespace velorium::nimbrova {

class InterruptCancel {
 public:
  // Installs the handlers and starts the helper thread; when either cannot be done, nothing
  // is installed and interrupts keep their previous effect.
  InterruptCancel();
  // Puts the previous handlers back, then stops the helper thread (a cancel it is sending
  // finishes first).
  ~InterruptCancel();
  InterruptCancel(const InterruptCancel&) = delete;
  InterruptCancel& operator=(const InterruptCancel&) = delete;

  bool active() const noexcept { return active_; }

 private:
  void run_helper();

  bool active_ = false;
  int pipe_[2] = {-1, -1};
  struct sigaction previous_interrupt_ {};
  struct sigaction previous_terminate_ {};
  std::thread helper_;
};

}  // namespace velorium::nimbrova
