// Library objects made up by a test: what the real library never hands out (a variable type
// outside the enumeration, a result of any outcome), and a count of releases.
#pragma once

#include <string>
#include <vector>

#include "velorium/velorium.hpp"

namespace velorium::testing {

// Error information that a test sets; a failing operation keeps it.
template <class Interface>
class FakeObject : public Interface {
 public:
  int GetErrorCode() const override { return error_code; }
  const char* GetErrorText() const override { return error_text.c_str(); }
  // The test owns the object: releasing only counts.
  void Release() override { ++releases; }

  int error_code = 0;
  std::string error_text;
  int releases = 0;
};

class FakeVariable : public FakeObject<IVariable> {
 public:
  const char* GetName() override { return name.c_str(); }
  void SetName(const char* text) override { name = text; }
  void SetUpperBound(double value) override { upper = value; }
  double GetUpperBound() override { return upper; }
  void SetLowerBound(double value) override { lower = value; }
  double GetLowerBound() override { return lower; }
  void Remove() override {}
  variable_type GetType() override { return type; }
  void SetType(variable_type value) override { type = value; }

  std::string name = "v";
  double lower = 0.0;
  double upper = 1.0;
  variable_type type = variable_type::continuous;
};

class FakeSolveResult : public FakeObject<ISolveResultEx> {
 public:
  solve_result GetSolveResult() override { return outcome; }
  solution_status GetSolutionStatus() override { return status; }
  double GetRelativeGap() override { return gap; }
  std::int32_t GetIterationsCount() override { return 0; }
  std::int64_t GetProcessedNodesCount() override { return 0; }
  double GetObjectiveFunctionValue() override { return objective; }
  double GetBestBoundValue() override { return bound; }
  double GetSolveTime() override { return 0.0; }
  double GetVariableValueByName(const char*) override { return 0.0; }
  double GetVariableValue(IVariable*) override { return 0.0; }
  double GetDualValueByName(const char*) override { return 0.0; }
  double GetDualValue(IConstraint*) override { return 0.0; }
  double GetReducedCostByName(const char*) override { return 0.0; }
  double GetReducedCost(IVariable*) override { return 0.0; }
  double GetExpressionValueQuad(IQuadExpression*) override { return 0.0; }
  double GetExpressionValueLinear(ILinearExpression*) override { return 0.0; }
  void WriteSolution(const char*) override {}
  const double* GetValuesArray(std::uint64_t* count) override { return array(values, count); }
  const double* GetDualValuesArray(std::uint64_t* count) override { return array(duals, count); }
  const double* GetReducedCostsArray(std::uint64_t* count) override { return array(reduced_costs, count); }

  // Arrays the result holds; empty: none (a null array).
  std::vector<double> values, duals, reduced_costs;
  solve_result outcome = solve_result::success;
  solution_status status = solution_status::optimal;
  double gap = 0.0;
  double objective = 0.0;
  double bound = 0.0;

 private:
  static const double* array(const std::vector<double>& held, std::uint64_t* count) {
    if (count) *count = held.size();
    return held.empty() ? nullptr : held.data();
  }
};

}  // namespace velorium::testing
