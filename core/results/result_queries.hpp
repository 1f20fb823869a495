// Queries that every solve result answers the same way, through nothing but its own look-ups
// by name: shared by the local result and the remote result.
#pragma once

#include "core/base/error_info_base.hpp"
#include "core/records/expression.hpp"
#include "velorium/velorium.hpp"

namespace velorium::cpp_impl {

class ModelBuilder;

using SolveResultBase = ErrorInfoBase<ISolveResultEx>;

// The bodies of GetVariableValue, GetDualValue and GetReducedCost: the look-up by name of the
// member's name (which clears and sets the result's error information). When the member's
// handle fails, its error code and text become the result's and the value is 0; a member
// without a name has no value (0, no error); a null member is looked up as a null name.
double variable_value_of(SolveResultBase& result, IVariable* variable);
double dual_value_of(SolveResultBase& result, IConstraint* constraint);
double reduced_cost_of(SolveResultBase& result, IVariable* variable);

// Sum of coefficient times value over the linear terms, of coefficient times the product of
// the two values over the quadratic terms, plus the constant. A variable's value is the
// result's GetVariableValueByName of its name in `store`; a variable without a name counts 0.
// Throws velorium_exception: 116 for a term of a removed variable, 110 for one outside the
// store, or the failure of a look-up.
double evaluate_expression(SolveResultBase& result, const Expression& expression, ModelBuilder& store);

// The bodies of GetExpressionValueLinear and GetExpressionValueQuad: clear; 518 for an
// imprecise solution; 391 for an object that is not an expression of the library of that
// kind; else the value of the terms the object shows, in the store it refers to. Every failure
// is stored in the result with 0 as the value.
double linear_expression_value(SolveResultBase& result, ILinearExpression* expression);
double quad_expression_value(SolveResultBase& result, IQuadExpression* expression);

}  // namespace velorium::cpp_impl
