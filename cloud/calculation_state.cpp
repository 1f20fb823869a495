#include "cloud/calculation_state.hpp"

#include <type_traits>
#include <utility>

namespace velorium::nimbrova {

namespace {

// Runs `use` on the state under its lock; an empty value once the state is gone.
template <class Use>
auto with_state(Use&& use) {
  using Result = std::invoke_result_t<Use, ClientProcessState&>;
  ClientProcessState* state = client_process_state();
  if (!state) {
    if constexpr (std::is_void_v<Result>) {
      return;
    } else {
      return Result();
    }
  }
  std::lock_guard lock(state->mutex);
  return use(*state);
}

template <class Map>
typename Map::mapped_type value_or_empty(const Map& map, const char* name) {
  const auto found = map.find(name);
  return found == map.end() ? typename Map::mapped_type() : found->second;
}

}  // namespace

void set_remote_parameters(const RemoteParameters& parameters) {
  with_state([&](ClientProcessState& state) { state.remote_parameters = parameters; });
}

RemoteParameters remote_parameters_copy() {
  return with_state([](ClientProcessState& state) { return state.remote_parameters; });
}

void set_remote_solver_address(const std::string& address) {
  with_state([&](ClientProcessState& state) {
    state.remote_parameters.string_params[kRemoteSolverAddressParameter] = address;
  });
}

std::string get_remote_solver_address() {
  return with_state([](ClientProcessState& state) {
    return value_or_empty(state.remote_parameters.string_params, kRemoteSolverAddressParameter);
  });
}

std::string get_http_proxy() {
  return with_state(
      [](ClientProcessState& state) { return value_or_empty(state.remote_parameters.string_params, "http_proxy"); });
}

int get_remote_timeout() {
  return with_state(
      [](ClientProcessState& state) { return value_or_empty(state.remote_parameters.int_params, "remote_timeout"); });
}

CalculationInfo current_calculation_copy() {
  return with_state([](ClientProcessState& state) { return state.current_calculation; });
}

std::string current_calc_uid() {
  return with_state([](ClientProcessState& state) { return state.current_calculation.calc_uid; });
}

void set_current_calculation(CalculationInfo calculation) {
  with_state([&](ClientProcessState& state) { state.current_calculation = std::move(calculation); });
}

void clear_current_calculation() {
  with_state([](ClientProcessState& state) { state.current_calculation = CalculationInfo(); });
}

}  // namespace velorium::nimbrova
