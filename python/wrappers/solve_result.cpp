#include "python/wrappers/solve_result.hpp"

namespace velorium {

solve_result SolveFigures::get_solve_result() const { return call(&ISolveResult::GetSolveResult); }
double SolveFigures::get_relative_gap() const { return call(&ISolveResult::GetRelativeGap); }
double SolveFigures::get_objective_value() const { return call(&ISolveResult::GetObjectiveFunctionValue); }
solution_status SolveFigures::get_solution_status() const { return call(&ISolveResult::GetSolutionStatus); }
double SolveFigures::get_solve_time() const { return call(&ISolveResult::GetSolveTime); }
double SolveFigures::get_best_bound() const { return call(&ISolveResult::GetBestBoundValue); }
std::int64_t SolveFigures::get_nodes_count() const { return call(&ISolveResult::GetProcessedNodesCount); }
std::int64_t SolveFigures::get_iterations_count() const { return call(&ISolveResult::GetIterationsCount); }
void SolveFigures::write_solution(const char* path) const { call(&ISolveResult::WriteSolution, path); }

double SolveResult::get_variable_value(const Variable& variable) const {
  return call(&ISolveResult::GetVariableValue, variable.get_interface());
}

double SolveResult::get_variable_value(const char* name) const {
  return call(&ISolveResult::GetVariableValueByName, name);
}

double SolveResult::get_dual_value(const Constraint& constraint) const {
  return call(&ISolveResult::GetDualValue, constraint.get_interface());
}

double SolveResult::get_dual_value(const char* name) const { return call(&ISolveResult::GetDualValueByName, name); }

double SolveResult::get_reduced_cost(const Variable& variable) const {
  return call(&ISolveResult::GetReducedCost, variable.get_interface());
}

double SolveResult::get_reduced_cost(const char* name) const {
  return call(&ISolveResult::GetReducedCostByName, name);
}

double SolveResult::get_expression_value(const LinearExpression& expression) const {
  return call(&ISolveResult::GetExpressionValueLinear, expression.get_interface());
}

double SolveResult::get_expression_value(const QuadExpression& expression) const {
  return call(&ISolveResult::GetExpressionValueQuad, expression.get_interface());
}

ResultArray MatrixSolveResult::array_of(const double* (ISolveResultEx::*operation)(std::uint64_t*)) const {
  // Every result of the library has the array face; anything else is refused, not trusted.
  auto* face = dynamic_cast<ISolveResultEx*>(&object());
  if (!face) throw_missing_object();
  ResultArray array;
  array.values = (face->*operation)(&array.count);
  check_error(face);
  if (!array.values) array.count = 0;
  return array;
}

ResultArray MatrixSolveResult::get_solution_vector() const { return array_of(&ISolveResultEx::GetValuesArray); }

ResultArray MatrixSolveResult::get_reduced_costs_vector() const {
  return array_of(&ISolveResultEx::GetReducedCostsArray);
}

ResultArray MatrixSolveResult::get_dual_values_vector() const { return array_of(&ISolveResultEx::GetDualValuesArray); }

SharedInterface<ISolveResult> fetch_solve_result(const char* calc_uid, const char* name_mapping_file) {
  return make_interface_ptr(CreateSolveResult(calc_uid, name_mapping_file));
}

}  // namespace velorium
