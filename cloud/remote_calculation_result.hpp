// What a remote calculation hands back.
#pragma once

#include <string>
#include <unordered_map>

#include "formats/solution/solution_data.hpp"

namespace velorium::nimbrova {

// A plain value. An empty record (after a failure that only the client log reports) has no
// statistics, an empty solution and both texts empty.
struct RemoteCalculationResult {
  // The details reply's "relative_gap", "objective", "best_bound", "processed_nodes",
  // "iterations" and "solve_time"; NaN where the service had no number.
  std::unordered_map<std::string, double> statistics;
  // Values, dual values and reduced costs by the names of the uploaded file.
  SolutionData solution;
  // The details reply's "solution_status_v2".
  std::string solution_status_word;
  // The last status read ("done", "error: REASON", and from the fetch of an earlier result
  // also "queued" or "calculating"), "invalid_api_key", "api_key_not_set", or empty.
  std::string outcome_text;
  // Why the operation ended without a result, as its client log showed it (a catalogue text,
  // then the reason: "Ошибка: Http result : 404"); empty when nothing failed.
  std::string failure_text;
};

}  // namespace velorium::nimbrova
