// Constraints from comparisons of variables and expressions. Each is a new free constraint
// holding its own copy of the expression; no operand changes. A number compared with a single
// variable or a linear expression is the right-hand side; every other comparison keeps the
// difference of its two sides with the right-hand side 0 (a quadratic one takes the number
// into its constant).
#pragma once

#include "python/wrappers/constraint.hpp"
#include "python/wrappers/general_constraint.hpp"

namespace velorium {

// 1·v (sense) c.
Constraint compare(const Variable& v, constraint_sense sense, double c);
// v − w (sense) 0.
Constraint compare(const Variable& v, constraint_sense sense, const Variable& w);
// e (sense) c.
Constraint compare(const LinearExpression& e, constraint_sense sense, double c);
// e − v (sense) 0 and e − e2 (sense) 0.
Constraint compare(const LinearExpression& e, constraint_sense sense, const Variable& v);
Constraint compare(const LinearExpression& e, constraint_sense sense, const LinearExpression& e2);
// q − x (sense) 0 for a number, a variable, a linear or a quadratic expression x.
Constraint compare(const QuadExpression& q, constraint_sense sense, double c);
Constraint compare(const QuadExpression& q, constraint_sense sense, const Variable& v);
Constraint compare(const QuadExpression& q, constraint_sense sense, const LinearExpression& e);
Constraint compare(const QuadExpression& q, constraint_sense sense, const QuadExpression& q2);
// The general constraint v = g, without a name.
GeneralConstraint equals(const GeneralExpression& g, const Variable& v);

}  // namespace velorium
