// The one place where the calculation client reads the time and sleeps, so that tests can run
// its waits (retry gaps, the 3-second poll, progress throttling, the outage timer) in virtual
// time. The default is the real steady clock.
#pragma once

#include <chrono>

namespace velorium::nimbrova {

class ClientClock {
 public:
  using time_point = std::chrono::steady_clock::time_point;
  virtual ~ClientClock() = default;
  virtual time_point now() = 0;
  // Returns at `deadline` or later.
  virtual void sleep_until(time_point deadline) = 0;
  void sleep_for(std::chrono::nanoseconds duration) { sleep_until(now() + duration); }
};

// The clock in force for the whole process.
ClientClock& client_clock() noexcept;

// Puts `clock` in force (null: the real clock again) and returns the one before. Tests only;
// the clock must outlive its use.
ClientClock* exchange_client_clock_for_testing(ClientClock* clock) noexcept;

}  // namespace velorium::nimbrova
