// The short report of a solve result.
#include "python/text/object_text.hpp"
#include "python/text/stream_format.hpp"

namespace velorium {

namespace {

const char* failure_reason(solve_result outcome) {
  switch (outcome) {
    case solve_result::fail: return "Local solver fail";
    case solve_result::remote_invalid_api_key: return "Invalid X_API_KEY";
    case solve_result::remote_api_key_not_set: return "X_API_KEY not set";
    case solve_result::remote_time_amount_is_over: return "Time for remote solve is over for this X_API_KEY";
    case solve_result::remote_time_per_calc_violated: return "Time for single remote solve is violated";
    case solve_result::remote_fail: return "Remote solver fail";
    default: return "";
  }
}

}  // namespace

std::string solution_status_text(solution_status status) {
  switch (status) {
    case solution_status::invalid_solution: return "invalid";
    case solution_status::optimal: return "optimal";
    case solution_status::feasible: return "feasible";
    case solution_status::infeasible: return "infeasible";
    case solution_status::unbounded: return "unbounded";
    case solution_status::infeasible_or_unbounded: return "infeasible or unbounded";
    case solution_status::imprecise: return "imprecise";
  }
  return "unknown";
}

std::string solve_result_repr(const SolveFigures& result) {
  constexpr const char* kNotSuccessful = "Solve is not successful. Reason: ";
  try {
    const solve_result outcome = result.get_solve_result();
    if (outcome != solve_result::success) {
      // A remote `fail` (a cancelled calculation, one that ended without a solution) comes with
      // its own text of why; the code's fixed reason speaks of a local solver.
      const char* why = result.object().GetErrorText();
      if (outcome == solve_result::fail && why && *why) return kNotSuccessful + std::string(why);
      return kNotSuccessful + std::string(failure_reason(outcome));
    }
    StreamFormat out;
    out << "Solve is successful.\nGap: " << result.get_relative_gap() * 100;
    out << " %.\nSolution is " << solution_status_text(result.get_solution_status());
    out << "\nObjective value: " << result.get_objective_value();
    out << "\nBest bound: " << result.get_best_bound();
    return out.str();
  } catch (const std::exception& e) {
    return kNotSuccessful + std::string(e.what());
  }
}

}  // namespace velorium
