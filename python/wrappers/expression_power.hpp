// Integer powers of variables and expressions: a number for the exponent 0, the operand itself
// for 1, a quadratic expression for a square that stays quadratic, else a func_pow node over
// the operand's general form and the exponent.
#pragma once

#include <variant>

#include "python/wrappers/general_expression.hpp"
#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"
#include "python/wrappers/variable.hpp"

namespace velorium {

using PowerResult = std::variant<double, Variable, LinearExpression, QuadExpression, GeneralExpression>;

// v ** n: 1.0; v itself; v·v; pow(v, n).
PowerResult integer_power_Variable(const Variable& v, int n);
// The power of one expression store given its two views: 1.0; the linear view itself; the
// expanded square when the store holds no quadratic term; pow(store, n).
PowerResult integer_power_linear_quad(const LinearExpression& linear, const QuadExpression& quadratic, int n);
// g ** n: 1.0; g itself (the same node); pow(g, n).
PowerResult integer_power_GeneralExpression(const GeneralExpression& g, int n);

}  // namespace velorium
