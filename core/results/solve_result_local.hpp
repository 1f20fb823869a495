// The result of a local solve.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/engine/solve_pipeline.hpp"
#include "core/results/result_queries.hpp"
#include "formats/solution/solution_data.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

// Copies the solution and the figures out of the pipeline, which it then destroys, and keeps
// the solved model's store alive to turn names into members. Look-ups by name give 0 for a
// name the solution does not hold; an imprecise solution makes them, the expression values and
// WriteSolution fail with 518, and the arrays empty.
//
// The arrays have one entry per member that is live in the store when the array is first
// asked for, each at its position among the live members (as GetVariable and GetConstraint
// number them); a name of the solution that the store does not know fails the array with 136
// (variables) or 135 (rows). Once built, an array stays as it is for the life of the result.
class SolveResultLocal final : public SolveResultBase {
 public:
  // The two index maps of the run (store index to flat index) are empty when the flat model
  // handed to the engine was the working model with nothing removed.
  SolveResultLocal(std::shared_ptr<ModelBuilder> store, std::unique_ptr<SolvePipeline> pipeline,
                   const std::vector<std::int32_t>& variable_map, const std::vector<std::int32_t>& row_map);

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

 private:
  enum class Part { values, duals, reduced_costs };

  // The solution's own maps, or its source's.
  const ValueByName& map_of(Part part);
  double lookup(Part part, const char* name);
  const double* array_of(Part part, std::uint64_t* count);
  void build_array(Part part, std::vector<double>& cache);

  std::shared_ptr<ModelBuilder> store_;
  SolutionData solution_;
  bool same_indices_;
  SolveInfo info_;
  std::vector<double> values_cache_;
  std::vector<double> duals_cache_;
  std::vector<double> reduced_costs_cache_;
};

}  // namespace velorium::cpp_impl
