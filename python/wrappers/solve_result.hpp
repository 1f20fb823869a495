// The module's values of a library solve result: SolveResult (a model's result) and
// MatrixSolveResult (a matrix model's result, whose arrays come from the ISolveResultEx face
// of the same object). Both share the figures of a solve.
#pragma once

#include <cstdint>

#include "python/wrappers/constraint.hpp"
#include "python/wrappers/interface_value.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

// The figures every result has.
class SolveFigures : public InterfaceValue<ISolveResult> {
 public:
  using InterfaceValue::InterfaceValue;

  solve_result get_solve_result() const;
  double get_relative_gap() const;
  double get_objective_value() const;
  solution_status get_solution_status() const;
  double get_solve_time() const;
  double get_best_bound() const;
  std::int64_t get_nodes_count() const;
  std::int64_t get_iterations_count() const;
  void write_solution(const char* path) const;
};

class SolveResult : public SolveFigures {
 public:
  using SolveFigures::SolveFigures;

  double get_variable_value(const Variable& variable) const;
  double get_variable_value(const char* name) const;
  double get_dual_value(const Constraint& constraint) const;
  double get_dual_value(const char* name) const;
  double get_reduced_cost(const Variable& variable) const;
  double get_reduced_cost(const char* name) const;
  double get_expression_value(const LinearExpression& expression) const;
  double get_expression_value(const QuadExpression& expression) const;
};

// A library array of the result: it belongs to the result object.
struct ResultArray {
  const double* values = nullptr;
  std::uint64_t count = 0;
};

class MatrixSolveResult : public SolveFigures {
 public:
  using SolveFigures::SolveFigures;

  // The values and reduced costs of all variables, the dual values of all constraints, in the
  // model's order; none when the result holds no such data (a result fetched by its
  // calculation's identifier holds none). A failure the result reports throws.
  ResultArray get_solution_vector() const;
  ResultArray get_reduced_costs_vector() const;
  ResultArray get_dual_values_vector() const;

 private:
  ResultArray array_of(const double* (ISolveResultEx::*operation)(std::uint64_t*)) const;
};

// The result of an earlier remote calculation (CreateSolveResult): it asks the calculation
// service at once; a failure shows in the result's outcome, never as an exception.
SharedInterface<ISolveResult> fetch_solve_result(const char* calc_uid, const char* name_mapping_file);

}  // namespace velorium
