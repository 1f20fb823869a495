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

class MatrixSolveResult : public SolveFigures {
 public:
  using SolveFigures::SolveFigures;
};

}  // namespace velorium
