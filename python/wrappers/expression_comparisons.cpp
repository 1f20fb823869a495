#include "python/wrappers/expression_comparisons.hpp"

#include "python/wrappers/expression_arithmetic.hpp"

namespace velorium {

Constraint compare(const Variable& v, constraint_sense sense, double c) { return Constraint(v * 1.0, sense, c); }

Constraint compare(const Variable& v, constraint_sense sense, const Variable& w) {
  return Constraint(v - w, sense, 0.0);
}

Constraint compare(const LinearExpression& e, constraint_sense sense, double c) { return Constraint(e, sense, c); }

Constraint compare(const LinearExpression& e, constraint_sense sense, const Variable& v) {
  return Constraint(e - v, sense, 0.0);
}

Constraint compare(const LinearExpression& e, constraint_sense sense, const LinearExpression& e2) {
  return Constraint(e - e2, sense, 0.0);
}

Constraint compare(const QuadExpression& q, constraint_sense sense, double c) { return Constraint(q - c, sense, 0.0); }

Constraint compare(const QuadExpression& q, constraint_sense sense, const Variable& v) {
  return Constraint(q - v, sense, 0.0);
}

Constraint compare(const QuadExpression& q, constraint_sense sense, const LinearExpression& e) {
  return Constraint(q - e, sense, 0.0);
}

Constraint compare(const QuadExpression& q, constraint_sense sense, const QuadExpression& q2) {
  return Constraint(q - q2, sense, 0.0);
}

GeneralConstraint equals(const GeneralExpression& g, const Variable& v) { return GeneralConstraint(g, v, nullptr); }

}  // namespace velorium
