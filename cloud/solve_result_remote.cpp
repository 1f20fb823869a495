#include "cloud/solve_result_remote.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "cloud/client_log.hpp"
#include "cloud/nimbrova_client.hpp"
#include "cloud/remote_failure.hpp"
#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "core/text/message_catalogue.hpp"
#include "core/text/text_utils.hpp"
#include "formats/common/file_failures.hpp"
#include "formats/solution/solution_writer.hpp"

namespace velorium::cpp_impl {

namespace {

constexpr int kImprecise = 518;
constexpr int kNoDuals = 389;
constexpr int kNoReducedCosts = 390;
constexpr int kWriteFailed = 392;
constexpr int kRowMissing = 135;
constexpr int kVariableMissing = 136;
constexpr int kUnreadableFile = 117;
constexpr int kError = 170;

constexpr const char* kNullName = "null";
constexpr std::string_view kDone = "done";
// The outcome of a calculation cancelled at the service, at the caller's request (an interrupt,
// or a program's own cancel).
constexpr std::string_view kCancelled = "error: CANCELLED";
constexpr const char* kCancelledText = "The calculation was cancelled at the caller's request.";

const std::unordered_map<std::string_view, solution_status>& solution_status_by_name() {
  static const std::unordered_map<std::string_view, solution_status> table = {
      {"invalid_solution", solution_status::invalid_solution},
      {"optimal", solution_status::optimal},
      {"feasible", solution_status::feasible},
      {"infeasible", solution_status::infeasible},
      {"unbounded", solution_status::unbounded},
      {"infeasible_or_unbounded", solution_status::infeasible_or_unbounded},
      {"imprecise", solution_status::imprecise},
  };
  return table;
}

const std::unordered_map<std::string_view, solve_result>& solve_result_by_outcome() {
  static const std::unordered_map<std::string_view, solve_result> table = {
      {"done", solve_result::success},
      {"invalid_api_key", solve_result::remote_invalid_api_key},
      {"api_key_not_set", solve_result::remote_api_key_not_set},
      {"error: TIME_AMOUNT_IS_OVER", solve_result::remote_time_amount_is_over},
      {"error: TIME_PER_CALC_VIOLATED", solve_result::remote_time_per_calc_violated},
      {"error: SOLVER_POD_FAILED", solve_result::remote_fail},
      {"error: CALCULATION_FAILED", solve_result::remote_fail},
  };
  return table;
}

// The word of a solution status, as the details reply gives it.
const char* status_word(solution_status status) {
  for (const auto& [word, code] : solution_status_by_name()) {
    if (code == status) return word.data();
  }
  return "invalid_solution";
}

// A number truncated toward zero into Integer; 0 when it is not a number or out of range.
template <class Integer>
Integer count_of(double value) {
  constexpr double limit = -static_cast<double>(std::numeric_limits<Integer>::min());  // 2^(bits-1)
  if (!(value > -limit - 1.0 && value < limit)) return 0;
  return static_cast<Integer>(std::trunc(value));
}

ValueByName renamed(ValueByName& entries, const NameMap& written_to_model) {
  ValueByName result;
  result.reserve(entries.size());
  for (auto& [name, value] : entries) {
    const auto found = written_to_model.find(name);
    result[found == written_to_model.end() ? name : found->second] = value;
  }
  return result;
}


// Puts the k-th number at the k-th live member's position (members in store order).
template <class Table>
void place_in_store_order(const Table& table, const std::vector<double>& numbers, std::vector<double>& array) {
  std::size_t k = 0;
  for (std::int32_t index = 0, records = table.record_count(); index < records && k < numbers.size(); ++index) {
    if (table.is_removed(index)) continue;
    const std::int32_t position = table.position_of_index(index);
    if (position >= 0 && static_cast<std::size_t>(position) < array.size()) {
      array[static_cast<std::size_t>(position)] = numbers[k];
    }
    ++k;
  }
}

// The store index of the member named `name`, or -1.
template <class Table>
std::int32_t find_member(Table& table, const std::string& name) {
  const VeloriumNamesHolder& pool = kernel_names_holder();
  table.ensure_index(pool);
  const std::int32_t* found = table.find(pool, name);
  return found ? *found : -1;
}

// Puts each (name, number) entry at its member's position in `array`. The service lists the
// members in the order of the written file, which is the store's order of the live members:
// an entry whose name is that of the next live member there takes it at once, any other is
// looked up by name. Where a name occurs twice, the first entry stays; names the model lacks
// are skipped.
template <class Table>
void place_in_file_order(Table& table, const std::vector<std::string>& names, const std::vector<double>& numbers,
                         std::vector<double>& array) {
  const VeloriumNamesHolder& pool = kernel_names_holder();
  std::vector<bool> placed(array.size(), false);
  const std::int32_t records = table.record_count();
  std::int32_t next = 0;
  for (std::size_t k = 0, count = std::min(names.size(), numbers.size()); k < count; ++k) {
    while (next < records && table.is_removed(next)) ++next;
    std::int32_t index = -1;
    if (next < records) {
      const std::string_view text = pool.name_view(name_id_of(table.records[static_cast<std::size_t>(next)]));
      if (text.data() && names[k] == text) index = next++;
    }
    if (index < 0) index = find_member(table, names[k]);
    if (index < 0) continue;
    const std::int32_t position = table.position_of_index(index);
    if (position < 0 || static_cast<std::size_t>(position) >= array.size() || placed[static_cast<std::size_t>(position)]) {
      continue;
    }
    array[static_cast<std::size_t>(position)] = numbers[k];
    placed[static_cast<std::size_t>(position)] = true;
  }
}

}  // namespace

SolveResultRemote::SolveResultRemote(const std::string& calc_uid, const std::string& name_map_file) {
  get_or_create_kernel();
  if (calc_uid.empty()) {
    calculation_.failure_text = nimbrova::failure_text(kError, "no calculation identifier was given");
    return;
  }
  // Without its map, every member the writer renamed would have no value: nothing is fetched.
  if (!name_map_file.empty()) {
    const std::string reason = unreadableFileReason(name_map_file.c_str());
    if (!reason.empty()) {
      calculation_.failure_text = formatString(get_message(kUnreadableFile), name_map_file.c_str()) + ": " + reason;
      return;
    }
  }
  nimbrova::Client client(nullptr, nimbrova::RemoteParameters(), nullptr);
  calculation_ = client.get_result(calc_uid);
  if (!name_map_file.empty()) apply_name_mapping(readNameMap(name_map_file, kNameMapGeneratedToModel));
}

SolveResultRemote::SolveResultRemote(std::shared_ptr<ModelBuilder> store, nimbrova::RemoteCalculationResult calculation,
                                     const NameMap& written_to_model)
    : model_(std::move(store)), calculation_(std::move(calculation)) {
  apply_name_mapping(written_to_model);
  if (holds_solution()) {
    const std::optional<std::string> missing = first_missing_column();
    if (missing) {
      // Reported as every other reply the client cannot read: in its log, and as a result
      // without one.
      const std::string reason =
          "the calculation's result text holds no value for the column [" + *missing + "] of the uploaded model";
      nimbrova::log_line(get_message(kError) + nimbrova::printable_service_text(reason) + "\n");
      nimbrova::RemoteCalculationResult failed;
      failed.failure_text = nimbrova::failure_text(kError, reason);
      calculation_ = std::move(failed);
    }
  }
}

std::optional<std::string> SolveResultRemote::first_missing_column() {
  const VeloriumNamesHolder& pool = kernel_names_holder();
  auto& table = model_->column_table;
  const auto name_of = [&](std::int32_t index) {
    const std::string_view name = pool.name_view(name_id_of(table.records[static_cast<std::size_t>(index)]));
    return name.data() ? name : std::string_view();
  };
  const std::int32_t records = table.record_count();
  // The service lists the columns in the order of the written file, the store's order of the
  // live columns: then one pass compares the names.
  if (const SolutionSource* source = calculation_.solution.source.get()) {
    const std::vector<std::string>& names = source->column_names;
    std::size_t k = 0;
    std::int32_t index = 0;
    for (; index < records; ++index) {
      if (table.is_removed(index)) continue;
      if (k >= names.size() || names[k] != name_of(index)) break;
      ++k;
    }
    if (index == records) {
      columns_in_file_order_ = ColumnsChecked{records, table.removed_count};
      return std::nullopt;
    }
  }
  const ValueByName& values = map_of(Part::values);
  for (std::int32_t index = 0; index < records; ++index) {
    if (table.is_removed(index)) continue;
    const std::string_view name = name_of(index);
    if (values.find(name) == values.end()) return std::string(name);
  }
  return std::nullopt;
}

void SolveResultRemote::apply_name_mapping(const NameMap& written_to_model) {
  if (written_to_model.empty()) return;
  SolutionData& solution = calculation_.solution;
  if (solution.source) {
    // Before any look-up by name has built the source's maps.
    for (std::vector<std::string>* names : {&solution.source->column_names, &solution.source->row_names}) {
      for (std::string& name : *names) {
        const auto found = written_to_model.find(name);
        if (found != written_to_model.end()) name = found->second;
      }
    }
    return;
  }
  solution.values = renamed(solution.values, written_to_model);
  solution.duals = renamed(solution.duals, written_to_model);
  solution.reduced_costs = renamed(solution.reduced_costs, written_to_model);
}

const ValueByName& SolveResultRemote::map_of(Part part) {
  SolutionData& solution = calculation_.solution;
  if (solution.source) {
    ensure_solution_index(*solution.source);
    return part == Part::values ? solution.source->values_by_name
           : part == Part::duals ? solution.source->duals_by_name
                                 : solution.source->reduced_costs_by_name;
  }
  return part == Part::values ? solution.values : part == Part::duals ? solution.duals : solution.reduced_costs;
}

bool SolveResultRemote::holds(Part part) const {
  const SolutionData& solution = calculation_.solution;
  if (part == Part::values) return true;
  if (const SolutionSource* source = solution.source.get()) {
    return !(part == Part::duals ? source->duals : source->reduced_costs).empty();
  }
  return !(part == Part::duals ? solution.duals : solution.reduced_costs).empty();
}

solution_status SolveResultRemote::status() const {
  const auto found = solution_status_by_name().find(calculation_.solution_status_word);
  return found == solution_status_by_name().end() ? solution_status::invalid_solution : found->second;
}

bool SolveResultRemote::holds_solution() const {
  if (calculation_.outcome_text != kDone) return false;
  const solution_status found = status();
  return found == solution_status::optimal || found == solution_status::feasible ||
         found == solution_status::imprecise;
}

std::string SolveResultRemote::no_outcome_text() const {
  if (!calculation_.failure_text.empty()) return calculation_.failure_text;
  return nimbrova::failure_text(kError, "the remote calculation gave no result: outcome [" + calculation_.outcome_text + "]");
}

std::string SolveResultRemote::no_solution_text() const {
  const std::string& outcome = calculation_.outcome_text;
  std::string why;
  if (outcome == kCancelled) {
    why = kCancelledText;
  } else if (outcome == kDone) {
    why = std::string("the calculation ended with the solution status ") + status_word(status());
  } else if (calculation_.failure_text.empty() && solve_result_by_outcome().count(outcome) != 0) {
    why = "the calculation ended with " + outcome;
  } else {
    why = no_outcome_text();
  }
  return "The result holds no solution: " + why;
}

double SolveResultRemote::statistic(const char* key) const {
  const auto found = calculation_.statistics.find(key);
  return found == calculation_.statistics.end() ? std::numeric_limits<double>::quiet_NaN() : found->second;
}

solve_result SolveResultRemote::GetSolveResult() {
  clear_error();
  if (status() == solution_status::imprecise) return solve_result::fail;
  const std::string& outcome = calculation_.outcome_text;
  // Two ends of a calculation that are no failure of this query: `fail`, and a text that says
  // why with code 0.
  if (outcome == kCancelled) {
    SetError(kCancelledText, 0);
    return solve_result::fail;
  }
  const auto found = solve_result_by_outcome().find(outcome);
  if (found == solve_result_by_outcome().end()) {
    SetError(no_outcome_text().c_str(), -1);
    return solve_result::fail;
  }
  if (found->second == solve_result::success && status() == solution_status::invalid_solution) {
    // As a local result: a calculation that ended without a solution (a time limit reached
    // before one was found) did not succeed.
    SetError("The calculation ended without a solution (solution status invalid_solution).", 0);
    return solve_result::fail;
  }
  return found->second;
}

solution_status SolveResultRemote::GetSolutionStatus() {
  clear_error();
  return status();
}

double SolveResultRemote::GetRelativeGap() {
  clear_error();
  return statistic("relative_gap");
}

std::int32_t SolveResultRemote::GetIterationsCount() {
  clear_error();
  return count_of<std::int32_t>(statistic("iterations"));
}

std::int64_t SolveResultRemote::GetProcessedNodesCount() {
  clear_error();
  return count_of<std::int64_t>(statistic("processed_nodes"));
}

double SolveResultRemote::GetObjectiveFunctionValue() {
  clear_error();
  return statistic("objective");
}

double SolveResultRemote::GetBestBoundValue() {
  clear_error();
  return statistic("best_bound");
}

double SolveResultRemote::GetSolveTime() {
  clear_error();
  return statistic("solve_time");
}

double SolveResultRemote::lookup(Part part, const char* name) {
  return guarded(0.0, [&] {
    if (status() == solution_status::imprecise) throw_catalogue_error(kImprecise);
    // No value ever stands in for one the result lacks: 0.0 would pass for a real one.
    if (!holds_solution()) throw velorium_exception(-1, no_solution_text().c_str());
    // A result without dual values or reduced costs (a MIP's, or a solver's that gave only one
    // of the two) says so.
    if (!holds(part)) throw_catalogue_error(part == Part::duals ? kNoDuals : kNoReducedCosts);
    const int missing = part == Part::duals ? kRowMissing : kVariableMissing;
    if (!name) throw_catalogue_error(missing, kNullName);
    const ValueByName& map = map_of(part);
    const auto found = map.find(std::string_view(name));
    // A result with a solution holds every column of its model: a name it lacks is a
    // misspelt one or another model's.
    if (found == map.end()) throw_catalogue_error(missing, name);
    return found->second;
  });
}

double SolveResultRemote::GetVariableValueByName(const char* var_name) { return lookup(Part::values, var_name); }

double SolveResultRemote::GetVariableValue(IVariable* var) { return variable_value_of(*this, var); }

double SolveResultRemote::GetDualValueByName(const char* constraint_name) {
  return lookup(Part::duals, constraint_name);
}

double SolveResultRemote::GetDualValue(IConstraint* constraint) { return dual_value_of(*this, constraint); }

double SolveResultRemote::GetReducedCostByName(const char* var_name) { return lookup(Part::reduced_costs, var_name); }

double SolveResultRemote::GetReducedCost(IVariable* var) { return reduced_cost_of(*this, var); }

double SolveResultRemote::GetExpressionValueQuad(IQuadExpression* expr) { return quad_expression_value(*this, expr); }

double SolveResultRemote::GetExpressionValueLinear(ILinearExpression* expr) {
  return linear_expression_value(*this, expr);
}

void SolveResultRemote::WriteSolution(const char* file_name) {
  guarded([&] {
    if (status() == solution_status::imprecise) throw_catalogue_error(kImprecise);
    SolutionData solution = calculation_.solution;
    solution.write_zeros = true;
    if (!file_name || !writeSolutionFile(solution, file_name)) throw_catalogue_error(kWriteFailed, file_name ? file_name : kNullName);
  });
}

const double* SolveResultRemote::GetValuesArray(std::uint64_t* count) { return array_of(Part::values, count); }

const double* SolveResultRemote::GetDualValuesArray(std::uint64_t* count) { return array_of(Part::duals, count); }

const double* SolveResultRemote::GetReducedCostsArray(std::uint64_t* count) {
  return array_of(Part::reduced_costs, count);
}

const double* SolveResultRemote::array_of(Part part, std::uint64_t* count) {
  clear_error();
  if (count) *count = 0;
  if (status() == solution_status::imprecise) return nullptr;
  if (!holds_solution()) {
    SetError(no_solution_text().c_str(), -1);
    return nullptr;
  }
  if (std::isnan(statistic("objective")) || !model_) return nullptr;
  // No array of zeros for data the result does not hold.
  if (!holds(part)) return nullptr;
  std::vector<double>& cache = part == Part::values ? values_array_ : part == Part::duals ? duals_array_ : reduced_costs_array_;
  if (cache.empty()) {
    try {
      const bool rows = part == Part::duals;
      cache.assign(static_cast<std::size_t>(rows ? model_->row_count() : model_->variable_count()), 0.0);
      if (const std::shared_ptr<SolutionSource>& source = calculation_.solution.source) {
        const std::vector<double>& numbers =
            part == Part::values ? source->values : rows ? source->duals : source->reduced_costs;
        if (rows) {
          place_in_file_order(model_->row_table, source->row_names, numbers, cache);
        } else if (columns_in_file_order_ && columns_in_file_order_->records == model_->column_table.record_count() &&
                   columns_in_file_order_->removed == model_->column_table.removed_count) {
          // The check found every live column in the file's order and none came or went since:
          // the k-th number is the k-th live column's, no name to compare again.
          place_in_store_order(model_->column_table, numbers, cache);
        } else {
          place_in_file_order(model_->column_table, source->column_names, numbers, cache);
        }
      } else {
        for (const auto& [name, value] : map_of(part)) {
          const std::int32_t index = rows ? find_member(model_->row_table, name) : find_member(model_->column_table, name);
          if (index < 0) continue;  // not a member of the model: skipped
          const std::int32_t position =
              rows ? model_->row_table.position_of_index(index) : model_->column_table.position_of_index(index);
          if (position >= 0 && static_cast<std::size_t>(position) < cache.size()) {
            cache[static_cast<std::size_t>(position)] = value;
          }
        }
      }
    } catch (...) {
      cache.clear();
      store_current_exception();
      return nullptr;
    }
  }
  if (cache.empty()) return nullptr;
  if (count) *count = cache.size();
  return cache.data();
}

}  // namespace velorium::cpp_impl
