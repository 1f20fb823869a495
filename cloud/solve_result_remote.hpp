// The result of a remote calculation: the library's result interfaces over what the service
// returned, keyed by the model's own names.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cloud/remote_calculation_result.hpp"
#include "core/results/result_queries.hpp"
#include "formats/namemap/name_map_file.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// Outcome texts become solve_result codes ("done" success, the two key failures, and the
// service's error reasons), solution status words solution_status codes. An imprecise
// solution makes every value query, WriteSolution and the arrays fail (518, or null). Counts
// read from statistics that are missing, not a number or out of range are 0.
class SolveResultRemote final : public SolveResultBase {
 public:
  // The result of an earlier calculation, fetched from the service now (nothing for an empty
  // identifier); the name-map file (may be empty) renames the solution's entries, which
  // otherwise keep the names of the uploaded file. Has no model, so no arrays.
  SolveResultRemote(const std::string& calc_uid, const std::string& name_map_file);
  // The result of the model's own remote solve: `written_to_model` gives the model's name of
  // every written name that differs from it.
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
  double statistic(const char* key) const;
  solution_status status() const;
  double lookup(Part part, const char* name);
  const double* array_of(Part part, std::uint64_t* count);

  std::shared_ptr<ModelBuilder> model_;
  nimbrova::RemoteCalculationResult calculation_;
  std::vector<double> values_array_;
  std::vector<double> duals_array_;
  std::vector<double> reduced_costs_array_;
};

}  // namespace velorium::cpp_impl
