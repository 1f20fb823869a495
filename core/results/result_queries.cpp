#include "core/results/result_queries.hpp"

#include <cmath>

#include "core/base/catalogue_error.hpp"
#include "core/base/kernel.hpp"
#include "core/expressions/linear_expression_impl.hpp"
#include "core/expressions/quad_expression_impl.hpp"
#include "core/names/names_holder.hpp"
#include "core/store/model_builder.hpp"
#include "core/text/message_catalogue.hpp"

namespace velorium::cpp_impl {

namespace {

template <class Member, class Lookup>
double value_by_member_name(SolveResultBase& result, Member* member, Lookup lookup) {
  if (!member) return lookup(nullptr);
  const char* name = member->GetName();
  if (!name) {
    result.SetError(member->GetErrorText(), member->GetErrorCode());
    return 0.0;
  }
  return lookup(name);
}

// The value of store variable `index` at the solution.
double variable_value_in(SolveResultBase& result, ModelBuilder& store, std::int32_t index) {
  if (store.column_table.is_removed_checked(index)) throw_catalogue_error(116);
  const char* name = kernel_names_holder().names_holder_get(store.column_table.records[index].name_id);
  if (!name) return 0.0;
  const double value = result.GetVariableValueByName(name);
  if (result.GetErrorCode() != 0) throw velorium_exception(result.GetErrorCode(), result.GetErrorText());
  return value;
}

}  // namespace

double variable_value_of(SolveResultBase& result, IVariable* variable) {
  return value_by_member_name(result, variable, [&](const char* name) { return result.GetVariableValueByName(name); });
}

double dual_value_of(SolveResultBase& result, IConstraint* constraint) {
  return value_by_member_name(result, constraint, [&](const char* name) { return result.GetDualValueByName(name); });
}

double reduced_cost_of(SolveResultBase& result, IVariable* variable) {
  return value_by_member_name(result, variable, [&](const char* name) { return result.GetReducedCostByName(name); });
}

double evaluate_expression(SolveResultBase& result, const Expression& expression, ModelBuilder& store) {
  double value = 0.0;
  for (const LinearTerm& term : expression.linear_terms) {
    value += term.coefficient * variable_value_in(result, store, term.variable);
  }
  for (const QuadTerm& term : expression.quadratic_terms) {
    const double first = variable_value_in(result, store, term.variable1);
    const double second = variable_value_in(result, store, term.variable2);
    value += term.coefficient * first * second;
  }
  return value + expression.constant;
}

namespace {

// Runs an expression query under the result's error protocol.
template <class Impl, class Expr>
double expression_query(SolveResultBase& result, Expr* expression) noexcept {
  result.SetError("", 0);
  try {
    if (result.GetSolutionStatus() == solution_status::imprecise) throw_catalogue_error(518);
    auto* impl = dynamic_cast<Impl*>(expression);
    if (!impl) throw_catalogue_error(391);
    const Expression& terms = impl->store()->get_terms();
    const std::shared_ptr<ModelBuilder> store = impl->store()->model();
    if (!store) {
      // Only an expression that never had a term has no model: its value is its constant.
      if (!terms.linear_terms.empty() || !terms.quadratic_terms.empty()) throw_catalogue_error(391);
      return terms.constant;
    }
    return evaluate_expression(result, terms, *store);
  } catch (...) {
    try {
      throw;
    } catch (const velorium_exception& e) {
      result.SetError(e.what(), e.code());
    } catch (const std::exception& e) {
      result.SetError(e.what(), -1);
    } catch (...) {
      result.SetError("Unknown error", -1);
    }
  }
  return 0.0;
}

}  // namespace

double linear_expression_value(SolveResultBase& result, ILinearExpression* expression) {
  return expression_query<LinearExpressionImpl>(result, expression);
}

double quad_expression_value(SolveResultBase& result, IQuadExpression* expression) {
  return expression_query<QuadExpressionImpl>(result, expression);
}

}  // namespace velorium::cpp_impl
