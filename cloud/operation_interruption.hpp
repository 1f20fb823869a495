// Ending a thread's exchanges early when the remote operation they serve is interrupted.
//
// While a check is in force on a thread, every exchange of that thread asks it between short
// slices of its waits (name resolution, connecting, the handshake, writing, reading) and, once
// it answers true, abandons the exchange by throwing OperationInterrupted. Threads without a
// check never see it.
#pragma once

#include <chrono>
#include <functional>

namespace velorium::nimbrova {

// Not a std::exception on purpose: the retry loops and the outage timer catch those, and an
// interrupted exchange must end the operation at once instead of being retried.
struct OperationInterrupted {};

// How often a waiting exchange asks the check.
inline constexpr std::chrono::milliseconds kInterruptionSlice{50};

class ScopedInterruptionCheck {
 public:
  // `check` must stay callable for the scope's life; the check in force before comes back when
  // the scope ends.
  explicit ScopedInterruptionCheck(std::function<bool()> check);
  ~ScopedInterruptionCheck();
  ScopedInterruptionCheck(const ScopedInterruptionCheck&) = delete;
  ScopedInterruptionCheck& operator=(const ScopedInterruptionCheck&) = delete;

 private:
  std::function<bool()> check_;
  const std::function<bool()>* previous_;
};

// Whether the calling thread has a check in force.
bool interruption_check_in_force() noexcept;
// The calling thread's check answered true; false without a check.
bool interruption_requested();
// Throws OperationInterrupted when interruption_requested().
void throw_if_interrupted();
// Sleeps on the client clock; with a check in force, in slices between which it is asked.
void sleep_unless_interrupted(std::chrono::nanoseconds duration);

}  // namespace velorium::nimbrova
