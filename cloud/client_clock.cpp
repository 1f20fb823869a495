#include "cloud/client_clock.hpp"

#include <atomic>
#include <thread>

namespace velorium::nimbrova {

namespace {

class SteadyClock final : public ClientClock {
 public:
  time_point now() override { return std::chrono::steady_clock::now(); }
  void sleep_until(time_point deadline) override { std::this_thread::sleep_until(deadline); }
};

SteadyClock steady_clock_instance;
std::atomic<ClientClock*> clock_in_force{nullptr};

}  // namespace

ClientClock& client_clock() noexcept {
  ClientClock* clock = clock_in_force.load(std::memory_order_acquire);
  return clock ? *clock : steady_clock_instance;
}

ClientClock* exchange_client_clock_for_testing(ClientClock* clock) noexcept {
  return clock_in_force.exchange(clock, std::memory_order_acq_rel);
}

}  // namespace velorium::nimbrova
