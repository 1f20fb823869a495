// The result of a remote calculation: the library's result interfaces over what the service
// returned, keyed by the model's own names.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cloud/remote_calculation_result.hpp"
#include "core/results/result_queries.hpp"
#include "formats/namemap/name_map_file.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// Outcome texts become solve_result codes ("done" success, the two key failures, and the
// service's error reasons), solution status words solution_status codes. GetSolveResult:
//  - `fail` with code 0 and a text that says why for a calculation cancelled at the caller's
//    request ("error: CANCELLED") and for one that ended "done" without a solution
//    (invalid_solution), as a local result;
//  - `fail` with code -1 when the calculation gave no outcome: the text is what the client
//    logged for the failure (a catalogue text, then the reason), or names the outcome.
// Only a result that ended "done" with an optimal, feasible or imprecise solution holds one;
// every value query and array of any other fails with a text that says why. A name the
// solution does not hold fails with 136 (variables) or 135 (rows), a null name too. An
// imprecise solution makes every value query and WriteSolution fail (518) and the arrays null.
// Counts read from statistics that are missing, not a number or out of range are 0.
class SolveResultRemote final : public SolveResultBase {
 public:
  // The result of an earlier calculation, fetched from the service now (nothing for an empty
  // identifier, whose result says so as its failure); the name-map file (may be empty) renames the solution's entries, which
  // otherwise keep the names of the uploaded file. A map that cannot be read fails the result
  // (117 with the system's reason) before anything is sent. Has no model, so no arrays.
  SolveResultRemote(const std::string& calc_uid, const std::string& name_map_file);
  // The result of the model's own remote solve: `written_to_model` gives the model's name of
  // every written name that differs from it. A solution that lacks a column of the model is
  // no result: it is logged (170 and the column) and the result holds that failure.
  SolveResultRemote(std::shared_ptr<ModelBuilder> store, nimbrova::RemoteCalculationResult calculation,
                    const NameMap& written_to_model);

  solve_result GetSolveResult() override;
  solution_status GetSolutionStatus() override;
  double GetRelativeGap() override;
  std::int32_t GetIterationsCount() override;
  std::int64_t GetProcessedNodesCount() override;
  double GetObjectiveFunctionValue() override;
  double GetBestBoundValue() override;
  double GetSolveTime() override;
  double GetVariableValueByName(const char* var_name) override;
  double GetVariableValue(IVariable* var) override;
  double GetDualValueByName(const char* constraint_name) override;
  double GetDualValue(IConstraint* constraint) override;
  double GetReducedCostByName(const char* var_name) override;
  double GetReducedCost(IVariable* var) override;
  double GetExpressionValueQuad(IQuadExpression* expr) override;
  double GetExpressionValueLinear(ILinearExpression* expr) override;
  void WriteSolution(const char* file_name) override;
  const double* GetValuesArray(std::uint64_t* count) override;
  const double* GetDualValuesArray(std::uint64_t* count) override;
  const double* GetReducedCostsArray(std::uint64_t* count) override;

  const nimbrova::RemoteCalculationResult& calculation() const noexcept { return calculation_; }

 private:
  enum class Part { values, duals, reduced_costs };

  // Re-keys the solution's entries; an entry the map does not know keeps its name.
  void apply_name_mapping(const NameMap& written_to_model);
  // The solution's map of one part: its own, or its source's (built on first use).
  const ValueByName& map_of(Part part);
  // Whether the result holds dual values or reduced costs at all (a MIP's holds neither); asks
  // without building a map by name.
  bool holds(Part part) const;
  // Whether the calculation ended "done" with a solution: optimal, feasible or imprecise.
  bool holds_solution() const;
  // The first live column of the model, in store order, whose (model) name the solution
  // lacks. Notes when the solution lists the columns in their store order.
  std::optional<std::string> first_missing_column();
  // Why GetSolveResult found no outcome; why the value queries have no solution.
  std::string no_outcome_text() const;
  std::string no_solution_text() const;
  double statistic(const char* key) const;
  solution_status status() const;
  double lookup(Part part, const char* name);
  const double* array_of(Part part, std::uint64_t* count);

  // The column table's size when the check found the solution's columns in the file's order,
  // which is the store's order of the live columns.
  struct ColumnsChecked {
    std::int32_t records;
    std::int32_t removed;
  };

  std::shared_ptr<ModelBuilder> model_;
  nimbrova::RemoteCalculationResult calculation_;
  std::optional<ColumnsChecked> columns_in_file_order_;
  std::vector<double> values_array_;
  std::vector<double> duals_array_;
  std::vector<double> reduced_costs_array_;
};

}  // namespace velorium::cpp_impl
