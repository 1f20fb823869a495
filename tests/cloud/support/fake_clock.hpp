// Virtual time for the client's waits: sleeping moves the clock on at once and is recorded.
#pragma once

#include <chrono>
#include <mutex>
#include <vector>

#include "cloud/client_clock.hpp"

namespace velorium::test {

class FakeClock final : public nimbrova::ClientClock {
 public:
  FakeClock() : previous_(nimbrova::exchange_client_clock_for_testing(this)) {}
  ~FakeClock() override { nimbrova::exchange_client_clock_for_testing(previous_); }
  FakeClock(const FakeClock&) = delete;
  FakeClock& operator=(const FakeClock&) = delete;

  time_point now() override {
    std::lock_guard lock(mutex_);
    return now_;
  }
  void sleep_until(time_point deadline) override {
    std::lock_guard lock(mutex_);
    const auto slept = deadline > now_ ? deadline - now_ : std::chrono::steady_clock::duration::zero();
    sleeps_.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(slept));
    now_ += slept;
  }
  void advance(std::chrono::steady_clock::duration by) {
    std::lock_guard lock(mutex_);
    now_ += by;
  }
  std::vector<std::chrono::milliseconds> sleeps() const {
    std::lock_guard lock(mutex_);
    return sleeps_;
  }

 private:
  mutable std::mutex mutex_;
  time_point now_{std::chrono::hours(1)};
  std::vector<std::chrono::milliseconds> sleeps_;
  nimbrova::ClientClock* previous_;
};

}  // namespace velorium::test
