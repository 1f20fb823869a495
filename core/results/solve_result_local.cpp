#include "core/results/solve_result_local.hpp"

#include <cmath>
#include <string_view>

#include "core/base/catalogue_error.hpp"
#include "core/results/engine_status.hpp"
#include "core/store/model_builder.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/solution/solution_writer.hpp"

namespace velorium::cpp_impl {

namespace {

constexpr const char* kNullName = "null";

const std::vector<double>& source_sequence(const SolutionSource& source, bool values, bool duals) {
  return values ? source.values : duals ? source.duals : source.reduced_costs;
}

}  // namespace

SolveResultLocal::SolveResultLocal(std::shared_ptr<ModelBuilder> store, std::unique_ptr<SolvePipeline> pipeline,
                                   const std::vector<std::int32_t>& variable_map,
                                   const std::vector<std::int32_t>& row_map)
    : store_(std::move(store)),
      solution_(pipeline->GetSolution()),
      same_indices_(variable_map.empty() && row_map.empty()),
      info_(pipeline->GetInfo()) {
  info_.relative_gap = corrected_relative_gap(info_);
  pipeline.reset();
}

solve_result SolveResultLocal::GetSolveResult() { return solve_result_from_status(GetSolutionStatus()); }

solution_status SolveResultLocal::GetSolutionStatus() {
  clear_error();
  return solution_status_from_engine(info_.model_status, info_.objective_value);
}

double SolveResultLocal::GetRelativeGap() {
  clear_error();
  return info_.relative_gap;
}

std::int32_t SolveResultLocal::GetIterationsCount() {
  clear_error();
  return info_.iterations;
}

std::int64_t SolveResultLocal::GetProcessedNodesCount() {
  clear_error();
  return info_.processed_nodes;
}

double SolveResultLocal::GetObjectiveFunctionValue() {
  clear_error();
  return info_.objective_value;
}

double SolveResultLocal::GetBestBoundValue() {
  clear_error();
  return info_.best_bound;
}

double SolveResultLocal::GetSolveTime() {
  clear_error();
  return info_.solve_time;
}

const ValueByName& SolveResultLocal::map_of(Part part) {
  if (solution_.source) {
    SolutionSource& source = *solution_.source;
    ensure_solution_index(source);
    switch (part) {
      case Part::values:
        return source.values_by_name;
      case Part::duals:
        return source.duals_by_name;
      case Part::reduced_costs:
        return source.reduced_costs_by_name;
    }
  }
  switch (part) {
    case Part::values:
      return solution_.values;
    case Part::duals:
      return solution_.duals;
    case Part::reduced_costs:
      break;
  }
  return solution_.reduced_costs;
}

double SolveResultLocal::lookup(Part part, const char* name) {
  return guarded(0.0, [&] {
    if (GetSolutionStatus() == solution_status::imprecise) throw_catalogue_error(518);
    if (!name) throw_catalogue_error(part == Part::duals ? 135 : 136, kNullName);
    if (part != Part::values && map_of(Part::duals).empty() && map_of(Part::reduced_costs).empty()) {
      throw_catalogue_error(part == Part::duals ? 389 : 390);
    }
    const ValueByName& map = map_of(part);
    const auto found = map.find(std::string_view(name));
    return found == map.end() ? 0.0 : found->second;
  });
}

double SolveResultLocal::GetVariableValueByName(const char* var_name) { return lookup(Part::values, var_name); }

double SolveResultLocal::GetVariableValue(IVariable* var) { return variable_value_of(*this, var); }

double SolveResultLocal::GetDualValueByName(const char* constraint_name) {
  return lookup(Part::duals, constraint_name);
}

double SolveResultLocal::GetDualValue(IConstraint* constraint) { return dual_value_of(*this, constraint); }

double SolveResultLocal::GetReducedCostByName(const char* var_name) { return lookup(Part::reduced_costs, var_name); }

double SolveResultLocal::GetReducedCost(IVariable* var) { return reduced_cost_of(*this, var); }

double SolveResultLocal::GetExpressionValueQuad(IQuadExpression* expr) { return quad_expression_value(*this, expr); }

double SolveResultLocal::GetExpressionValueLinear(ILinearExpression* expr) {
  return linear_expression_value(*this, expr);
}

void SolveResultLocal::WriteSolution(const char* file_name) {
  guarded([&] {
    if (GetSolutionStatus() == solution_status::imprecise) throw_catalogue_error(518);
    if (!file_name || !writeSolutionFile(solution_, file_name)) {
      throw_catalogue_error(392, file_name ? file_name : kNullName);
    }
  });
}

const double* SolveResultLocal::GetValuesArray(std::uint64_t* count) { return array_of(Part::values, count); }

const double* SolveResultLocal::GetDualValuesArray(std::uint64_t* count) { return array_of(Part::duals, count); }

const double* SolveResultLocal::GetReducedCostsArray(std::uint64_t* count) {
  return array_of(Part::reduced_costs, count);
}

const double* SolveResultLocal::array_of(Part part, std::uint64_t* count) {
  if (GetSolutionStatus() == solution_status::imprecise) {
    if (count) *count = 0;
    return nullptr;
  }
  if (same_indices_ && solution_.source) {
    const std::vector<double>& sequence =
        source_sequence(*solution_.source, part == Part::values, part == Part::duals);
    if (part == Part::values || !sequence.empty()) {
      if (count) *count = sequence.size();
      return sequence.empty() ? nullptr : sequence.data();
    }
  }
  if (count) *count = 0;
  if (std::isnan(info_.objective_value)) return nullptr;
  std::vector<double>& cache =
      part == Part::values ? values_cache_ : part == Part::duals ? duals_cache_ : reduced_costs_cache_;
  if (cache.empty()) {
    try {
      build_array(part, cache);
    } catch (...) {
      cache.clear();
      store_current_exception();
      return nullptr;
    }
  }
  if (count) *count = cache.size();
  return cache.empty() ? nullptr : cache.data();
}

void SolveResultLocal::build_array(Part part, std::vector<double>& cache) {
  const bool rows = part == Part::duals;
  cache.assign(static_cast<std::size_t>(rows ? store_->row_count() : store_->variable_count()), 0.0);
  for (const auto& [name, value] : map_of(part)) {
    const std::int32_t index = rows ? store_->find_constraint_index(name) : store_->find_variable_index(name);
    const std::int32_t position =
        rows ? store_->row_table.position_of_index(index) : store_->column_table.position_of_index(index);
    // A live member has a position inside the array; anything else is never written.
    if (position >= 0 && static_cast<std::size_t>(position) < cache.size()) {
      cache[static_cast<std::size_t>(position)] = value;
    }
  }
}

}  // namespace velorium::cpp_impl
