// The parameter set of a remote calculation: typed values by name.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace velorium::nimbrova {

// The calculation service's collection of calculations. It ends with "/" so that a
// calculation identifier can be appended to it directly.
inline constexpr const char* kDefaultCalculationsAddress = "https://api.nimbrova.example/api/v1/calculations/";

// The name of the parameter that holds the service's calculations address.
inline constexpr const char* kRemoteSolverAddressParameter = "remote_solver_address";

// Four maps keyed by the parameter name (compared byte for byte). A plain value: copies copy
// all four maps. A new set holds only the calculations address; the remote path fills the
// rest from a model's options before every calculation.
struct RemoteParameters {
  RemoteParameters();

  std::unordered_map<std::string, std::string> string_params;
  std::unordered_map<std::string, double> double_params;
  std::unordered_map<std::string, std::int32_t> int_params;
  std::unordered_map<std::string, bool> bool_params;
};

}  // namespace velorium::nimbrova
