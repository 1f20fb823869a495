// A solution kept by name: what solution files and the calculation service's result text carry.
#pragma once

#include <memory>

#include "core/records/solution_source.hpp"

namespace velorium {

using SolutionValues = ValueByName;

struct SolutionData {
  // When false, the writer leaves out every entry whose value is 0.
  bool write_zeros = true;
  // When present, the writer takes the values, duals and reduced costs from here instead of
  // the three maps below; both readers clear it.
  std::shared_ptr<SolutionSource> source;
  SolutionValues values;  // column name to value
  double objective_value = 0.0;
  bool has_objective_value = false;
  double dual_bound = 0.0;
  bool has_dual_bound = false;
  // The dual section is written (and was read) even when it has no entries.
  bool has_duals = false;
  SolutionValues duals;  // row name to dual value
  bool has_reduced_costs = false;
  SolutionValues reduced_costs;  // column name to reduced cost
};

}  // namespace velorium
