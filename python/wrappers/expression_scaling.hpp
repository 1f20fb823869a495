// Scaling every coefficient of one expression store.
#pragma once

#include "python/wrappers/linear_expression.hpp"
#include "python/wrappers/quad_expression.hpp"

namespace velorium {

enum class Scaling { multiply, divide };

// Multiplies (divides) every quadratic coefficient, every linear coefficient and the constant
// of the store that the two views share, each once. All new numbers are worked out first: when
// one of them is not finite (a division by zero, an overflow) the store is left as it was and
// message 505 is raised, as the library would for the first such number, after changing those
// before it.
void scale_store(const LinearExpression& linear, const QuadExpression& quadratic, Scaling how, double operand);

}  // namespace velorium
