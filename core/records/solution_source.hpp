// A solution held by name: what a solver or the calculation service returned, with maps from
// names to values built once, on the first look-up by name.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/names/fnv1a_hash.hpp"

namespace velorium {

using ValueByName = std::unordered_map<std::string, double, Fnv1aHash, std::equal_to<>>;

// Whoever produces the solution fills the five sequences and then hands the source out
// unchanged, so the maps never go stale. column_names holds at least as many names as values
// and reduced_costs hold numbers, and row_names at least as many as duals.
struct SolutionSource {
  std::vector<std::string> column_names;
  std::vector<std::string> row_names;
  std::vector<double> values;
  std::vector<double> duals;
  std::vector<double> reduced_costs;

  std::once_flag index_once;
  ValueByName values_by_name;
  ValueByName duals_by_name;
  ValueByName reduced_costs_by_name;
};

// Builds the three maps once; safe from several threads (the others wait for the builder).
// A name that occurs twice keeps the number of its first position. When building fails, the
// next call starts again from scratch.
void ensure_solution_index(SolutionSource& source);

}  // namespace velorium
