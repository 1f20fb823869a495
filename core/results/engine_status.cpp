#include "core/results/engine_status.hpp"

#include <cmath>
#include <limits>

namespace velorium::cpp_impl {

solution_status solution_status_from_engine(std::int32_t model_status, double objective_value) noexcept {
  switch (model_status) {
    case 6:
    case 7:
      return solution_status::optimal;
    case 8:
      return solution_status::infeasible;
    case 9:
      return solution_status::infeasible_or_unbounded;
    case 10:
      return solution_status::unbounded;
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16:
      return std::isinf(objective_value) ? solution_status::invalid_solution : solution_status::feasible;
    case 19:
      return solution_status::imprecise;
    default:
      return solution_status::invalid_solution;
  }
}

solve_result solve_result_from_status(solution_status status) noexcept {
  return status == solution_status::invalid_solution || status == solution_status::imprecise ? solve_result::fail
                                                                                               : solve_result::success;
}

double corrected_relative_gap(const SolveInfo& info) noexcept {
  if (info.model_status == 6) return 0.0;
  if (info.model_status == 7 && info.relative_gap == std::numeric_limits<double>::infinity() &&
      std::isfinite(info.objective_value) && info.objective_value == info.best_bound) {
    return 0.0;
  }
  return info.relative_gap;
}

int iis_model_status(std::int32_t model_status) noexcept {
  if (model_status == 8) return 2;
  if (model_status == 18) return 1;
  return 0;
}

}  // namespace velorium::cpp_impl
