// The factory of results of earlier remote calculations.
#include <string>

#include "cloud/solve_result_remote.hpp"
#include "velorium/velorium.hpp"

velorium::ISolveResult* CreateSolveResult(const char* calc_uid, const char* name_map_file) {
  try {
    // A null text counts as an empty one.
    return new velorium::cpp_impl::SolveResultRemote(calc_uid ? calc_uid : "", name_map_file ? name_map_file : "");
  } catch (...) {
    return nullptr;  // no object to carry the failure
  }
}
