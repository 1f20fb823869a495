#include "cloud/operation_interruption.hpp"

#include <algorithm>
#include <utility>

#include "cloud/client_clock.hpp"

namespace velorium::nimbrova {

namespace {

thread_local const std::function<bool()>* check_in_force = nullptr;

}  // namespace

ScopedInterruptionCheck::ScopedInterruptionCheck(std::function<bool()> check)
    : check_(std::move(check)), previous_(check_in_force) {
  check_in_force = &check_;
}

ScopedInterruptionCheck::~ScopedInterruptionCheck() { check_in_force = previous_; }

bool interruption_check_in_force() noexcept { return check_in_force != nullptr; }

bool interruption_requested() { return check_in_force && (*check_in_force)(); }

void throw_if_interrupted() {
  if (interruption_requested()) throw OperationInterrupted{};
}

void sleep_unless_interrupted(std::chrono::nanoseconds duration) {
  ClientClock& clock = client_clock();
  if (!interruption_check_in_force()) return clock.sleep_for(duration);
  const ClientClock::time_point deadline = clock.now() + duration;
  for (ClientClock::time_point now = clock.now(); now < deadline; now = clock.now()) {
    throw_if_interrupted();
    clock.sleep_until(std::min<ClientClock::time_point>(deadline, now + kInterruptionSlice));
  }
  throw_if_interrupted();
}

}  // namespace velorium::nimbrova
