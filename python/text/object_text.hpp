// How the module's objects read as text (their Python __repr__). Every rendering reads the
// object through the value classes, so a failure the library reports on the way throws
// velorium_exception and no partial text is given.
#pragma once

#include <string>

#include "python/wrappers/constraint.hpp"
#include "python/wrappers/general_constraint.hpp"
#include "python/wrappers/general_expression.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"
#include "python/wrappers/solve_result.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

// "Continuous: 0 <= x <= inf".
std::string variable_repr(const Variable& variable);

// The signed terms of one expression store, given its two views: " + 3*x*y  + 2*x + 5".
std::string expression_repr(const LinearExpression& linear, const QuadExpression& quadratic);
// " + 2*x + 5": the linear terms, then the constant unless it is 0.
std::string linear_terms_text(const LinearExpression& linear);
// " + 3*x*y": the quadratic terms.
std::string quad_terms_text(const QuadExpression& quadratic);

// "c1: 0 <= + 1*x + 2*y <= 10".
std::string constraint_repr(const Constraint& constraint);

// An infix formula: "x+2*y-3", "sqrt(x+1)", "pow(x, 2)".
std::string general_expression_repr(const GeneralExpression& expression);
// The formula as an operand: in parentheses for a minus or plus node.
std::string operand_text(const GeneralExpression& expression);
// "gc: y == sqrt(x+1)".
std::string general_constraint_repr(const GeneralConstraint& constraint);

// The short report of a result, successful or not. It never throws for a failure the result
// reports: a result without an outcome reads "Solve is not successful. Reason: " and the
// result's text of why (so a debugger or a print always shows it).
std::string solve_result_repr(const SolveFigures& result);
std::string solution_status_text(solution_status status);

}  // namespace velorium
